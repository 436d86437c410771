// Lets GoogleTest print Qt strings in its failure messages.
#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{' << list.join("\", \"").prepend('"').append('"').toStdString() << '}';
}
QT_END_NAMESPACE

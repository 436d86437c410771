// Format(): the program's texts carry printf-style %s and %d placeholders.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace editor {

// Replaces each %s or %d of `pattern`, in order, by the next argument; "%%" is a percent
// sign. Missing arguments leave their placeholders empty.
QString FormatList(const QString& pattern, const QStringList& args);

inline QString FormatArg(const QString& text) { return text; }
inline QString FormatArg(const char* text) { return QString::fromUtf8(text); }
inline QString FormatArg(const std::string& text) { return QString::fromStdString(text); }
inline QString FormatArg(long long n) { return QString::number(n); }
inline QString FormatArg(int n) { return QString::number(n); }
inline QString FormatArg(unsigned n) { return QString::number(n); }

template <typename... Args>
QString Format(const QString& pattern, const Args&... args) {
    return FormatList(pattern, QStringList{FormatArg(args)...});
}

} // namespace editor

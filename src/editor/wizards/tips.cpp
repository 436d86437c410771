#include "editor/wizards/tips.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

namespace editor {

void TTips::Load(const QString& path, const QString& programFolder) {
    tips_.clear();
    index_ = 0;
    missing_ = "Could not load tips file! Please make sure Tips.txt is in the application "
               "folder of " +
               QDir::toNativeSeparators(programFolder) + ".";
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
    QTextStream in(&file);
    while (!in.atEnd()) {
        // Every line is a tip; blank lines (a trailing newline, spacing) are none.
        const QString line = in.readLine().trimmed();
        if (!line.isEmpty()) tips_ << line;
    }
}

QString TTips::Current() const {
    return tips_.isEmpty() ? missing_ : tips_[index_];
}

void TTips::Next() {
    if (tips_.isEmpty()) return;
    index_ = (index_ + 1) % int(tips_.size());
}

} // namespace editor

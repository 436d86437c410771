#include "editor/document/recent_files.h"

#include "editor/core/format.h"
#include "editor/core/settings.h"

namespace editor {

namespace {

// "&<n> " in front of the path: three characters for the ten numbers the list keeps.
constexpr int NumberWidth = 3;

} // namespace

QString TRecentFiles::PathAt(int index) const {
    if (index < 0 || index >= Count()) return {};
    return captions_[index].mid(NumberWidth);
}

int TRecentFiles::IndexOf(const QString& path) const {
    // The whole path must match: a listed "/b/a.gif" is not the item of "/a.gif".
    for (int i = 0; i < Count(); ++i)
        if (PathAt(i) == path) return i;
    return -1;
}

void TRecentFiles::Load(const Settings& settings) {
    captions_.clear();
    const QStringList stored = settings.NumberedList(sections::RecentFiles);
    for (int n = 0; n < stored.size(); ++n)
        if (!stored[n].isEmpty()) captions_ << Format("&%d %s", n, stored[n]);
    Changed();
}

void TRecentFiles::Save(Settings& settings) const {
    QStringList paths;
    for (int i = 0; i < Count(); ++i)
        paths << PathAt(i);
    settings.SetNumberedList(sections::RecentFiles, paths);
}

void TRecentFiles::Add(const QString& path) {
    const int existing = IndexOf(path);
    if (existing >= 0)
        captions_.move(existing, 0);
    else
        captions_.prepend(Format("&0 %s", path));
    Renumber();
}

void TRecentFiles::Remove(int index) {
    if (index < 0 || index >= Count()) return;
    captions_.removeAt(index);
    Renumber();
}

void TRecentFiles::Renumber() {
    while (Count() > MaxItems)
        captions_.removeLast();
    for (int i = 0; i < Count(); ++i)
        captions_[i] = Format("&%d ", i) + captions_[i].mid(NumberWidth);
    Changed();
}

void TRecentFiles::Changed() {
    if (OnChange) OnChange();
}

} // namespace editor

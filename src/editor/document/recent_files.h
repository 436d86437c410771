// The recent-files list: at most ten paths, most recent first, each shown as an item
// "&<n> <path>". The menu and the toolbar drop-down are built from it.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace editor {

class Settings;

class TRecentFiles {
  public:
    static constexpr int MaxItems = 10;
    static constexpr const char* ItemHint = "Opens this file";

    // The item captions in menu order.
    const QStringList& Captions() const { return captions_; }
    int Count() const { return int(captions_.size()); }
    // The item's path: its caption from the fourth character on.
    QString PathAt(int index) const;
    // The position of the item for `path`, -1 when none.
    int IndexOf(const QString& path) const;

    // Reads the stored list; each non-empty value n becomes the item "&n path".
    void Load(const Settings& settings);
    // Erases the stored list and writes the items' paths in menu order.
    void Save(Settings& settings) const;
    // Puts `path` at the top (moving its item when it is listed), then renumbers.
    void Add(const QString& path);
    // Removes an item and renumbers.
    void Remove(int index);
    // Numbers the items from &0 in menu order and drops those past the tenth.
    void Renumber();

    // Called after every change.
    std::function<void()> OnChange;

  private:
    void Changed();
    QStringList captions_;
};

} // namespace editor

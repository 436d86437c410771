// The picture files of a folder that the thumbnail browser shows, and its favourites.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace dialogs {

// The filter value that selects every kind of the list.
inline constexpr int AllThumbKinds = 19;

struct TThumbFile {
    QString Name;      // without the folder
    qint64 Bytes = 0;
    qint64 Modified = 0; // milliseconds since the epoch; 0: unknown
};

// The extensions a filter value selects: one for 0-17, all eighteen for 19, none else.
QStringList ThumbFilterExtensions(int filterType);
// The ordinary files of `folder` with an extension of the filter (compared without regard
// to case, as users name files "PHOTO.JPG" too), sorted by name.
std::vector<TThumbFile> ThumbFolderFiles(const QString& folder, int filterType);
// The folder with one "/" at its end.
QString WithSeparator(const QString& folder);

// The favourite folders of the Organize Favorites list: adding, removing and moving the
// selected entry, with the enabling of the buttons.
class TFavoritesList {
  public:
    explicit TFavoritesList(QStringList items = {}) : items_(std::move(items)) {}

    const QStringList& Items() const { return items_; }
    int Selected() const { return selected_; }
    void Select(int index) { selected_ = (index >= 0 && index < items_.size()) ? index : -1; }
    bool Changed() const { return changed_; }

    // Inserts `folder` after the selected entry (appended when none is selected) and
    // selects it; false, changing nothing, when it is empty or already in the list.
    bool Add(const QString& folder);
    // Deletes the selected entry and selects the one before it.
    bool Remove();
    bool MoveUp();
    bool MoveDown();

    bool CanRemove() const { return selected_ >= 0; }
    bool CanMoveUp() const { return selected_ > 0; }
    bool CanMoveDown() const { return selected_ >= 0 && selected_ < items_.size() - 1; }

  private:
    QStringList items_;
    int selected_ = -1;
    bool changed_ = false;
};

// Whether `folder` is already one of `favorites` (the same folder, with or without the
// trailing separator).
bool IsFavorite(const QStringList& favorites, const QString& folder);

} // namespace dialogs

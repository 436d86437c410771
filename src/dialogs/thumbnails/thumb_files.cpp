#include "dialogs/thumbnails/thumb_files.h"

#include "editor/core/file_kinds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>

namespace dialogs {

QStringList ThumbFilterExtensions(int filterType) {
    QStringList extensions;
    if (filterType >= 0 && filterType <= 17) {
        extensions << editor::FileKindExtension(filterType);
    } else if (filterType == AllThumbKinds) {
        for (int kind = 0; kind <= 17; ++kind)
            extensions << editor::FileKindExtension(kind);
    }
    return extensions;
}

std::vector<TThumbFile> ThumbFolderFiles(const QString& folder, int filterType) {
    const QStringList extensions = ThumbFilterExtensions(filterType);
    std::vector<TThumbFile> files;
    if (extensions.isEmpty()) return files;
    // Extensions are compared by hand: QDir's name filters match every pattern as a
    // wildcard expression against every name, which took tens of milliseconds of the
    // window's time on a folder of a few thousand files.
    QDir dir(folder);
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::Readable);
    dir.setSorting(QDir::Unsorted);
    const QFileInfoList entries = dir.entryInfoList();
    files.reserve(size_t(entries.size()));
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        const bool wanted = std::any_of(extensions.begin(), extensions.end(), [&](const QString& e) {
            return name.endsWith(e, Qt::CaseInsensitive);
        });
        // One look at the file gives its kind, size and time; QFileInfo would take two,
        // and convert the time to the local zone and back.
        struct stat status {};
        if (wanted && ::stat(QFile::encodeName(entry.filePath()).constData(), &status) == 0 &&
            S_ISREG(status.st_mode))
            files.push_back({name, qint64(status.st_size),
                             qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000});
    }
    std::sort(files.begin(), files.end(), [](const TThumbFile& a, const TThumbFile& b) {
        const int folded = a.Name.compare(b.Name, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.Name < b.Name;
    });
    return files;
}

QString WithSeparator(const QString& folder) {
    return folder.endsWith('/') ? folder : folder + '/';
}

namespace {

QString Trimmed(const QString& folder) {
    QString result = folder;
    while (result.size() > 1 && result.endsWith('/'))
        result.chop(1);
    return result;
}

} // namespace

bool IsFavorite(const QStringList& favorites, const QString& folder) {
    const QString wanted = Trimmed(folder);
    return std::any_of(favorites.begin(), favorites.end(),
                       [&](const QString& item) { return Trimmed(item) == wanted; });
}

bool TFavoritesList::Add(const QString& folder) {
    if (folder.isEmpty() || IsFavorite(items_, folder)) return false;
    const int at = selected_ < 0 ? int(items_.size()) : selected_ + 1;
    items_.insert(at, folder);
    selected_ = at;
    changed_ = true;
    return true;
}

bool TFavoritesList::Remove() {
    if (!CanRemove()) return false;
    items_.removeAt(selected_);
    selected_ = items_.isEmpty() ? -1 : std::max(0, selected_ - 1);
    changed_ = true;
    return true;
}

bool TFavoritesList::MoveUp() {
    if (!CanMoveUp()) return false;
    items_.swapItemsAt(selected_, selected_ - 1);
    --selected_;
    changed_ = true;
    return true;
}

bool TFavoritesList::MoveDown() {
    if (!CanMoveDown()) return false;
    items_.swapItemsAt(selected_, selected_ + 1);
    ++selected_;
    changed_ = true;
    return true;
}

} // namespace dialogs

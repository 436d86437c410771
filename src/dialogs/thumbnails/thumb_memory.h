// The thumbnails made this session, kept in memory so that a folder visited again, or
// refreshed, shows at once and only its new and changed files are read again. A thumbnail
// is found again only for the same file size, modification time, thumbnail size and
// background. Bounded by bytes: the least recently used go first. Safe on any thread.
#pragma once

#include "dialogs/thumbnails/thumb_maker.h"

#include <QHash>
#include <QString>
#include <list>
#include <mutex>

namespace dialogs {

// What a thumbnail was made of: a different stamp means the thumbnail is out of date.
struct TThumbStamp {
    qint64 Bytes = 0;
    qint64 Modified = 0; // milliseconds since the epoch; 0: unknown, never kept
    int ThumbSize = 0;
    QRgb Background = 0;
    bool operator==(const TThumbStamp&) const = default;
};

class TThumbMemory {
  public:
    // About 11,000 thumbnails of the default size; their pictures are shared with the grid
    // showing them, so the folder on screen costs nothing extra.
    static constexpr qsizetype DefaultMaxBytes = qsizetype(64) << 20;

    explicit TThumbMemory(qsizetype maxBytes = DefaultMaxBytes) : maxBytes_(maxBytes) {}

    // The thumbnail of `path` made with `stamp`; false when there is none.
    bool Find(const QString& path, const TThumbStamp& stamp, TThumbPicture& picture);
    // Remembers the thumbnail of `path` (also a file that could not be read).
    void Keep(const QString& path, const TThumbStamp& stamp, const TThumbPicture& picture);
    qsizetype Bytes() const;

  private:
    struct TEntry {
        QString Path;
        TThumbStamp Stamp;
        TThumbPicture Picture;
        qsizetype Bytes = 0;
    };
    using TList = std::list<TEntry>; // most recently used first

    void Drop(TList::iterator entry);

    const qsizetype maxBytes_;
    mutable std::mutex lock_;
    TList entries_;
    QHash<QString, TList::iterator> byPath_;
    qsizetype bytes_ = 0;
};

} // namespace dialogs

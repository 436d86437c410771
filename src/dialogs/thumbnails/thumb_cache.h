// The desktop's shared thumbnail cache, the freedesktop.org one that file managers use: PNG
// files named after the MD5 of the picture's file URI, in $XDG_CACHE_HOME/thumbnails/normal
// (at most 128 pixels) and .../large (at most 256), each carrying Thumb::URI and
// Thumb::MTime so that a thumbnail of an older version of the file is never used. Entries
// written by file managers are read, and ours serve them in turn.
#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>

#include <utility>
#include <vector>

namespace dialogs {

// An entry on its way to the cache. It is made where the thumbnail is, with what it must
// say of the file read then; encoding and writing it can wait until the thumbnails show.
struct TCacheEntry {
    QString File;                                    // the cache file; empty: no entry
    QImage Picture;                                  // until encoded
    std::vector<std::pair<QString, QString>> Texts;  // the entry's keys and values
    QByteArray Png;                                  // once encoded

    // The memory the entry holds while it waits.
    qsizetype Bytes() const { return Png.isEmpty() ? Picture.sizeInBytes() : Png.size(); }
};

struct TCachedThumb {
    QImage Picture;   // at most the folder's size on its longer side
    int Width = 0;    // the original picture's size
    int Height = 0;
};

class TThumbnailCache {
  public:
    // The cache under `root` (normally $XDG_CACHE_HOME/thumbnails, else ~/.cache/thumbnails).
    explicit TThumbnailCache(QString root = DefaultRoot());
    static QString DefaultRoot();
    const QString& Root() const { return root_; }

    // "normal" (128) for thumbnails up to 128 pixels, "large" (256) above.
    static int CacheSizeFor(int thumbSize);
    static QString FolderFor(int cacheSize);
    // The file URI of a local path, percent-encoded as the cache names its entries by it.
    static QByteArray FileUri(const QString& path);
    // The cache file of `path` for thumbnails of `cacheSize`.
    QString EntryPath(const QString& path, int cacheSize) const;

    // The entry of `path` when it exists and still describes the file: its URI matches and
    // its MTime is the file's modification time (and its Size, when given, the file's size).
    // The original size comes from Thumb::Image::Width/Height, or from the file's header
    // when another program left them out. False when there is no usable entry.
    bool Read(const QString& path, int cacheSize, TCachedThumb& thumb) const;
    // Stores `picture` (already no larger than cacheSize) for `path`, written to a temporary
    // file and renamed, readable by the user alone. False when the cache cannot be written.
    bool Write(const QString& path, int cacheSize, const QImage& picture, int width,
               int height) const;
    // Write in steps, so that a scan can show its thumbnails first and store them after:
    // Prepare makes the entry (false for the cache's own files), Encode turns its picture
    // into PNG bytes (false on failure), Store writes it, encoding it first when needed.
    bool Prepare(const QString& path, int cacheSize, const QImage& picture, int width,
                 int height, TCacheEntry& entry) const;
    static bool Encode(TCacheEntry& entry);
    bool Store(TCacheEntry& entry) const;

  private:
    QString root_;
};

} // namespace dialogs

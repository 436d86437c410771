// One thumbnail: a picture file read through the imaging control (or taken from the
// desktop's thumbnail cache), fitted into a square of the thumbnail size and centred on it.
// Runs on any thread.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace dialogs {

class TThumbnailCache;
struct TCacheEntry;

struct TThumbPicture {
    bool Ok = false;        // false: the file could not be read (it gets no thumbnail)
    bool FromCache = false; // taken from the cache, the file itself was not decoded
    int Width = 0;          // the picture's own size
    int Height = 0;
    QImage Square;          // thumbSize x thumbSize
};

// Makes the thumbnail of `path`. With a cache, a valid entry is used instead of decoding the
// file, and a decoded file leaves an entry for the next visit: stored at once, or prepared
// in `deferred` for the caller to store later.
TThumbPicture MakeThumbnail(const QString& path, int thumbSize, const QColor& background,
                            const TThumbnailCache* cache = nullptr,
                            TCacheEntry* deferred = nullptr);

// `picture` (of the original size width x height, or already reduced) placed on a square of
// `thumbSize` filled with `background`: reduced to ThumbFitSize when a side of the original
// exceeds thumbSize + 1, and centred.
QImage ThumbSquare(const QImage& picture, int width, int height, int thumbSize,
                   const QColor& background);

} // namespace dialogs

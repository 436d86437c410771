#include "dialogs/thumbnails/thumb_maker.h"

#include "dialogs/thumbnails/thumb_cache.h"
#include "dialogs/thumbnails/thumb_geometry.h"
#include "io/xpress/xpress.h"

#include <QFile>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace dialogs {

namespace {

// The control's picture as a QImage, in one pass; null when its pixels cannot be read.
QImage CopyOut(const io::TXpress& xpress) {
    QImage picture(xpress.Width32(), xpress.Height32(), QImage::Format_ARGB32);
    bool alpha = false;
    if (picture.isNull() || !xpress.CopyPixels(picture.bits(), alpha)) return {};
    // Opaque pictures scale faster without their alpha.
    if (!alpha) picture.reinterpretAsFormat(QImage::Format_RGB32);
    return picture;
}

// Longer side reduced to `limit` when it is larger (the cache's sizes are hard limits).
QSize WithinLimit(int width, int height, int limit) {
    if (std::max(width, height) <= limit) return {width, height};
    if (width >= height) return {limit, std::max(1, int(qint64(limit) * height / width))};
    return {std::max(1, int(qint64(limit) * width / height)), limit};
}

} // namespace

QImage ThumbSquare(const QImage& picture, int width, int height, int thumbSize,
                   const QColor& background) {
    QImage square(thumbSize, thumbSize, QImage::Format_RGB32);
    square.fill(background);
    if (picture.isNull()) return square;
    const QSize fit = ThumbFitSize(width, height, thumbSize);
    QImage shown = picture;
    if (shown.size() != fit)
        shown = picture.scaled(fit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QPoint at = ThumbOffset(fit, thumbSize);
    if (shown.format() == QImage::Format_RGB32 && square.rect().contains(QRect(at, fit))) {
        // Opaque: the rows are copied, without a painter's set-up for every thumbnail.
        const size_t rowBytes = size_t(fit.width()) * 4;
        for (int y = 0; y < fit.height(); ++y)
            std::memcpy(square.scanLine(at.y() + y) + size_t(at.x()) * 4, shown.constScanLine(y),
                        rowBytes);
        return square;
    }
    QPainter painter(&square);
    painter.drawImage(at, shown);
    return square;
}

TThumbPicture MakeThumbnail(const QString& path, int thumbSize, const QColor& background,
                            const TThumbnailCache* cache, TCacheEntry* deferred) {
    TThumbPicture result;
    const int cacheSize = cache ? TThumbnailCache::CacheSizeFor(thumbSize) : 0;
    TCachedThumb cached;
    if (cache && cache->Read(path, cacheSize, cached)) {
        result.Ok = true;
        result.FromCache = true;
        result.Width = cached.Width;
        result.Height = cached.Height;
        result.Square = ThumbSquare(cached.Picture, cached.Width, cached.Height, thumbSize,
                                    background);
        return result;
    }

    // Decoders that can scale while decoding (JPEG) stop at the smallest picture that
    // still covers what is wanted; the rest is reduced here with an area-averaging scale,
    // several times faster than the control's own resampling filter on 16-bit pixels.
    const int wanted = cache ? cacheSize : thumbSize;
    io::TXpress xpress;
    xpress.SetFileName(QFile::encodeName(path).toStdString(), wanted);
    if (xpress.Error() != io::xeNone) return result;
    const int width = xpress.FileWidth32();
    const int height = xpress.FileHeight32();
    if (width <= 0 || height <= 0) return result;
    QImage picture = CopyOut(xpress);
    xpress.Release();
    if (picture.isNull()) return result;
    const QSize target = cache ? WithinLimit(width, height, cacheSize)
                               : ThumbFitSize(width, height, thumbSize);
    if (picture.size() != target)
        picture = picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (cache && deferred) cache->Prepare(path, cacheSize, picture, width, height, *deferred);
    else if (cache) cache->Write(path, cacheSize, picture, width, height);
    result.Ok = true;
    result.Width = width;
    result.Height = height;
    result.Square = ThumbSquare(picture, width, height, thumbSize, background);
    return result;
}

} // namespace dialogs

#include "dialogs/thumbnails/thumb_cache.h"

#include "dialogs/thumbnails/thumb_png.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryFile>
#include <QUrl>

#include <cstdio>

namespace dialogs {

namespace {

constexpr const char* Software = "GIF Loopwright 3.0";

qint64 ModificationSeconds(const QFileInfo& info) {
    return info.lastModified().toSecsSinceEpoch();
}

} // namespace

TThumbnailCache::TThumbnailCache(QString root) : root_(std::move(root)) {}

QString TThumbnailCache::DefaultRoot() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + "/.cache";
    return base + "/thumbnails";
}

int TThumbnailCache::CacheSizeFor(int thumbSize) {
    return thumbSize <= 128 ? 128 : 256;
}

QString TThumbnailCache::FolderFor(int cacheSize) {
    return cacheSize <= 128 ? "normal" : "large";
}

QByteArray TThumbnailCache::FileUri(const QString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
}

QString TThumbnailCache::EntryPath(const QString& path, int cacheSize) const {
    const QByteArray md5 = QCryptographicHash::hash(FileUri(path), QCryptographicHash::Md5).toHex();
    return root_ + "/" + FolderFor(cacheSize) + "/" + QString::fromLatin1(md5) + ".png";
}

bool TThumbnailCache::Read(const QString& path, int cacheSize, TCachedThumb& thumb) const {
    // The entry is small; its text chunks may stand before or after its pixels, so it is
    // read whole and then checked. A missing entry simply reads as no picture.
    QImage picture(EntryPath(path, cacheSize), "png");
    if (picture.isNull()) return false;
    if (picture.text("Thumb::URI").toUtf8() != FileUri(path)) return false;
    const QFileInfo file(path);
    bool ok = false;
    const qint64 mtime = picture.text("Thumb::MTime").toLongLong(&ok);
    if (!ok || mtime != ModificationSeconds(file)) return false;
    const QString size = picture.text("Thumb::Size");
    if (!size.isEmpty() && size.toLongLong() != file.size()) return false;
    int width = picture.text("Thumb::Image::Width").toInt();
    int height = picture.text("Thumb::Image::Height").toInt();
    if (width <= 0 || height <= 0) {
        // Another program left the sizes out: the file's header has them, read without
        // decoding the picture.
        const QSize header = QImageReader(path).size();
        if (header.isValid() && !header.isEmpty()) {
            width = header.width();
            height = header.height();
        } else {
            width = picture.width();
            height = picture.height();
        }
    }
    thumb = {std::move(picture), width, height};
    return true;
}

bool TThumbnailCache::Write(const QString& path, int cacheSize, const QImage& picture, int width,
                            int height) const {
    TCacheEntry entry;
    return Prepare(path, cacheSize, picture, width, height, entry) && Store(entry);
}

bool TThumbnailCache::Prepare(const QString& path, int cacheSize, const QImage& picture,
                              int width, int height, TCacheEntry& entry) const {
    if (picture.isNull()) return false;
    const QFileInfo file(path);
    // Thumbnails of the cache's own files would feed on themselves.
    if (file.absoluteFilePath().startsWith(root_ + "/")) return false;
    // The file's time and size are read now, with the picture just decoded: a file that
    // changes before the entry is written then gets a fresh thumbnail on the next visit.
    entry.Texts = {
        {"Thumb::URI", QString::fromLatin1(FileUri(path))},
        {"Thumb::MTime", QString::number(ModificationSeconds(file))},
        {"Thumb::Size", QString::number(file.size())},
        {"Thumb::Image::Width", QString::number(width)},
        {"Thumb::Image::Height", QString::number(height)},
        {"Software", Software},
    };
    // Kept in the bytes the entry is written from: a waiting opaque entry holds three
    // bytes a pixel, not four.
    entry.Picture = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_RGBA8888
                                                                      : QImage::Format_RGB888);
    entry.Png.clear();
    entry.File = EntryPath(path, cacheSize);
    return !entry.Picture.isNull();
}

bool TThumbnailCache::Encode(TCacheEntry& entry) {
    if (entry.Png.isEmpty()) entry.Png = EncodeThumbPng(entry.Picture, entry.Texts);
    entry.Picture = {};
    return !entry.Png.isEmpty();
}

bool TThumbnailCache::Store(TCacheEntry& entry) const {
    if (entry.File.isEmpty() || !Encode(entry)) return false;
    const QString folder = QFileInfo(entry.File).path();
    // Written whole under a temporary name in the same folder and renamed over the entry,
    // so that a reader never sees half of one. No sync to disk: an entry lost in a crash is
    // only made again.
    QTemporaryFile out(folder + "/.loopwright-XXXXXX.png");
    // The folders are made, readable by the user alone, when the first entry finds them
    // missing; later entries cost no look at them.
    if (!out.open()) {
        if (!QDir().mkpath(folder)) return false;
        QFile::setPermissions(root_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!out.open()) return false;
    }
    if (out.write(entry.Png) != entry.Png.size() || !out.flush()) return false;
    const QByteArray from = QFile::encodeName(out.fileName());
    const QByteArray to = QFile::encodeName(entry.File);
    if (std::rename(from.constData(), to.constData()) != 0) return false;
    out.setAutoRemove(false);
    return true;
}

} // namespace dialogs

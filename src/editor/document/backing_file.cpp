#include "editor/document/backing_file.h"

#include "editor/core/temp_files.h"
#include "gif/model/image.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace editor {

QString SystemReason(const std::exception& error) {
    const QString text = QString::fromLocal8Bit(error.what());
    // The library's stream errors name the file in quotes, then give the system's text.
    const int quote = text.lastIndexOf("\". ");
    return quote >= 0 ? text.mid(quote + 3) : text;
}

bool WriteBackingGif(gif::TGIFImage& image, const QString& path,
                     const TAnimationDefaults& defaults, QString& reason) {
    // A backing file that has gone is not made again under its old name.
    if (!QFileInfo(path).isFile()) {
        reason = QString::fromLocal8Bit(std::strerror(ENOENT));
        return false;
    }
    try {
        NormaliseAnimation(image, true, defaults);
        // A scratch copy: no waiting for the disk.
        image.SaveToFile(NativePath(path), false);
        return true;
    } catch (const std::exception& error) {
        reason = SystemReason(error);
    }
    return false;
}

} // namespace editor

#include "editor/core/file_kinds.h"

#include <QFileInfo>
#include <array>

namespace editor {

namespace {

constexpr std::array<const char*, 20> KindExtensions = {
    ".gif", ".jpg", ".bmp", ".jif", ".dcx", ".ico", ".pbm", ".pcx", ".ljp", ".pgm",
    ".pic", ".png", ".ppm", ".rle", ".tga", ".tif", ".wmf", ".wpg", ".avi", "*.*"};

} // namespace

int FileKind(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty() && !path.endsWith('.')) return fkUnknown;
    const QString extension = '.' + suffix.toLower();
    for (int kind = 0; kind < fkAll; ++kind)
        if (extension == KindExtensions[kind]) return kind;
    return fkUnknown;
}

QString FileKindExtension(int kind) {
    return kind >= 0 && kind < int(KindExtensions.size()) ? KindExtensions[kind] : "";
}

bool IsPictureKind(int kind) { return kind > fkGif && kind < fkAvi; }

} // namespace editor

#include "editor/core/temp_files.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <unistd.h>

namespace editor {

QString GetTempFolder() { return QDir::tempPath(); }

QString MakeTempFile(const QString& folder, const QString& prefix) {
    QByteArray pattern = QFile::encodeName(QDir(folder).filePath(prefix + "XXXXXX.tmp"));
    // mkstemps creates the file with O_EXCL and mode 0600: the name is ours alone.
    const int fd = mkstemps(pattern.data(), 4);
    if (fd < 0) return {};
    ::close(fd);
    return QFile::decodeName(pattern);
}

void DeleteFileIfNamed(const QString& path) {
    if (!path.isEmpty()) QFile::remove(path);
}

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace editor

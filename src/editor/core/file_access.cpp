#include "editor/core/file_access.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/core/format.h"

namespace editor {

QString ReadFailure(const QString& path) {
    // Non-blocking: opening a pipe for reading must not wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return QString::fromLocal8Bit(std::strerror(errno));
    struct stat status = {};
    const bool known = ::fstat(fd, &status) == 0;
    const int error = errno;
    ::close(fd);
    if (!known) return QString::fromLocal8Bit(std::strerror(error));
    if (S_ISDIR(status.st_mode)) return QString::fromLocal8Bit(std::strerror(EISDIR));
    if (!S_ISREG(status.st_mode)) return "Not a regular file";
    return {};
}

QString LoadFailureText(const QString& path, const QString& reason) {
    return Format("Error loading %s! %s.", path, reason);
}

} // namespace editor

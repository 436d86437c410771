#include "editor/core/temp_files.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace editor {

namespace {

constexpr const char* SystemTempFolder = "/tmp";

} // namespace

QStringList TempFolderCandidates() {
    QStringList folders;
    // Not QDir::tempPath(): for a $TMPDIR that does not exist it gives an empty path, which
    // names the current folder.
    const QString tmpdir = qEnvironmentVariable("TMPDIR");
    if (!tmpdir.isEmpty()) folders << QDir::cleanPath(tmpdir);
    folders << SystemTempFolder;
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || QDir::isRelativePath(cache)) cache = QDir::home().filePath(".cache");
    folders << QDir::cleanPath(cache);
    folders.removeDuplicates();
    return folders;
}

QString FirstUsableFolder(const QStringList& folders) {
    for (const QString& folder : folders) {
        if (folder.isEmpty()) continue;
        const QByteArray name = QFile::encodeName(folder);
        struct stat st;
        if (::stat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
            ::access(name.constData(), W_OK | X_OK) == 0)
            return folder;
    }
    return {};
}

QString GetTempFolder() {
    const QString usable = FirstUsableFolder(TempFolderCandidates());
    return usable.isEmpty() ? QString(SystemTempFolder) : usable;
}

QString MakeTempFile(const QString& folder, const QString& prefix, QString* reason) {
    if (folder.isEmpty()) {
        if (reason) *reason = QString::fromLocal8Bit(std::strerror(ENOENT));
        return {};
    }
    QByteArray pattern = QFile::encodeName(QDir(folder).filePath(prefix + "XXXXXX.tmp"));
    // mkstemps creates the file with O_EXCL and mode 0600: the name is ours alone.
    const int fd = mkstemps(pattern.data(), 4);
    if (fd < 0) {
        if (reason) *reason = QString::fromLocal8Bit(std::strerror(errno));
        return {};
    }
    ::close(fd);
    return QFile::decodeName(pattern);
}

void DeleteFileIfNamed(const QString& path) {
    if (!path.isEmpty()) QFile::remove(path);
}

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace editor

// Temporary files of the editor: backing files of documents and undo snapshots, all in
// the system temporary folder with the prefix "~GL".
#pragma once

#include <QString>
#include <QStringList>

namespace editor {

inline constexpr const char* TempPrefix = "~GL";

// The folders temporary files may go to, best first: $TMPDIR (when set), the system
// temporary folder (/tmp), then the user's cache folder ($XDG_CACHE_HOME, else ~/.cache).
QStringList TempFolderCandidates();
// The first of `folders` that is an existing folder this process may write in; empty when
// none is.
QString FirstUsableFolder(const QStringList& folders);
// The temporary folder: the first usable candidate, else the system temporary folder (so
// that a creation there fails with the system's reason rather than writing elsewhere).
QString GetTempFolder();
// Creates a new empty file with a unique name "<folder>/<prefix>XXXXXX.tmp", atomically
// (no other process can take the name), readable by the user only; returns its path, or
// an empty string when it could not be created (with the system's reason in `reason`).
QString MakeTempFile(const QString& folder, const QString& prefix = TempPrefix,
                     QString* reason = nullptr);
// Deletes the file when `path` is not empty.
void DeleteFileIfNamed(const QString& path);

// A temporary file owned by one object: created on construction, deleted on destruction.
class TOwnedTempFile {
public:
    TOwnedTempFile() : path_(MakeTempFile(GetTempFolder())) {}
    ~TOwnedTempFile() { DeleteFileIfNamed(path_); }
    TOwnedTempFile(const TOwnedTempFile&) = delete;
    TOwnedTempFile& operator=(const TOwnedTempFile&) = delete;
    const QString& Path() const { return path_; }

private:
    QString path_;
};

// The file name the GIF library and the C library take for a path.
std::string NativePath(const QString& path);

} // namespace editor

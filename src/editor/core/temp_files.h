// Temporary files of the editor: backing files of documents and undo snapshots, all in
// the system temporary folder with the prefix "~GL".
#pragma once

#include <QString>

namespace editor {

inline constexpr const char* TempPrefix = "~GL";

// The system temporary folder ($TMPDIR, else /tmp).
QString GetTempFolder();
// Creates a new empty file with a unique name "<folder>/<prefix>XXXXXX.tmp", atomically
// (no other process can take the name), readable by the user only; returns its path, or
// an empty string when it could not be created.
QString MakeTempFile(const QString& folder, const QString& prefix = TempPrefix);
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

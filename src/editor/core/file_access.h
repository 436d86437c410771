// Why a file cannot be read, in the operating system's words, for the load messages: a
// file without permission or a folder must not be reported as a damaged picture.
#pragma once

#include <QString>

namespace editor {

// Empty when `path` is a regular file that can be opened for reading; otherwise the reason,
// as the system gives it ("Permission denied", "No such file or directory", "Is a
// directory"), or "Not a regular file" for pipes and devices (opened without waiting).
QString ReadFailure(const QString& path);

// "Error loading %s! <reason>." for a file ReadFailure refuses.
QString LoadFailureText(const QString& path, const QString& reason);

} // namespace editor

// File kinds by extension, as the open commands and the thumbnail filter number them.
#pragma once

#include <QString>

namespace editor {

enum TFileKind : int {
    fkGif = 0,
    fkBmp = 2,
    fkAvi = 18,
    fkAll = 19,        // "*.*": a filter entry, never the kind of a file
    fkUnknown = 20,
};

// The row of the kind table whose extension equals the path's, lower-cased; fkUnknown
// when none does (".jpeg" is not in the table).
int FileKind(const QString& path);
// The extension of a kind (".gif" ... ".avi", "*.*"), empty outside the table.
QString FileKindExtension(int kind);
// Still pictures that are neither GIF nor AVI: ".jpg" to ".wpg".
bool IsPictureKind(int kind);

} // namespace editor

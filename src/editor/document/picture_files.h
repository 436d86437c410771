// Reading a picture file into a bitmap for the document commands.
#pragma once

#include <QString>

namespace gif {
class TBitmap;
}

namespace editor {

class TWorkspace;

// Loads the picture `path` of file kind `kind` into `bitmap`: 0 when it did, -1 (after
// telling the user) when it did not, -2 when a GIF file was opened as a document instead.
int LoadPictureFile(TWorkspace& workspace, const QString& path, gif::TBitmap& bitmap, int kind);

} // namespace editor

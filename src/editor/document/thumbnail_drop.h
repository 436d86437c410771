// A thumbnail of the browser dropped on the editor: on a document, on the frame list, or on
// the bare main window (and the start-up animation over it). The drag carries the picture's
// path under its own MIME type, beside a file URL for other programs.
#pragma once

#include <QString>

class QMimeData;

namespace editor {

class TDocument;
class TWorkspace;

inline constexpr const char* ThumbnailMimeType = "application/x-loopwright-thumbnail";

// The path a thumbnail drag carries; empty for other drags.
QString ThumbnailPath(const QMimeData& data);

enum class TThumbnailDropTarget { Document, FrameList, MainWindow };

// Imports the dropped file: on a document it becomes the active one and the file is
// inserted as a frame where the user chooses; on the frame list it becomes a frame at the
// selected index ("Add Frame"), or a new document without one; on the main window a new
// document (GIF files opened as they are).
void DropThumbnail(TWorkspace& workspace, const QString& path, TThumbnailDropTarget target,
                   TDocument* document = nullptr);

} // namespace editor

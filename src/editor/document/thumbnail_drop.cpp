#include "editor/document/thumbnail_drop.h"

#include "editor/core/file_kinds.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"

#include <QFileInfo>
#include <QMimeData>

namespace editor {

QString ThumbnailPath(const QMimeData& data) {
    if (!data.hasFormat(ThumbnailMimeType)) return {};
    return QString::fromUtf8(data.data(ThumbnailMimeType));
}

void DropThumbnail(TWorkspace& workspace, const QString& path, TThumbnailDropTarget target,
                   TDocument* document) {
    if (path.isEmpty()) return;
    workspace.Host().StopPlayback(true);
    const int kind = FileKind(path);
    switch (target) {
    case TThumbnailDropTarget::Document:
        if (document && workspace.Contains(document)) {
            workspace.BringDocumentForward(*document);
            InsertFileAsFrame(workspace, path);
            return;
        }
        [[fallthrough]];
    case TThumbnailDropTarget::FrameList:
        if (workspace.ActiveDocument()) {
            workspace.DropOnMainWindow = false;
            workspace.ImportImageFile(path, kind);
            return;
        }
        break;
    case TThumbnailDropTarget::MainWindow:
        break;
    }
    // A new document: GIF files open as they are, other pictures become its first frame.
    workspace.DropOnMainWindow = true;
    if (workspace.ActiveDocument() || kind != fkGif)
        workspace.ImportImageFile(path, kind);
    else
        workspace.OpenGifDocument(path);
    workspace.DropOnMainWindow = false;
}

} // namespace editor

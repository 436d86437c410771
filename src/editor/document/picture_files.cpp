#include "editor/document/picture_files.h"

#include <QFileInfo>

#include "editor/core/file_kinds.h"
#include "editor/core/format.h"
#include "editor/core/messages.h"
#include "editor/core/prompter.h"
#include "editor/core/temp_files.h"
#include "editor/document/workspace.h"
#include "gif/graphics/bitmap.h"

namespace editor {

int LoadPictureFile(TWorkspace& workspace, const QString& path, gif::TBitmap& bitmap, int kind) {
    IPrompter& prompter = workspace.Prompter();
    if (!QFileInfo(path).isFile()) {
        prompter.Message(TMessageKind::Warning, Format(msg::LoadError, path));
        return -1;
    }
    if (kind == fkGif) {
        workspace.OpenGifDocument(path);
        return -2;
    }
    if (kind != fkBmp) {
        prompter.Message(TMessageKind::Warning,
                         Format(msg::UnrecognizedFileType, QFileInfo(path).fileName()));
        return -1;
    }
    try {
        TBusyCursor busy(prompter);
        bitmap.LoadFromFile(NativePath(path));
    } catch (const std::exception&) {
        prompter.Message(TMessageKind::Warning, Format(msg::LoadError, path));
        return -1;
    }
    return 0;
}

} // namespace editor

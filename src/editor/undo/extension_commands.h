// Edits of a frame's extension blocks: the looping block, the graphic control block and
// comments. `ExtensionRef` is an extension index or a target given at push time.
#pragma once

#include "editor/undo/command.h"
#include "gif/base/types.h"
#include "gif/model/text_extensions.h"

namespace gif {
class TGIFSubImage;
}

namespace editor {

class TFrameExtension : public TCommand {
public:
    TFrameExtension(uint8_t subKind, int extensionRef, int frameIndex)
        : TCommand(subKind, frameIndex), ExtensionRef(extensionRef) {}
    const char* ClassName() const override { return "TFrameExtension"; }
    int ExtensionRef;

protected:
    // Frame `FrameIndex` of the working image, or none.
    gif::TGIFSubImage* Frame(TEditContext& context) const;
};

// The looping block: 1 it was added, 2 removed, 3 its count changed.
class TNSLoop : public TFrameExtension {
public:
    TNSLoop(TEditContext& context, uint8_t subKind, int extensionRef, int frameIndex);
    const char* ClassName() const override { return "TNSLoop"; }
    void Undo(TEditContext& context) override;

    uint16_t Loops = 1;    // the stored loop count; 1 when the frame had no looping block
    bool HadLoop = false;  // a stored count of 1 (two plays) is not "no block"
};

// The graphic control block: 1 it was added, 2 removed, 3 its fields changed.
class TGCExt : public TFrameExtension {
public:
    TGCExt(TEditContext& context, uint8_t subKind, int extensionRef, int frameIndex);
    const char* ClassName() const override { return "TGCExt"; }
    void Undo(TEditContext& context) override;

    bool UserInput = false;
    bool Transparent = false;
    uint8_t TransparentIndex = 0;
    uint8_t Disposal = 0;
    uint16_t Delay = 0;
    gif::TColor TransparentColor = gif::clNone;
};

// A comment block at `ExtensionRef`: 1 it was added, 2 deleted, 3 its text changed.
class TCommentExt : public TFrameExtension {
public:
    TCommentExt(TEditContext& context, uint8_t subKind, int extensionRef, int frameIndex);
    const char* ClassName() const override { return "TCommentExt"; }
    void Undo(TEditContext& context) override;

    QString Text;   // the lines joined with line breaks

private:
    gif::TLineList lines_;   // the lines as stored, for an exact restore
};

} // namespace editor

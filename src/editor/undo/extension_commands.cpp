#include "editor/undo/extension_commands.h"

#include <QStringList>

#include "editor/core/animation_routines.h"
#include "editor/core/format.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace editor {

using namespace gif;

TGIFSubImage* TFrameExtension::Frame(TEditContext& context) const {
    if (FrameIndex < 0 || FrameIndex >= context.Image.FrameCount()) return nullptr;
    return context.Image.Frame(FrameIndex);
}

// ---- looping block

TNSLoop::TNSLoop(TEditContext& context, uint8_t subKind, int extensionRef, int frameIndex)
    : TFrameExtension(subKind, extensionRef, frameIndex) {
    if (TGIFSubImage* frame = Frame(context))
        if (TGIFAppExtNSLoop* loop = FindLoopExtension(*frame)) {
            Loops = loop->LoopCount;
            HadLoop = true;
        }
}

void TNSLoop::Undo(TEditContext& context) {
    TGIFSubImage* frame = Frame(context);
    TGIFAppExtNSLoop* loop = frame ? FindLoopExtension(*frame) : nullptr;
    switch (Kind) {
    case 1:
        if (loop) frame->Blocks().DeleteAt(frame->Blocks().IndexOf(loop));
        break;
    case 2:
        if (loop) {
            loop->LoopCount = Loops;
        } else if (frame) {
            auto block = std::make_unique<TGIFAppExtNSLoop>(frame);
            block->LoopCount = Loops;
            frame->Blocks().InsertAt(0, std::move(block));
        }
        break;
    case 3:
        if (!loop) break;
        if (!HadLoop)
            frame->Blocks().DeleteAt(frame->Blocks().IndexOf(loop));
        else
            loop->LoopCount = Loops;
        break;
    default: UnknownAction();
    }
}

// ---- graphic control block

TGCExt::TGCExt(TEditContext& context, uint8_t subKind, int extensionRef, int frameIndex)
    : TFrameExtension(subKind, extensionRef, frameIndex) {
    TGIFSubImage* frame = Frame(context);
    const TGIFGraphicControlExtension* control = frame ? frame->ControlBlock() : nullptr;
    if (!control) return;
    UserInput = control->UserInputFlag();
    Transparent = control->TransparentFlag();
    TransparentIndex = control->TransparentIndex();
    Disposal = control->DisposalCode();
    Delay = control->DelayTime();
    if (TransparentIndex < frame->EffectiveTable().EntryCount())
        TransparentColor = control->TransparentColorValue();
}

void TGCExt::Undo(TEditContext& context) {
    TGIFSubImage* frame = Frame(context);
    if (!frame) throw ECommandError(Format("SubImage is nil, %s", ClassName()));
    auto restore = [this, frame](TGIFGraphicControlExtension& control) {
        control.SetDelayTime(Delay);
        control.SetDisposalCode(Disposal);
        control.SetTransparentFlag(Transparent);
        control.SetTransparentIndexUnchecked(TransparentIndex);
        // Look the colour up again only when the table no longer has it at the old index
        // (a lookup would take the first entry of that colour, or append one).
        const TGIFColorMap& table = frame->EffectiveTable();
        const bool sameEntry =
            TransparentIndex < table.EntryCount() &&
            RGB(table.Entries()[TransparentIndex].Red, table.Entries()[TransparentIndex].Green,
                table.Entries()[TransparentIndex].Blue) == TransparentColor;
        if (TransparentColor != clNone && !sameEntry) control.SetTransparentColorValue(TransparentColor);
        control.SetUserInputFlag(UserInput);
        frame->DropBitmap();
    };
    switch (Kind) {
    case 1: {
        if (TGIFGraphicControlExtension* control = frame->ControlBlock())
            frame->Blocks().DeleteAt(frame->Blocks().IndexOf(control));
        frame->DropBitmap();
        break;
    }
    case 2: {
        auto control = std::make_unique<TGIFGraphicControlExtension>(frame);
        restore(*control);
        frame->Blocks().Add(std::move(control));
        break;
    }
    case 3:
        if (TGIFGraphicControlExtension* control = frame->ControlBlock()) restore(*control);
        break;
    default: UnknownAction();
    }
}

// ---- comments

namespace {

TGIFCommentExtension* CommentAt(TGIFSubImage* frame, int index) {
    if (!frame || index < 0 || index >= frame->Blocks().ItemCount()) return nullptr;
    return dynamic_cast<TGIFCommentExtension*>(frame->Blocks().Extensions(index));
}

} // namespace

TCommentExt::TCommentExt(TEditContext& context, uint8_t subKind, int extensionRef, int frameIndex)
    : TFrameExtension(subKind, extensionRef, frameIndex) {
    if (subKind != 2 && subKind != 3) return;
    if (const TGIFCommentExtension* comment = CommentAt(Frame(context), extensionRef)) {
        lines_ = comment->CommentLines();
        QStringList lines;
        for (const std::string& line : lines_) lines << QString::fromStdString(line);
        Text = lines.join("\r\n");
    }
}

void TCommentExt::Undo(TEditContext& context) {
    TGIFSubImage* frame = Frame(context);
    switch (Kind) {
    case 1:
        if (!CommentAt(frame, ExtensionRef)) throw ECommandError("Invalid Extension Index");
        frame->Blocks().DeleteAt(ExtensionRef);
        break;
    case 2: {
        if (!frame) throw ECommandError(Format("SubImage is nil, %s", ClassName()));
        auto comment = std::make_unique<TGIFCommentExtension>(frame);
        comment->CommentLines() = lines_;
        // Back where it was, so the blocks keep their order.
        if (ExtensionRef >= 0 && ExtensionRef <= frame->Blocks().ItemCount())
            frame->Blocks().InsertAt(ExtensionRef, std::move(comment));
        else
            frame->Blocks().Add(std::move(comment));
        break;
    }
    case 3: {
        TGIFCommentExtension* comment = CommentAt(frame, ExtensionRef);
        if (!comment) throw ECommandError("Invalid Extension Index");
        comment->CommentLines() = lines_;
        break;
    }
    default: UnknownAction();
    }
}

} // namespace editor

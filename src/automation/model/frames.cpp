#include "automation/model/frames.h"

#include "automation/model/enumerator.h"
#include "automation/model/pictures.h"
#include "editor/core/format.h"
#include "editor/core/frame_list.h"
#include "editor/core/palette_routines.h"
#include "editor/core/prompter.h"
#include "editor/core/settings.h"
#include "editor/document/document.h"
#include "editor/document/workspace.h"
#include "editor/undo/command.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"

namespace automation {

using editor::Format;

namespace {

// Offsets are 16-bit fields of the frame's descriptor, and the frame must still end on
// the logical screen's largest size.
void CheckOffset(int value, int extent) {
    if (value < 0 || value + extent > 65535)
        throw EAutomationError(Format("Invalid frame offset %d: the frame must lie within 0 to 65535.",
                                      value));
}

} // namespace

// TGIFFrame --------------------------------------------------------------------------

TGIFFrame::TGIFFrame(TContextRef context, gif::TGIFSubImage* frame)
    : context_(std::move(context)), frame_(frame), serial_(frame ? frame->Serial() : 0) {}

int TGIFFrame::Index() const {
    if (!frame_ || !context_->Active()) return -1;
    gif::TGIFImage& image = context_->Image();
    // A frame made since (an undo reloads the animation) may sit at the same address: the
    // serial tells it apart.
    for (int i = 0; i < image.FrameCount(); ++i)
        if (image.Frame(i) == frame_) return frame_->Serial() == serial_ ? i : -1;
    return -1;
}

gif::TGIFSubImage* TGIFFrame::Live() const { return Index() >= 0 ? frame_ : nullptr; }

template <class F>
void TGIFFrame::Record(int kind, int subKind, const QString& caption, F&& change) {
    editor::TDocument* document = context_->Active();
    const int index = Index();
    if (!document || index < 0) return;
    document->PushCommand(kind, subKind, -1, -1, index, "Change " + caption);
    change();
    document->SetModified(true);
    // The list entry and the inspector show the frame again when it is the one shown.
    if (context_->Workspace().Contains(document) && document->SelectedFrame == index)
        context_->Workspace().DisplayFrame(index);
}

TResult<TPicture> TGIFFrame::Bitmap() {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        if (!frame || frame->IsBlank()) return TPicture();
        gif::TBitmap* bitmap = frame->FrameBitmap();
        return bitmap ? PictureFromBitmap(*bitmap) : TPicture();
    });
}

TResult<QString> TGIFFrame::Comments() {
    return Trap([&] {
        QString text;
        gif::TGIFSubImage* frame = Live();
        if (!frame) return text;
        for (int i = 0; i < frame->Blocks().ItemCount(); ++i) {
            auto* comment = dynamic_cast<gif::TGIFCommentExtension*>(frame->Blocks().Extensions(i));
            if (!comment) continue;
            QStringList lines;
            for (const std::string& line : comment->CommentLines())
                lines << QString::fromLatin1(line.data(), qsizetype(line.size()));
            text += lines.join("\r\n") + "\r\n";
        }
        return text;
    });
}

TResult<bool> TGIFFrame::Empty() {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        return frame && frame->IsBlank();
    });
}

TResult<int> TGIFFrame::Extensions() {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        return frame ? frame->Blocks().ItemCount() : 0;
    });
}

TResult<int> TGIFFrame::Left() {
    return Trap([&] { return Live() ? int(frame_->FrameLeft()) : 0; });
}

TResult<TNone> TGIFFrame::SetLeft(int value) {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        if (!frame || frame->FrameLeft() == value) return;
        CheckOffset(value, frame->FrameWidth());
        Record(editor::ckFrame, 3, "X-Offset", [&] { frame->SetFrameLeft(value); });
    });
}

TResult<int> TGIFFrame::Top() {
    return Trap([&] { return Live() ? int(frame_->FrameTop()) : 0; });
}

TResult<TNone> TGIFFrame::SetTop(int value) {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        if (!frame || frame->FrameTop() == value) return;
        CheckOffset(value, frame->FrameHeight());
        Record(editor::ckFrame, 3, "Y-Offset", [&] { frame->SetFrameTop(value); });
    });
}

TResult<bool> TGIFFrame::Interlaced() {
    return Trap([&] { return Live() && frame_->IsInterlaced(); });
}

TResult<TNone> TGIFFrame::SetInterlaced(bool value) {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        if (!frame || frame->IsInterlaced() == value) return;
        Record(editor::ckFrame, 3, value ? QString("Interlaced") : QString("Non-Interlaced"),
               [&] { frame->SetInterlaced(value); });
    });
}

TResult<bool> TGIFFrame::LocalPalette() {
    return Trap([&] { return Live() && frame_->LocalTable().EntryCount() > 0; });
}

TResult<int> TGIFFrame::Height() {
    return Trap([&] { return Live() ? int(frame_->FrameHeight()) : 0; });
}

TResult<TNone> TGIFFrame::SetHeight(int) { return {}; }

TResult<int> TGIFFrame::Width() {
    return Trap([&] { return Live() ? int(frame_->FrameWidth()) : 0; });
}

TResult<TNone> TGIFFrame::SetWidth(int) { return {}; }

TResult<bool> TGIFFrame::Transparent() {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        return frame && frame->ControlBlock() && frame->ControlBlock()->TransparentFlag();
    });
}

TResult<TNone> TGIFFrame::SetTransparent(bool value) {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        if (!frame || !frame->ControlBlock() || frame->ControlBlock()->TransparentFlag() == value)
            return;
        Record(editor::ckGraphicControl, 3, "Transparent",
               [&] { frame->ControlBlock()->SetTransparentFlag(value); });
    });
}

TResult<int> TGIFFrame::Delay() {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        return frame && frame->ControlBlock() ? int(frame->ControlBlock()->DelayTime()) : -1;
    });
}

TResult<TNone> TGIFFrame::SetDelay(int value) {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        if (!frame || !frame->ControlBlock() || value < 1 || value > 65535 ||
            frame->ControlBlock()->DelayTime() == value)
            return;
        Record(editor::ckGraphicControl, 3, "Delay",
               [&] { frame->ControlBlock()->SetDelayTime(uint16_t(value)); });
    });
}

TResult<int> TGIFFrame::Disposal() {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        return frame && frame->ControlBlock() ? int(frame->ControlBlock()->DisposalCode()) : 0;
    });
}

TResult<TNone> TGIFFrame::SetDisposal(int value) {
    return Trap([&] {
        gif::TGIFSubImage* frame = Live();
        // The code is a 3-bit field: other values would spill into the neighbouring flags.
        if (!frame || !frame->ControlBlock() || value < 0 || value > 7 ||
            frame->ControlBlock()->DisposalCode() == value)
            return;
        Record(editor::ckGraphicControl, 3, "Disposal",
               [&] { frame->ControlBlock()->SetDisposalCode(uint8_t(value)); });
    });
}

TResult<bool> TGIFFrame::SetBitmap(const TPicture& picture) {
    return Trap([&] {
        editor::TWorkspace& workspace = context_->Workspace();
        editor::TBusyCursor busy(workspace.Prompter());
        gif::TBitmap bitmap;
        bool result = BitmapFromPicture(picture, bitmap);
        gif::TGIFSubImage* frame = Live();
        editor::TDocument* document = context_->Active();
        if (!frame || !document) return false;
        if (result && !bitmap.Empty()) {
            document->PushCommand(editor::ckActiveAnimation, 8, -1, -1, Index(),
                                  "Change Frame Image");
            try {
                frame->Assign(&bitmap);
            } catch (const std::exception&) {
                result = false;
            }
            if (result)
                editor::OptimiseFrameColours(*frame, workspace.Config().Value(editor::keys::PaletteType),
                                             workspace.Palettes());
        }
        if (result) {
            document->SetModified(true);
            if (workspace.Contains(document)) workspace.DisplayFrame(workspace.Frames().Selected());
        }
        return result;
    });
}

// TGIFFrames -------------------------------------------------------------------------

TResult<int> TGIFFrames::Count() {
    return Trap([&] { return context_->Active() ? context_->Image().FrameCount() : 0; });
}

TResult<std::shared_ptr<IFrame>> TGIFFrames::Frame(int index) {
    return Trap([&]() -> std::shared_ptr<IFrame> {
        if (!context_->Active() || index < 0 || index >= context_->Image().FrameCount())
            return nullptr;
        return std::make_shared<TGIFFrame>(context_, context_->Image().Frame(index));
    });
}

TResult<TObjectRef> TGIFFrames::Item(int index) {
    TResult<std::shared_ptr<IFrame>> frame = Frame(index);
    return {frame.Value, frame.Status, frame.Error};
}

TResult<TEnumRef> TGIFFrames::_NewEnum() {
    return Trap([&]() -> TEnumRef {
        return std::make_shared<TEnumVariantCollection>(shared_from_this());
    });
}

} // namespace automation

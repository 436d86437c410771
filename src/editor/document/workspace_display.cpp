// Showing a frame of the working image in the active document, and the actions that
// follow the shown frame.
#include "editor/core/animation_routines.h"
#include "editor/core/format.h"
#include "editor/core/frame_list.h"
#include "editor/core/prompter.h"
#include "editor/core/settings.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/workspace.h"
#include "editor/document/workspace_host.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

#include <utility>

namespace editor {

namespace {

// The colour of pixel (1, height - 1) of the frame's picture: the frame panel's background.
gif::TColor PanelBackground(gif::TGIFSubImage& first) {
    if (first.IsBlank()) return gif::clWhite;
    const int x = std::min(1, first.FrameWidth() - 1);
    const int y = first.FrameHeight() - 1;
    const int index = std::as_const(first).Pixels()[size_t(y) * first.FrameWidth() + x];
    const auto entries = first.EffectiveTable().Entries();
    if (index >= int(entries.size())) return gif::clBlack;
    return gif::RGB(entries[index].Red, entries[index].Green, entries[index].Blue);
}

} // namespace

void TWorkspace::DisplayFrame(int index) {
    if (!active_) return;
    host_.StopPlayback(true);
    if (index < 0 || index >= frames_.Count() || image_->Empty()) return;
    if (index >= image_->FrameCount()) {
        prompter_.Message(TMessageKind::Error, Format(msg::SubImageIndexError, index));
        return;
    }
    TDocument& document = *active_;
    gif::TGIFSubImage& frame = *image_->Frame(index);
    if (!frame.ControlBlock()) EnsureGraphicControl(frame, settings_.Value(keys::DefaultDelay));

    TShownFrame& shown = document.Shown;
    shown.ImageWidth = image_->Width();
    shown.ImageHeight = image_->Height();
    document.StatusText =
        Format(msg::FrameCaption, document.ShortName(), image_->Height(), image_->Width());
    shown.DrawTransparent = false;
    shown.TransparentColor = gif::clNone;
    const gif::TGIFGraphicControlExtension* control = frame.ControlBlock();
    // A frame without any colour table has no colours to draw or to make transparent.
    const bool hasColors = frame.EffectiveTable().EntryCount() > 0;
    if (control && hasColors) {
        shown.DrawTransparent = control->TransparentFlag();
        shown.TransparentColor = control->TransparentColorValue();
    }
    // A copy: the frame's own bitmap is a cache that edits drop.
    shown.Bitmap.reset();
    if (hasColors) {
        if (gif::TBitmap* bitmap = frame.FrameBitmap())
            shown.Bitmap = std::make_shared<const gif::TBitmap>(*bitmap);
        frame.DropBitmap();
    }
    shown.Bounds = frame.BoundsRect();
    shown.Background = PanelBackground(*image_->Frame(0));
    host_.FrameShown(document);

    frames_.Select(index);
    actions_.EnableFrameActions(index, frames_.Count());
    actions_.SetEnabled(TActionId::EditPaste, host_.CanPaste());
    actions_.SetEnabled(TActionId::AnimationPalette, image_->GlobalColorMap().EntryCount() > 0);
    actions_.EnableDocumentActions(true);
    host_.InspectorShowFrame(index);
    if (inspectorHideOnce_) {
        inspectorHideOnce_ = false;
        host_.SetInspectorVisible(true);
    }
}

} // namespace editor

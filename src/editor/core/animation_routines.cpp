#include "editor/core/animation_routines.h"

#include "gif/base/stream.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"

namespace editor {

using namespace gif;

bool IsAnimation(const TGIFImage& image) {
    int nonEmpty = 0;
    for (int i = 0; i < image.FrameCount() && nonEmpty < 2; ++i)
        if (!image.Frame(i)->IsBlank()) ++nonEmpty;
    return nonEmpty >= 2;
}

int64_t EncodedSize(TGIFImage& image) {
    TCountingStream counter;
    image.SaveToStream(counter);
    return counter.Size();
}

uint16_t TotalDelay(const TGIFImage& image) {
    uint16_t total = 0;
    for (int i = 0; i < image.FrameCount(); ++i)
        if (const TGIFGraphicControlExtension* control = image.Frame(i)->ControlBlock())
            total = uint16_t(total + control->DelayTime());
    return total;
}

uint16_t StoredLoopCount(int playCount) {
    return playCount <= 0 ? 0 : uint16_t(playCount - 1);
}

TGIFAppExtNSLoop* FindLoopExtension(const TGIFSubImage& frame) {
    const TGIFExtensionList& blocks = frame.Blocks();
    for (int i = 0; i < blocks.ItemCount(); ++i)
        if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(blocks.Extensions(i))) return loop;
    return nullptr;
}

bool HasLoopExtension(const TGIFImage& image) {
    return image.FrameCount() > 0 && FindLoopExtension(*image.Frame(0));
}

int GetPlayCount(const TGIFImage& image) {
    if (!HasLoopExtension(image)) return 1;
    const uint16_t stored = FindLoopExtension(*image.Frame(0))->LoopCount;
    return stored == 0 || stored == 65535 ? 0 : stored + 1;
}

void AddLoopExtension(TGIFImage& image, int frameIndex, int playCount) {
    if (playCount == 1 || frameIndex < 0 || frameIndex >= image.FrameCount()) return;
    TGIFSubImage& frame = *image.Frame(frameIndex);
    auto loop = std::make_unique<TGIFAppExtNSLoop>(&frame);
    loop->LoopCount = StoredLoopCount(playCount);
    frame.Blocks().InsertAt(0, std::move(loop));
}

bool SetPlayCount(TGIFImage& image, int playCount) {
    if (playCount == 1) return false;
    if (TGIFAppExtNSLoop* loop = HasLoopExtension(image) ? FindLoopExtension(*image.Frame(0)) : nullptr) {
        loop->LoopCount = StoredLoopCount(playCount);
        return true;
    }
    AddLoopExtension(image, 0, playCount);
    return false;
}

TGIFGraphicControlExtension& EnsureGraphicControl(TGIFSubImage& frame, int delay) {
    TGIFGraphicControlExtension* control = frame.ControlBlock();
    if (!control) {
        auto block = std::make_unique<TGIFGraphicControlExtension>(&frame);
        control = block.get();
        frame.Blocks().Add(std::move(block));
    }
    control->SetDelayTime(uint16_t(delay));
    control->SetDisposalCode(dmNoDisposal);
    return *control;
}

void PrepareNewFrame(TGIFSubImage& frame, int playCount, int delay) {
    TGIFImage* image = frame.OwnerImage();
    if (image && !HasLoopExtension(*image)) AddLoopExtension(*image, 0, playCount);
    EnsureGraphicControl(frame, delay);
    if (frame.LocalTable().EntryCount() > 0) frame.LocalTable().SortByUse();
    if (image && image->GlobalColorMap().EntryCount() == 0 && frame.LocalTable().EntryCount() > 0) {
        image->GlobalColorMap().CopyFrom(frame.LocalTable());
        image->GlobalColorMap().SortByUse();
    }
}

void AddComment(TGIFSubImage& frame, const QString& text) {
    auto comment = std::make_unique<TGIFCommentExtension>(&frame);
    const QStringList lines = QString(text).replace("\r\n", "\n").split('\n');
    for (const QString& line : lines) comment->CommentLines().push_back(line.toStdString());
    frame.Blocks().Add(std::move(comment));
}

namespace {

// Keeps the last graphic control block of a frame (the one a viewer obeys) and makes the
// frame's own references point at it again.
void RelinkControlBlock(TGIFSubImage& frame, TGIFGraphicControlExtension* kept) {
    if (!kept) return;
    frame.SetControlBlock(kept);
    frame.SetIsTransparent(kept->TransparentFlag());
}

} // namespace

void NormaliseAnimation(TGIFImage& image, bool skipCompatibilityFix,
                        const TAnimationDefaults& defaults) {
    if (image.FrameCount() == 0) return;
    bool movedLoop = false;
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFSubImage& frame = *image.Frame(i);
        if (!frame.ControlBlock()) EnsureGraphicControl(frame, 100);
        TGIFExtensionList& blocks = frame.Blocks();
        TGIFGraphicControlExtension* kept = nullptr;
        for (int b = blocks.ItemCount() - 1; b >= 0; --b) {
            TGIFExtension* block = blocks.Extensions(b);
            if (dynamic_cast<TGIFAppExtNSLoop*>(block)) {
                if (i > 0) {
                    blocks.DeleteAt(b);
                    movedLoop = true;
                } else {
                    movedLoop = false;
                }
                continue;
            }
            auto* control = dynamic_cast<TGIFGraphicControlExtension*>(block);
            if (!control) continue;
            if (kept) {
                // An earlier block of the same frame: viewers use the last one only.
                blocks.DeleteAt(b);
                continue;
            }
            kept = control;
            const bool fullScreen =
                frame.FrameWidth() == image.Width() && frame.FrameHeight() == image.Height();
            if (!skipCompatibilityFix && i > 0 && control->TransparentFlag() && fullScreen)
                control->SetDisposalCode(dmBackground);
            if (control->DelayTime() == 0) control->SetDelayTime(uint16_t(defaults.Delay));
        }
        RelinkControlBlock(frame, kept);
    }
    // A looping block found on a later frame moves to the first one with the default play
    // count; a first frame with a looping block of its own keeps it (a second block in
    // front of it would replace the play count the user chose).
    if (movedLoop && !HasLoopExtension(image)) AddLoopExtension(image, 0, defaults.PlayCount);
}

} // namespace editor

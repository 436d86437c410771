#include "editor/core/frame_moves.h"

#include <optional>

#include "editor/core/animation_routines.h"
#include "editor/core/frame_list.h"
#include "editor/core/prompter.h"
#include "editor/core/temp_files.h"
#include "gif/model/application_extension.h"
#include "gif/model/image.h"

namespace editor {

using namespace gif;

bool DeleteFrameAt(TEditContext& context, int index) {
    TGIFImage& image = context.Image;
    if (index < 0 || index >= image.FrameCount()) return false;
    image.Images().DeleteAt(index);
    IFrameList& list = context.Frames;
    if (index < list.Count()) list.DeleteItem(index);
    const int selected = index > 0 ? index - 1 : 0;
    if (list.Count() > 0) {
        list.Select(selected);
        list.ShowFrame(selected);
    }
    return true;
}

void MoveFrameInImage(TEditContext& context, int from, int to) {
    if (from == -1) return;
    TGIFImage& image = context.Image;
    std::optional<uint16_t> loopCount;
    if ((from == 0 || to == 0) && image.FrameCount() > 0) {
        TGIFSubImage& first = *image.Frame(0);
        if (TGIFAppExtNSLoop* loop = FindLoopExtension(first)) {
            loopCount = loop->LoopCount;
            first.Blocks().DeleteAt(first.Blocks().IndexOf(loop));
        }
    }
    try {
        image.Images().MoveItem(from, to);
    } catch (const std::exception&) {
        // A move outside the list changes nothing; the looping block goes back below.
    }
    if (loopCount && image.FrameCount() > 0) {
        TGIFSubImage& first = *image.Frame(0);
        auto loop = std::make_unique<TGIFAppExtNSLoop>(&first);
        loop->LoopCount = *loopCount;
        first.Blocks().InsertAt(0, std::move(loop));
    }
    IFrameList& list = context.Frames;
    if (from < list.Count()) {
        try {
            list.MoveItem(from, to);
            list.Select(to);
        } catch (const std::exception&) {
        }
    }
}

bool InsertFrameFromFile(TEditContext& context, const QString& path, int index) {
    TBusyCursor busy(context.Prompter);
    TGIFImage scratch;
    scratch.OnProgress = context.Progress;
    try {
        scratch.LoadFromFile(NativePath(path));
    } catch (const std::exception&) {
        return false;
    }
    return InsertFrameFromImage(context, scratch, index);
}

bool InsertFrameFromImage(TEditContext& context, TGIFImage& scratch, int index) {
    if (index < 0 || index >= scratch.FrameCount()) return false;
    TGIFImage& image = context.Image;
    if (index > image.FrameCount()) return false;
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->CopyFrom(*scratch.Frame(index));
    if (frame->IsBlank()) return false;
    image.Images().InsertAt(index, std::move(frame));
    context.Frames.InsertItem(index);
    context.Frames.Select(index);
    return true;
}

} // namespace editor

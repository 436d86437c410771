// TGIFFrames and TGIFFrame: the frames of the active document's animation. The collection
// is stateless; a frame object refers to one frame of the working image, fixed when it
// is made, and every write is recorded in the active document's undo history.
#pragma once

#include "automation/model/context.h"
#include "automation/model/interfaces.h"

namespace gif {
class TGIFSubImage;
}

namespace automation {

class TGIFFrame final : public IFrame {
  public:
    TGIFFrame(TContextRef context, gif::TGIFSubImage* frame);

    TResult<TPicture> Bitmap() override;
    TResult<QString> Comments() override;
    TResult<bool> Empty() override;
    TResult<int> Extensions() override;
    TResult<int> Left() override;
    TResult<TNone> SetLeft(int value) override;
    TResult<int> Top() override;
    TResult<TNone> SetTop(int value) override;
    TResult<bool> Interlaced() override;
    TResult<TNone> SetInterlaced(bool value) override;
    TResult<bool> LocalPalette() override;
    TResult<int> Height() override;
    TResult<TNone> SetHeight(int value) override;
    TResult<int> Width() override;
    TResult<TNone> SetWidth(int value) override;
    TResult<bool> Transparent() override;
    TResult<TNone> SetTransparent(bool value) override;
    TResult<int> Delay() override;
    TResult<TNone> SetDelay(int value) override;
    TResult<int> Disposal() override;
    TResult<TNone> SetDisposal(int value) override;
    TResult<bool> SetBitmap(const TPicture& bitmap) override;

    // The frame's index in the working image; -1 once it has gone (deleted, or another
    // document's animation loaded).
    int Index() const;

  private:
    // The frame while it is still a frame of the working image, else null. The object
    // keeps only the address: it is compared with the image's frames, never followed
    // after the frame has gone.
    gif::TGIFSubImage* Live() const;
    // Records `caption` for the frame, runs `change`, marks the document modified.
    template <class F>
    void Record(int kind, int subKind, const QString& caption, F&& change);

    TContextRef context_;
    gif::TGIFSubImage* frame_;
    uint64_t serial_;
};

class TGIFFrames final : public IFrames,
                         public IVariantCollection,
                         public std::enable_shared_from_this<TGIFFrames> {
  public:
    explicit TGIFFrames(TContextRef context) : context_(std::move(context)) {}

    TResult<int> Count() override;
    TResult<std::shared_ptr<IFrame>> Frame(int index) override;
    TResult<TEnumRef> _NewEnum() override;

    // IVariantCollection
    IAutomationObject* ControllingObject() override { return this; }
    TResult<int> ItemCount() override { return Count(); }
    TResult<TObjectRef> Item(int index) override;

  private:
    TContextRef context_;
};

} // namespace automation

// Commands that keep whole animations in undo snapshots on disk, or a frame's placement.
#pragma once

#include <vector>

#include "editor/undo/animation_snapshot.h"
#include "editor/undo/command.h"

namespace editor {

// Whole-animation edits (resize, reverse, global properties, optimisation): undo puts the
// saved animation back.
class TActiveAnimation : public TCommand {
public:
    TActiveAnimation(TEditContext& context, uint8_t subKind, int frameIndex);
    const char* ClassName() const override { return "TActiveAnimation"; }
    void Undo(TEditContext& context) override;
    QString TempFileName() const { return snapshot_.Path(); }

private:
    TAnimationSnapshot snapshot_;
};

// Frame edits: 1 a frame was inserted, 2 deleted (the animation is kept in a file),
// 3 its placement or interlacing changed, 4 it was moved to `Target`.
class TFrame : public TCommand {
public:
    TFrame(TEditContext& context, uint8_t subKind, int target, int frameIndex);
    const char* ClassName() const override { return "TFrame"; }
    void Undo(TEditContext& context) override;
    QString TempFileName() const { return snapshot_ ? snapshot_->Path() : QString(); }

    int Target;

private:
    int imageHeight_;
    int imageWidth_;
    uint16_t left_, top_, width_, height_;
    bool interlaced_;
    // The frame's pixels for a placement change: a new size reallocates them, so undoing
    // it needs them back.
    std::vector<uint8_t> pixels_;
    std::unique_ptr<TAnimationSnapshot> snapshot_;
};

} // namespace editor

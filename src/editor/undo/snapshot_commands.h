// Commands that keep whole animations in temporary files, or a frame's placement.
#pragma once

#include <vector>

#include "editor/core/temp_files.h"
#include "editor/undo/command.h"

namespace editor {

// A copy of the whole animation in a temporary GIF file ("~GL" in the temporary folder),
// deleted with the command. Written straight from the working image: no second copy of
// the animation is held in memory.
class TAnimationSnapshot {
public:
    explicit TAnimationSnapshot(TEditContext& context);
    ~TAnimationSnapshot() { DeleteFileIfNamed(path_); }
    TAnimationSnapshot(const TAnimationSnapshot&) = delete;
    TAnimationSnapshot& operator=(const TAnimationSnapshot&) = delete;
    const QString& Path() const { return path_; }

private:
    QString path_;
};

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

// Pictures that become frames of the working image: the palette and size questions, the
// position question, and the new animation that the first picture starts.
#pragma once

#include <QString>

namespace gif {
class TBitmap;
}

namespace editor {

class Settings;
class TDocument;
class TWorkspace;

// The questions of the prompts window that inserting a picture asks.
class IFramePrompts {
  public:
    virtual ~IFramePrompts() = default;
    // The palette page: true (OK) applies the stored palette settings, false cancels.
    virtual bool AskPaletteSettings() = 0;
    // The frame-size page, for a picture larger than the animation: true (OK) with the
    // choice between trimming the picture and enlarging the animation.
    virtual bool AskFrameSize(bool& trim) = 0;
    // The insert page while frame `selected` is selected: the index to insert at (at the
    // start 0, after selected + 1, before selected), -1 on Cancel.
    virtual int AskInsertIndex(int selected) = 0;
};

// Answers as the stored settings do without asking: the palette settings applied,
// "ClipFrame" deciding the size question, insertion after the selected frame (the insert
// page's preset choice). Used until the prompts window is given to the workspace.
class TStoredFramePrompts final : public IFramePrompts {
  public:
    explicit TStoredFramePrompts(const Settings& settings) : settings_(settings) {}
    bool AskPaletteSettings() override { return true; }
    bool AskFrameSize(bool& trim) override;
    int AskInsertIndex(int selected) override { return selected + 1; }

  private:
    const Settings& settings_;
};

// Where a new frame goes: 0 without a selected frame, else the insert page's answer.
int AskInsertPosition(TWorkspace& workspace);

// Inserts the picture as frame `index` of the working image (colour reduction by the
// palette settings, after the palette question for pictures of 8 bits or more). The first
// frame of an empty image gets the program's comment and starts a new untitled document.
// Returns the index, or -1 when the question was cancelled.
int InsertBitmapFrame(TWorkspace& workspace, gif::TBitmap& bitmap, int index);

// Inserts the picture as frame `index` with its list item, fitting a picture larger than
// the animation first; the active document records the edit under `caption` and shows the
// frame. Returns the index, or -1 when cancelled.
int AddFrameFromBitmap(TWorkspace& workspace, gif::TBitmap& bitmap, int index,
                       const QString& caption);

// A picture file as a new frame, at the position the user chooses ("Add Frame"): the
// thumbnail browser's insert and drops. Playback stops and the start-up animation goes.
void InsertFileAsFrame(TWorkspace& workspace, const QString& path);

// Scripts' frame adding: the picture as a new frame after the selected one (first when
// none is selected), reduced by the image's own settings without any question, shown for
// `delay` hundredths. False without an active document.
bool AddFrameAfterSelection(TWorkspace& workspace, const gif::TBitmap& bitmap, int delay);

// A document's picture dropped on list item `index`: a copy of the active document's shown
// frame is inserted there ("Add Frame").
void InsertShownFrameAt(TWorkspace& workspace, int index);

// Copies the picture of the active document's selected frame into `target` (a frame or a
// paint box dropped on it), at the position the user chooses, as "Drag and Drop Image".
void CopyFrameAcross(TWorkspace& workspace, TDocument& target);

} // namespace editor

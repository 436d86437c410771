// The frame list as the routines see it: one item per non-empty frame of the working
// image, in frame order. Routines that add, remove or move frames keep it in step
// through this interface; the window's list implements it, tests use a recording fake.
#pragma once

namespace editor {

class IFrameList {
public:
    virtual ~IFrameList() = default;

    virtual int Count() const = 0;
    // A new item "Frame" at `index` showing frame `index` of the working image.
    virtual void InsertItem(int index) = 0;
    virtual void DeleteItem(int index) = 0;
    virtual void MoveItem(int from, int to) = 0;
    virtual void Clear() = 0;
    // The selected item, -1 when none.
    virtual int Selected() const = 0;
    virtual void Select(int index) = 0;
    // Shows frame `index` in the active document and the inspector.
    virtual void ShowFrame(int index) = 0;

    void AddItem() { InsertItem(Count()); }
};

} // namespace editor

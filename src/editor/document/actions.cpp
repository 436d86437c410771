#include "editor/document/actions.h"

namespace editor {

namespace {

using A = TActionId;

// Every action, in TActionId order.
constexpr TActionInfo Infos[ActionCount] = {
    {A::FileNew, "FileNew", "&New", "Ctrl+N", false, true},
    {A::FileOpen, "FileOpen", "&Open...", "Ctrl+O", false, true},
    {A::FileClose, "FileClose", "&Close", "", true, false},
    {A::FileCloseAll, "FileCloseAll", "Close &All", "", true, false},
    {A::FileSave, "FileSave", "&Save", "Ctrl+S", false, false},
    {A::FileSaveAs, "FileSaveAs", "Save &As...", "", true, false},
    {A::FileSaveAll, "FileSaveAll", "Sa&ve All", "", false, false},
    {A::FileExit, "FileExit", "E&xit", "", false, true},
    {A::EditUndo, "EditUndo", "&Undo", "Ctrl+Z", false, false},
    {A::EditCut, "EditCut", "Cu&t", "Ctrl+X", true, false},
    {A::EditCopy, "EditCopy", "&Copy", "Ctrl+C", true, false},
    {A::EditPaste, "EditPaste", "&Paste", "Ctrl+V", false, false},
    {A::FrameAdd, "FrameAdd", "&Add Frame...", "Ctrl+A", false, true},
    {A::FrameDelete, "FrameDelete", "&Delete Frame", "", false, false},
    {A::FrameMoveBegin, "FrameMoveBegin", "Move Frame to &Beginning", "", false, false},
    {A::FrameMoveEnd, "FrameMoveEnd", "Move Frame to &End", "", false, false},
    {A::FrameMoveUp, "FrameMoveUp", "&Move Frame Up", "Ctrl+U", false, false},
    {A::FrameMoveDown, "FrameMoveDown", "Move Frame Do&wn", "Ctrl+D", false, false},
    {A::FrameGlobalChange, "FrameGlobalChange", "&Global Frame Properties...", "", true, false},
    {A::AnimationPlay, "AnimationPlay", "&Play Animation", "Ctrl+R", true, false},
    {A::AnimationPause, "AnimationPause", "Pa&use Animation", "", false, false},
    {A::AnimationInfo, "AnimationInfo", "&Animation Information...", "Ctrl+I", true, false},
    {A::AnimationPalette, "AnimationPalette", "&Global Palette...", "", true, false},
    {A::AnimationOptimize, "AnimationOptimize", "Optimize &Animation...", "", true, false},
    {A::AnimationResize, "AnimationResize", "Re&size...", "", true, false},
    {A::HelpContents, "HelpContents", "&Contents...", "F1", false, true},
    {A::WindowNextDoc, "WindowNextDoc", "&Next Document", "", false, true},
    {A::WindowPrevDoc, "WindowPrevDoc", "&Previous Document", "", false, true},
    {A::WindowCascade, "WindowCascade", "&Cascade", "", false, true},
    {A::WindowTileHorizontal, "WindowTileHorizontal", "Tile &Horizontally", "", false, true},
    {A::WindowTileVertical, "WindowTileVertical", "Tile &Vertically", "", false, true},
    {A::WindowMinimizeAll, "WindowMinimizeAll", "&Minimize All", "", false, true},
    {A::WindowArrangeAll, "WindowArrangeAll", "&Arrange All", "", false, true},
    {A::ThumbsBrowse, "ThumbsBrowse", "&Browse...", "Ctrl+B", false, true},
    {A::ThumbsRefresh, "ThumbsRefresh", "&Refresh", "F5", false, true},
    {A::ThumbsClear, "ThumbsClear", "C&lear Window", "", false, true},
};

} // namespace

const TActionInfo& ActionInfo(TActionId id) {
    return Infos[size_t(id)];
}

TActionStates::TActionStates() {
    for (const TActionInfo& info : Infos) {
        state_[size_t(info.Id)].Enabled = info.Enabled;
        state_[size_t(info.Id)].Caption = info.Caption;
    }
}

void TActionStates::SetEnabled(TActionId id, bool value) {
    TState& state = state_[size_t(id)];
    if (state.Enabled == value) return;
    state.Enabled = value;
    if (OnChange) OnChange(id);
}

void TActionStates::SetCaption(TActionId id, const QString& caption) {
    TState& state = state_[size_t(id)];
    if (state.Caption == caption) return;
    state.Caption = caption;
    if (OnChange) OnChange(id);
}

void TActionStates::EnableDocumentActions(bool on) {
    for (const TActionInfo& info : Infos)
        if (info.Document) SetEnabled(info.Id, on);
}

void TActionStates::EnableFrameActions(int index, int count) {
    SetEnabled(A::FrameDelete, index != -1);
    SetEnabled(A::EditCut, index != -1);
    SetEnabled(A::EditCopy, index != -1);
    SetEnabled(A::FrameMoveBegin, index != 0);
    SetEnabled(A::FrameMoveUp, index != 0);
    SetEnabled(A::FrameMoveEnd, index + 1 != count);
    SetEnabled(A::FrameMoveDown, index + 1 != count);
}

void TActionStates::DisableFrameActions() {
    for (A id :
         {A::FrameDelete, A::FrameMoveBegin, A::FrameMoveEnd, A::FrameMoveUp, A::FrameMoveDown})
        SetEnabled(id, false);
}

} // namespace editor

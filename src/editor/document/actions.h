// The main window's commands as the document logic sees them: one entry per action with
// its caption, shortcut, group and initial state, and the enabled state and caption of
// each, kept here so that the enabling rules run (and are tested) without widgets. The
// window mirrors this state into its QActions.
#pragma once

#include <QString>
#include <array>
#include <functional>

namespace editor {

enum class TActionId : int {
    FileNew,
    FileOpen,
    FileClose,
    FileCloseAll,
    FileSave,
    FileSaveAs,
    FileSaveAll,
    FileExit,
    EditUndo,
    EditCut,
    EditCopy,
    EditPaste,
    FrameAdd,
    FrameDelete,
    FrameMoveBegin,
    FrameMoveEnd,
    FrameMoveUp,
    FrameMoveDown,
    FrameGlobalChange,
    AnimationPlay,
    AnimationPause,
    AnimationInfo,
    AnimationPalette,
    AnimationOptimize,
    AnimationResize,
    HelpContents,
    WindowNextDoc,
    WindowPrevDoc,
    WindowCascade,
    WindowTileHorizontal,
    WindowTileVertical,
    WindowMinimizeAll,
    WindowArrangeAll,
    ThumbsBrowse,
    ThumbsRefresh,
    ThumbsClear,
};
inline constexpr int ActionCount = int(TActionId::ThumbsClear) + 1;

struct TActionInfo {
    TActionId Id;
    const char* Name;     // "FileOpen": the action's object name
    const char* Caption;  // with its "&" accelerator
    const char* Shortcut; // portable key text ("Ctrl+O"), empty for none
    bool Document;        // the "document" group: switched by EnableDocumentActions
    bool Enabled;         // initial state
};

const TActionInfo& ActionInfo(TActionId id);

class TActionStates {
  public:
    TActionStates();

    bool Enabled(TActionId id) const { return state_[size_t(id)].Enabled; }
    void SetEnabled(TActionId id, bool value);
    QString Caption(TActionId id) const { return state_[size_t(id)].Caption; }
    void SetCaption(TActionId id, const QString& caption);

    // Every action of the document group on or off.
    void EnableDocumentActions(bool on);
    // Frame actions for frame `index` of `count` list items.
    void EnableFrameActions(int index, int count);
    void DisableFrameActions();
    // Playback is running exactly while Pause is enabled.
    bool Playing() const { return Enabled(TActionId::AnimationPause); }

    // Called after each change of an action's state.
    std::function<void(TActionId)> OnChange;

  private:
    struct TState {
        bool Enabled = false;
        QString Caption;
    };
    std::array<TState, ActionCount> state_;
};

} // namespace editor

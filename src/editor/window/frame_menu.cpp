// The frame and animation editing commands as the main window runs them: from the Edit and
// Tools menus, the toolbars, the frame list's pop-up menu and drags within the list.
#include "editor/document/document.h"
#include "editor/document/frame_insertion.h"
#include "editor/document/workspace.h"
#include "editor/frames/animation_prompts.h"
#include "editor/frames/frame_clipboard.h"
#include "editor/frames/frame_commands.h"
#include "editor/window/frame_list_widget.h"
#include "editor/document/thumbnail_drop.h"
#include "editor/window/main_window.h"
#include "editor/window/mdi_child.h"
#include "editor/window/wizards_host.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>

namespace editor {

namespace {

// Commands that ask with the dialogs first; unavailable until the window has them.
constexpr TActionId PromptedActions[] = {TActionId::FrameGlobalChange, TActionId::AnimationInfo,
                                         TActionId::AnimationPalette, TActionId::AnimationResize};

} // namespace

void TfrmMain::ConnectFrameCommands() {
    using A = TActionId;
    clipboard_ = std::make_unique<TFrameClipboard>(*workspace_);
    const std::pair<A, void (TfrmMain::*)()> commands[] = {
        {A::EditCut, &TfrmMain::EditCutExecute},
        {A::EditCopy, &TfrmMain::EditCopyExecute},
        {A::EditPaste, &TfrmMain::EditPasteExecute},
        {A::FrameDelete, &TfrmMain::FrameDeleteExecute},
        {A::FrameMoveBegin, &TfrmMain::FrameMoveBeginExecute},
        {A::FrameMoveEnd, &TfrmMain::FrameMoveEndExecute},
        {A::FrameMoveUp, &TfrmMain::FrameMoveUpExecute},
        {A::FrameMoveDown, &TfrmMain::FrameMoveDownExecute},
        {A::AnimationOptimize, &TfrmMain::AnimationOptimizeExecute},
        {A::FrameGlobalChange, &TfrmMain::FrameGlobalChangeExecute},
        {A::AnimationInfo, &TfrmMain::AnimationInfoExecute},
        {A::AnimationPalette, &TfrmMain::AnimationPaletteExecute},
        {A::AnimationResize, &TfrmMain::AnimationResizeExecute},
    };
    for (const auto& [id, handler] : commands)
        connect(Action(id), &QAction::triggered, this, handler);
    connect(mniPasteComments_, &QAction::triggered, this, &TfrmMain::EditPasteCommentsExecute);
    connect(mniReverse_, &QAction::triggered, this, &TfrmMain::ReverseFrameOrderExecute);
    connect(mniHtmlCode_, &QAction::triggered, this, &TfrmMain::HtmlCodeExecute);
    for (TActionId id : PromptedActions)
        MarkUnavailable(Action(id), "Comes with the animation dialogs");
    MarkUnavailable(mniHtmlCode_, "Comes with the animation dialogs");

    lbFrames_->OnMoveFrame = [this](int from, int to) {
        BeginFrameCommand();
        MoveFrame(*workspace_, from, to);
    };
    lbFrames_->OnThumbnailDropped = [this](const QString& path) {
        DropThumbnail(*workspace_, path, TThumbnailDropTarget::FrameList);
    };
    lbFrames_->OnPictureDropped = [this](int index) {
        BeginFrameCommand();
        InsertShownFrameAt(*workspace_, index);
    };
    lbFrames_->OnContextMenu = [this](const QPoint& at) { ShowFramesMenu(at); };
    // A picture copied in another program makes Paste available at once.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (workspace_->ActiveDocument() && !workspace_->Actions().Playing())
            workspace_->Actions().SetEnabled(TActionId::EditPaste, CanPaste());
    });
}

void TfrmMain::SetAnimationPrompts(IAnimationPrompts* prompts) {
    animationPrompts_ = prompts;
    if (!prompts) return;
    for (TActionId id : PromptedActions) {
        MarkAvailable(Action(id));
        ActionChanged(id);
    }
    MarkAvailable(mniHtmlCode_);
    UpdateToolsMenu();
}

void TfrmMain::BeginFrameCommand() {
    HideStartupAnimation();
    StopPlayback(true);
}

void TfrmMain::ShowFramesMenu(const QPoint& globalPos) {
    if (workspace_->ActiveDocument()) popFrames_->popup(globalPos);
}

void TfrmMain::EditCutExecute() {
    BeginFrameCommand();
    clipboard_->Cut();
}

void TfrmMain::EditCopyExecute() {
    BeginFrameCommand();
    clipboard_->Copy();
}

void TfrmMain::EditPasteExecute() {
    if (!TFrameClipboard::CanPaste()) {
        workspace_->Actions().SetEnabled(TActionId::EditPaste, false);
        return;
    }
    BeginFrameCommand();
    clipboard_->Paste();
}

void TfrmMain::EditPasteCommentsExecute() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return;
    BeginFrameCommand();
    PasteComments(*workspace_, data->text());
}

void TfrmMain::FrameDeleteExecute() {
    BeginFrameCommand();
    DeleteFrame(*workspace_, workspace_->Frames().Selected());
}

void TfrmMain::MoveSelected(TFrameMove move) {
    BeginFrameCommand();
    MoveSelectedFrame(*workspace_, move);
}

void TfrmMain::FrameMoveBeginExecute() {
    MoveSelected(TFrameMove::ToBeginning);
}
void TfrmMain::FrameMoveEndExecute() {
    MoveSelected(TFrameMove::ToEnd);
}
void TfrmMain::FrameMoveUpExecute() {
    MoveSelected(TFrameMove::Up);
}
void TfrmMain::FrameMoveDownExecute() {
    MoveSelected(TFrameMove::Down);
}

void TfrmMain::AnimationOptimizeExecute() {
    BeginFrameCommand();
    // The optimisation wizard when the window has it; the fixed passes otherwise.
    if (!ShowWizard(&IWizards::OptimizationWizard)) OptimizeAnimation(*workspace_);
}

void TfrmMain::ReverseFrameOrderExecute() {
    BeginFrameCommand();
    ReverseFrameOrder(*workspace_);
}

void TfrmMain::FrameGlobalChangeExecute() {
    if (!animationPrompts_) return;
    BeginFrameCommand();
    editor::FrameGlobalChangeExecute(*workspace_, *animationPrompts_);
}

void TfrmMain::AnimationInfoExecute() {
    if (!animationPrompts_) return;
    BeginFrameCommand();
    editor::AnimationInfoExecute(*workspace_, *animationPrompts_);
}

void TfrmMain::AnimationPaletteExecute() {
    if (!animationPrompts_) return;
    BeginFrameCommand();
    editor::AnimationPaletteExecute(*workspace_, *animationPrompts_);
}

void TfrmMain::AnimationResizeExecute() {
    if (!animationPrompts_) return;
    BeginFrameCommand();
    editor::AnimationResizeExecute(*workspace_, *animationPrompts_);
}

void TfrmMain::HtmlCodeExecute() {
    if (!animationPrompts_) return;
    BeginFrameCommand();
    editor::HtmlCodeExecute(*workspace_, *animationPrompts_);
}

} // namespace editor

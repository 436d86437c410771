// Playback: the player control moves into the active document's frame panel and plays a
// normalised copy of the working image on the renderer's thread; everything else waits.
#include "editor/core/animation_routines.h"
#include "editor/core/format.h"
#include "editor/core/prompter.h"
#include "editor/document/document.h"
#include "editor/document/document_messages.h"
#include "editor/document/workspace.h"
#include "editor/window/main_window.h"
#include "editor/window/mdi_child.h"
#include "editor/window/player.h"
#include "editor/window/qt_colors.h"
#include "gif/model/image.h"
#include "gif/render/painter.h"

#include <QMdiSubWindow>

namespace editor {

void TfrmMain::AnimationPlayExecute() {
    StartPlayback();
}

void TfrmMain::AnimationPauseExecute() {
    StopPlayback(true);
}

void TfrmMain::PausePlayback() {
    if (workspace_->Actions().Playing()) AnimationPauseExecute();
}

void TfrmMain::StartPlayback() {
    TActionStates& actions = workspace_->Actions();
    TDocument* document = workspace_->ActiveDocument();
    TMDIChild* child = document ? ChildOf(*document) : nullptr;
    if (!child) {
        actions.SetEnabled(TActionId::AnimationPlay, false);
        actions.SetEnabled(TActionId::AnimationPause, false);
        return;
    }
    gif::TGIFImage& image = workspace_->WorkingImage();
    if (!IsAnimation(image)) {
        prompter_->Beep();
        prompter_->Message(TMessageKind::Information, msg::NotAnAnimation);
        return;
    }
    HideStartupAnimation();
    if (auto* window = qobject_cast<QMdiSubWindow*>(child->parentWidget()))
        if (window->isMinimized()) window->showNormal();
    child->PaintBox()->hide();

    auto copy = std::make_unique<gif::TGIFImage>();
    copy->Assign(&image);
    NormaliseAnimation(*copy, true, workspace_->Defaults());
    const int width = copy->Width(), height = copy->Height();
    imgAni_->setParent(child->FramePanel());
    // Transparent areas play in the colour they show in when stopped.
    imgAni_->Background = child->PaintBox()->TransparentFill;
    imgAni_->SetPicture(std::move(copy));
    imgAni_->setGeometry(0, 0, width, height);
    imgAni_->raise();
    imgAni_->show();
    child->FramePanel()->update();
    playingIn_ = child;

    workspace_->PlaybackStarted();
    SetMenusEnabled(false);
}

void TfrmMain::StopPlayback(bool release) {
    TDocument* document = workspace_->ActiveDocument();
    if (!document) {
        workspace_->Actions().SetEnabled(TActionId::AnimationPlay, false);
        workspace_->Actions().SetEnabled(TActionId::AnimationPause, false);
    }
    TMDIChild* child = playingIn_;
    if (!child) return;
    playingIn_ = nullptr;
    imgAni_->hide();
    imgAni_->setParent(this);
    if (release) imgAni_->DropPicture();
    child->PaintBox()->show();
    child->FramePanel()->update();
    child->Refresh();
    workspace_->PlaybackStopped();
    SetMenusEnabled(true);
}

void TfrmMain::PlaybackProgress(gif::TObject* sender) {
    auto* painter = dynamic_cast<gif::TGIFPainter*>(sender);
    if (!painter || !playingIn_) return;
    if (painter->ActiveFrame() < 0) {
        StopPlayback(false);
        return;
    }
    const gif::TGIFImage* image = painter->Image();
    const int frames = image ? image->FrameCount() : 0;
    playingIn_->SetStatusText(Format(msg::PlayingFrame, painter->ActiveFrame(), frames - 1));
}

} // namespace editor

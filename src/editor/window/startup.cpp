// The deferred start-up work after the main window is first shown, and the start-up
// animation over the empty work area.
#include "editor/core/prompter.h"
#include "editor/core/settings.h"
#include "editor/document/workspace.h"
#include "editor/window/main_window.h"
#include "editor/window/player.h"
#include "editor/window/program_files.h"
#include "gif/model/image.h"

#include <QMdiArea>
#include <QTimer>
#include <utility>

namespace editor {

void TfrmMain::StartupEvent() {
    if (settings_.Value(keys::DisplayAnimation) == 1) ShowStartupAnimation();
    ShowWelcomeAtStartup();
    startupHandled_ = true;
    for (std::function<void()>& work : std::exchange(afterStartup_, {}))
        QTimer::singleShot(0, this, std::move(work));
}

void TfrmMain::AfterStartup(std::function<void()> work) {
    if (startupHandled_)
        QTimer::singleShot(0, this, std::move(work));
    else
        afterStartup_.push_back(std::move(work));
}

void TfrmMain::ShowStartupAnimation() {
    if (!workspace_->Documents().empty()) return;
    auto animation = std::make_unique<gif::TGIFImage>();
    {
        TBusyCursor busy(*prompter_);
        if (!LoadGifResource("ANIMATED", *animation)) return;
    }
    startupShown_ = true;
    mdiArea_->setBackground(Qt::white);
    imgAni_->setParent(pnlSplash_);
    imgAni_->Background = Qt::white;
    imgAni_->SetPicture(std::move(animation));
    PlaceStartupPanel();
    pnlSplash_->show();
    pnlSplash_->raise();
    imgAni_->show();
}

void TfrmMain::PlaceStartupPanel() {
    if (!startupShown_ || !imgAni_->Picture()) return;
    pnlSplash_->setGeometry(mdiArea_->geometry().adjusted(2, 2, -2, -2));
    const QSize picture(imgAni_->Picture()->Width(), imgAni_->Picture()->Height());
    QRect place(QPoint(0, 0), picture);
    place.moveCenter(pnlSplash_->rect().center());
    imgAni_->setGeometry(place);
}

void TfrmMain::HideStartupAnimation() {
    if (!startupShown_) return;
    startupShown_ = false;
    mdiArea_->setBackground(palette().brush(QPalette::Dark));
    pnlSplash_->hide();
    imgAni_->hide();
    imgAni_->DropPicture();
    imgAni_->setParent(this);
}

} // namespace editor

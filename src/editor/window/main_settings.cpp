// The main window's settings: read when it is created, written when it is destroyed.
#include "editor/core/palette_routines.h"
#include "editor/core/screen_fit.h"
#include "editor/core/settings.h"
#include "editor/document/startup_settings.h"
#include "editor/document/warning_box.h"
#include "editor/document/workspace.h"
#include "editor/window/frame_list_widget.h"
#include "editor/window/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace editor {

namespace {

// Toolbar sections by tag: 0 "Standard", 1 "Frame", 2 "Animation".
constexpr const char* ToolbarNames[3] = {"Standard", "Frame", "Animation"};

} // namespace

void TfrmMain::LoadSettings() {
    const Settings& s = settings_;
    startMaximized_ = s.Value(keys::WindowState) != "Normal";
    const QRect stored(s.Value(keys::MainLeft), s.Value(keys::MainTop), s.Value(keys::MainWidth),
                       s.Value(keys::MainHeight));
    const QScreen* screen = QGuiApplication::screenAt(stored.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    setGeometry(screen ? FitOnScreen(stored, screen->availableGeometry(), minimumSizeHint()) : stored);

    const TInspectorStart inspector = ReadInspectorStart(settings_);
    SetInspectorVisible(inspector.Visible);
    if (inspector.HideOnce) workspace_->SetInspectorHideOnce();

    mniAutosize_->setChecked(s.Value(keys::AutoSizeSplitter) != 0);
    storedFrameSize_ = s.Value(keys::FrameSize);
    SetFrameSize(storedFrameSize_);
    frameWindowWidth_ = std::max(60, s.Value(keys::FrameWindowWidth));
    // "Right" docks the panel right; any other text docks it left.
    AlignFramePanel(s.Value(keys::FrameWindowAlign) == "Right");
    SetOpenDir(s.Value(keys::InitialDir));

    if (s.Value(keys::Warnings) == 1)
        InstallWarningBox(workspace_->WorkingImage(), *prompter_, settings_);

    normalStyle_ = s.Value(keys::NormalStyle) == 1;
    QToolBar* bars[3] = {tbStandard_, tbFrame_, tbAnimation_};
    struct TPlaced {
        QToolBar* Bar;
        TToolbarPlacement Placement;
    };
    std::vector<TPlaced> placed;
    for (int i = 0; i < 3; ++i) {
        TToolbarPlacement current{bars[i]->x(), bars[i]->y(), true};
        placed.push_back({bars[i], s.Toolbar(ToolbarNames[i], current)});
        for (QToolButton* button : bars[i]->findChildren<QToolButton*>())
            button->setAutoRaise(!normalStyle_);
    }
    // Rows from top to bottom, left to right within a row.
    std::stable_sort(placed.begin(), placed.end(), [](const TPlaced& a, const TPlaced& b) {
        return std::pair(a.Placement.Top, a.Placement.Left) <
               std::pair(b.Placement.Top, b.Placement.Left);
    });
    for (size_t i = 0; i < placed.size(); ++i) {
        if (i > 0 && placed[i].Placement.Top > placed[i - 1].Placement.Top + 4)
            addToolBarBreak(Qt::TopToolBarArea);
        addToolBar(Qt::TopToolBarArea, placed[i].Bar);
        placed[i].Bar->setVisible(placed[i].Placement.Visible);
    }

    ApplyPaletteSettings(workspace_->WorkingImage(), settings_);
    workspace_->RecentFiles().Load(settings_);
}

void TfrmMain::SaveSettings() {
    Settings& s = settings_;
    if (isMaximized()) {
        s.SetValue(keys::WindowState, "Maximized");
    } else if (!isMinimized()) {
        s.SetValue(keys::WindowState, "Normal");
        s.SetValue(keys::MainTop, geometry().top());
        s.SetValue(keys::MainLeft, geometry().left());
        s.SetValue(keys::MainHeight, geometry().height());
        s.SetValue(keys::MainWidth, geometry().width());
    }
    s.SetValue(keys::AutoSizeSplitter, mniAutosize_->isChecked() ? 1 : 0);
    s.SetValue(keys::FrameSize, storedFrameSize_);
    s.SetValue(keys::FrameWindowAlign, frameAlignRight_ ? "Right" : "Left");
    // A window never shown (ended while starting) has no laid-out panel yet.
    s.SetValue(keys::FrameWindowWidth,
               shown_ && pnlAniFrames_->width() > 0 ? pnlAniFrames_->width() : frameWindowWidth_);
    s.SetValue(keys::InitialDir, openDir_);
    s.SetValue(keys::InstallDir, QCoreApplication::applicationDirPath());
    // Written as they are, so that they exist afterwards.
    for (const TIntSetting* key :
         {&keys::ClipDefault, &keys::ClipFrame, &keys::DefaultDelay, &keys::DefaultNSLoop})
        s.SetValue(*key, s.Value(*key));
    s.SetValue(keys::NormalStyle, normalStyle_ ? 1 : 0);
    QToolBar* bars[3] = {tbStandard_, tbFrame_, tbAnimation_};
    for (int i = 0; i < 3; ++i)
        s.SetToolbar(ToolbarNames[i], {bars[i]->x(), bars[i]->y(), !bars[i]->isHidden()});
    workspace_->RecentFiles().Save(s);
    s.Sync();
}

} // namespace editor

#include "browser_link.h"

#include "dialogs/openpreview/open_preview.h"
#include "dialogs/options/options_dialog.h"
#include "dialogs/prompts/prompts.h"
#include "dialogs/thumbnails/thumbs_panel.h"
#include "editor/core/palette_routines.h"
#include "editor/core/settings.h"
#include "editor/document/warning_box.h"
#include "editor/document/workspace.h"
#include "editor/window/main_window.h"
#include "gif/model/image.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace {

// What applying the options changes in the running editor.
class TOptionsHost : public dialogs::IOptionsHost {
  public:
    TOptionsHost(editor::TfrmMain& window, dialogs::TThumbsPanel& panel, editor::Settings& settings)
        : window_(window), panel_(panel), settings_(settings) {}
    void SetToolbarsFlat(bool flat, int rowHeight) override { window_.SetToolbarsFlat(flat, rowHeight); }
    void SetFilterType(int filterType) override { panel_.SetFilterType(filterType); }
    void SetThumbSize(int size) override { panel_.SetThumbSize(size); }
    void SetTransparentColor(uint32_t) override { window_.RepaintFrameList(); }
    void ApplyPaletteSettings() override {
        editor::ApplyPaletteSettings(window_.Workspace().WorkingImage(), settings_);
    }

  private:
    editor::TfrmMain& window_;
    dialogs::TThumbsPanel& panel_;
    editor::Settings& settings_;
};

} // namespace

TBrowserLink::TBrowserLink(editor::TfrmMain& window, editor::Settings& settings)
    : QObject(&window), window_(window), settings_(settings) {
    using editor::TActionId;
    panel_ = new dialogs::TThumbsPanel(window.Workspace(), settings, window.Prompter());
    dock_ = new QDockWidget(&window);
    dock_->setObjectName("dockThumbs");
    dock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock_->setTitleBarWidget(new QWidget(dock_));
    dock_->setWidget(panel_);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock_);
    panel_->ShowStatus = [this](const QString& text) { window_.SetStatusText(text); };
    panel_->HideRequested = [this] { SetBrowserVisible(!BrowserVisible()); };
    panel_->PropertiesPage = [this](const dialogs::TPictureProperties& p) {
        dialogs::TfrmPrompts page(dialogs::TPromptKind::pkProperties, settings_,
                                  window_.Prompter(), &window_);
        page.SetPictureInfo(p.FileName, p.FileSize, p.Dimensions, p.Picture);
        page.exec();
    };
    panel_->OrganizeRequested = [this] {
        dialogs::TfrmOptions options(dialogs::TOptionsMode::Favorites, settings_, window_.Prompter(),
                                     {}, panel_->Favorites(), panel_->Folder(), &window_);
        if (options.exec() == QDialog::Accepted && options.FavoritesChanged())
            panel_->SetFavorites(options.Favorites());
    };
    panel_->LoadSettings();

    // Show/Hide: the menu item, a toolbar button and the panel's own close button.
    mniThumbnailWindow_ = window.ProvideMenuItem("mniThumbnailWindow");
    if (mniThumbnailWindow_) {
        mniThumbnailWindow_->setText(QObject::tr("Show/Hide &Thumbnails"));
        mniThumbnailWindow_->setCheckable(true);
        mniThumbnailWindow_->setStatusTip("Shows or hides thumbnail window");
        QObject::connect(mniThumbnailWindow_, &QAction::triggered, this,
                         [this] { SetBrowserVisible(!BrowserVisible()); });
    }
    if (QToolBar* bar = window.StandardToolbar()) {
        btnThumbs_ = bar->addAction(window.style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                    "Show/Hide Thumbnails");
        btnThumbs_->setObjectName("btnThumbs");
        btnThumbs_->setCheckable(true);
        btnThumbs_->setStatusTip("Shows or hides thumbnail window");
        QObject::connect(btnThumbs_, &QAction::triggered, this,
                         [this] { SetBrowserVisible(!BrowserVisible()); });
    }
    for (TActionId id : {TActionId::ThumbsBrowse, TActionId::ThumbsRefresh, TActionId::ThumbsClear})
        window.ProvideAction(id);
    QObject::connect(window.Action(TActionId::ThumbsBrowse), &QAction::triggered, panel_,
                     &dialogs::TThumbsPanel::Browse);
    QObject::connect(window.Action(TActionId::ThumbsRefresh), &QAction::triggered, panel_,
                     &dialogs::TThumbsPanel::Refresh);
    QObject::connect(window.Action(TActionId::ThumbsClear), &QAction::triggered, panel_,
                     &dialogs::TThumbsPanel::ClearThumbnails);

    if (QAction* options = window.ProvideMenuItem("mniToolsOptions"))
        QObject::connect(options, &QAction::triggered, this, &TBrowserLink::ShowOptions);
    if (QAction* about = window.ProvideMenuItem("mniHelpAbout"))
        QObject::connect(about, &QAction::triggered, this, &TBrowserLink::ShowAbout);

    // Every open dialog of the editor shows the picture preview, in the browser's folder
    // when the options say so.
    window.QtPrompter().OpenFileDialog = [this](const editor::TFileQuestion& question) {
        editor::TFileQuestion asked = question;
        if (settings_.Value(editor::keys::SyncOpenDialog) != 0 && !panel_->Folder().isEmpty())
            asked.InitialDir = panel_->Folder();
        return dialogs::AskOpenFileNamesWithPreview(settings_, asked, &window_);
    };

    SetBrowserVisible(settings.Value(editor::keys::ThumbVisible) != 0);
    const int height = std::max(80, settings.Value(editor::keys::ThumbWindowHeight));
    window.resizeDocks({dock_}, {height}, Qt::Vertical);
    window.installEventFilter(this);
}

TBrowserLink::~TBrowserLink() {
    window_.removeEventFilter(this);
    window_.QtPrompter().OpenFileDialog = nullptr;
    panel_->SaveSettings();
    settings_.SetValue(editor::keys::ThumbVisible, BrowserVisible() ? 1 : 0);
    if (BrowserVisible() && dock_->height() > 0)
        settings_.SetValue(editor::keys::ThumbWindowHeight, dock_->height());
}

bool TBrowserLink::BrowserVisible() const {
    return !dock_->isHidden();
}

void TBrowserLink::SetBrowserVisible(bool visible) {
    window_.HideStartupAnimation();
    dock_->setVisible(visible);
    panel_->setVisible(visible);
    if (mniThumbnailWindow_) mniThumbnailWindow_->setChecked(visible);
    if (btnThumbs_) btnThumbs_->setChecked(visible);
    // Shown again: the tree's folder loads when it is not the one on show.
    if (visible && panel_->Folder() != panel_->LastLoaded() &&
        !panel_->LastLoaded().isEmpty())
        panel_->SetFolder(panel_->Folder());
}

bool TBrowserLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == editor::StartupEventType) {
        // After the window's own start-up work: the thumbnails of the remembered folder.
        QTimer::singleShot(0, this, [this] {
            if (settings_.Value(editor::keys::AutoLoadStartUp) == 1 && BrowserVisible())
                panel_->SetFolder(panel_->Folder());
        });
    }
    return QObject::eventFilter(watched, event);
}

void TBrowserLink::ShowOptions() {
    dialogs::TOptionsCurrent current;
    current.FlatToolbars = window_.ToolbarsFlat();
    current.ThumbSize = panel_->ThumbSize();
    current.FilterType = panel_->FilterType();
    current.TransparentColor =
        uint32_t(settings_.Value(editor::keys::FrameTransparentColor)) & 0xFFFFFF;
    dialogs::TfrmOptions options(dialogs::TOptionsMode::Options, settings_, window_.Prompter(),
                                 current, panel_->Favorites(), panel_->Folder(), &window_);
    gif::TGIFImage& image = window_.Workspace().WorkingImage();
    options.WarningsOn = [&image] { return bool(image.WarningHandler); };
    options.SetWarnings = [this, &image](bool on) {
        if (on)
            editor::InstallWarningBox(image, window_.Prompter(), settings_);
        else
            image.WarningHandler = nullptr;
    };
    if (options.exec() != QDialog::Accepted) return;
    TOptionsHost host(window_, *panel_, settings_);
    const dialogs::TApplyResult result = options.Apply(current, host);
    if (options.FavoritesChanged()) panel_->SetFavorites(options.Favorites());
    if (result.ThumbSizeChanged) panel_->Refresh();
}

void TBrowserLink::ShowAbout() {
    dialogs::TfrmOptions about(dialogs::TOptionsMode::About, settings_, window_.Prompter(), {}, {},
                               {}, &window_);
    about.exec();
}

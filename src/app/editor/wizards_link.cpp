#include "wizards_link.h"

#include "dialogs/wizards/wizards_window.h"
#include "editor/document/workspace.h"
#include "editor/window/main_window.h"
#include "editor/window/program_files.h"
#include "editor/wizards/tips.h"
#include "gif/model/image.h"

#include <QCoreApplication>
#include <QDir>
#include <QMenu>

using dialogs::TfrmWizards;
using editor::TWizardMode;

TWizardsLink::TWizardsLink(editor::TfrmMain& window, editor::Settings& settings)
    : window_(window), settings_(settings), pictureFolder_(QDir::homePath()) {
    window.SetWizards(this);
}

TWizardsLink::~TWizardsLink() {
    window_.SetWizards(nullptr);
}

dialogs::TWizardEnvironment TWizardsLink::Environment() const {
    dialogs::TWizardEnvironment environment;
    environment.Workspace = &window_.Workspace();
    environment.Config = &settings_;
    environment.Prompter = &window_.Prompter();
    environment.RecentCaptions = window_.Workspace().RecentFiles().Captions();
    const QMenu* recent = window_.RecentFilesMenu();
    environment.RecentVisible = recent && recent->menuAction()->isVisible();
    environment.TipsFile = editor::ProgramFile(editor::TipsFileName);
    environment.ProgramFolder = QCoreApplication::applicationDirPath();
    environment.HelpPage = editor::ProgramFile(QString("help/") + editor::HelpFileName);
    environment.PictureFolder = pictureFolder_;
    environment.HideStartupAnimation = [this] { window_.HideStartupAnimation(); };
    return environment;
}

void TWizardsLink::AnimationWizard() {
    TfrmWizards wizard(TWizardMode::Animation, Environment(), &window_);
    wizard.exec();
    pictureFolder_ = wizard.PictureFolder();
}

void TWizardsLink::OptimizationWizard() {
    if (!window_.Workspace().ActiveDocument() || window_.Workspace().WorkingImage().Empty()) return;
    TfrmWizards wizard(TWizardMode::Optimization, Environment(), &window_);
    wizard.exec();
}

void TWizardsLink::WelcomeWindow() {
    int choice = dialogs::wcNew;
    QString path;
    {
        TfrmWizards welcome(TWizardMode::Welcome, Environment(), &window_);
        if (welcome.exec() != QDialog::Accepted) return;
        choice = welcome.WelcomeChoice();
        path = welcome.RecentPath();
        pictureFolder_ = welcome.PictureFolder();
    }
    if (choice == dialogs::wcOpen)
        window_.FileOpenExecute();
    else if (choice == dialogs::wcRecent && !path.isEmpty())
        window_.Workspace().OpenGifDocument(path);
}

void TWizardsLink::TipOfTheDay() {
    TfrmWizards tips(TWizardMode::Tips, Environment(), &window_);
    tips.exec();
}

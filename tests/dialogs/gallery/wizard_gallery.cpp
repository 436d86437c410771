// Draws the wizards window in its modes and pages into PNG pictures, for looking at them:
//   wizard_gallery OUTDIR LWR3LIB_RCC TIPS_TXT
// The welcome window with a tip, every page of the animation wizard (three pictures in the
// image list), and the optimisation wizard's pages with the live estimate and its results.
// Runs on any Qt platform (offscreen included); the pictures are the window's own grabs.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPainter>
#include <QResource>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "dialogs/wizards/wizards_window.h"
#include "editor/core/settings.h"
#include "editor/document/workspace.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/fake_workspace_host.h"
#include "editor/support/scripted_prompter.h"
#include "gif/model/image.h"

using dialogs::TfrmWizards;
using editor::TWizardMode;

namespace {

void Save(QWidget& window, const QString& folder, const QString& name, bool small = false) {
    window.resize(small ? window.sizeHint() : window.sizeHint().expandedTo(QSize(600, 420)));
    window.show();
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    window.grab().save(QDir(folder).filePath(name + ".png"));
}

// A picture for the image list: a sky with a sun at `hour` of 0..2 and a hill.
QString Picture(const QString& folder, const QString& name, int hour) {
    QImage image(240, 160, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 160);
    sky.setColorAt(0, QColor(40 + hour * 60, 90 + hour * 50, 200));
    sky.setColorAt(1, QColor(250, 200 - hour * 30, 120));
    p.fillRect(image.rect(), sky);
    p.setBrush(QColor(255, 220, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(50 + hour * 70, 110 - hour * 35), 22, 22);
    p.setBrush(QColor(60, 130, 70));
    p.drawEllipse(QPointF(120, 210), 190, 80);
    p.end();
    const QString path = QDir(folder).filePath(name);
    image.save(path);
    return path;
}

void WaitForEstimate(TfrmWizards& window) {
    for (int i = 0; i < 5000 && window.Session() && window.Session()->Estimator().State().Running; ++i) {
        QApplication::processEvents();
        QThread::msleep(2);
    }
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: wizard_gallery OUTDIR LWR3LIB_RCC TIPS_TXT\n");
        return 2;
    }
    QApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    if (!QResource::registerResource(QString::fromLocal8Bit(argv[2])))
        std::fprintf(stderr, "wizard_gallery: %s not registered; pictures drawn without it\n", argv[2]);
    QTemporaryDir work;
    editor::Settings settings(work.filePath("settings.ini"));
    editortest::TScriptedPrompter prompter;
    editortest::TFakeFrameList frames;
    editortest::TFakeWorkspaceHost host;
    editor::TWorkspace workspace(prompter, settings, frames, host);
    host.Workspace = &workspace;

    dialogs::TWizardEnvironment environment;
    environment.Workspace = &workspace;
    environment.Config = &settings;
    environment.Prompter = &prompter;
    environment.TipsFile = QString::fromLocal8Bit(argv[3]);
    environment.ProgramFolder = work.path();
    environment.PictureFolder = work.path();
    environment.RecentVisible = true;
    environment.RecentCaptions = {"&0 /home/user/Pictures/sunrise.gif"};

    {
        TfrmWizards welcome(TWizardMode::Welcome, environment);
        Save(welcome, out, "01-welcome");
        welcome.btnNextTipClick();
        welcome.btnNextTipClick();
        Save(welcome, out, "02-welcome-next-tip");
    }
    {
        TfrmWizards tips(TWizardMode::Tips, environment);
        Save(tips, out, "03-tip-of-the-day", true);
    }
    {
        TfrmWizards wizard(TWizardMode::Animation, environment);
        Save(wizard, out, "10-animation-page0-dimensions");
        wizard.btnNextClick();
        Save(wizard, out, "11-animation-page1-position");
        wizard.btnNextClick();
        Save(wizard, out, "12-animation-page2-loop");
        wizard.btnNextClick();
        wizard.AddImages({Picture(work.path(), "dawn.png", 0), Picture(work.path(), "morning.png", 1),
                          Picture(work.path(), "noon.png", 2)});
        Save(wizard, out, "13-animation-page3-images");
        wizard.btnNextClick();
        Save(wizard, out, "14-animation-page4-finish");
        wizard.btnNextClick(); // builds the animation as a new document
        host.Pump();
    }
    if (workspace.WorkingImage().Empty()) {
        std::fprintf(stderr, "wizard_gallery: the animation wizard built nothing\n");
        return 1;
    }
    {
        TfrmWizards wizard(TWizardMode::Optimization, environment);
        Save(wizard, out, "20-optimization-page5-output");
        wizard.btnNextClick();
        WaitForEstimate(wizard);
        Save(wizard, out, "21-optimization-page6-palettes");
        wizard.btnNextClick();
        wizard.Controls().chkTrim->setChecked(true);
        wizard.Controls().chkDupPixels->setChecked(true);
        wizard.Controls().chkNonVisible->setChecked(true);
        WaitForEstimate(wizard);
        Save(wizard, out, "22-optimization-page7-frames");
        wizard.btnNextClick();
        Save(wizard, out, "23-optimization-page8-results");
        wizard.reject();
    }
    return 0;
}

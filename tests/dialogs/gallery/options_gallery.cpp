// Draws the options window's pages, Organize Favorites, About and the open dialog with its
// preview into PNG pictures:   options_gallery OUTDIR PICTURE
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "dialogs/openpreview/open_preview.h"
#include "dialogs/options/options_dialog.h"
#include "editor/core/settings.h"
#include "editor/support/scripted_prompter.h"

namespace {

void Save(QWidget& widget, const QString& folder, const QString& name) {
    widget.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    widget.grab().save(QDir(folder).filePath(name + ".png"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) return 2;
    const QString out = argv[1];
    const QString picture = argv[2];
    QDir().mkpath(out);
    QTemporaryDir dir;
    editor::Settings settings(dir.filePath("settings.ini"));
    editortest::TScriptedPrompter prompter;
    const QString folder = QFileInfo(picture).absolutePath();
    const QStringList favorites{QDir::homePath() + "/", folder + "/", "/usr/share/pixmaps/"};
    dialogs::TOptionsCurrent current;

    dialogs::TfrmOptions options(dialogs::TOptionsMode::Options, settings, prompter, current,
                                 favorites, folder);
    options.resize(options.sizeHint().expandedTo(QSize(560, 460)));
    const char* names[] = {"program", "animation", "palettes", "thumbnails", "about"};
    for (int i = 0; i < options.tabOptions->count(); ++i) {
        options.tabOptions->setCurrentIndex(i);
        Save(options, out, QString("options-thumbs-options-%1-%2").arg(i + 1).arg(names[i]));
    }
    dialogs::TfrmOptions organize(dialogs::TOptionsMode::Favorites, settings, prompter, current,
                                  favorites, folder);
    Save(organize, out, "options-thumbs-organize-favorites");
    dialogs::TfrmOptions about(dialogs::TOptionsMode::About, settings, prompter, current, {}, {});
    about.resize(about.sizeHint().expandedTo(QSize(460, 260)));
    Save(about, out, "options-thumbs-about");

    editor::TFileQuestion question;
    question.Filter = "Image Files|*.gif;*.jpg;*.png|All Files (*.*)|*.*";
    question.InitialDir = folder;
    dialogs::TOpenPreviewDialog open(settings, question);
    open.resize(900, 480);
    open.show();
    open.selectFile(QFileInfo(picture).fileName());
    open.ShowPreview(picture);
    Save(open, out, "options-thumbs-open-preview");
    return 0;
}

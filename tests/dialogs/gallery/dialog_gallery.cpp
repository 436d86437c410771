// Draws every dialog page and the Frame Inspector into PNG pictures, for looking at them:
//   dialog_gallery OUTDIR
// Runs on any Qt platform (offscreen included); the pictures are the widgets' own grabs.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QTabWidget>
#include <QPainter>
#include <QTemporaryDir>

#include "dialogs/inspector/frame_inspector.h"
#include "dialogs/inspector/inspected_document.h"
#include "dialogs/inspector/property_grid.h"
#include "dialogs/palette/palette_dialog.h"
#include "dialogs/prompts/prompts.h"
#include "editor/core/animation_routines.h"
#include "editor/core/bitmap_image.h"
#include "editor/core/settings.h"
#include "editor/support/editor_test_util.h"
#include "editor/support/scripted_prompter.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

namespace {

struct QuietDocument : dialogs::IInspectedDocument {
    QString ShortName() const override { return "walking.gif"; }
    void PushCommand(int, int, int, int, int, const QString&) override {}
    void SetModified(bool) override {}
    void DisplayFrame(int) override {}
    void SetSelectedFrame(int) override {}
    void ReloadFromBackingFile() override {}
};

void Save(QWidget& widget, const QString& folder, const QString& name) {
    widget.adjustSize();
    widget.show();
    QApplication::processEvents();
    widget.grab().save(QDir(folder).filePath(name + ".png"));
}

// A small colourful animation for the inspector and the palette dialogs.
std::unique_ptr<gif::TGIFImage> Sample() {
    auto image = std::make_unique<gif::TGIFImage>();
    for (int c = 0; c < 40; ++c)
        image->GlobalColorMap().AppendColor(gif::RGB(uint8_t(c * 6), uint8_t(255 - c * 6), uint8_t(c * 37)));
    for (int f = 0; f < 3; ++f) {
        auto frame = std::make_unique<gif::TGIFSubImage>(image.get());
        frame->SetPlacement(0, 0, 96, 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 96; ++x) frame->Pixels()[y * 96 + x] = uint8_t((x / 12 + y / 8 + f) % 40);
        editor::EnsureGraphicControl(*frame, 10);
        image->AddFrame(std::move(frame));
    }
    for (int c = 0; c < 24; ++c) image->Frame(1)->LocalTable().AppendColor(gif::RGB(uint8_t(c * 10), 80, uint8_t(200 - c * 8)));
    image->Frame(1)->ControlBlock()->SetTransparentFlag(true);
    image->Frame(1)->ControlBlock()->SetTransparentIndex(3);
    editor::AddComment(*image->Frame(0), "Made for the gallery");
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? argv[1] : "screenshots";
    QDir().mkpath(folder);
    QTemporaryDir sandbox;
    editor::Settings settings(sandbox.filePath("gallery.ini"));
    editortest::TScriptedPrompter prompter;

    const std::pair<dialogs::TPromptKind, const char*> pages[] = {
        {dialogs::TPromptKind::pkInsertPosition, "prompts-0-insert-image"},
        {dialogs::TPromptKind::pkFrameSize, "prompts-1-frame-size"},
        {dialogs::TPromptKind::pkPalettes, "prompts-2-palettes"},
        {dialogs::TPromptKind::pkResize, "prompts-3-resize"},
        {dialogs::TPromptKind::pkLoop, "prompts-4-animation-information"},
        {dialogs::TPromptKind::pkProperties, "prompts-5-image-properties"},
        {dialogs::TPromptKind::pkHtml, "prompts-6-html"},
        {dialogs::TPromptKind::pkGlobalChange, "prompts-7-global-change"}};
    auto image = Sample();
    for (const auto& [kind, name] : pages) {
        dialogs::TfrmPrompts dialog(kind, settings, prompter);
        if (kind == dialogs::TPromptKind::pkInsertPosition) dialog.SetSelectedFrameIndex(1);
        if (kind == dialogs::TPromptKind::pkResize) dialog.SetCurrentSize(270, 480);
        if (kind == dialogs::TPromptKind::pkLoop) dialog.SetAnimationFacts(12, 48213, 1240, 3);
        if (kind == dialogs::TPromptKind::pkHtml) dialog.SetHtmlSource("walking.gif", 64, 96);
        if (kind == dialogs::TPromptKind::pkGlobalChange) dialog.SetFrameProperties(true, false, false);
        if (kind == dialogs::TPromptKind::pkProperties) {
            gif::TBitmap* picture = image->Frame(0)->FrameBitmap();
            dialog.SetPictureInfo("walking.gif", "4 KB", "64 x 96", editor::BitmapImage(*picture).copy());
        }
        Save(dialog, folder, name);
    }

    {
        dialogs::TfrmPalette global(dialogs::pmGlobalPalette, prompter);
        global.SetTable(image->GlobalColorMap());
        Save(global, folder, "palette-0-global");
        dialogs::TfrmPalette transparent(dialogs::pmTransparentColor, prompter);
        transparent.SetTable(image->Frame(1)->EffectiveTable());
        transparent.SetFrame(1, editor::BitmapImage(*image->Frame(1)->FrameBitmap()).copy(), 3);
        Save(transparent, folder, "palette-1-transparent");
        dialogs::TfrmPalette colour(dialogs::pmChangeColor, prompter);
        colour.SetColour(gif::RGB(40, 120, 200));
        Save(colour, folder, "palette-2-change-color");
    }

    QuietDocument document;
    dialogs::TfrmFloat inspector(*image, prompter, settings);
    inspector.SetDocument(&document);
    inspector.resize(240, 460);
    inspector.show();
    inspector.ShowFrame(1);
    const char* names[] = {"inspector-0-properties", "inspector-1-palettes", "inspector-2-comments"};
    for (int page = 0; page < 3; ++page) {
        inspector.tabImgInfo->setCurrentIndex(page);
        if (page == 2) inspector.lvComments->setCurrentRow(0);
        QApplication::processEvents();
        inspector.grab().save(QDir(folder).filePath(QString(names[page]) + ".png"));
    }
    inspector.tabImgInfo->setCurrentIndex(0);
    inspector.grdProperties->SelectRow(dialogs::irDisposal);
    QApplication::processEvents();
    // The drop list is a popup window of its own: draw it onto the inspector's picture.
    QPixmap withList = inspector.grab();
    {
        QPainter painter(&withList);
        QListWidget* list = inspector.grdProperties->DropList();
        const QPoint at = inspector.mapFromGlobal(list->geometry().topLeft());
        painter.drawPixmap(at, list->grab());
    }
    withList.save(QDir(folder).filePath("inspector-3-drop-list.png"));
    return 0;
}

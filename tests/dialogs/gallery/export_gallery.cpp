// Draws the Export Images dialog as a user sets it up: a three-frame animation, frames 0 and 2
// selected (the preview showing the last one clicked), the JPEG options shown.
//   export_gallery OUT.png
#include <QApplication>
#include <QListWidget>
#include <QRadioButton>

#include "dialogs/exporter/exporter_dialog.h"
#include "editor/support/scripted_prompter.h"
#include "gif/model/image.h"

namespace {

// Three 160 x 120 frames: a disc, a square and a second disc on dark and light grounds.
std::unique_ptr<gif::TGIFImage> Shapes() {
    auto image = std::make_unique<gif::TGIFImage>();
    for (gif::TColor c : {gif::RGB(30, 40, 66), gif::RGB(90, 190, 255), gif::RGB(244, 241, 232),
                          gif::RGB(192, 48, 32), gif::RGB(48, 64, 96), gif::RGB(240, 192, 64)})
        image->GlobalColorMap().AppendColor(c);
    for (int f = 0; f < 3; ++f) {
        auto frame = std::make_unique<gif::TGIFSubImage>(image.get());
        frame->SetPlacement(0, 0, 160, 120);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                const int cx = f == 0 ? 50 : 110, dx = x - cx, dy = y - 60;
                const bool disc = dx * dx + dy * dy < 32 * 32;
                const bool square = x >= 40 && x < 120 && y >= 30 && y < 90;
                uint8_t index = uint8_t(f * 2);
                if (f == 1 ? square : disc) index = uint8_t(f * 2 + 1);
                frame->Pixels()[y * 160 + x] = index;
            }
        image->AddFrame(std::move(frame));
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? argv[1] : "export-images.png";
    auto image = Shapes();
    editortest::TScriptedPrompter prompter;
    dialogs::TfrmExporter dialog(*image, image->FrameCount(), prompter);
    dialog.show();
    // As the clicks would: frame 0, then frame 2 added to the selection.
    dialog.lbExport->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    dialog.lbExport->setCurrentRow(2, QItemSelectionModel::Select);
    dialog.optJpeg->click();
    QApplication::processEvents();
    dialog.adjustSize();
    QApplication::processEvents();
    return dialog.grab().save(out) ? 0 : 1;
}

#include "dialogs/exporter/qt_image_exporter.h"

#include "dialogs/exporter/exporter_dialog.h"

namespace dialogs {

void TQtImageExporter::ShowExportImages(gif::TGIFImage& image, int frameCount) {
    TfrmExporter dialog(image, frameCount, prompter_, parent_);
    dialog.exec();
}

} // namespace dialogs

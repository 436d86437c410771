// The Export Images dialog for the main window's "&Single Images..." item.
#pragma once

#include "editor/document/export_commands.h"

class QWidget;

namespace editor {
class IPrompter;
}

namespace dialogs {

class TQtImageExporter : public editor::IImageExporter {
public:
    // Questions of the export go to `prompter`; the dialog is centred over `parent`.
    TQtImageExporter(editor::IPrompter& prompter, QWidget* parent)
        : prompter_(prompter), parent_(parent) {}

    // Creates the dialog, shows it modally and frees it.
    void ShowExportImages(gif::TGIFImage& image, int frameCount) override;

private:
    editor::IPrompter& prompter_;
    QWidget* parent_;
};

} // namespace dialogs

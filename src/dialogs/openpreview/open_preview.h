// dlgOpenPreview: the open dialog with a preview of the chosen picture beside the file list,
// its size under it ("Dimensions: (%d x %d)", or "Unabled to load image." when the imaging
// control cannot read it). The preview's width is kept between uses; with the
// "NoOpenDlgPreview" setting the dialog shows no preview.
#pragma once

#include "editor/core/prompter.h"

#include <QFileDialog>
#include <QImage>

class QLabel;
class QScrollArea;
class QSplitter;

namespace editor {
class Settings;
}

namespace dialogs {

// What the preview shows for a path: the picture and its text; both empty for a folder or
// nothing.
struct TPreview {
    QImage Picture;
    QString Text;
};
TPreview PreviewOf(const QString& path);

class TOpenPreviewDialog : public QFileDialog {
    Q_OBJECT
  public:
    TOpenPreviewDialog(editor::Settings& settings, const editor::TFileQuestion& question,
                       QWidget* parent = nullptr);
    ~TOpenPreviewDialog() override;

    bool HasPreview() const { return sbxPreview != nullptr; }
    // Shows the preview of `path` (what selecting it in the list does).
    void ShowPreview(const QString& path);

    QScrollArea* sbxPreview = nullptr;
    QLabel* imgPreview = nullptr;
    QLabel* lblDimensions = nullptr;

  private:
    editor::Settings& settings_;
    QSplitter* splitter_ = nullptr;
    QWidget* panel_ = nullptr;
};

// The open dialogs of the program with the preview: the chosen files, empty on Cancel.
QStringList AskOpenFileNamesWithPreview(editor::Settings& settings,
                                        const editor::TFileQuestion& question, QWidget* parent);

} // namespace dialogs

// TfrmPalette: the colour dialog in three modes. It works on a private copy of a colour
// table (or on one colour) and hands the result back; the caller records the undo command.
//   pmGlobalPalette    edit the global table's colours, add and delete entries
//   pmTransparentColor pick a frame's transparent colour from its table or its picture
//   pmChangeColor      edit one colour value
#pragma once

#include <QDialog>
#include <QImage>
#include <functional>
#include <memory>
#include <vector>

#include "gif/base/types.h"

class QFrame;
class QLabel;
class QPushButton;

namespace editor {
class IPrompter;
class TCmdColorMap;
}
namespace gif {
class TGIFColorMap;
}

namespace dialogs {

class TNumberField;
class TPaletteSwatches;
class TFramePreview;

enum TPaletteMode : int { pmGlobalPalette = 0, pmTransparentColor = 1, pmChangeColor = 2 };

class TfrmPalette : public QDialog {
    Q_OBJECT
public:
    TfrmPalette(TPaletteMode mode, editor::IPrompter& prompter, QWidget* parent = nullptr);
    ~TfrmPalette() override;

    // The table to work on (a copy is taken): the global table in mode 0; the frame's local
    // table, or the global one when it has no entries, in mode 1.
    void SetTable(const gif::TGIFColorMap& table);
    // Mode 0: whether entry `index` of the working table may go (CanDeleteColor for the
    // animation); without it every entry may go.
    std::function<bool(const gif::TGIFColorMap& table, int index)> CanDelete;
    // Mode 1: the frame whose colour is picked, its picture and its transparent index
    // (-1 when it is not transparent).
    void SetFrame(int frameIndex, const QImage& picture, int transparentIndex);
    // The colour shown in the preview and the three fields (mode 2: the starting colour).
    void SetColour(gif::TColor colour);

    // Results.
    bool Changed() const { return changed_; }
    const std::vector<gif::TColor>& Colors() const { return colors_; }
    // The entries deleted in mode 0, in the order they went (indices at the time).
    const std::vector<int>& DeletedIndices() const { return deleted_; }
    int SelectedIndex() const { return selected_; }
    gif::TColor PickedColour() const { return picked_; }
    gif::TColor PreviewColour() const { return preview_; }
    int FrameIndex() const { return frameIndex_; }

    // Controls by their names, for tests.
    TPaletteSwatches* pbPalette = nullptr;
    QLabel* lblInstruction = nullptr;
    QWidget* pnlRGB = nullptr;
    TNumberField *udRed = nullptr, *udGreen = nullptr, *udBlue = nullptr;
    QFrame* shpPreview = nullptr;
    QPushButton *btnAdd = nullptr, *btnDelete = nullptr, *btnOK = nullptr, *btnCancel = nullptr;
    TFramePreview* imgFrame = nullptr;

    void done(int result) override;

    // The picture area was clicked at a point of the picture.
    void PickFromPicture(QPoint point);

private:
    void SwatchClicked(int index);
    void ApplyColour();
    void AddColour();
    void DeleteColour();
    void UpdateButtons();
    void ShowColour(gif::TColor colour);
    void RefreshSwatches();

    TPaletteMode mode_;
    editor::IPrompter& prompter_;
    std::vector<gif::TColor> colors_;
    std::unique_ptr<editor::TCmdColorMap> table_;   // the working table, as colours_
    std::vector<int> deleted_;
    int selected_ = 0;
    int frameIndex_ = -1;
    gif::TColor picked_ = gif::clNone;
    gif::TColor preview_ = gif::clBlack;
    bool changed_ = false;
    QImage picture_;
};

} // namespace dialogs

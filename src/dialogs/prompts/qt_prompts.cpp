#include "dialogs/prompts/qt_prompts.h"

#include "dialogs/palette/palette_dialog.h"
#include "dialogs/prompts/prompts.h"
#include "editor/core/bitmap_image.h"
#include "editor/core/palette_routines.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"

namespace dialogs {

TDialogRunner ModalRunner() {
    return [](QDialog& dialog) { return dialog.exec(); };
}

bool TQtFramePrompts::AskPaletteSettings() {
    TfrmPrompts dialog(TPromptKind::pkPalettes, settings_, prompter_, parent_);
    return run_(dialog) == QDialog::Accepted;
}

bool TQtFramePrompts::AskFrameSize(bool& trim) {
    TfrmPrompts dialog(TPromptKind::pkFrameSize, settings_, prompter_, parent_);
    if (run_(dialog) != QDialog::Accepted) return false;
    trim = dialog.TrimChosen();
    return true;
}

int TQtFramePrompts::AskInsertIndex(int selected) {
    TfrmPrompts dialog(TPromptKind::pkInsertPosition, settings_, prompter_, parent_);
    dialog.SetSelectedFrameIndex(selected);
    if (run_(dialog) != QDialog::Accepted) return -1;
    switch (dialog.InsertChoice()) {
    case TInsertChoice::AtStart: return 0;
    case TInsertChoice::Before: return selected;
    case TInsertChoice::After: return selected + 1;
    }
    return -1;
}

bool TQtAnimationPrompts::AskResize(int height, int width, int& newHeight, int& newWidth) {
    TfrmPrompts dialog(TPromptKind::pkResize, settings_, prompter_, parent_);
    dialog.SetCurrentSize(height, width);
    if (run_(dialog) != QDialog::Accepted) return false;
    newHeight = dialog.NewHeight();
    newWidth = dialog.NewWidth();
    return newHeight != height || newWidth != width;
}

bool TQtAnimationPrompts::AskLoop(int frameCount, qint64 encodedBytes, unsigned totalDelay,
                                  int playCount, editor::TLoopChoice& choice) {
    TfrmPrompts dialog(TPromptKind::pkLoop, settings_, prompter_, parent_);
    dialog.SetAnimationFacts(frameCount, encodedBytes, totalDelay, playCount);
    if (run_(dialog) != QDialog::Accepted) return false;
    choice = dialog.LoopChoice();
    return true;
}

bool TQtAnimationPrompts::AskGlobalChange(const editor::TGlobalChangeSetup& setup,
                                          editor::TGlobalChange& change) {
    TfrmPrompts dialog(TPromptKind::pkGlobalChange, settings_, prompter_, parent_);
    dialog.SetOffsetLimits(setup.MaxX, setup.MaxY);
    dialog.SetFrameProperties(setup.Transparent, setup.Interlaced, setup.HasLocalPalette);
    dialog.PickTransparentColor = [this, &setup](int& index, gif::TColor& colour) {
        if (!Image || setup.SelectedFrame >= Image->FrameCount()) return false;
        gif::TGIFSubImage& frame = *Image->Frame(setup.SelectedFrame);
        TfrmPalette palette(pmTransparentColor, prompter_, parent_);
        palette.SetTable(frame.EffectiveTable());
        const gif::TBitmap* picture = frame.FrameBitmap();
        palette.SetFrame(setup.SelectedFrame, picture ? editor::BitmapImage(*picture).copy() : QImage(), index);
        if (run_(palette) != QDialog::Accepted || palette.SelectedIndex() < 0) return false;
        index = palette.SelectedIndex();
        colour = palette.PickedColour();
        return true;
    };
    if (run_(dialog) != QDialog::Accepted) return false;
    change = dialog.GlobalChange();
    return change.AnyFieldSet;
}

void TQtAnimationPrompts::ShowHtmlCode(const QString& fileName, int height, int width) {
    TfrmPrompts dialog(TPromptKind::pkHtml, settings_, prompter_, parent_);
    dialog.SetHtmlSource(fileName, height, width);
    run_(dialog);
}

bool TQtAnimationPrompts::EditGlobalPalette(gif::TGIFImage& image, editor::TPaletteEdit& edit) {
    TfrmPalette dialog(pmGlobalPalette, prompter_, parent_);
    dialog.SetTable(image.GlobalColorMap());
    // The dialog's table has the deletions made so far; ask about the animation as it would
    // be after them, by index in that table.
    dialog.CanDelete = [&image, &dialog](const gif::TGIFColorMap& table, int index) {
        std::vector<int> original(size_t(image.GlobalColorMap().EntryCount()));
        for (size_t i = 0; i < original.size(); ++i) original[i] = int(i);
        for (int gone : dialog.DeletedIndices()) original.erase(original.begin() + gone);
        const int at = index < int(original.size()) ? original[size_t(index)] : -1;
        // A colour held elsewhere in the edited table keeps the pixels' colour.
        for (int j = 0; j < table.EntryCount(); ++j)
            if (j != index && table.Entries()[size_t(j)] == table.Entries()[size_t(index)]) return true;
        // An entry added in the dialog has no pixels.
        if (at < 0) return true;
        return editor::CanDeleteColor(image, image.GlobalColorMap(), at, -1);
    };
    if (run_(dialog) != QDialog::Accepted || !dialog.Changed()) return false;
    edit.Colors = dialog.Colors();
    edit.Deleted = dialog.DeletedIndices();
    return true;
}

} // namespace dialogs

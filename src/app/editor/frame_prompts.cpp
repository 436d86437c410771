#include "frame_prompts.h"

#include "dialogs/prompts/prompts.h"

using dialogs::TfrmPrompts;
using dialogs::TPromptKind;

bool TFramePromptsDialog::AskPaletteSettings() {
    TfrmPrompts dialog(TPromptKind::pkPalettes, settings_, prompter_, parent_);
    return dialog.exec() == QDialog::Accepted;
}

bool TFramePromptsDialog::AskFrameSize(bool& trim) {
    TfrmPrompts dialog(TPromptKind::pkFrameSize, settings_, prompter_, parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    trim = dialog.TrimChosen();
    return true;
}

int TFramePromptsDialog::AskInsertIndex(int selected) {
    TfrmPrompts dialog(TPromptKind::pkInsertPosition, settings_, prompter_, parent_);
    dialog.SetSelectedFrameIndex(selected);
    if (dialog.exec() != QDialog::Accepted) return -1;
    switch (dialog.InsertChoice()) {
    case dialogs::TInsertChoice::AtStart: return 0;
    case dialogs::TInsertChoice::Before: return selected;
    case dialogs::TInsertChoice::After: return selected + 1;
    }
    return selected + 1;
}

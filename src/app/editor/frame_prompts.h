// The questions of inserting a picture as a frame, asked with the prompts dialog: the
// palette page, the frame-size page and the insert page.
#pragma once

#include "editor/document/frame_insertion.h"

class QWidget;

namespace editor {
class IPrompter;
class Settings;
} // namespace editor

class TFramePromptsDialog final : public editor::IFramePrompts {
public:
    TFramePromptsDialog(editor::Settings& settings, editor::IPrompter& prompter, QWidget* parent)
        : settings_(settings), prompter_(prompter), parent_(parent) {}
    bool AskPaletteSettings() override;
    bool AskFrameSize(bool& trim) override;
    int AskInsertIndex(int selected) override;

private:
    editor::Settings& settings_;
    editor::IPrompter& prompter_;
    QWidget* parent_;
};

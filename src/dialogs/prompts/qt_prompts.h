// The questions of the frame and animation commands, answered with the prompts dialog and
// the palette dialog. The main window hands these to the workspace and its commands.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

#include "editor/document/frame_insertion.h"
#include "editor/frames/animation_prompts.h"

namespace editor {
class IPrompter;
class Settings;
} // namespace editor

namespace dialogs {

class TfrmPrompts;

// Runs a modal dialog; tests answer without showing it.
using TDialogRunner = std::function<int(QDialog& dialog)>;
TDialogRunner ModalRunner();

class TQtFramePrompts : public editor::IFramePrompts {
public:
    TQtFramePrompts(editor::Settings& settings, editor::IPrompter& prompter, QWidget* parent,
                    TDialogRunner run = ModalRunner())
        : settings_(settings), prompter_(prompter), parent_(parent), run_(std::move(run)) {}
    bool AskPaletteSettings() override;
    bool AskFrameSize(bool& trim) override;
    int AskInsertIndex(int selected) override;

private:
    editor::Settings& settings_;
    editor::IPrompter& prompter_;
    QPointer<QWidget> parent_;
    TDialogRunner run_;
};

class TQtAnimationPrompts : public editor::IAnimationPrompts {
public:
    TQtAnimationPrompts(editor::Settings& settings, editor::IPrompter& prompter, QWidget* parent,
                        TDialogRunner run = ModalRunner())
        : settings_(settings), prompter_(prompter), parent_(parent), run_(std::move(run)) {}
    bool AskResize(int height, int width, int& newHeight, int& newWidth) override;
    bool AskLoop(int frameCount, qint64 encodedBytes, unsigned totalDelay, int playCount,
                 editor::TLoopChoice& choice) override;
    bool AskGlobalChange(const editor::TGlobalChangeSetup& setup, editor::TGlobalChange& change) override;
    void ShowHtmlCode(const QString& fileName, int height, int width) override;
    bool EditGlobalPalette(gif::TGIFImage& image, editor::TPaletteEdit& edit) override;

    // The frame whose colours "&Select" on the Global Change page shows.
    gif::TGIFImage* Image = nullptr;

private:
    editor::Settings& settings_;
    editor::IPrompter& prompter_;
    QPointer<QWidget> parent_;
    TDialogRunner run_;
};

} // namespace dialogs

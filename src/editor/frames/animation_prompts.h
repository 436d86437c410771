// The questions of the animation commands (resize, play count, global frame properties,
// HTML code, global palette). The dialogs layer answers them with its windows; tests answer
// them from a script.
#pragma once

#include <QString>
#include <vector>

#include "editor/frames/prompt_answers.h"

namespace gif {
class TGIFImage;
}

namespace editor {

// What the Global Change page is opened with, from the selected frame.
struct TGlobalChangeSetup {
    int MaxX = 0;               // the animation's width and height
    int MaxY = 0;
    int SelectedFrame = 0;
    bool Transparent = false;   // the selected frame's properties decide the captions
    bool Interlaced = false;
    bool HasLocalPalette = false;
};

// A global palette edited in the palette dialog: its colours, and the entries deleted on
// the way (indices at the time, in order).
struct TPaletteEdit {
    std::vector<gif::TColor> Colors;
    std::vector<int> Deleted;
};

class IAnimationPrompts {
public:
    virtual ~IAnimationPrompts() = default;
    // False on Cancel.
    virtual bool AskResize(int height, int width, int& newHeight, int& newWidth) = 0;
    virtual bool AskLoop(int frameCount, qint64 encodedBytes, unsigned totalDelay, int playCount,
                         TLoopChoice& choice) = 0;
    virtual bool AskGlobalChange(const TGlobalChangeSetup& setup, TGlobalChange& change) = 0;
    virtual void ShowHtmlCode(const QString& fileName, int height, int width) = 0;
    // True when the user confirmed a change.
    virtual bool EditGlobalPalette(gif::TGIFImage& image, TPaletteEdit& edit) = 0;
};

class TWorkspace;

// The commands that ask first.
bool AnimationResizeExecute(TWorkspace& workspace, IAnimationPrompts& prompts);
bool AnimationInfoExecute(TWorkspace& workspace, IAnimationPrompts& prompts);
bool FrameGlobalChangeExecute(TWorkspace& workspace, IAnimationPrompts& prompts);
void HtmlCodeExecute(TWorkspace& workspace, IAnimationPrompts& prompts);
// Global Palette ("Change Global Palette"): deleted entries keep every pixel's colour.
bool AnimationPaletteExecute(TWorkspace& workspace, IAnimationPrompts& prompts);

} // namespace editor

// The animation wizard's build: a new animation from a list of picture files, each placed
// on a canvas of the animation's size, with one delay, the looping and a comment.
#pragma once

#include <QStringList>
#include <memory>

namespace gif {
class TGIFImage;
}

namespace editor {

struct TEditContext;

// The choices of the wizard's first three pages.
struct TAnimationChoices {
    bool CustomSize = false; // optSizeCustom; else the size of the first picture
    int Width = 100;         // udWidth, 1..500
    int Height = 100;        // udHeight, 1..500
    bool Center = false;     // optCenter; else the top left corner
    bool Scale = false;      // chkScale: stretched to the whole frame
    bool LoopForever = true; // optLoopInfinite; else optLoopPlay
    int PlayCount = 1;       // udLoop, 1..32767
    int Delay = 100;         // udDelay, 1..32767, hundredths of a second
};

inline constexpr int MaxWizardSize = 500;
inline constexpr int MaxWizardCount = 32767;

// Builds the animation from `paths` in order. Files that do not load are left out (the
// loading routine has told the user). The background colour is the pixel at (1, height - 1)
// of the first picture that loads, and so is the size unless a custom one is chosen. None
// when no picture loads.
std::unique_ptr<gif::TGIFImage> BuildAnimation(TEditContext& context,
                                               const TAnimationChoices& choices,
                                               const QStringList& paths);

} // namespace editor

// What the questions of the frame and animation commands hand back: plain values that the
// prompts dialog fills and the commands apply.
#pragma once

#include <QString>

#include "gif/base/types.h"

namespace editor {

enum class TInsertChoice { AtStart, Before, After };

struct TLoopChoice {
    bool Infinite = false;
    int PlayCount = 1;         // the "Played N time(s)" count when not infinite
    int CurrentPlayCount = 1;  // the play count the question was asked with
};

// A check box of the Global Change page: whether the user ticked it (its "clicked" mark),
// its state, and whether its caption offered to make ("Make ...") or remove the property.
struct TGlobalToggle {
    bool Clicked = false;
    bool Checked = false;
    bool MakeCaption = true;
};

struct TGlobalChange {
    QString XOffset, YOffset, Delay;   // empty: leave as is
    TGlobalToggle Transparent, Interlaced, LocalPalette;
    int Disposal = -1;                 // -1: leave as is
    gif::TColor TransparentColor = gif::clNone;
    int TransparentIndex = 0;
    bool AnyFieldSet = false;
};

} // namespace editor

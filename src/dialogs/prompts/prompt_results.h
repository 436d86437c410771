// What the prompts dialog hands back to the command that asked, page by page.
#pragma once

#include <QString>

#include "gif/base/types.h"

namespace dialogs {

enum class TPromptKind : int {
    pkInsertPosition = 0,   // "Insert Image"
    pkFrameSize = 1,        // "Frame Size Difference"
    pkPalettes = 2,         // "Palettes"
    pkResize = 3,           // "Resize Animation"
    pkLoop = 4,             // "Animation Information"
    pkProperties = 5,       // "Image Properties"
    pkHtml = 6,             // "HTML Tag"
    pkGlobalChange = 7,     // "Global Change"
};

enum class TInsertChoice { AtStart, Before, After };

struct TLoopChoice {
    bool Infinite = false;
    int PlayCount = 1;        // udLoop when not infinite
    int CurrentPlayCount = 1; // the play count the page was opened with
};

// A check box of the Global Change page: touched by the user, and its state.
struct TGlobalToggle {
    bool Clicked = false;
    bool Checked = false;
    bool MakeCaption = true;   // "Make ..." (the frame lacks the property) or "Remove ..."
};

struct TGlobalChange {
    QString XOffset, YOffset, Delay;   // empty: leave as is
    TGlobalToggle Transparent, Interlaced, LocalPalette;
    int Disposal = -1;                 // -1: leave as is
    gif::TColor TransparentColor = gif::clNone;
    int TransparentIndex = 0;
    bool AnyFieldSet = false;
};

} // namespace dialogs

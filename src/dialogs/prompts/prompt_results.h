// What the prompts dialog hands back to the command that asked, page by page.
#pragma once

#include <QString>

#include "editor/frames/prompt_answers.h"

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

using editor::TGlobalChange;
using editor::TGlobalToggle;
using editor::TInsertChoice;
using editor::TLoopChoice;

} // namespace dialogs

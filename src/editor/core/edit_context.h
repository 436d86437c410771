// What the editing routines act on: the working image (the active document's animation),
// the frame list that shows it, the user's questions and the settings.
#pragma once

#include "gif/graphics/graphic.h"

namespace gif {
class TGIFImage;
}

namespace editor {

class IFrameList;
class IPrompter;
class Settings;

struct TEditContext {
    gif::TGIFImage& Image;
    IFrameList& Frames;
    IPrompter& Prompter;
    Settings& Config;
    // The main window's progress bar for long loads; may be empty.
    gif::TProgressEvent Progress = {};
};

} // namespace editor

// What the two wizards leave behind: a new untitled document, or the active animation
// replaced by its optimised copy as one undoable step.
#pragma once

#include <memory>

namespace gif {
class TGIFImage;
}

namespace editor {

class TWorkspace;

// The active document goes to its backing file; a new untitled document with a backing
// file of its own takes `image` as its animation and is marked modified. False (with the
// save error told) when its backing file could not be written.
bool AdoptAsNewDocument(TWorkspace& workspace, std::unique_ptr<gif::TGIFImage> image);

// Records the active animation ("GIF Optimization"), then the working image takes
// `optimized`; the document is marked modified. False without an active document.
bool ReplaceActiveAnimation(TWorkspace& workspace, const gif::TGIFImage& optimized);

} // namespace editor

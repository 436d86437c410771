// The frame and animation editing commands of the main window, on the active document:
// each records its undo command, changes the working image, marks the document modified
// and shows the frame again. Questions are asked by the caller, which passes the answers.
#pragma once

#include <QString>

#include "editor/frames/prompt_answers.h"

namespace gif {
class TGIFImage;
}

namespace editor {

class TWorkspace;

// Delete Frame (and Cut): refused, with a message, for the only frame.
bool DeleteFrame(TWorkspace& workspace, int index);
// Moves frame `from` to `to` (list drags and the four move commands).
bool MoveFrame(TWorkspace& workspace, int from, int to);
enum class TFrameMove { Up, Down, ToBeginning, ToEnd };
bool MoveSelectedFrame(TWorkspace& workspace, TFrameMove move);

// Every frame becomes a picture of the whole animation as it shows at that frame, stretched
// to width x height (each side kept between 10 and 1000), placed at 0, 0. False when the
// size does not change.
bool ResizeAnimation(gif::TGIFImage& image, int width, int height);
// Resize: "Change Animation Size".
bool ResizeCommand(TWorkspace& workspace, int width, int height);
// Reverse Frame Order: beeps unless the animation has two frames or more.
bool ReverseFrameOrder(TWorkspace& workspace);
// The play count chosen on the Animation Information page ("Change Animation Loop").
bool ApplyLoopChoice(TWorkspace& workspace, const TLoopChoice& choice);
// The Global Change page applied to every frame ("Global Properties Change").
bool ApplyGlobalChange(TWorkspace& workspace, const TGlobalChange& change);
// Paste Comments: the text (at most 255 characters) as a new comment on frame 0.
bool PasteComments(TWorkspace& workspace, const QString& text);
// Optimise: every optimisation pass and the merge of the colour tables, one undo step
// "GIF Optimization".
bool OptimizeAnimation(TWorkspace& workspace);

} // namespace editor

// Frame insertion, deletion and moves on the working image that keep the frame list in step.
#pragma once

#include <QString>

#include "editor/core/edit_context.h"

namespace editor {

// Deletes frame `index` and its list item, selects the item before it (item 0 for index 0)
// and shows it. Returns whether the frame was deleted.
bool DeleteFrameAt(TEditContext& context, int index);

// Moves frame `from` to position `to`. The looping block stays on the first frame: when
// either end is frame 0 it is taken off before the move and put on the new first frame
// after it. The list item moves the same way and `to` is selected.
void MoveFrameInImage(TEditContext& context, int from, int to);

// Loads `path` and inserts a copy of its frame `index` at `index` of the working image (when
// not empty), with a list item that is selected. Returns false, inserting nothing, when the
// file cannot be loaded or has no such frame.
bool InsertFrameFromFile(TEditContext& context, const QString& path, int index);
// The same with frame `index` of an animation already read.
bool InsertFrameFromImage(TEditContext& context, gif::TGIFImage& scratch, int index);

} // namespace editor

// Loading and saving GIF files with the messages the user sees when that fails.
#pragma once

#include <QString>

#include "editor/core/animation_routines.h"

namespace editor {

class IPrompter;

// Loads `path` into `image` under the busy cursor. A missing file or a failed load shows
// the load error (a failed load beeps first) and returns false.
bool LoadGifFile(IPrompter& prompter, gif::TGIFImage& image, const QString& path);

// Normalises the animation (with or without the compatibility fix) and writes it to `path`
// through a temporary file, so a failed save leaves the old file as it was. Only proceeds
// when `always` or the file exists (writes to a document's backing file never re-create a
// file that has gone). Shows the save error and returns false when it did not save.
bool SaveGifFile(IPrompter& prompter, gif::TGIFImage& image, const QString& path,
                 bool compatibilityFix, bool always, const TAnimationDefaults& defaults);

// A ".gif" file that loads (messages as LoadGifFile) and holds at least two non-empty frames.
bool IsAnimatedGifFile(IPrompter& prompter, const QString& path);

} // namespace editor

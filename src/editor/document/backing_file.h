// Writing a document's backing file without a message box of its own: the caller decides
// what to tell the user, with the system's reason when the write fails.
#pragma once

#include "editor/core/animation_routines.h"

#include <QString>
#include <exception>

namespace gif {
class TGIFImage;
}

namespace editor {

// Normalises the animation (without the compatibility fix) and writes it over the existing
// file `path`, through a temporary file beside it. False, with the reason, when it could not.
bool WriteBackingGif(gif::TGIFImage& image, const QString& path,
                     const TAnimationDefaults& defaults, QString& reason);

// The system's part of a stream error ("Cannot write file "F". No space left on device"
// gives "No space left on device"); other errors whole.
QString SystemReason(const std::exception& error);

} // namespace editor

// Still pictures of the other kinds into a bitmap, through the imaging control.
#pragma once

#include <string>

namespace gif {
class TBitmap;
}

namespace io {

// Loads the picture at `path` into `bitmap` in the control's calling order (load, error,
// copy picture, release). Returns 0 on success, else the control's error code
// (TXpressError) and leaves `bitmap` unchanged; `message`, when given, then receives a
// one-line reason. Never throws.
int LoadPictureWithXpress(const std::string& path, gif::TBitmap& bitmap,
                          std::string* message = nullptr);

} // namespace io

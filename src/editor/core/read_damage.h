// Whether reading a GIF file recovered from damage: the reader's warnings during one load,
// counted while the image's own warning handler (the warning box, when the "Warnings"
// setting asks for it) still gets each of them.
#pragma once

#include <string>

#include "gif/model/image.h"

namespace editor {

// Warnings that lose nothing of the file: a frame larger than the screen it is on (the
// screen grows to hold it) and a colour index outside its table (shown as entry 0).
bool IsHarmlessReadWarning(const std::string& message);

class TReadDamageWatch {
public:
    explicit TReadDamageWatch(gif::TGIFImage& image);
    // Gives the image its own handler back.
    ~TReadDamageWatch();
    TReadDamageWatch(const TReadDamageWatch&) = delete;
    TReadDamageWatch& operator=(const TReadDamageWatch&) = delete;

    // The warnings so far that mean part of the file could not be read.
    int DamageWarnings() const { return damage_; }

private:
    gif::TGIFImage& image_;
    gif::TGIFWarning previous_;
    int damage_ = 0;
};

} // namespace editor

#include "editor/core/read_damage.h"

#include "gif/base/messages.h"

namespace editor {

bool IsHarmlessReadWarning(const std::string& message) {
    // Every other warning of the reader counts as damage, also those it learns later.
    for (const char* harmless : {gif::msg::ImageWidthTooSmall, gif::msg::ImageHeightTooSmall,
                                 gif::msg::ImageExceedsScreen, gif::msg::InvalidColorIndex})
        if (message == harmless) return true;
    return false;
}

TReadDamageWatch::TReadDamageWatch(gif::TGIFImage& image)
    : image_(image), previous_(image.WarningHandler) {
    image_.WarningHandler = [this](gif::TObject* sender, uint8_t severity,
                                   const std::string& message) {
        if (!IsHarmlessReadWarning(message)) ++damage_;
        // The warning box may end the load (Abort): it runs after the count.
        if (previous_) previous_(sender, severity, message);
    };
}

TReadDamageWatch::~TReadDamageWatch() { image_.WarningHandler = previous_; }

} // namespace editor

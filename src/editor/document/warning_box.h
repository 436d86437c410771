// The GIF library's warnings shown to the user, when the "Warnings" setting asks for it:
// a box with Abort (ends the running operation), Ignore and All (no further warnings).
#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

namespace gif {
class TGIFImage;
}

namespace editor {

class IPrompter;
class Settings;

// Raised by Abort in the warning box: ends the operation that warned.
class EProcessAborted : public std::runtime_error {
  public:
    EProcessAborted();
};

// The box's text for a warning of `severity` (0 special comments, 1 a warning, 2 an error)
// sent by an object of class `source`.
QString WarningText(uint8_t severity, const QString& source, const QString& message);

// Sends the image's warnings to the box. All stores "Warnings" = 0 and silences it.
void InstallWarningBox(gif::TGIFImage& image, IPrompter& prompter, Settings& settings);

} // namespace editor

// Files shipped with the program: the resource file "Lwr3lib.rcc" with the splash picture
// and the start-up animation, and the help pages. They lie beside the executable in a
// build, and under <prefix>/share/loopwright once installed.
#pragma once

#include <QByteArray>
#include <QString>

namespace gif {
class TGIFImage;
}

namespace editor {

class IPrompter;

inline constexpr const char* ResourceFileName = "Lwr3lib.rcc";
inline constexpr const char* HelpFileName = "Loopwright3.html";

// The path of a shipped file or folder, empty when it is nowhere to be found.
QString ProgramFile(const QString& name);

// Registers "Lwr3lib.rcc" once; a missing or damaged file shows "Could not load %s library
// file." (error) and returns false.
bool LoadResourceLibrary(IPrompter& prompter);
// The resource `name` ("SPLASH", "ANIMATED") of the registered library; empty when absent.
QByteArray ResourceBytes(const QString& name);
// Decodes the GIF resource `name` into `image`; false when absent or damaged.
bool LoadGifResource(const QString& name, gif::TGIFImage& image);

} // namespace editor

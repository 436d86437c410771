// Reading and writing GIF files for the verbs: the library's warnings shown on stderr,
// "-" for standard input and output, and the limit on decoded pixels.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "gif/base/exception.h"

namespace gif {
class TGIFImage;
class TMemoryStream;
}

namespace cli {

// The limit on decoded pixels (TGIFImage::MaxImagePixels) of every GIF loaded.
void SetMaxImagePixels(int64_t pixels);
int64_t MaxImagePixels();

// The file an argument names: "-" is standard input (InputName) or output (OutputName).
std::string InputName(const std::string& argument);
std::string OutputName(const std::string& argument);

// Loads `fileName` into `image`; errors propagate (main prints them as one line).
// Returns the size of the file in bytes; `bytes`, when given, receives the file itself.
int64_t LoadGif(gif::TGIFImage& image, const std::string& fileName, bool showWarnings,
                gif::TMemoryStream* bytes = nullptr);

// Runs `work` on `image`, read from `fileName`; a library error is raised again naming the
// file and, where the library's text alone does not say, what is wrong with it.
template <class TWork> void WorkOnGif(const gif::TGIFImage& image, const std::string& fileName, TWork&& work);

// The message for `error`, raised while working on `image`, read from `fileName`.
std::string ExplainError(const gif::TGIFImage& image, const std::string& fileName,
                         const std::exception& error);

// Raises, naming the file, when `image` has nothing a GIF file could hold: no frame with a
// picture (the writer would only say "Unsupported GIF version").
void CheckHasFrames(const gif::TGIFImage& image, const std::string& fileName);

// Saves `image` (or the bytes of `data`) as `fileName` through the library's safe save;
// returns the bytes written.
int64_t SaveGif(gif::TGIFImage& image, const std::string& fileName);
int64_t SaveBytes(const gif::TMemoryStream& data, const std::string& fileName);

template <class TWork>
void WorkOnGif(const gif::TGIFImage& image, const std::string& fileName, TWork&& work) {
    try {
        work();
    } catch (const gif::GIFException& e) {
        // Stream errors name their own files; the library's errors are about the image.
        throw gif::GIFException(ExplainError(image, fileName, e));
    }
}

} // namespace cli

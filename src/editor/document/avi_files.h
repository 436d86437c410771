// Videos and AVI files: a video imported as a new untitled document, and the active
// animation exported as an uncompressed 8-bit AVI video.
#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace editor {

class IProgressWindow;
class TWorkspace;

// The import's open dialog filter: AVI first, then every video kind FFmpeg reads.
extern const char* const VideoOpenFilter;

// Whether the file goes to the video import by its name (".avi", ".mp4", ".webm", ...).
bool IsVideoFile(const QString& path);

// Fills a new image from the video (with the stored palette settings when the user chose
// the least-error palette), then opens it as a new untitled document whose backing file
// holds it. A failed step shows its message (error box), an empty result "Error importing
// %s to GIF."; then nothing is created. Returns whether a document was created.
bool ImportAviDocument(TWorkspace& workspace, const QString& path);

// "As AVI Animation...": asks for the target file, flattens a copy of the working image in
// the progress window (Cancel stops it and nothing is written), then writes the AVI file.
// `createProgress` makes the progress window once the file is chosen. Returns whether a
// file was written.
bool ExportAviExecute(TWorkspace& workspace,
                      const std::function<std::unique_ptr<IProgressWindow>()>& createProgress);

} // namespace editor

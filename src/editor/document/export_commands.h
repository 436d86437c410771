// The File menu's Export commands that need no window of their own: writing the frames
// chosen in the Export Images dialog once it closes with OK, and the HTML page.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "io/export/frame_export.h"

namespace gif {
class TGIFImage;
}

namespace editor {

class IPrompter;
class TWorkspace;

namespace msg {
inline constexpr const char* ExportImagesError = "An error occurred exporting one or more images.";
inline constexpr const char* SaveBeforeHtml =
    "Would you like to save the current document before proceeding?";
inline constexpr const char* HtmlFilter = "HTML Files|*.htm;*.html";
// The save dialog's filter for each format, by its index (GIF, JPEG, bitmap).
inline constexpr const char* ExportImageFilters[3] = {"GIF Images|*.gif", "Jpg Images|*.jpg",
                                                      "Bitmap Images|*.bmp"};
} // namespace msg

// The export's progress as the dialog shows it: started with the number of files, stepped
// once per frame.
struct TExportProgress {
    std::function<void(int maximum)> Start;
    std::function<void()> Step;
};

// The Export Images dialog, which the dialogs layer provides: shown modally for the working
// image with one line per entry of the frame list; its OK runs ExportImagesOnOk.
class IImageExporter {
public:
    virtual ~IImageExporter() = default;
    virtual void ShowExportImages(gif::TGIFImage& image, int frameCount) = 0;
};

// Runs the export of the Export Images dialog's OK: with frames chosen, asks for the file
// name in the save dialog (starting in `folder`), writes each frame (io::ExportFrames) under
// the busy cursor and reports once when a frame had to be written as the placeholder.
// Returns false when the save dialog was cancelled: the dialog stays open with its choices.
// Files that cannot be written are passed over, as the export always has.
bool ExportImagesOnOk(IPrompter& prompter, gif::TGIFImage& image, const std::vector<int>& frames,
                      const io::TExportOptions& options, const QString& folder = {},
                      const TExportProgress& progress = {});

// "As HTML Page...": a page showing the active document's file. A document without a file on
// disk is saved first when the user agrees; the page is written where the save dialog says.
// Returns whether a page was written.
bool FileExportHtmlExecute(TWorkspace& workspace);

} // namespace editor

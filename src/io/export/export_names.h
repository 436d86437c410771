// Names of the files the single-image export writes: "GL1" and the frame index go into the
// name the user chose, so that every frame gets a file of its own in the chosen folder.
#pragma once

#include <string>

namespace io {

// `chosen` (a path) with its extension replaced by ".gif", or ".gif" appended when the file
// name has none.
std::string WithGifExtension(const std::string& chosen);

// The file of frame `frameIndex` under the chosen name: "GL1" followed by the index is
// inserted into the file name (never into the folder) before its extension, which is the
// last four characters of a name ending in ".xxx" (x.jpg, frame 2: xGL12.jpg). A name with a
// longer extension gets it before its dot (x.jpeg: xGL12.jpeg); a name without one gets it
// before its last four characters, or at its start when it is shorter than that.
std::string ExportFileName(const std::string& chosen, int frameIndex);

} // namespace io

// The texts of the AVI import and export, shown to the user as they stand.
#pragma once

#include <stdexcept>

namespace io {

// A step of the AVI import or export failed; the message is one of the texts below.
class EAviError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

namespace avimsg {

// Import, one per step.
inline constexpr const char* OpenFile = "Failed to open AVI file";
inline constexpr const char* OpenStream = "Failed to open AVI stream";
inline constexpr const char* StreamInfo = "Failed to get AVI stream info";
inline constexpr const char* FormatSize = "Failed to get AVI stream format size";
inline constexpr const char* Format = "Failed to get AVI stream format";
inline constexpr const char* BeginStreaming = "Failed to start AVI stream";
inline constexpr const char* Decompressor = "Failed to start AVI decompression";
inline constexpr const char* DecompressFrame = "Failed to decompress AVI frame";
// Export.
inline constexpr const char* CreateFile = "Failed to create AVI file";
inline constexpr const char* BitmapInfo = "Failed to retrieve bitmap info";
inline constexpr const char* CreateStream = "Failed to create AVI stream";
inline constexpr const char* SetFormat = "Failed to set AVI stream format";
inline constexpr const char* AddFrame = "Failed to add frame to AVI";

// The export command's own.
inline constexpr const char* ExportEmpty =
    "Error exporting animation to AVI! Unable to complete export.";
inline constexpr const char* Preparing = "Preparing %s for AVI export...";
inline constexpr const char* Exporting = "Exporting to AVI...";

} // namespace avimsg

} // namespace io

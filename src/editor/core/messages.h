// The editor's own texts, shown to users verbatim (with %s and %d filled in by Format).
#pragma once

namespace editor::msg {

// Files
inline constexpr const char* LoadError =
    "Error loading %s! GIF Loopwright does not support the file type or it is a corrupted file.";
inline constexpr const char* SaveError = "Error saving file! Unable to save %s to disk.";
inline constexpr const char* UnrecognizedFileType = "%s is an unrecognized file type!";
inline constexpr const char* CouldNotLoadClient = "Could not load the client.";
inline constexpr const char* CouldNotLoadLibrary = "Could not load %s library file.";

// Questions
inline constexpr const char* IncludeOrNew =
    "Would you like to add this image to the current animation?\r\n Or, would you like to start "
    "it as new animation?";
inline constexpr const char* MakeDefault = "Make this the &default";
inline constexpr const char* DoNotAskAgain = "Do not ask again";
inline constexpr const char* IncludeButton = "&Include";
inline constexpr const char* StartNewButton = "&Start New";

// Validation
inline constexpr const char* NotValidInteger = "'%s' is not a valid integer value.";

// Constant tables
inline constexpr const char* DisposalNames[4] = {"None", "Remove", "Background", "Previous"};
inline constexpr const char* YesNo[2] = {"No", "Yes"};
inline constexpr const char* InspectorRows[12] = {
    "Dimensions & Offsets", "Height", "Width", "X-Offset", "Y-Offset", "Display Settings",
    "Interlaced", "Transparent", "Local Palette", "Frame Playing", "Delay", "Disposal"};

} // namespace editor::msg

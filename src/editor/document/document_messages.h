// Texts of the documents, the main window and start-up, shown verbatim (Format fills in
// %s and %d).
#pragma once

namespace editor::msg {

inline constexpr const char* ApplicationTitle = "Quillmark GIF Loopwright 3.0";
inline constexpr const char* UntitledName = "Untitled%d.gif";
inline constexpr const char* CreatedWith = "Created with Quillmark GIF Loopwright 3.0";

// Documents
inline constexpr const char* SaveChanges = "Would you like to save changes to %s?";
inline constexpr const char* CheckCompatibility =
    "Would you like Loopwright to check the compatibility of this animation?";
inline constexpr const char* UnableToDecode = "Unable to decode %s. The file is could be corrupt.";
inline constexpr const char* MovedOrCannotOpen =
    "The file %s has either moved or cannot be opened. Existing changes will be lost. GIF "
    "Empty: %s, Load Error: %s.";
inline constexpr const char* SubImageIndexError =
    "EListError getting SubImages[%d] in DrawPreviewImage";
inline constexpr const char* ImportError = "Error importing %s to GIF.";
inline constexpr const char* FrameCaption = "%s - [Height: %d x Width: %d]";
inline constexpr const char* ModifiedPanel = "Modified";
inline constexpr const char* ModifiedHint = "Animation is modified";
inline constexpr const char* DamagedNotice = "damaged: %d frames could be read";
inline constexpr const char* ReplaceDamaged =
    "The file %s was damaged when it was opened: only %d frames could be read. Replace it "
    "anyway?";
inline constexpr const char* KeptInMemory =
    "The changes to %s could not be written to a temporary file: %s. They are kept in memory "
    "only, and the document cannot be switched away from until it is saved.";
inline constexpr const char* SaveBeforeSwitching =
    "The changes to %s are kept in memory only: save it before switching to another document.";

// Recovery after a crash
inline constexpr const char* RecoverChanges = "Recover unsaved changes of %s?";

// Playback
inline constexpr const char* NotAnAnimation =
    "This GIF is not an animation, therefore it cannot be played. Add additional images in "
    "order to play it.";
inline constexpr const char* PlayingFrame = "Playing Frame %d of %d";

// Recent files
inline constexpr const char* RecentFileGone = "Could not open %s. The file may have moved.";

// Library warnings
inline constexpr const char* GifWarning =
    "A GIF process has resulted in %s. The source is traced to %s with the following message: "
    "\"%s.\"";
inline constexpr const char* WarningSeverities[3] = {"special comments", "a warning", "an error"};
inline constexpr const char* ProcessAborted = "This process has been aborted.";

// File dialog filters
inline constexpr const char* SaveFilter = "GIF Images|*.gif|All Image Files|*.*";
inline constexpr const char* OpenGifFilter = "GIF Images (*.gif)|*.gif";
// The Open dialog's second entry: still pictures, each opened as a new animation.
inline constexpr const char* StillPicturesCaption = "Still Pictures";
// The picture filter of Add Frame comes from io/picture_filters.h (PictureFilterString).
inline constexpr const char* AviFilter = "AVI Animations (*.avi)|*.avi";

} // namespace editor::msg

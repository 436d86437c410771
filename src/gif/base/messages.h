// The library's message texts, in one place. They are shown to users verbatim.
#pragma once

namespace gif::msg {

// Model, frames and colour tables
inline constexpr const char* ImageWidthTooSmall = "Image width too small for contained frames";
inline constexpr const char* ImageHeightTooSmall = "Image height too small for contained frames";
inline constexpr const char* ImageExceedsScreen = "Image exceeds Logical Screen size";
inline constexpr const char* ObjectNotSupported = "Object type not supported for operation";
inline constexpr const char* InvalidBitsPerPixel = "Invalid Bits Per Pixel value";
inline constexpr const char* InvalidPixelCoordinates = "Invalid pixel coordinates";
inline constexpr const char* ImageEmpty = "Image is empty";
inline constexpr const char* ColorTableOverflow = "Color table overflow";
inline constexpr const char* InvalidColorIndex = "Invalid color index";
inline constexpr const char* ColorTableEmpty = "Color table is empty";
inline constexpr const char* ListIndexOutOfBounds = "List index out of bounds (%d)";
inline constexpr const char* CannotAssign = "Cannot assign a %s to a %s";

// Reading
inline constexpr const char* PrematureEnd = "Premature end of data";
inline constexpr const char* InvalidSignature = "Invalid GIF signature";
inline constexpr const char* UnknownBlockType = "Unknown GIF block type";
inline constexpr const char* InvalidTrailer = "Invalid Image trailer";
inline constexpr const char* MissingTrailer = "Missing Image trailer";
inline constexpr const char* MissingBlockTerminator = "Image data without block terminator";
inline constexpr const char* BitBufferUnderrun = "Decoder bit buffer under-run";
inline constexpr const char* CircularTableEntry = "Circular decoder table entry";
inline constexpr const char* UnsupportedCodeSize = "Unsupported LZW minimum code size";
inline constexpr const char* FrameTooLarge = "Frame dimensions exceed the supported limits";
inline constexpr const char* ImagePixelLimit = "Image exceeds the limit of %lld decoded pixels";

// Extension blocks
inline constexpr const char* InvalidIntroducer = "Invalid extension introducer";
inline constexpr const char* UnknownExtension = "Unknown extension type";
inline constexpr const char* ExtensionLabelMismatch =
    "Internal error: Extension Instance does not match Extension Label";
inline constexpr const char* UnsupportedAppBlockSize =
    "Unsupported Application Extension block size";
inline constexpr const char* InvalidGifData = "Invalid GIF data";

// Writing
inline constexpr const char* UnsupportedVersion = "Unsupported GIF version";
inline constexpr const char* ColorNotInTable = "Color not in color table";
inline constexpr const char* InvalidStreamOperation = "Invalid stream operation";

// Pictures, palettes and the clipboard
inline constexpr const char* NoColorTable = "No global or local color table defined";
inline constexpr const char* ClipboardStoreFailed = "Failed to store GIF on clipboard";
inline constexpr const char* UnsupportedClipboardFormat = "Unsupported clipboard format";
inline constexpr const char* UnsupportedReduction = "Unsupported color reduction settings";
inline constexpr const char* UnsupportedPixelFormat = "Unsupported PixelFormat";
inline constexpr const char* InvalidImageDimensions = "Invalid image dimensions";
inline constexpr const char* ScanLineOutOfRange = "Scan line index out of range";
inline constexpr const char* NoDIB = "Image has no DIB";
inline constexpr const char* DIBAllocFailed = "Failed to allocate memory for GIF DIB";
inline constexpr const char* InvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* UnsupportedBitmap = "Unsupported bitmap format";
inline constexpr const char* BitmapTooLarge = "Bitmap dimensions exceed the supported limits";
inline constexpr const char* InvalidIcon = "Icon image is not valid";
inline constexpr const char* InvalidMetafile = "Metafile is not valid";
inline constexpr const char* MetafileTooComplex = "Metafile drawing exceeds the supported limits";

// Progress texts
inline constexpr const char* Loading = "Loading...";
inline constexpr const char* Saving = "Saving...";
inline constexpr const char* Converting = "Converting...";
inline constexpr const char* Rendering = "Rendering...";
inline constexpr const char* Copying = "Copying...";
inline constexpr const char* Optimizing = "Optimizing...";

// Identifiers
inline constexpr const char* GifClipboardFormatName = "GIF Image";

} // namespace gif::msg

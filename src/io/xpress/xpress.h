// TXpress: the imaging control that decodes still pictures of the kinds the GIF library
// does not read itself (JPEG, PNG, TIFF, PCX, Targa, PNM, icons, metafiles, ...), over
// ImageMagick.
//
// Every use follows one order: load (SetFileName), read Error; only when it is 0 read the
// sizes, Resample and CopyPicture as needed; then Release. Nothing here throws: failures
// are error codes, and decoding runs under size, memory and time limits so that a hostile
// or damaged file fails quickly instead of exhausting the machine.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace io {

// Error codes of the control; 0 means the last load succeeded.
enum TXpressError : int16_t {
    xeNone = 0,
    xeFileNotFound = 1,    // no such file, or it cannot be read
    xeUnsupportedKind = 2, // not a picture of a kind the control decodes
    xeDamaged = 3,         // the decoder gave up, or the data ends early
    xeTooLarge = 4,        // beyond the limits below
    xeTimeLimit = 5,       // decoding took longer than the time budget
    xeNoPicture = 6,       // an operation that needs a picture was called without one
    xeResampleFailed = 7,  // the picture could not be rescaled
};

// Limits on one picture. ImageMagick keeps 16 bits per channel, so the pixel limit is
// 256 MiB of pixels in its cache; the system's ImageMagick policy may lower them further.
inline constexpr int MaxPictureSide = 16384;
inline constexpr int64_t MaxPicturePixels = int64_t(32) << 20;
inline constexpr int64_t MaxPictureMemory = int64_t(384) << 20;
inline constexpr int64_t MaxPictureFileBytes = int64_t(256) << 20;
// Wall-clock time one load or resample may take before it is cancelled.
inline constexpr std::chrono::milliseconds DefaultTimeBudget{15000};

// One line describing an error code ("" for xeNone).
const char* XpressErrorText(int16_t error);

class TXpress {
  public:
    explicit TXpress(std::chrono::milliseconds timeBudget = DefaultTimeBudget);
    ~TXpress();
    TXpress(const TXpress&) = delete;
    TXpress& operator=(const TXpress&) = delete;

    // Drops any picture held, then decodes `path` synchronously. Error() tells the result.
    // A `coverSide` above 0 asks for a small copy, much faster to make: JPEG is decoded at
    // the smallest scale that still covers coverSide x coverSide, PNG and GIF straight to
    // 8-bit pixels (of a GIF, the first frame as shown on its logical screen).
    // Width32/Height32 are then the decoded size, and FileWidth32/FileHeight32 the size
    // stored in the file.
    void SetFileName(const std::string& path, int coverSide = 0);
    const std::string& FileName() const { return fileName_; }

    // 0 after a successful load, otherwise one of TXpressError.
    int16_t Error() const { return error_; }
    // The error code's text, with the decoder's reason where it gave one; one line.
    const std::string& ErrorMessage() const { return errorMessage_; }

    // Pixel size of the held picture; 0 without one.
    int16_t Width() const { return int16_t(width_); }
    int16_t Height() const { return int16_t(height_); }
    int32_t Width32() const { return width_; }
    int32_t Height32() const { return height_; }
    // The picture's size as the file states it; 0 without a picture.
    int32_t FileWidth32() const { return fileWidth_; }
    int32_t FileHeight32() const { return fileHeight_; }

    // Rescales the held picture to exactly height x width (both at least 1 and at most
    // MaxPictureSide). False, with Error() set, when there is no picture or it fails; the
    // picture is then unchanged.
    bool Resample(int height, int width);

    // The picture as a packed device-independent bitmap: a 40-byte BITMAPINFOHEADER, the
    // colour table, then the rows bottom-up, each padded to 4 bytes. 32 bits (blue, green,
    // red, alpha) when the picture has transparency, 8 bits with a table when it has a
    // palette of at most 256 colours or is grey, else 24 bits. Empty without a picture.
    std::vector<uint8_t> CopyPicture() const;

    // The picture's pixels as 8-bit blue, green, red and alpha, rows top-down without
    // padding, into `bgra` (Width32() x Height32() x 4 bytes): one pass, for callers that
    // need no bitmap. `alpha` tells whether the picture may have transparent pixels. False
    // without a picture or when its pixels cannot be read.
    bool CopyPixels(uint8_t* bgra, bool& alpha) const;

    // Drops the picture; the sizes read 0 afterwards. The error code is kept.
    void Release();

  private:
    struct TPicture;

    void Fail(int16_t error, const std::string& reason = {});

    std::chrono::milliseconds timeBudget_;
    std::string fileName_;
    int16_t error_ = xeNone;
    std::string errorMessage_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t fileWidth_ = 0;
    int32_t fileHeight_ = 0;
    std::unique_ptr<TPicture> picture_;
};

} // namespace io

// TGIFImage: one GIF file in memory, a tree of header, frames, colour tables and
// extension blocks, with the settings used to convert, draw and write it.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gif/codec/image_data_writer.h"
#include "gif/graphics/graphic.h"
#include "gif/model/header.h"
#include "gif/model/subimage.h"

namespace gif {

class TBitmap;
class TGIFClock;
class TGIFDispatcher;
class TGIFPainter;
class TGIFImage;

// Draw options: one bit each, bit 0 first.
enum TGIFDrawOption : uint16_t {
    doAsync = 1 << 0,
    doTransparent = 1 << 1,
    doAnimate = 1 << 2,
    doLoop = 1 << 3,
    doLoopForever = 1 << 4,
    doValidateCanvas = 1 << 5,
    doDirectDraw = 1 << 6,
    doClearOnLoop = 1 << 7,
    doTile = 1 << 8,
    doDither = 1 << 9,
    doAutoDither = 1 << 10,
};
using TGIFDrawOptions = uint16_t;
inline constexpr TGIFDrawOptions GIFDefaultDrawOptions = 0x060F;

// Optimiser passes (TGIFImage::Optimize): one bit each, bit 0 first.
enum TGIFOptimizeOption : uint8_t {
    optTrim = 1 << 0,              // trim transparent frames to their visible rectangle
    optDuplicatePixels = 1 << 1,   // pixels that repeat the screen become transparent
    optCleanup = 1 << 2,           // remove blocks and settings that change nothing shown
    optSortPalettes = 1 << 3,      // sort colour tables by use, drop unused entries
};
using TGIFOptimizeOptions = uint8_t;

enum class TThreadPriority : uint8_t {
    tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical
};

// (sender, severity, message). Severity is always 1 for the library's warnings.
using TGIFWarning = std::function<void(TObject* sender, uint8_t severity, const std::string& message)>;

// Library-wide settings. The display of this desktop never has a palette.
inline constexpr bool BuildBitmapsOnLoad = false;
inline constexpr bool OptimizeOnEmbeddedWrite = false;
bool IsPaletteDisplay();

// Default reduction settings of a new image (see gif/reduce).
inline constexpr uint8_t DefaultReductionMethod = 6;   // the 216-colour web palette
inline constexpr int DefaultReductionDepth = 8;
inline constexpr uint8_t DefaultDitherMethod = 0;      // nearest colour

class TGIFImage : public TGraphic {
public:
    TGIFImage();
    ~TGIFImage() override;
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;
    const char* ClassName() const override { return "TGIFImage"; }

    TGIFHeader& Header() { return *headerBlock_; }
    const TGIFHeader& Header() const { return *headerBlock_; }
    TGIFImageList& Images() { return *frameList_; }
    const TGIFImageList& Images() const { return *frameList_; }
    TGIFGlobalColorMap& GlobalColorMap() { return headerBlock_->GlobalTable(); }
    int FrameCount() const { return frameList_->Count(); }
    TGIFSubImage* Frame(int index) const { return frameList_->Frames(index); }

    // The logical screen. Setting a size smaller than a frame needs raises an error.
    bool Empty() const override { return frameList_->Count() == 0; }
    int Width() const override { return headerBlock_->LogicalWidth(); }
    int Height() const override { return headerBlock_->LogicalHeight(); }
    void SetWidth(int value) override;
    void SetHeight(int value) override;

    // Stops renderers, deletes every frame and empties the global table and screen size.
    void ResetImage();
    // Appends a frame, or converts any other picture into a new frame; returns its index.
    int AddFrame(std::unique_ptr<TGIFSubImage> frame);
    int AddFrame(const TPersistent* source);

    // The lowest version that can hold every frame (0 without frames).
    TGIFVersion GifVersion() const;
    int ScreenColorResolution() const;
    int ScreenBitDepth() const;

    uint8_t ReductionMethod = DefaultReductionMethod;
    uint8_t DitherMethod = DefaultDitherMethod;
    TEncodingMethod EncodingMethod = emLZW;
    int ReductionDepth() const { return reductionDepth_; }
    // "Invalid Bits Per Pixel value" outside 3..8.
    void SetReductionDepth(int value);

    // Frames larger than this many pixels are refused when read ("Frame dimensions exceed
    // the supported limits"), so that a damaged file cannot ask for gigabytes.
    int64_t MaxFramePixels = int64_t(1) << 28;
    // The pixels of all frames together that reading may allocate (a frame's pixels are
    // counted before they are allocated); a file that needs more is refused with "Image
    // exceeds the limit of N decoded pixels". Many small frames or a few huge ones cannot
    // exhaust memory that way. The default, 2 GiB, holds any animation a desktop can edit.
    int64_t MaxImagePixels = DefaultMaxImagePixels;
    static constexpr int64_t DefaultMaxImagePixels = int64_t(1) << 31;
    // Above 0, reading stops after this many frames, without looking for the trailer:
    // a preview that shows the first frame need not decode the others.
    int MaxFramesRead = 0;
    // The pixels allocated by the current or last read.
    int64_t DecodedPixels() const { return decodedPixels_; }
    // The serial of the next frame made for this image (TGIFSubImage::Serial). Safe on
    // several threads at once: the optimiser makes frames of one image on two.
    uint64_t NewFrameSerial() {
        return std::atomic_ref<uint64_t>(frameSerials_).fetch_add(1, std::memory_order_relaxed) + 1;
    }

    TGIFWarning WarningHandler;
    // Calls WarningHandler when one is installed.
    virtual void Warning(TObject* sender, uint8_t severity, const std::string& message);

    // Drops every cached bitmap and palette; moves a lone frame's local table to the
    // empty global table.
    void RefreshPalettes();

    // Palettes presented for drawing.
    HPALETTE ImagePalette();
    void SetImagePalette(HPALETTE palette);
    HPALETTE Palette() override { return ImagePalette(); }
    void SetPalette(HPALETTE palette) override { SetImagePalette(palette); }
    // Whether frames are dithered to the web palette when drawn.
    bool DoDither() const;

    // Copies another image (or converts a picture into a one-frame image).
    void Assign(const TPersistent* source) override;

    // Reading and writing whole files.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // The embedded form: a 32-bit length followed by the file bytes.
    void WriteData(TStream& stream);

    // The clipboard: a bitmap of frame 0 plus the GIF bytes.
    struct TClipboardData {
        std::vector<uint8_t> Dib;   // packed device-independent bitmap
        std::vector<uint8_t> Gif;   // the bytes of SaveToStream
    };
    enum class TClipboardFormat { cfGif, cfDib };
    TClipboardData SaveToClipboardData();
    void LoadFromClipboardData(TClipboardFormat format, std::span<const uint8_t> data,
                               HPALETTE palette = nullptr);

    // Drawing and playback.
    void Draw(TCanvas& canvas, const TRect& rect) override;
    TGIFDrawOptions DrawOptions() const { return drawOptions_; }
    void SetDrawOptions(TGIFDrawOptions value);
    TBitmap* Bitmap();
    // Creates a renderer of this image onto `rect` of `canvas`; none for an empty image or
    // rectangle. Asynchronous (doAsync): returned unstarted, the caller Start()s it.
    // Synchronous: played to the end here, errors propagate, none is returned. With
    // doValidateCanvas, play stops once `canvasLifetime` has expired.
    std::unique_ptr<TGIFPainter> Paint(TCanvas& canvas, TGIFDrawOptions options, const TRect& rect,
                                       std::weak_ptr<const void> canvasLifetime = {});
    // Stops the own renderer of Draw and waits for it, drops the cached bitmap, then
    // raises the error that ended that renderer's play, if any.
    void StopDraw();
    // Stops every renderer of this image and waits for the asynchronous ones to end.
    void StopAllPainters();
    // Runs renderers' paint steps and events on the user-interface thread; none: on
    // their own threads.
    std::shared_ptr<TGIFDispatcher> Dispatcher;
    // The renderers' clock; none: real time.
    std::shared_ptr<TGIFClock> Clock;
    // With doValidateCanvas and doDirectDraw: Draw's renderer stops once this expires.
    std::weak_ptr<const void> DrawCanvasLifetime;
    int AnimationSpeed = 100;                 // percent; 0 freezes asynchronous play
    TThreadPriority ThreadPriority = TThreadPriority::tpNormal;
    TColor DrawBackgroundColor = clNone;
    TNotifyEvent OnPlayStart;
    TNotifyEvent OnBeforeFrame;
    TNotifyEvent OnAfterFrame;
    TNotifyEvent OnLoop;
    TNotifyEvent OnPlayEnd;

    // Optimisation (gif/optimize).
    // Runs the chosen passes, reporting "Optimizing..."; an empty image is left alone.
    void Optimize(TGIFOptimizeOptions options);
    // Merges every colour table into one global table of at most 256 colours.
    void OptimizeColorMaps();

    // Raised by items of the tree; public so that frames and tables can notify.
    void NotifyChange(TObject* sender) { Changed(sender); }
    void ReportProgress(TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow,
                        const std::string& message) {
        Progress(sender, stage, percent, redrawNow, message);
    }

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    friend class TGIFPainter;
    friend class TGIFImageList;
    friend class TGIFSubImage;

    void CopyFromImage(const TGIFImage& source);
    void DropCachedBitmap();
    // Stops Draw's renderer and waits for it unless it is running on this thread; returns
    // its captured error.
    std::exception_ptr StopOwnPainter();
    void DetachPainters();

    bool drawing_ = false;
    bool paletteReentrance_ = false;
    std::unique_ptr<TGIFImageList> frameList_;
    std::unique_ptr<TGIFHeader> headerBlock_;
    HPALETTE palette_;
    std::recursive_mutex painterLock_;
    std::vector<TGIFPainter*> painters_;
    TGIFDrawOptions drawOptions_ = GIFDefaultDrawOptions;
    int reductionDepth_ = DefaultReductionDepth;
    int64_t decodedPixels_ = 0;
    uint64_t frameSerials_ = 0;
    std::shared_ptr<TBitmap> bitmap_;   // shared with the renderer drawing into it
    std::unique_ptr<TGIFPainter> painter_;
    // Own renderers stopped from inside their own paint steps or events: waited for later.
    std::vector<std::unique_ptr<TGIFPainter>> retiredPainters_;
};

} // namespace gif

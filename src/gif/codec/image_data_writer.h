// Compressing GIF image data with the LZW or the run-length encoder.
#pragma once

#include <cstdint>
#include <memory>

namespace gif {

class TStream;
class TMemoryStream;
class TLZWEncoder;
class TRLEEncoder;
class TLZWLookaheadEncoder;
class TGIFSubImage;

enum TEncodingMethod : uint8_t { emLZW = 0, emRLE = 1 };

struct TEncodeSource {
    const uint8_t* Pixels; // may be null (blank frame)
    int Width;
    int Height;
    bool Interlaced;
    int Bits;       // bits per pixel of the colour table in use (1..8); code size max(Bits, 2)
    int ColorLimit; // every pixel must be below it, else "Color not in color table"
    // LZW only: at or above 0, the look-ahead parse with this bias (TLZWLookaheadEncoder)
    // instead of the longest match.
    int LookaheadBias = -1;
    // LZW only: codes sent with a full string table before it is cleared (0: at once);
    // above 0 the data is written by TLZWLookaheadEncoder, with the longest match when
    // LookaheadBias is negative.
    int ClearDelay = 0;
};

// What the file writer compresses for `frame`: its pixels, the code size and colour limit of
// its local table or (without one) of the screen's `screenBitDepth`, the smaller code size the
// frame asks for while every pixel fits it, and the parse it asks for.
TEncodeSource FrameEncodeSource(const TGIFSubImage& frame, int screenBitDepth);

// Writes the minimum code size byte, the compressed data in sub-blocks of 255 bytes and
// the 0 terminator.
void EncodeImageData(TStream& stream, const TEncodeSource& source, TEncodingMethod method);

// The same for frame after frame: the encoders and their tables are kept between frames,
// so that an animation of many frames sets them up once, and the LZW encoder is handed on
// to the thread's next writer. Not for use by two threads at once.
class TImageDataWriter {
  public:
    TImageDataWriter();
    ~TImageDataWriter();
    TImageDataWriter(const TImageDataWriter&) = delete;
    TImageDataWriter& operator=(const TImageDataWriter&) = delete;

    void Write(TStream& stream, const TEncodeSource& source, TEncodingMethod method);
    // The largest pixel of the last Write when its encoder found it on the way, else -1.
    int LastLargestPixel() const { return lastLargest_; }

    // A stream of the writer's own to compress a frame into before its bytes go on, emptied
    // (position 0) for each use: it keeps its room from frame to frame, so that the bytes of
    // an animation are neither reallocated as they grow nor zeroed first. The bytes written
    // are those before its position.
    TMemoryStream& Scratch();

  private:
    std::unique_ptr<TMemoryStream> scratch_;
    std::unique_ptr<TLZWEncoder> lzw_;
    std::unique_ptr<TRLEEncoder> rle_;
    std::unique_ptr<TLZWLookaheadEncoder> lookahead_;
    int lastLargest_ = -1;
};

} // namespace gif

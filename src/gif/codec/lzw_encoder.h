// The LZW encoder of GIF image data.
#pragma once

#include "gif/codec/gif_encoder.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gif {

// Classic GIF LZW: the table grows until the next free code reaches 4095, then a clear
// code starts it again, so no code above 4094 is ever sent. The code size grows right
// after the code sent while the next free code is above the largest code of the size.
//
// Where the strings live depends on the pixel values a frame really uses (its code size
// may be larger: a two-colour frame in a 256-colour table still needs only two children
// per string). Values below 16, or below 32 in a small frame: a direct table, one row per
// code with an entry per value holding the child's row, so that a lookup is an add and one
// load. More values: an
// open-addressed string table of (prefix, pixel) -> code. Either way the codes sent are
// those of the classic encoder.
//
// An encoder object may encode frame after frame: its tables are allocated once and only
// the entries a frame used are emptied again, so many small frames cost no more than
// their pixels.
class TLZWEncoder : public TGIFEncoder {
  public:
    TLZWEncoder();
    ~TLZWEncoder() override;

  protected:
    void Compress() override;

  private:
    // The state the hot loops keep in registers between the rare events.
    struct TRun {
        uint64_t Acc;       // bits not yet sent, lowest first
        unsigned Bits;      // how many
        uint8_t* Out;       // next byte of the batch buffer
        unsigned CodeSize;  // bits per code now
        unsigned MaxCode;   // the largest code of the current size
        unsigned NextCode;  // F, the next free code
        unsigned Threshold; // the next free code at which a miss needs Grow()
        uint32_t Prefix;    // the code of the string matched so far
        uint32_t Here;      // string table: the low 16 bits of the prefix's slot (its
                            // pixel for a single pixel), where its children's probes start
    };

    template <unsigned A> void RunDirect(TRun& run, const uint8_t* p, const uint8_t* end);
    template <bool Whole> void RunHashed(TRun& run, const uint8_t* p, const uint8_t* end);
    void RunFirstChild(TRun& run, const uint8_t* p, const uint8_t* end);
    void PrepareTables(size_t pixels, unsigned largestPixel);
    // Sends `code` at the current size; the batch goes to the writer when full.
    void Emit(TRun& run, uint32_t code);
    // A miss at the threshold, after the prefix went out: grows the code size and, when
    // the next free code has reached 4095, sends a clear code and empties the table.
    // Returns true after a clear (the string then starts anew without a table entry).
    bool Grow(TRun& run);
    void Flush(TRun& run);
    void ResetTables();
    void Finish(TRun& run);

    // What this frame uses: the direct table with rows of 2^directBits_ entries, or (0)
    // the string table.
    unsigned directBits_ = 0;
    bool flat_ = false; // string table frames: most pixels equal their left neighbour

    // Direct table: entry (code << directBits_) + pixel holds the child's row (its code
    // shifted left by directBits_), 0 for none (every child code is above K + 1). A code's
    // row is emptied when the code is given out, the rows of the single pixels at every
    // clear. Rows of 32 entries (small frames only) hold half the child's row, which
    // would not fit 16 bits whole.
    std::unique_ptr<uint16_t[]> direct_;
    size_t directSize_ = 0; // entries
    // String table: (key + 1) * 4096 + code with key = prefix * 256 + pixel, 0 for an empty
    // slot; stringMask_ + 1 slots in use, 65536 (whole) for frames that can fill it. The
    // slots set are listed in slotsUsed_, to empty only those.
    std::unique_ptr<uint32_t[]> strings_;
    unsigned stringMask_ = 0;
    size_t stringsZeroed_ = 0; // slots emptied since the allocation
    std::unique_ptr<uint16_t[]> slotsUsed_;
    unsigned slotsUsedCount_ = 0;
    size_t dirtySlots_ = 0; // the size of the table the listed slots were set in
    // Flat frames: each code's first child, as its pixel + 1 (0 for none, emptied when the
    // code is given out) and its code.
    std::unique_ptr<uint16_t[]> firstTag_;
    std::unique_ptr<uint16_t[]> firstCode_;
};

} // namespace gif

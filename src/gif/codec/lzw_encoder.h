// The LZW encoder of GIF image data.
#pragma once

#include "gif/codec/gif_encoder.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

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
// An encoder object may encode frame after frame: its tables are allocated once, and a
// frame or a clear code empties the string table by starting a new generation of it, so
// many small frames cost no more than their pixels. TImageDataWriter keeps one per thread
// from image to image.
class TLZWEncoder : public TGIFEncoder {
  public:
    TLZWEncoder();
    ~TLZWEncoder() override;

    // For tests: how many strings this encoder ever had to put in its overflow map; the
    // random value of a pixel that is XORed into the slot of its strings (flat frames: the
    // slot of a code's other children is the code XOR the pixel's value); the home slot of
    // the string of two pixels in noisy frames; and how many generations the string table
    // goes through before it is emptied.
    size_t OverflowedStrings() const { return overflowed_; }
    static uint16_t SlotMix(uint8_t pixel);
    static uint16_t PairSlot(uint8_t first, uint8_t second);
    static unsigned TableGenerations();

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
        uint32_t Here;      // string table: the number of the prefix's slot (a mark and
                            // its pixel for a single pixel), where its children's probes start
    };

    template <unsigned A> void RunDirect(TRun& run, const uint8_t* p, const uint8_t* end);
    void RunHashed(TRun& run, const uint8_t* p, const uint8_t* end);
    template <typename TEntry>
    void RunFirstChild(TRun& run, const uint8_t* p, const uint8_t* end, TEntry* firsts);
    void PrepareTables(size_t pixels, unsigned largestPixel);
    // Sends `code` at the current size; the batch goes to the writer when full.
    void Emit(TRun& run, uint32_t code);
    // A miss at the threshold, after the prefix went out: grows the code size and, when
    // the next free code has reached 4095, sends a clear code and empties the table.
    // Returns true after a clear (the string then starts anew without a table entry).
    bool Grow(TRun& run);
    void Flush(TRun& run);
    void ResetTables();
    // The string (here, pixel) past the longest probe a slot can record: looked up in, or
    // (as code `next`) added to, the overflow map. Returns the string's slot value, 0 when
    // it was added; the caller's store of it goes to the scratch slot.
    uint32_t Overflow(uint32_t here, uint32_t want, unsigned next);
    void Finish(TRun& run);

    // What this frame uses: the direct table with rows of 2^directBits_ entries, or (0)
    // the string table.
    unsigned directBits_ = 0;
    bool flat_ = false; // string table frames: strings mostly continue with their first child
    bool steps_ = false; // and often for two and four pixels on (long strings)

    // Direct: entry (code << directBits_) + pixel holds the child's row (its code shifted
    // left by directBits_), 0 for none (every child code is above K + 1). A code's row is
    // emptied when the code is given out, the rows of the single pixels at every clear.
    // Rows of 32 entries (small frames only) hold half the child's row, which would not
    // fit 16 bits whole.
    // String table: 65536 slots of (generation 6 bits, kind of prefix 2, pixel 8, probe distance
    // 4, code 12),
    // see lzw_encoder.cpp; one more slot takes the stores of strings that overflowed.
    // Flat frames: each code's first child, as its pixel + 1 (0 for none, emptied when the
    // code is given out) and its code; for long strings also the strings two and four
    // pixels further along first children (see TFirstChildSteps in lzw_encoder.cpp).
    struct TTables;
    std::unique_ptr<TTables> tables_;
    // Strings whose probe went past the longest distance a slot records, by
    // (here << 8 | pixel): only crafted pixels get there.
    std::unordered_map<uint32_t, uint32_t> overflow_;
    size_t overflowed_ = 0; // strings ever added to it
};

} // namespace gif

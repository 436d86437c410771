// The LZW encoder of GIF image data.
#pragma once

#include "gif/codec/gif_encoder.h"
#include "gif/codec/hash_table.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gif {

// Classic GIF LZW: the table grows until the next free code reaches 4095, then a clear
// code starts it again, so no code above 4094 is ever sent. The code size grows right
// after the code sent while the next free code is above the largest code of the size.
//
// Where the strings live: the children of single-pixel strings in a direct 256 x 256
// array (in noisy images nearly every string starts with such a lookup); for longer
// strings the first child added to each code (pixel and child code) sits in a per-code
// array, later children in the string table (THashTable). A string that has no child
// yet, the usual case in noisy images, is then known to end after one load, and flat
// areas mostly follow first children. For code sizes up to 4 (at most 16 pixel
// values) a direct array children[pixel][prefix] holds everything. Either way the map
// (prefix, pixel) -> code is the one the string table alone would hold, so the codes sent
// are the same.
class TLZWEncoder : public TGIFEncoder {
  protected:
    void Compress() override;

  private:
    // The encoder state the hot loops keep in registers.
    struct TState {
        uint64_t Acc;  // bits not yet sent, lowest first
        unsigned Bits; // how many
        uint8_t* Out;  // next byte of the batch buffer
        int CodeSize;
        int MaxCode;     // the largest code of the current size
        int NextCode;    // F, the next free code
        uint32_t Prefix; // the code of the string matched so far
    };

    template <bool CheckLimit> void CompressRows();
    template <bool CheckLimit> void RunSplit(TState& state, const uint8_t* p, const uint8_t* end);
    template <bool CheckLimit> void RunDirect(TState& state, const uint8_t* p, const uint8_t* end);
    // Sends a code at the current size.
    void Emit(TState& s, int code);
    // After the code for a string has gone out: grows the code size, and clears the
    // table when the next free code has reached 4095. Returns true after a clear.
    bool AfterMiss(TState& s);
    void ResetTables();
    void Finish(TState& s);
    [[noreturn]] void ColorErrorAt(const TState& s);

    static constexpr int kDirectMaxCodeSize = 4;
    static constexpr uint32_t kNoChild = 0xFFFFFFFF;

    std::unique_ptr<THashTable> table_;
    std::unique_ptr<uint32_t[]> firstChild_; // per code: pixel * 4096 + child, or kNoChild
    std::unique_ptr<uint16_t[]> children_;   // direct table, 0xFFFF = none
    // Children of single-pixel strings, indexed by the key itself (prefix * 256 + pixel,
    // prefix below K <= 256), 0xFFFF = none; the keys in use, to reset only those.
    std::unique_ptr<uint16_t[]> pairs_;
    std::unique_ptr<uint16_t[]> pairsUsed_;
    int pairsUsedCount_ = 0;
};

} // namespace gif

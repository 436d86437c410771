// An LZW encoder that may end a string before the longest match, for smaller output.
#pragma once

#include "gif/codec/gif_encoder.h"
#include "gif/codec/lzw_string_table.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace gif {

// Any GIF decoder reads a code stream whatever strings the encoder chose to send: after
// each code it adds "the previous string plus the first pixel of this one" to its table.
// The classic encoder always sends the longest string the table holds. This one looks one
// string ahead: of the strings that start where it stands (the longest match and the
// shorter ones up to kWindow pixels shorter) it takes the one after which the following
// string reaches furthest. A shorter string wins only when it reaches more than `bias`
// pixels further than the longest: ending early adds a table entry that exists already, a
// code spent on nothing, so a small gain is often lost later.
//
// Clears and code sizes follow the classic encoder (clear when the next free code reaches
// 4095). Slower than TLZWEncoder by the look-ahead; meant for the optimiser, which keeps
// the parse only where it is smaller. As gifsicle's optimiser does, it sends the end code
// only in the bits left over in the last byte; decoders stop at the last pixel anyway.
class TLZWLookaheadEncoder : public TGIFEncoder {
  public:
    TLZWLookaheadEncoder() { endInLastByte_ = true; }
    // A negative bias never ends a string early: the classic encoder's bytes.
    void SetBias(int bias) { bias_ = bias; }
    // Codes sent with a full table before the clear (0: the clear comes at once). A table
    // that still serves the pixels well can pay more than a fresh one that must grow again.
    void SetClearDelay(int codes) { clearDelay_ = codes > 0 ? codes : 0; }

    // Four shorter strings find nearly all there is to gain (eight: 0.01 % more, at twice
    // the time).
    static constexpr int kWindow = 4;
    // Longer strings are taken whole: what ending one early gains is small against its
    // length, and looking ahead from each of the shorter ones costs about as much as it
    // is long (on flat pictures most of the encoder's time).
    static constexpr int kLongestShortened = 64;

  protected:
    void Compress() override;

  private:
    // Sends `code` and grows the code size once the next free code no longer fits.
    void Send(int code);
    void Clear();
    // The child of `code` for `pixel`, -1 when the table has none.
    int Child(int code, uint8_t pixel) const { return table_.Child(uint32_t(code), pixel); }
    // How many pixels from `pos` on the table's longest string matches; path[k] receives
    // the code of its first k pixels.
    int Match(size_t pos, int* path) const;
    // Lengthens the match of `length` pixels at `pos` held in `path` as far as the table
    // allows; returns the new length.
    int Extend(size_t pos, int* path, int length) const;

    int bias_ = 0;
    int clearDelay_ = 0;
    int nextCode_ = 0;
    int longest_ = 1; // pixels in the longest string of the table
    // The same for the strings that start with each pixel value: a shorter string whose
    // follower cannot reach far enough by that is not looked at.
    std::array<uint16_t, 256> longestFrom_{};
    TLzwStringTable table_;
    std::vector<uint8_t> stream_; // the pixels in the order they are stored
    std::vector<int> path_;       // codes of the longest match's prefixes, by length
    std::vector<int> tried_;      // the same for a match being tried further on
    std::vector<int> nextPath_;   // the same for the best of those so far
};

} // namespace gif

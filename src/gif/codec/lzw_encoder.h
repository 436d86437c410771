// The LZW encoder of GIF image data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "gif/codec/gif_encoder.h"
#include "gif/codec/hash_table.h"

namespace gif {

// Classic GIF LZW: the table grows until the next free code reaches 4095, then a clear
// code starts it again, so no code above 4094 is ever sent. The code size grows right
// after the code sent while the next free code is above the largest code of the size.
class TLZWEncoder : public TGIFEncoder {
protected:
    void Compress() override;

private:
    // The encoder state the hot loops keep in registers.
    struct TState {
        uint64_t Acc;       // bits not yet sent, lowest first
        unsigned Bits;      // how many
        uint8_t* Out;       // next byte of the batch buffer
        int CodeSize;
        int MaxCode;        // the largest code of the current size
        int NextCode;       // F, the next free code
        uint32_t Prefix;    // the code of the string matched so far
    };

    template <bool CheckLimit>
    void CompressRows();
    // The last child found or made for each code answers the lookup, else Step().
    // Returns how many pixels the cache answered.
    template <bool CheckLimit>
    size_t RunCached(TState& state, const uint8_t* p, const uint8_t* end);
    // Each pixel settled from the first two probe slots (loaded at once), else Step().
    // Returns how many pixels continued the current string.
    template <bool CheckLimit>
    size_t RunHashed(TState& state, const uint8_t* p, const uint8_t* end);
    // One pixel the plain way: probe until the key or an empty slot; on a miss send the
    // prefix, grow the code size, and clear or add the key.
    void Step(TState& s, uint32_t pixel);
    void Emit(TState& s, int code);
    void ClearTable(TState& s);
    [[noreturn]] void ColorErrorAt(const TState& s);

    std::unique_ptr<THashTable> table_;
    // The last child found or made for each code, as pixel * 4096 + child code: most
    // lookups in flat areas and along runs hit it with one load instead of a hash probe.
    // Table entries never change until the next clear, so a cached pair is always right.
    std::unique_ptr<uint32_t[]> lastChild_;
};

} // namespace gif

// The LZW encoder of GIF image data.
#pragma once

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
    template <bool CheckLimit>
    void CompressRows();

    std::unique_ptr<THashTable> table_;
};

} // namespace gif

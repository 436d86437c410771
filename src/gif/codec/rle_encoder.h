// The run-length encoder of GIF image data: a code stream that any GIF decoder reads,
// built from pixel codes, clear codes and codes for runs of one colour.
#pragma once

#include "gif/codec/gif_encoder.h"

#include <cstdint>

namespace gif {

// After a clear, a decoder that receives a pixel code followed by the codes B, B + 1, ...
// (B = K + 2, the first table code) holds in entry B + j - 2 a run of j pixels of that
// colour. So a run of n pixels can be sent as runs of 1, 2, 3, ... (about sqrt(2n) codes),
// and later runs of the same colour reuse the longest run code in the table. The encoder
// tracks the decoder's table size to change code sizes exactly when the decoder does.
class TRLEEncoder : public TGIFEncoder {
  protected:
    void Compress() override;

  private:
    void Clear();
    void EmitLiteral(int code);
    void EndRun(int64_t n);
    void EmitRunAfterClear(int64_t n);
    void EmitRunPlainOrCleared(int64_t n);
    void EmitRunFromTable(int64_t n);
    void RestoreClearPoint();
    template <bool CheckLimit> void CompressRows();

    int baseCode_ = 0; // B = K + 2
    int maxCodes_ = 0; // M = 4095 - B
    int bumpInit_ = 0;
    int clearInit_ = 0;
    int bumpPoint_ = 0;
    int clearPoint_ = 0;
    int codesSinceClear_ = 0;
    int runColor_ = -1;
    int64_t runLength_ = 0;
    int64_t tableRun_ = 0; // the longest run code the decoder's table holds
    int tableColor_ = -1;  // the colour of those run codes
    bool justCleared_ = false;
};

} // namespace gif

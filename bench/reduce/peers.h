// The reductions bench_reduce compares, each behind one interface: ours through the
// library, libimagequant and ImageMagick in-process.
#pragma once

#include "metrics.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace reducebench {

class TReducer {
  public:
    virtual ~TReducer() = default;
    // Untimed work done before every timed run (copying an input the run changes).
    virtual void Prepare() {}
    // The reduction itself: the timed part.
    virtual void Run() = 0;
    // The colours of the last run's result.
    virtual TRgbPicture Result() const = 0;
};

struct TMethod {
    std::string Name;
    // A reducer for a 24-bit picture, which outlives it.
    std::function<std::unique_ptr<TReducer>(const gif::TBitmap&)> Create;
};

// Every method of the comparison, ours first.
std::vector<TMethod> Methods();

} // namespace reducebench

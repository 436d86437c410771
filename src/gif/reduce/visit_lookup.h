// Calls a function with a lookup as its concrete (final) class, so that the ditherers' row
// loops call the lookup directly instead of through the virtual table.
#pragma once

#include "gif/reduce/color_lookup.h"
#include "gif/reduce/fast_color_lookup.h"
#include "gif/reduce/nearest_color_lookup.h"

namespace gif {

// `f(concrete lookup)` for the five final lookups, `f(lookup)` for any other.
template <typename F>
void VisitLookup(TColorLookup& lookup, F&& f) {
    if (auto* fast = dynamic_cast<TFastColorLookup*>(&lookup)) f(*fast);
    else if (auto* nearest = dynamic_cast<TNearestColorLookup*>(&lookup))
        f(*nearest);
    else if (auto* web = dynamic_cast<TNetscapeColorLookup*>(&lookup)) f(*web);
    else if (auto* gray = dynamic_cast<TGrayScaleLookup*>(&lookup)) f(*gray);
    else if (auto* mono = dynamic_cast<TMonochromeLookup*>(&lookup)) f(*mono);
    else f(lookup);
}

} // namespace gif

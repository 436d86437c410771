#include "gif/reduce/color_lookup.h"

// The lookups are defined inline in their headers so that the ditherers' row loops can
// call them directly; this unit only anchors the header.

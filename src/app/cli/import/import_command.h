// `import`: builds an animation from pictures, one frame each.
#pragma once

#include "command.h"

namespace cli {

// Runs the verb with its arguments; returns the exit status.
int RunImport(const Args& args);

} // namespace cli

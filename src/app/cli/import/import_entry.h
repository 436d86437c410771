// The one function of the import module the executable calls. The module, loaded only for
// `import`, brings ImageMagick and Qt; the other verbs start without them. Only C types
// cross between the two: each has its own copy of the GIF library.
#pragma once

namespace cli {

inline constexpr const char* ImportEntryName = "loopwright_cli_import";

} // namespace cli

// Runs `import` with the arguments after the verb (the common options taken out) and the
// limit on decoded pixels they gave; returns the exit status. No exception leaves it.
extern "C" int loopwright_cli_import(int argc, const char* const* argv,
                                     long long maxImagePixels) noexcept;

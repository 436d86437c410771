#include "import_command.h"
#include "import_entry.h"
#include "load.h"
#include "signals.h"

extern "C" int loopwright_cli_import(int argc, const char* const* argv,
                                     long long maxImagePixels) noexcept {
    cli::SetMaxImagePixels(maxImagePixels);
    // The temporary files of the module's saves are registered in its own copy of the GIF
    // library, so its handlers take over from the executable's.
    cli::InstallStopSignalCleanup();
    return cli::RunCommand("import", cli::RunImport, cli::Args(argv, argv + argc));
}

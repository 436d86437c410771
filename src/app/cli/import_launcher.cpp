// `import` runs in a module of its own, loaded here only when the verb is `import`: the
// module links ImageMagick and Qt, whose many shared libraries would otherwise be mapped
// at every start of every verb.
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "commands.h"
#include "import/import_entry.h"
#include "load.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

// Where the module is looked for, in this order: beside the program (a build folder), then
// the folder it is installed in, relative to the program. The program's own path, not the
// working folder, so that it is found wherever the program is started from.
std::vector<fs::path> ModuleFolders() {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) throw std::runtime_error("cannot find the program's own folder: " + error.message());
    fs::path folder = program.parent_path();
    return {folder, (folder / LOOPWRIGHT_IMPORT_MODULE_DIR).lexically_normal()};
}

// dlerror's reason, without the file name it starts with (the message names the file).
std::string LoadError(const fs::path& file) {
    const char* error = dlerror();
    std::string reason = error ? error : "unknown error";
    const std::string prefix = file.string() + ": ";
    if (reason.starts_with(prefix)) reason.erase(0, prefix.size());
    return reason;
}

int CannotLoad(const std::string& what, const std::string& reason) {
    std::fprintf(stderr, "loopwright-cli import: cannot load %s: %s\n", what.c_str(),
                 reason.c_str());
    return 1;
}

int RunImportModule(const Args& args) {
    const std::vector<fs::path> folders = ModuleFolders();
    fs::path file;
    for (const fs::path& folder : folders) {
        std::error_code error;
        if (fs::exists(folder / LOOPWRIGHT_IMPORT_MODULE, error)) {
            file = folder / LOOPWRIGHT_IMPORT_MODULE;
            break;
        }
    }
    if (file.empty())
        return CannotLoad(LOOPWRIGHT_IMPORT_MODULE, "found neither beside the program (" +
                                                        folders[0].string() + ") nor in " +
                                                        folders[1].string());
    // Lazy binding: binding all of Qt's and ImageMagick's functions up front would add a
    // sixth to a short import, and missing libraries or symbol versions are still found
    // here. Never closed: the process ends when the verb does.
    void* module = dlopen(file.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!module) return CannotLoad(file.string(), LoadError(file));
    auto* entry =
        reinterpret_cast<decltype(&loopwright_cli_import)>(dlsym(module, ImportEntryName));
    if (!entry) return CannotLoad(file.string(), LoadError(file));

    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    return entry(int(argv.size()), argv.data(), MaxImagePixels());
}

} // namespace

const Command ImportCommand = {
    "import",
    "import PICTURE... -o OUT  build an animation from pictures, one frame each\n"
    "                            [--reduction NAME] [--dither NAME] [--depth N] [--delay N]\n"
    "                            [--palette-settings]\n"
    "                            (--reduction quality: least-error palette for all frames)\n"
    "  import VIDEO -o OUT       one frame per picture of a video (.avi, .mp4, .webm, .mkv, ...)",
    RunImportModule};

} // namespace cli

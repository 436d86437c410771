#include "io/export/export_names.h"

namespace io {

namespace {

// Where the file name starts in `path`: after the last '/'.
size_t NameStart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// The position of the extension's dot in the file name starting at `start`; npos when the
// name has none (a leading dot marks a hidden file, not an extension).
size_t ExtensionDot(const std::string& path, size_t start) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot <= start) return std::string::npos;
    return dot;
}

} // namespace

std::string WithGifExtension(const std::string& chosen) {
    const size_t dot = ExtensionDot(chosen, NameStart(chosen));
    return (dot == std::string::npos ? chosen : chosen.substr(0, dot)) + ".gif";
}

std::string ExportFileName(const std::string& chosen, int frameIndex) {
    const std::string mark = "GL1" + std::to_string(frameIndex);
    const size_t start = NameStart(chosen);
    const size_t length = chosen.size() - start;
    size_t at;
    const size_t dot = ExtensionDot(chosen, start);
    if (dot != std::string::npos && chosen.size() - dot > 4)
        at = dot;                       // .jpeg, .tiff: before the dot, not into the extension
    else if (length >= 4)
        at = chosen.size() - 4;         // before ".xxx", or the last four characters
    else
        at = start;                     // a short name: at its start
    std::string name = chosen;
    name.insert(at, mark);
    return name;
}

} // namespace io

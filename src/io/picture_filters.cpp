#include "io/picture_filters.h"

namespace io {

namespace {

std::vector<std::string_view> SplitPatterns(std::string_view patterns) {
    std::vector<std::string_view> out;
    while (!patterns.empty()) {
        size_t end = patterns.find(';');
        out.push_back(patterns.substr(0, end));
        if (end == std::string_view::npos) break;
        patterns.remove_prefix(end + 1);
    }
    return out;
}

} // namespace

std::string PictureFilterString() {
    std::string out;
    for (const TPictureFilter& filter : PictureFilters) {
        if (!out.empty()) out += '|';
        out.append(filter.Caption).append("|").append(filter.Patterns);
    }
    return out;
}

std::string PictureQtFilterString() {
    std::string out;
    for (const TPictureFilter& filter : PictureFilters) {
        if (!out.empty()) out += ";;";
        std::string_view name = filter.Caption.substr(0, filter.Caption.find(" ("));
        out.append(name).append(" (");
        bool first = true;
        for (std::string_view pattern : SplitPatterns(filter.Patterns)) {
            if (!first) out += ' ';
            out.append(pattern == "*.*" ? "*" : pattern);
            first = false;
        }
        out += ')';
    }
    return out;
}

std::vector<std::string> PictureExtensions() {
    std::vector<std::string> out;
    for (std::string_view pattern : SplitPatterns(PictureFilters.front().Patterns))
        out.emplace_back(pattern.substr(1)); // "*.gif" -> ".gif"
    return out;
}

} // namespace io

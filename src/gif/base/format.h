// printf-style formatting of the library's message templates ("%s", "%d").
#pragma once

#include <cstdio>
#include <string>

namespace gif {

template <typename... Args>
std::string Format(const char* pattern, Args... args) {
    int n = std::snprintf(nullptr, 0, pattern, args...);
    if (n <= 0) return pattern;
    std::string out(size_t(n), '\0');
    std::snprintf(out.data(), out.size() + 1, pattern, args...);
    return out;
}

} // namespace gif

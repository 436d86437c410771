// Running loopwright-cli from tests.
#pragma once

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace clitest {

struct Result {
    int Status = -1;
    std::string Output;   // stdout and stderr together
};

// Runs `program` (a copy of the tool, say) with `args` (already shell-quoted where needed).
inline Result RunProgram(const std::string& program, const std::string& args) {
    std::string command = program + " " + args + " 2>&1";
    Result result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.Output.append(buffer.data(), n);
    int status = pclose(pipe);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Runs the tool with `args`.
inline Result Run(const std::string& args) {
    return RunProgram(LOOPWRIGHT_CLI, args);
}

inline std::string Quote(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// A fresh folder under the system's temporary folder, removed when the test ends.
struct TempDir {
    std::filesystem::path Path;
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lwtest-XXXXXX").string();
        Path = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(Path); }
    std::filesystem::path operator/(const std::string& name) const { return Path / name; }
};

} // namespace clitest

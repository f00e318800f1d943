#pragma once
// Helpers of the configuration export tests: a generator's text as a string, files in a
// folder, and commands (the C compiler, python3) run with their output captured.
#include "chipdef/ChipDef.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace exporttest {

using Generator = uint32_t (ChipDef::*)(char*, uint32_t, const ExportOptions*);

inline std::string Generate(ChipDef& chip, Generator generator, const ExportOptions& options = {}) {
    std::vector<char> buffer(1 << 20);
    const uint32_t length =
        (chip.*generator)(buffer.data(), static_cast<uint32_t>(buffer.size()), &options);
    return std::string(buffer.data(), length);
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a shell command; its standard output (and the exit status) come back.
inline std::string RunCommand(const std::string& command, int* status) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) {
        *status = -1;
        return out;
    }
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        out.append(chunk, n);
    }
    *status = ::pclose(pipe);
    return out;
}

inline bool HaveCommand(const char* name) {
    int status = 0;
    RunCommand(std::string("command -v ") + name + " >/dev/null", &status);
    return status == 0;
}

} // namespace exporttest

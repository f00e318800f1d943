#pragma once
// A whole file as bytes or as a text, read in one piece: big files (the built programs, tens of
// megabytes) read byte by byte through stream iterators take seconds in the unoptimised
// sanitizer build.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace q3vtest {

// The file's bytes; empty when it cannot be read.
inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    std::vector<std::uint8_t> bytes(size > 0 ? static_cast<std::size_t>(size) : 0);
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()))) {
        bytes.clear();
    }
    return bytes;
}

// The file's bytes as a text; empty when it cannot be read.
inline std::string ReadFileText(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace q3vtest

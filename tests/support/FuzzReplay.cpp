// The entry of a fuzz target's replay program: the target's LLVMFuzzerTestOneInput linked with
// this main instead of libFuzzer's, so that its seed corpus and saved inputs run as a plain test
// in every build. Each argument is a file or a folder (its files, in name order; names that
// begin with "." are skipped); every input is read into a buffer of exactly its size and fed to
// the target once. A fault aborts the program (a sanitizer report, an abort in the target);
// otherwise it prints how many inputs it fed and exits 0. No input at all is an error (exit 2):
// a corpus folder that moved would otherwise pass unnoticed.
#include "FileBytes.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Defined by the targets that set up state once (a working folder, a database).
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

// The inputs named by one argument, as absolute paths: a target's set-up may change the
// working folder.
bool CollectInputs(const char* argument, std::vector<fs::path>& inputs) {
    std::error_code error;
    const fs::path path = fs::absolute(argument, error);
    if (error) {
        return false;
    }
    if (fs::is_regular_file(path, error)) {
        inputs.push_back(path);
        return true;
    }
    if (!fs::is_directory(path, error)) {
        std::fprintf(stderr, "replay: '%s' is neither a file nor a folder\n", argument);
        return false;
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    inputs.insert(inputs.end(), files.begin(), files.end());
    return !error;
}

// The whole file; false when it cannot be read (ReadFileBytes then gives fewer bytes than the
// file holds, none when it cannot even be opened).
bool ReadInput(const fs::path& path, std::vector<uint8_t>& bytes) {
    bytes = q3vtest::ReadFileBytes(path);
    std::error_code error;
    const uintmax_t size = fs::file_size(path, error);
    return !error && bytes.size() == size;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!CollectInputs(argv[i], inputs)) {
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs\n");
        return 2;
    }
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    for (const fs::path& path : inputs) {
        std::vector<uint8_t> bytes;
        if (!ReadInput(path, bytes)) {
            std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
            return 2;
        }
        // A copy of exactly the input's size: a read past its end is a sanitizer report.
        const auto exact = std::make_unique<uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), exact.get());
        std::printf("replay: %s (%zu bytes)\n", path.c_str(), bytes.size());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    }
    std::printf("replay: %zu inputs, no fault\n", inputs.size());
    return 0;
}

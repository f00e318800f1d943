// Reading a 1920 x 1080 picture from a 24-bit BMP and from a binary PPM (P6), into the file's
// natural row and into "R565.RGB", each next to a plain read of the same file (open, one fread
// of the whole file, close) measured in the same run. The files are written by our own writers
// into a temporary folder and stay in the page cache, so the rows measure the readers' own work.
//
// Counters of each row (MB/s are 10^6 file bytes per second):
//   MB/s      the reader
//   plain     the plain read of the same file
//   ratio     time(reader) / time(plain read): 1 means as fast as reading the bytes
// MB/s, plain and ratio take the best of five alternating rounds of each. Both reads go to
// buffers that start 16 bytes past the start of a page, where the allocator puts a block of this
// size in a fresh program: the system's copy out of its page cache depends on where the bytes
// land in a cache line, so buffers placed by the chance of the heap would move the ratio.
#include "imaging/ImageFile.h"

#include "../tests/support/TempFolder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr int32_t kRowR565 = 5;

struct Files {
    std::string Bmp;
    std::string Ppm;
};

// The two files of one random picture, written once per run.
const Files& TestFiles() {
    static const Files s_Files = [] {
        const std::string& folder = q3vtest::ProgramTempFolder("q3v-bench-images");
        std::vector<uint8_t> rgb(size_t(kWidth) * kHeight * 3);
        std::mt19937 random(1);
        for (uint8_t& b : rgb) {
            b = static_cast<uint8_t>(random());
        }
        Files files{folder + "/picture.bmp", folder + "/picture.ppm"};
        ImageWriteBmp(files.Bmp.c_str(), rgb.data(), 19, 0, kWidth, kHeight);
        ImageWritePpm(files.Ppm.c_str(), rgb.data(), -1, 0, kWidth, kHeight);
        return files;
    }();
    return s_Files;
}

// bytes of room starting 16 bytes past the start of a page.
class PlacedBuffer {
public:
    explicit PlacedBuffer(size_t bytes) : m_Store(bytes + kPage + kOffsetInPage) {}
    uint8_t* Data() {
        const uintptr_t start = reinterpret_cast<uintptr_t>(m_Store.data());
        return m_Store.data() + ((kPage - start % kPage) % kPage + kOffsetInPage);
    }

private:
    static constexpr size_t kPage = 4096;
    static constexpr size_t kOffsetInPage = 16;
    std::vector<uint8_t> m_Store;
};

uint64_t FileBytes(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    return uint64_t(size);
}

// Seconds of the best of n runs of work, each repeated until it took at least 20 ms.
double BestSeconds(const std::function<void()>& work, int rounds) {
    double best = 1e9;
    for (int round = 0; round < rounds; ++round) {
        int runs = 0;
        const auto begin = Clock::now();
        auto now = begin;
        do {
            work();
            ++runs;
            now = Clock::now();
        } while (now - begin < std::chrono::milliseconds(20));
        best = std::min(best, std::chrono::duration<double>(now - begin).count() / runs);
    }
    return best;
}

void BM_ImageRead(benchmark::State& state, bool bmp, int32_t row) {
    const std::string path = bmp ? TestFiles().Bmp : TestFiles().Ppm;
    const uint64_t bytes = FileBytes(path);
    PlacedBuffer pixelBuffer(size_t(kWidth) * kHeight * 3);
    PlacedBuffer plainBuffer(bytes);
    uint8_t* const pixels = pixelBuffer.Data();
    const auto read = [&] {
        const IMAGE_ERROR code = bmp ? ImageReadBmp(path.c_str(), pixels, row, 0)
                                     : ImageReadPpm(path.c_str(), pixels, row, 0);
        if (code != kImageOk) {
            state.SkipWithError(ImageErrorText(code));
        }
        benchmark::DoNotOptimize(pixels);
    };
    const auto plain = [&] {
        FILE* file = std::fopen(path.c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(plainBuffer.Data(), 1, bytes, file));
        std::fclose(file);
        benchmark::ClobberMemory();
    };
    for (auto _ : state) {
        read();
    }
    double ours = 1e9;
    double peer = 1e9;
    for (int round = 0; round < 5; ++round) {
        ours = std::min(ours, BestSeconds(read, 1));
        peer = std::min(peer, BestSeconds(plain, 1));
    }
    state.counters["MB/s"] = double(bytes) / ours / 1e6;
    state.counters["plain"] = double(bytes) / peer / 1e6;
    state.counters["ratio"] = ours / peer;
}

BENCHMARK_CAPTURE(BM_ImageRead, bmp24_natural, true, -1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImageRead, bmp24_R565, true, kRowR565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImageRead, ppm_natural, false, -1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImageRead, ppm_R565, false, kRowR565)->Unit(benchmark::kMillisecond);

} // namespace

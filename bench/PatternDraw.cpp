// Test-pattern drawing: TestPatternDraw of OLD, UBER and GRID into R565 at 480x272 and
// 1920x1080, beside a memset of a work buffer of the same size (W x H x 4) in the same run.
#include "imaging/Conv.h"
#include "imaging/TestPattern.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace {

// Seconds of one memset of bytes, best of a few runs.
double MemsetSeconds(size_t bytes) {
    std::vector<unsigned char> work(bytes);
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        std::memset(work.data(), i, work.size());
        benchmark::DoNotOptimize(work.data());
        const auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(end - start).count());
    }
    return best;
}

void BM_PatternDraw(benchmark::State& state) {
    const auto kind = static_cast<uint32_t>(state.range(0));
    const auto width = static_cast<uint32_t>(state.range(1));
    const auto height = static_cast<uint32_t>(state.range(2));
    Conv conv;
    const int32_t row = conv.FindFormat("R565.RGB");
    std::vector<uint8_t> out(static_cast<size_t>(
        conv.GetImageSize(row, static_cast<int32_t>(width), static_cast<int32_t>(height))));
    PatternRequest request{};
    request.Kind = kind;
    request.Format = row;
    request.Colorimetry = COLORIMETRY_BT601;
    request.Width = width;
    request.Height = height;
    request.LineWidth = 1;
    request.Buffer = out.data();
    request.Fg = 0x00FF00;
    request.AlphaMask = 0xFF000000;
    request.GridWidth = 100;
    request.GridHeight = 100;
    request.ShowText = kind == kPatternOld;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(TestPatternDraw(&request));
    }
    const double total =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perDraw = total / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
    const double memset = MemsetSeconds(PatternWorkBytes(width, height));
    state.counters["draw_us"] = perDraw * 1e6;
    state.counters["memset_us"] = memset * 1e6;
    state.counters["ratio"] = memset > 0 ? perDraw / memset : 0;
}

} // namespace

BENCHMARK(BM_PatternDraw)
    ->ArgNames({"kind", "w", "h"})
    ->Args({kPatternOld, 480, 272})
    ->Args({kPatternUber, 480, 272})
    ->Args({kPatternGrid, 480, 272})
    ->Args({kPatternOld, 1920, 1080})
    ->Args({kPatternUber, 1920, 1080})
    ->Args({kPatternGrid, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

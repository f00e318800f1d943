// Pixel-format conversion of a 1920 x 1080 picture: Convert (the row kernels), the per-pixel
// reference path and libyuv's matching function, on the same buffers in the same run.
//
// Counters of each row (MB/s are 10^6 source bytes per second):
//   MB/s      Convert
//   ref       the per-pixel reference path
//   libyuv    libyuv's function for the pair
//   ratio     time(Convert) / time(libyuv): 1 means as fast as libyuv
// MB/s, libyuv and ratio take the best of five alternating rounds of each.
//
// The bytes differ where the two libraries round differently (libyuv's YCbCr maths is
// approximate, ours exact to the per-1000 and per-10000 formulas; RGB24ToARGB sets alpha 255
// where we leave 0): this compares speed only. YCbCr is video range BT 601 with offset chroma.
#include "imaging/Conv.h"

#include <benchmark/benchmark.h>
#include <libyuv/convert.h>
#include <libyuv/convert_argb.h>
#include <libyuv/convert_from_argb.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;

struct Pair {
    const char* Label;
    int32_t SrcRow;
    int32_t DstRow;
    // libyuv on the same buffers: source bytes and stride, destination bytes and stride.
    std::function<void(const uint8_t*, int, uint8_t*, int)> Libyuv;
};

const std::vector<Pair>& Pairs() {
    static const std::vector<Pair> s_Pairs{
        {"ARGB>R565", 25, 5,
         [](const uint8_t* s, int ss, uint8_t* d, int ds) {
             libyuv::ARGBToRGB565(s, ss, d, ds, kWidth, kHeight);
         }},
        {"R888.BGR>ARGB", 20, 25,
         [](const uint8_t* s, int ss, uint8_t* d, int ds) {
             libyuv::RGB24ToARGB(s, ss, d, ds, kWidth, kHeight);
         }},
        {"R888.RGB>ARGB", 19, 25,
         [](const uint8_t* s, int ss, uint8_t* d, int ds) {
             libyuv::RAWToARGB(s, ss, d, ds, kWidth, kHeight);
         }},
        {"ARGB>R888.BGR", 25, 20,
         [](const uint8_t* s, int ss, uint8_t* d, int ds) {
             libyuv::ARGBToRGB24(s, ss, d, ds, kWidth, kHeight);
         }},
        {"ARGB1555>ARGB", 22, 25,
         [](const uint8_t* s, int ss, uint8_t* d, int ds) {
             libyuv::ARGB1555ToARGB(s, ss, d, ds, kWidth, kHeight);
         }},
        {"ARGB4444>ARGB", 23, 25,
         [](const uint8_t* s, int ss, uint8_t* d, int ds) {
             libyuv::ARGB4444ToARGB(s, ss, d, ds, kWidth, kHeight);
         }},
        {"ARGB>M8", 25, 27,
         [](const uint8_t* s, int ss, uint8_t* d, int ds) {
             libyuv::ARGBToJ400(s, ss, d, ds, kWidth, kHeight);
         }},
        {"YUYV>ARGB", 37, 25,
         [](const uint8_t* s, int ss, uint8_t* d, int ds) {
             libyuv::YUY2ToARGB(s, ss, d, ds, kWidth, kHeight);
         }},
        {"UYVY>ARGB", 39, 25,
         [](const uint8_t* s, int ss, uint8_t* d, int ds) {
             libyuv::UYVYToARGB(s, ss, d, ds, kWidth, kHeight);
         }},
        {"ARGB>YUYV", 25, 37,
         [](const uint8_t* s, int ss, uint8_t* d, int ds) {
             libyuv::ARGBToYUY2(s, ss, d, ds, kWidth, kHeight);
         }},
        // The same work as I420: a line pair of Cb Y Cr Y then Y Y Y Y.
        {"Y420.UYVY+YYYY>ARGB", 43, 25,
         [](const uint8_t* s, int, uint8_t* d, int ds) {
             const uint8_t* u = s + kWidth * kHeight;
             const uint8_t* v = u + kWidth * kHeight / 4;
             libyuv::I420ToARGB(s, kWidth, u, kWidth / 2, v, kWidth / 2, d, ds, kWidth, kHeight);
         }},
        {"ARGB>Y420.NV12", 25, 42,
         [](const uint8_t* s, int ss, uint8_t* d, int) {
             libyuv::ARGBToNV12(s, ss, d, kWidth, d + kWidth * kHeight, kWidth, kWidth, kHeight);
         }},
    };
    return s_Pairs;
}

struct Pictures {
    explicit Pictures(const Pair& pair) {
        Conv conv;
        Src.resize(size_t(conv.GetImageSize(pair.SrcRow, kWidth, kHeight)));
        Dst.resize(size_t(conv.GetImageSize(pair.DstRow, kWidth, kHeight)));
        std::mt19937 random(7);
        for (uint8_t& b : Src) {
            b = static_cast<uint8_t>(random());
        }
        SrcStride = conv.GetStride(pair.SrcRow, kWidth);
        DstStride = conv.GetStride(pair.DstRow, kWidth);
    }
    Surface SrcSurface(int32_t row) {
        return Surface{Src.data(), static_cast<int32_t>(Src.size()),
                       nullptr,    row,
                       kWidth,     kHeight,
                       0,          0,
                       0,          1,
                       1,          nullptr};
    }
    Surface DstSurface(int32_t row) {
        return Surface{Dst.data(), static_cast<int32_t>(Dst.size()),
                       nullptr,    row,
                       kWidth,     kHeight,
                       0,          0,
                       0,          1,
                       1,          nullptr};
    }
    std::vector<uint8_t> Src;
    std::vector<uint8_t> Dst;
    int32_t SrcStride = 0;
    int32_t DstStride = 0;
};

// Seconds per call of fn, repeated for at least minSeconds.
double SecondsPerCall(const std::function<void()>& fn, double minSeconds) {
    using Clock = std::chrono::steady_clock;
    fn(); // warm up
    int64_t calls = 0;
    const auto start = Clock::now();
    double elapsed = 0;
    do {
        fn();
        ++calls;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < minSeconds);
    return elapsed / static_cast<double>(calls);
}

void BM_Conv(benchmark::State& state, const Pair& pair) {
    Pictures pictures(pair);
    Conv conv;
    Surface src = pictures.SrcSurface(pair.SrcRow);
    Surface dst = pictures.DstSurface(pair.DstRow);
    for (auto _ : state) {
        benchmark::DoNotOptimize(conv.Convert(&src, &dst));
        benchmark::ClobberMemory();
    }
    Conv reference;
    reference.SetPath(ConvPath::Reference);
    const std::function<void()> ours = [&] { conv.Convert(&src, &dst); };
    const std::function<void()> peer = [&] {
        pair.Libyuv(pictures.Src.data(), pictures.SrcStride, pictures.Dst.data(),
                    pictures.DstStride);
    };
    // Ours and libyuv's in alternating rounds, the best round of each: the machine is shared,
    // and a burst of other work should not land on one side only.
    double seconds = 1e9;
    double libyuvSeconds = 1e9;
    for (int round = 0; round < 5; ++round) {
        seconds = std::min(seconds, SecondsPerCall(ours, 0.04));
        libyuvSeconds = std::min(libyuvSeconds, SecondsPerCall(peer, 0.04));
    }
    const double referenceSeconds = SecondsPerCall(
        [&] {
            Surface s = pictures.SrcSurface(pair.SrcRow);
            Surface d = pictures.DstSurface(pair.DstRow);
            reference.Convert(&s, &d);
        },
        0.2);
    const double bytes = static_cast<double>(pictures.Src.size());
    state.counters["MB/s"] = bytes / seconds / 1e6;
    state.counters["ref"] = bytes / referenceSeconds / 1e6;
    state.counters["libyuv"] = bytes / libyuvSeconds / 1e6;
    state.counters["ratio"] = seconds / libyuvSeconds;
}

const bool s_Registered = [] {
    for (const Pair& pair : Pairs()) {
        benchmark::RegisterBenchmark((std::string("BM_Conv/") + pair.Label).c_str(),
                                     [&pair](benchmark::State& state) { BM_Conv(state, pair); })
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace

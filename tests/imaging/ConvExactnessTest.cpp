// The fast path gives the reference path's bytes: random pictures through every pair of rows,
// flag combination and colour standard, at odd sizes with origins and clipping, for every
// kernel build this processor runs; and each colour kernel over all 2^24 inputs.
#include "imaging/ColourMaths.h"
#include "imaging/Conv.h"
#include "imaging/FastPath.h"
#include "imaging/KernelSet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<KernelVariant> VariantsThisCpuRuns() {
    std::vector<KernelVariant> variants{KernelVariant::Baseline};
    if (CpuHasAvx2()) {
        variants.push_back(KernelVariant::Avx2);
    }
    return variants;
}

std::vector<const KernelSet*> KernelBuildsThisCpuRuns() {
    std::vector<const KernelSet*> builds;
    for (KernelVariant v : VariantsThisCpuRuns()) {
        builds.push_back(&SelectKernels(v));
    }
    return builds;
}

struct Geometry {
    int32_t SrcWidth, SrcHeight, SrcOriginX, SrcOriginY, SrcExtraStride;
    int32_t DstWidth, DstHeight, DstOriginX, DstOriginY, DstExtraStride;
};

// Clipped to 12 x 6 from an origin inside the source; and 5 x 5 with padded strides.
constexpr Geometry kGeometries[] = {
    {13, 7, 1, 2, 4, 40, 10, 2, 3, -1},
    {6, 5, 0, 0, 0, 5, 7, 1, 0, 6},
};

struct Outcome {
    int32_t Result;
    std::vector<uint8_t> Bytes;
    Surface Dst;
};

Outcome ConvertOnce(Conv& conv, const std::vector<uint8_t>& source,
                    const std::vector<uint8_t>& initial, const Geometry& g, int32_t srcRow,
                    int32_t dstRow, int flags) {
    std::vector<uint8_t> srcBytes = source;
    Outcome o{0, initial, {}};
    Surface src{srcBytes.data(),
                static_cast<int32_t>(srcBytes.size()),
                nullptr,
                srcRow,
                g.SrcWidth,
                g.SrcHeight,
                0,
                g.SrcOriginX,
                g.SrcOriginY,
                static_cast<uint8_t>(flags & 1),
                static_cast<uint8_t>((flags >> 1) & 1),
                nullptr};
    src.Stride = conv.GetStride(srcRow, g.SrcOriginX + g.SrcWidth + 1) + g.SrcExtraStride;
    Surface dst{o.Bytes.data(),
                static_cast<int32_t>(o.Bytes.size()),
                nullptr,
                dstRow,
                g.DstWidth,
                g.DstHeight,
                0,
                g.DstOriginX,
                g.DstOriginY,
                static_cast<uint8_t>((flags >> 2) & 1),
                static_cast<uint8_t>((flags >> 3) & 1),
                nullptr};
    if (g.DstExtraStride >= 0) {
        const int32_t clippedWidth = g.SrcOriginX + g.SrcWidth - g.DstOriginX;
        dst.Stride = conv.GetStride(dstRow, std::min(clippedWidth, g.DstWidth)) + g.DstExtraStride;
    }
    o.Result = conv.Convert(&src, &dst);
    o.Dst = dst;
    return o;
}

TEST(ConvExactness, FastPathGivesTheReferenceBytesForEveryPair) {
    std::mt19937 random(1234);
    std::vector<uint8_t> source(4096);
    std::vector<uint8_t> initial(8192);
    const std::vector<KernelVariant> variants = VariantsThisCpuRuns();
    int32_t failures = 0;
    std::vector<std::string> reports;   // kept apart from the captured warnings
    testing::internal::CaptureStdout(); // the YCbCr geometry warnings
    for (const Geometry& g : kGeometries) {
        for (int32_t srcRow = 0; srcRow < kPixelFormatRows; ++srcRow) {
            if (srcRow == 36 || srcRow == 42) {
                continue;
            }
            const bool srcYuv = srcRow >= 28;
            for (int32_t dstRow = 0; dstRow < kPixelFormatRows; ++dstRow) {
                const bool dstYuv = dstRow >= 28;
                const uint32_t colorimetries = srcYuv != dstYuv ? uint32_t{COLORIMETRY_COUNT} : 1u;
                for (int flags = 0; flags < 16; ++flags) {
                    if ((!srcYuv && (flags & 3) != 0) || (!dstYuv && (flags & 12) != 0)) {
                        continue; // range and offset matter only on a YCbCr side
                    }
                    for (uint32_t c = 0; c < colorimetries; ++c) {
                        for (uint8_t& b : source) {
                            b = static_cast<uint8_t>(random());
                        }
                        for (uint8_t& b : initial) {
                            b = static_cast<uint8_t>(random());
                        }
                        Conv reference;
                        reference.SetPath(ConvPath::Reference);
                        reference.SetColorimetry(c);
                        const Outcome expected =
                            ConvertOnce(reference, source, initial, g, srcRow, dstRow, flags);
                        ASSERT_GT(expected.Result, 0) << srcRow << " -> " << dstRow;
                        for (KernelVariant v : variants) {
                            Conv fast;
                            fast.SetKernelVariant(v);
                            fast.SetColorimetry(c);
                            const Outcome got =
                                ConvertOnce(fast, source, initial, g, srcRow, dstRow, flags);
                            const bool same = got.Result == expected.Result &&
                                              got.Bytes == expected.Bytes &&
                                              got.Dst.Width == expected.Dst.Width &&
                                              got.Dst.Height == expected.Dst.Height &&
                                              got.Dst.Stride == expected.Dst.Stride;
                            if (!same && ++failures <= 20) {
                                size_t at = 0;
                                while (at < got.Bytes.size() &&
                                       got.Bytes[at] == expected.Bytes[at]) {
                                    ++at;
                                }
                                std::ostringstream text;
                                text << "rows " << srcRow << " -> " << dstRow << " flags " << flags
                                     << " colorimetry " << c << " build " << static_cast<int>(v)
                                     << " geometry " << (&g - kGeometries)
                                     << ": first difference at byte " << at;
                                reports.push_back(text.str());
                            }
                        }
                    }
                }
            }
        }
    }
    testing::internal::GetCapturedStdout();
    for (const std::string& report : reports) {
        ADD_FAILURE() << report;
    }
    EXPECT_EQ(failures, 0);
}

// Lines longer than a kernel run (1024 pixels) and than the vector lanes, for every pair, with
// the flags and colour standard varying from pair to pair.
TEST(ConvExactness, LongLinesAcrossRunsAndLanes) {
    constexpr Geometry kWide{1043, 3, 1, 0, 8, 1100, 3, 2, 0, -1};
    std::mt19937 random(99);
    std::vector<uint8_t> source(4 * 1060 * 6);
    std::vector<uint8_t> initial(4 * 1060 * 6);
    const std::vector<KernelVariant> variants = VariantsThisCpuRuns();
    std::vector<std::string> reports;
    int32_t pairIndex = 0;
    testing::internal::CaptureStdout();
    for (int32_t srcRow = 0; srcRow < kPixelFormatRows; ++srcRow) {
        if (srcRow == 36 || srcRow == 42) {
            continue;
        }
        for (int32_t dstRow = 0; dstRow < kPixelFormatRows; ++dstRow, ++pairIndex) {
            const int flags = (pairIndex * 5) % 16;
            const uint32_t colorimetry = static_cast<uint32_t>(pairIndex) % COLORIMETRY_COUNT;
            for (uint8_t& b : source) {
                b = static_cast<uint8_t>(random());
            }
            for (uint8_t& b : initial) {
                b = static_cast<uint8_t>(random());
            }
            Conv reference;
            reference.SetPath(ConvPath::Reference);
            reference.SetColorimetry(colorimetry);
            const Outcome expected =
                ConvertOnce(reference, source, initial, kWide, srcRow, dstRow, flags);
            if (expected.Result <= 0) {
                reports.push_back("no conversion for rows " + std::to_string(srcRow) + " -> " +
                                  std::to_string(dstRow));
            }
            for (KernelVariant v : variants) {
                Conv fast;
                fast.SetKernelVariant(v);
                fast.SetColorimetry(colorimetry);
                const Outcome got =
                    ConvertOnce(fast, source, initial, kWide, srcRow, dstRow, flags);
                if (got.Result != expected.Result || got.Bytes != expected.Bytes) {
                    std::ostringstream text;
                    text << "rows " << srcRow << " -> " << dstRow << " flags " << flags
                         << " colorimetry " << colorimetry << " build " << static_cast<int>(v);
                    reports.push_back(text.str());
                }
            }
        }
    }
    testing::internal::GetCapturedStdout();
    for (size_t k = 0; k < reports.size() && k < 20; ++k) {
        ADD_FAILURE() << reports[k];
    }
    EXPECT_TRUE(reports.empty()) << reports.size() << " conversions differ";
}

// Every value of the 16-bit layouts, decoded to ARGB by both paths.
TEST(ConvExactness, SixteenBitPixelsOverAllValues) {
    std::vector<uint8_t> pixels(2 * 65536);
    for (uint32_t v = 0; v < 65536; ++v) {
        pixels[2 * v] = static_cast<uint8_t>(v);
        pixels[2 * v + 1] = static_cast<uint8_t>(v >> 8);
    }
    for (int32_t row : {4, 5, 6, 7, 22, 23}) {
        std::vector<uint8_t> expected(4 * 65536, 0);
        Surface src{pixels.data(),
                    static_cast<int32_t>(pixels.size()),
                    nullptr,
                    row,
                    65536,
                    1,
                    0,
                    0,
                    0,
                    0,
                    0,
                    nullptr};
        Surface dst{expected.data(),
                    static_cast<int32_t>(expected.size()),
                    nullptr,
                    25,
                    65536,
                    1,
                    0,
                    0,
                    0,
                    0,
                    0,
                    nullptr};
        Conv reference;
        reference.SetPath(ConvPath::Reference);
        ASSERT_GT(reference.Convert(&src, &dst), 0);
        for (KernelVariant v : VariantsThisCpuRuns()) {
            std::vector<uint8_t> got(4 * 65536, 0);
            Surface fastDst = dst;
            fastDst.Buffer = got.data();
            Conv fast;
            fast.SetKernelVariant(v);
            ASSERT_GT(fast.Convert(&src, &fastDst), 0);
            EXPECT_EQ(got, expected) << "row " << row << " build " << static_cast<int>(v);
        }
    }
}

// g++ names AddressSanitizer by a macro, clang by a feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define Q3V_ADDRESS_SANITIZER
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define Q3V_ADDRESS_SANITIZER
#endif
#if defined(Q3V_ADDRESS_SANITIZER)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// The colour kernels over every (R, G, B) and every (Y, Cb, Cr), against the per-pixel maths.
// Run in the optimised builds only: under the sanitizers it would take minutes.
TEST(ConvExactness, ColourKernelsOverAllInputs) {
    if (kSanitized) {
        GTEST_SKIP() << "2^24 inputs per case: optimised builds only";
    }
    constexpr int32_t kRunLength = 4096;
    std::vector<uint8_t> argb(4 * kRunLength);
    std::vector<uint8_t> luma(kRunLength), cb(kRunLength), cr(kRunLength);
    struct Case {
        uint32_t Colorimetry;
        bool Video;
        bool Offset;
    };
    std::vector<Case> cases;
    for (uint32_t c = 0; c < COLORIMETRY_COUNT; ++c) {
        cases.push_back({c, false, false});
        cases.push_back({c, true, false});
    }
    cases.push_back({COLORIMETRY_BT601, false, true});
    cases.push_back({COLORIMETRY_BT601, true, true});
    for (const KernelSet* k : KernelBuildsThisCpuRuns()) {
        for (const Case& c : cases) {
            const YuvConvention convention{c.Video, c.Offset};
            int64_t wrong = 0;
            for (uint32_t start = 0; start < (1u << 24); start += kRunLength) {
                for (int32_t n = 0; n < kRunLength; ++n) {
                    const uint32_t v = start + static_cast<uint32_t>(n);
                    std::memcpy(&argb[4 * size_t(n)], &v, 4);
                }
                k->RgbToYuvRow(argb.data(), kRunLength, c.Colorimetry, c.Video, c.Offset,
                               luma.data(), cb.data(), cr.data());
                for (int32_t n = 0; n < kRunLength; ++n) {
                    uint32_t v = 0;
                    std::memcpy(&v, &argb[4 * size_t(n)], 4);
                    Pixel p{0,
                            static_cast<uint8_t>(v >> 16),
                            static_cast<uint8_t>(v >> 8),
                            static_cast<uint8_t>(v),
                            0,
                            0,
                            0};
                    RgbToYuv(p, c.Colorimetry, convention);
                    wrong += (p.Y != luma[n]) + (p.Cb != cb[n]) + (p.Cr != cr[n]);
                }
                for (int32_t n = 0; n < kRunLength; ++n) {
                    const uint32_t v = start + static_cast<uint32_t>(n);
                    luma[n] = static_cast<uint8_t>(v >> 16);
                    cb[n] = static_cast<uint8_t>(v >> 8);
                    cr[n] = static_cast<uint8_t>(v);
                }
                k->YuvToRgbRow(YuvLinePixels{luma.data(), cb.data(), cr.data()}, kRunLength,
                               c.Colorimetry, c.Video, c.Offset, argb.data());
                for (int32_t n = 0; n < kRunLength; ++n) {
                    Pixel p{0, 0, 0, 0, luma[n], cb[n], cr[n]};
                    YuvToRgb(p, c.Colorimetry, convention);
                    const uint32_t expected =
                        (uint32_t{p.R} << 16) | (uint32_t{p.G} << 8) | uint32_t{p.B};
                    uint32_t got = 0;
                    std::memcpy(&got, &argb[4 * size_t(n)], 4);
                    wrong += expected != got;
                }
            }
            EXPECT_EQ(wrong, 0) << k->Name << " colorimetry " << c.Colorimetry << " video "
                                << c.Video << " offset " << c.Offset;
        }
    }
}

TEST(ConvExactness, MonoLevelOverAllInputs) {
    if (kSanitized) {
        GTEST_SKIP() << "2^24 inputs: optimised builds only";
    }
    constexpr int32_t kRunLength = 4096;
    std::vector<uint8_t> argb(4 * kRunLength);
    std::vector<uint8_t> levels(kRunLength);
    Surface line{levels.data(), kRunLength, nullptr, 27, kRunLength, 1,
                 kRunLength,    0,          0,       0,  0,          nullptr};
    for (const KernelSet* k : KernelBuildsThisCpuRuns()) {
        int64_t wrong = 0;
        for (uint32_t start = 0; start < (1u << 24); start += kRunLength) {
            for (int32_t n = 0; n < kRunLength; ++n) {
                const uint32_t v = start + static_cast<uint32_t>(n);
                std::memcpy(&argb[4 * size_t(n)], &v, 4);
            }
            k->PackArgb[27](argb.data(), kRunLength, line, 0, 0);
            for (int32_t n = 0; n < kRunLength; ++n) {
                const uint32_t v = start + static_cast<uint32_t>(n);
                const uint32_t expected =
                    (299u * ((v >> 16) & 255u) + 587u * ((v >> 8) & 255u) + 114u * (v & 255u)) /
                    1000u;
                wrong += levels[size_t(n)] != expected;
            }
        }
        EXPECT_EQ(wrong, 0) << k->Name;
    }
}

} // namespace

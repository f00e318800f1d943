// The fast path gives the reference path's bytes: random pictures through every pair of rows,
// flag combination and colour standard, at odd sizes, odd and even strides, with origins and
// clipping, in buffers of exactly the bytes the conversion may touch, for every kernel build this
// processor runs; each colour kernel over all 2^24 inputs; and the 24-bit line swap of the BMP
// reader at every length past its vector steps.
#include "imaging/ColourMaths.h"
#include "imaging/Conv.h"
#include "imaging/ConvGeometry.h"
#include "imaging/FastPath.h"
#include "imaging/KernelSet.h"

#include "ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// g++ names AddressSanitizer by a macro, clang by a feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define Q3V_ADDRESS_SANITIZER
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define Q3V_ADDRESS_SANITIZER
#endif
#if defined(Q3V_ADDRESS_SANITIZER)
#include <sanitizer/asan_interface.h>
constexpr bool kSanitized = true;
#else
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
constexpr bool kSanitized = false;
#endif

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

int64_t EvenUp(int64_t v) {
    return v + (v % 2);
}

bool IsLaneSwapped(int32_t row) {
    return row == 10 || row == 21 || row == 52;
}

// The bytes from Buffer to the end of the lines that the reference path reads from a source of
// row: pixels 0 .. pixels - 1 (absolute, origin included) of lines 0 .. lines - 1, whole groups
// of the YCbCr rows, line pairs of 4:2:0, lane-swapped bytes paired from Buffer on.
int64_t SourceSpan(int32_t row, int64_t pixels, int64_t lines, int64_t stride, int64_t width) {
    const PixelFormat& format = g_PixelFormats[row];
    const int64_t last = lines - 1;
    if (row == 8) {
        // One stream over the picture's Width; three bytes read from each field's first byte.
        return (last * width + pixels - 1) * 18 / 8 + 3;
    }
    switch (YuvFamilyOfRow(row)) {
    case YuvFamily::None: {
        const int64_t end = last * stride + (pixels * format.StorageBits + 7) / 8;
        return IsLaneSwapped(row) ? EvenUp(end) : end;
    }
    case YuvFamily::Yuv411:
        return last * stride + 6 * ((pixels + 3) / 4);
    case YuvFamily::Yuv422:
        return last * stride + 4 * ((pixels + 1) / 2);
    case YuvFamily::Yuv420:
        break;
    }
    if (format.YuvLayout == 8 || format.YuvLayout == 9 || format.YuvLayout == 11) {
        // Cb on the even line, Cr on the odd one: a line reads its pair partner too.
        const int64_t end = (EvenUp(lines) - 1) * stride + 3 * ((pixels + 1) / 2);
        return IsLaneSwapped(row) ? EvenUp(end) : end;
    }
    // Line pairs of 3 x W2 bytes from Buffer, whatever Stride says: the even line's pairs (and
    // the chroma of both lines), then the odd line's luma.
    const int64_t w2 = EvenUp(width);
    const int64_t evenEnd = 4 * ((pixels + 1) / 2);
    const int64_t oddEnd = last % 2 != 0 ? 2 * w2 + EvenUp(pixels) : 0;
    return last / 2 * 3 * w2 + std::max(evenEnd, oddEnd);
}

// The bytes from Buffer to the end of what the reference path writes into a settled destination.
int64_t DestinationSpan(int32_t row, int64_t width, int64_t height, int64_t stride) {
    const YuvFamily family = YuvFamilyOfRow(row);
    if (row == 8 || family == YuvFamily::Yuv420) {
        Conv conv; // a stream, or line pairs in the row's own geometry from Buffer
        return conv.GetImageSize(row, int32_t(width), int32_t(height));
    }
    if (family == YuvFamily::None) {
        return SourceSpan(row, width, height, stride, width);
    }
    if (family == YuvFamily::Yuv411) {
        return (height - 1) * stride + 6 * ((width + 3) / 4);
    }
    if (IsPlanarRow(row)) {
        // Luma lines, then the chroma plane Stride x Height further on.
        return stride * height + (height - 1) * stride + EvenUp(width);
    }
    return (height - 1) * stride + 4 * ((width + 1) / 2);
}

// A source area and a destination rectangle in it. Strides are the row's own stride of the
// line's pixels (the source's absolute, origin included; the destination's clipped) plus the
// extra bytes; a destination extra of -1 leaves Stride 0 for Convert to fill in.
struct Geometry {
    const char* Name;
    int32_t SrcWidth, SrcHeight, SrcOriginX, SrcOriginY, SrcExtraStride;
    int32_t DstWidth, DstHeight, DstOriginX, DstOriginY, DstExtraStride;
};

// Every destination reaches the source area's right and bottom edges (clipped there), so that
// the reads reach the source buffer's end.
constexpr Geometry kGeometries[] = {
    {"clipped to 12 x 6, own stride", 13, 7, 1, 2, 4, 40, 10, 2, 3, -1},
    {"5 x 5, even strides", 6, 5, 0, 0, 2, 5, 7, 1, 0, 6},
    {"odd origins, strides +1 and +3", 5, 3, 1, 1, 1, 9, 9, 3, 1, 3},
    {"odd origins, strides +3 and +1", 4, 5, 3, 1, 3, 9, 9, 3, 3, 1},
    {"7 x 1 from odd origins, strides +3", 7, 2, 1, 1, 3, 7, 2, 1, 2, 3},
    // Lines long enough for two vector steps of 16 pixels, from an odd pixel on.
    {"38 x 2 from odd origins, strides +1 and +3", 40, 3, 1, 1, 1, 64, 9, 3, 2, 3},
    // "R888.RG-B" 2 x 2 at Stride 7: its last byte lies at 13, so BufSize 13 is refused.
    {"2 x 2, strides +1", 2, 2, 0, 0, 1, 2, 2, 0, 0, 1},
};

// The settled geometry of a pair: strides and the exact buffer sizes.
struct PairGeometry {
    int32_t SrcStride;
    int32_t DstStride; // as handed to Convert
    size_t SrcBytes;   // exactly the bytes the source's lines span
    size_t DstBytes;   // the least that Convert accepts: ImageSize, or the lines' span
};

PairGeometry SettlePair(const Geometry& g, int32_t srcRow, int32_t dstRow) {
    Conv conv;
    PairGeometry p{};
    const int32_t srcRight = g.SrcOriginX + g.SrcWidth;
    const int32_t srcBottom = g.SrcOriginY + g.SrcHeight;
    p.SrcStride = conv.GetStride(srcRow, srcRight) + g.SrcExtraStride;
    p.SrcBytes = size_t(SourceSpan(srcRow, srcRight, srcBottom, p.SrcStride, g.SrcWidth));
    const int32_t width = std::min(g.DstWidth, srcRight - g.DstOriginX);
    const int32_t height = std::min(g.DstHeight, srcBottom - g.DstOriginY);
    const int32_t ownStride = conv.GetStride(dstRow, width);
    p.DstStride = g.DstExtraStride < 0 ? 0 : ownStride + g.DstExtraStride;
    const int64_t imageSize = conv.GetImageSize(dstRow, width, height);
    const int64_t span =
        DestinationSpan(dstRow, width, height, p.DstStride == 0 ? ownStride : p.DstStride);
    p.DstBytes = size_t(std::max(imageSize, span));
    return p;
}

struct Outcome {
    int32_t Result;
    std::vector<uint8_t> Bytes;
    Surface Dst;
};

// A source's bytes, lead bytes of A5h into a buffer of exactly lead + its size: a read before
// Buffer finds A5h, and the address sanitizer reports it.
class PlacedSource {
public:
    PlacedSource(const std::vector<uint8_t>& source, size_t lead) : m_Lead(lead) {
        m_Bytes.reserve(lead + source.size());
        m_Bytes.assign(lead, 0xA5);
        m_Bytes.insert(m_Bytes.end(), source.begin(), source.end());
        ASAN_POISON_MEMORY_REGION(m_Bytes.data(), m_Lead);
    }
    ~PlacedSource() { ASAN_UNPOISON_MEMORY_REGION(m_Bytes.data(), m_Lead); }
    PlacedSource(const PlacedSource&) = delete;
    PlacedSource& operator=(const PlacedSource&) = delete;
    uint8_t* Buffer() { return m_Bytes.data() + m_Lead; }
    [[nodiscard]] int32_t Size() const { return static_cast<int32_t>(m_Bytes.size() - m_Lead); }

private:
    std::vector<uint8_t> m_Bytes;
    size_t m_Lead;
};

// The source and destination surfaces of a pair, as handed to Convert.
std::pair<Surface, Surface> PairSurfaces(PlacedSource& source, std::vector<uint8_t>& out,
                                         const Geometry& g, const PairGeometry& p, int32_t srcRow,
                                         int32_t dstRow, int flags) {
    const Surface src{source.Buffer(),
                      source.Size(),
                      nullptr,
                      srcRow,
                      g.SrcWidth,
                      g.SrcHeight,
                      p.SrcStride,
                      g.SrcOriginX,
                      g.SrcOriginY,
                      static_cast<uint8_t>(flags & 1),
                      static_cast<uint8_t>((flags >> 1) & 1),
                      nullptr};
    const Surface dst{out.data(),
                      static_cast<int32_t>(out.size()),
                      nullptr,
                      dstRow,
                      g.DstWidth,
                      g.DstHeight,
                      p.DstStride,
                      g.DstOriginX,
                      g.DstOriginY,
                      static_cast<uint8_t>((flags >> 2) & 1),
                      static_cast<uint8_t>((flags >> 3) & 1),
                      nullptr};
    return {src, dst};
}

// One conversion, the destination a vector of its exact size and the source one of its exact
// size after lead bytes (so the sanitizers see every byte read or written outside them).
Outcome ConvertOnce(Conv& conv, const std::vector<uint8_t>& source,
                    const std::vector<uint8_t>& initial, const Geometry& g, const PairGeometry& p,
                    int32_t srcRow, int32_t dstRow, int flags, size_t lead = 0) {
    PlacedSource placed(source, lead);
    Outcome o{0, initial, {}};
    auto [src, dst] = PairSurfaces(placed, o.Bytes, g, p, srcRow, dstRow, flags);
    o.Result = conv.Convert(&src, &dst);
    o.Dst = dst;
    return o;
}

std::vector<uint8_t> RandomBytes(std::mt19937& random, size_t size) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    return bytes;
}

// One pair, flag combination and colour standard on random pictures: the fast path of every
// build gives the reference's bytes, and a destination one byte short of the least accepted is
// refused by both paths with nothing written. Returns what differed, or an empty text.
std::string CompareOnePair(std::mt19937& random, const Geometry& g, int32_t srcRow, int32_t dstRow,
                           int flags, uint32_t colorimetry) {
    const PairGeometry p = SettlePair(g, srcRow, dstRow);
    const std::vector<uint8_t> source = RandomBytes(random, p.SrcBytes);
    const std::vector<uint8_t> initial = RandomBytes(random, p.DstBytes);
    std::ostringstream where;
    where << g.Name << ": rows " << srcRow << " -> " << dstRow << " flags " << flags
          << " colorimetry " << colorimetry;
    Conv reference;
    reference.SetPath(ConvPath::Reference);
    reference.SetColorimetry(colorimetry);
    const Outcome expected = ConvertOnce(reference, source, initial, g, p, srcRow, dstRow, flags);
    if (expected.Result <= 0) {
        return where.str() + ": the reference converts nothing";
    }
    const std::vector<uint8_t> short1(initial.begin(), initial.end() - 1);
    if (ConvertOnce(reference, source, short1, g, p, srcRow, dstRow, flags).Result != 0) {
        return where.str() + ": the reference accepts a destination one byte short";
    }
    for (KernelVariant v : VariantsThisCpuRuns()) {
        Conv fast;
        fast.SetKernelVariant(v);
        fast.SetColorimetry(colorimetry);
        const Outcome got = ConvertOnce(fast, source, initial, g, p, srcRow, dstRow, flags);
        const bool same = got.Result == expected.Result && got.Bytes == expected.Bytes &&
                          got.Dst.Width == expected.Dst.Width &&
                          got.Dst.Height == expected.Dst.Height &&
                          got.Dst.Stride == expected.Dst.Stride;
        if (!same) {
            size_t at = 0;
            while (at < got.Bytes.size() && got.Bytes[at] == expected.Bytes[at]) {
                ++at;
            }
            where << " build " << static_cast<int>(v) << ": first difference at byte " << at;
            return where.str();
        }
        const Outcome refused = ConvertOnce(fast, source, short1, g, p, srcRow, dstRow, flags);
        if (refused.Result != 0 || refused.Bytes != short1) {
            where << " build " << static_cast<int>(v) << ": one byte short is not refused";
            return where.str();
        }
    }
    return {};
}

TEST(ConvExactness, FastPathGivesTheReferenceBytesForEveryPair) {
    std::mt19937 random(1234);
    int32_t failures = 0;
    std::vector<std::string> reports; // kept apart from the captured warnings
    {
        const CapturedStdout warnings;
        for (const Geometry& g : kGeometries) {
            for (int32_t srcRow = 0; srcRow < kPixelFormatRows; ++srcRow) {
                if (IsPlanarRow(srcRow)) {
                    continue;
                }
                const bool srcYuv = srcRow >= 28;
                for (int32_t dstRow = 0; dstRow < kPixelFormatRows; ++dstRow) {
                    const bool dstYuv = dstRow >= 28;
                    const uint32_t colorimetries =
                        srcYuv != dstYuv ? uint32_t{COLORIMETRY_COUNT} : 1u;
                    for (int flags = 0; flags < 16; ++flags) {
                        if ((!srcYuv && (flags & 3) != 0) || (!dstYuv && (flags & 12) != 0)) {
                            continue; // range and offset matter only on a YCbCr side
                        }
                        for (uint32_t c = 0; c < colorimetries; ++c) {
                            std::string report =
                                CompareOnePair(random, g, srcRow, dstRow, flags, c);
                            if (!report.empty() && ++failures <= 20) {
                                reports.push_back(std::move(report));
                            }
                        }
                    }
                }
            }
        }
    }
    for (const std::string& report : reports) {
        ADD_FAILURE() << report;
    }
    EXPECT_EQ(failures, 0);
}

// Lines longer than a kernel run (1024 pixels) and than the vector lanes, for every pair, with
// the flags and colour standard varying from pair to pair.
TEST(ConvExactness, LongLinesAcrossRunsAndLanes) {
    constexpr Geometry kWide[] = {
        {"long lines", 1043, 3, 1, 0, 8, 1100, 3, 2, 0, -1},
        {"long lines, odd strides", 1041, 3, 3, 1, 3, 1100, 3, 5, 1, 1},
    };
    std::mt19937 random(99);
    std::vector<std::string> reports;
    int32_t pairIndex = 0;
    {
        const CapturedStdout warnings;
        for (const Geometry& g : kWide) {
            for (int32_t srcRow = 0; srcRow < kPixelFormatRows; ++srcRow) {
                if (IsPlanarRow(srcRow)) {
                    continue;
                }
                for (int32_t dstRow = 0; dstRow < kPixelFormatRows; ++dstRow, ++pairIndex) {
                    const int flags = (pairIndex * 5) % 16;
                    const uint32_t colorimetry =
                        static_cast<uint32_t>(pairIndex) % COLORIMETRY_COUNT;
                    std::string report =
                        CompareOnePair(random, g, srcRow, dstRow, flags, colorimetry);
                    if (!report.empty()) {
                        reports.push_back(std::move(report));
                    }
                }
            }
        }
    }
    for (size_t k = 0; k < reports.size() && k < 20; ++k) {
        ADD_FAILURE() << reports[k];
    }
    EXPECT_TRUE(reports.empty()) << reports.size() << " conversions differ";
}

// Every pair at every width that splits a kernel's vector loop and its tail differently: 1 to
// past three times the widest vector step (32 pixels) plus 2, and either side of one and two
// kernel runs (1024 pixels), on two lines in buffers of exactly their bytes, the destination's
// lines 3 bytes apart so that the bytes between them are compared too. Under the sanitizers a
// few widths per pair, a different few from pair to pair.
TEST(ConvExactness, EveryPairAtEveryWidth) {
    std::vector<int32_t> widths;
    for (int32_t w = 1; w <= 130; ++w) {
        widths.push_back(w);
    }
    for (int32_t w : {1023, 1024, 1025, 2047, 2048, 2049}) {
        widths.push_back(w);
    }
    const size_t every = kSanitized ? 29 : 1;
    std::mt19937 random(40);
    std::vector<std::string> reports;
    int32_t pairIndex = 0;
    {
        const CapturedStdout warnings;
        for (int32_t srcRow = 0; srcRow < kPixelFormatRows; ++srcRow) {
            if (IsPlanarRow(srcRow)) {
                continue;
            }
            for (int32_t dstRow = 0; dstRow < kPixelFormatRows; ++dstRow, ++pairIndex) {
                for (size_t k = size_t(pairIndex) % every; k < widths.size(); k += every) {
                    const int32_t w = widths[k];
                    const Geometry g{"width sweep", w, 2, 0, 0, 0, w, 2, 0, 0, 3};
                    const int flags = (pairIndex * 5 + w) % 16;
                    const uint32_t colorimetry =
                        static_cast<uint32_t>(pairIndex + w) % COLORIMETRY_COUNT;
                    std::string report =
                        CompareOnePair(random, g, srcRow, dstRow, flags, colorimetry);
                    if (!report.empty()) {
                        reports.push_back("width " + std::to_string(w) + ", " + report);
                    }
                }
            }
        }
    }
    for (size_t k = 0; k < reports.size() && k < 20; ++k) {
        ADD_FAILURE() << reports[k];
    }
    EXPECT_TRUE(reports.empty()) << reports.size() << " conversions differ";
}

// Destination origins left of or above pixel (0, 0), the source's at the same place: the
// reference reads zero there, and so must the fast path (which leaves such a picture to the
// reference). The source lies 64 bytes into a buffer of A5h, so that a read before Buffer shows
// in the bytes; a source origin there under a destination origin at 0 stays on the fast path.
TEST(ConvExactness, NegativeOriginsReadWhatTheReferenceReads) {
    const struct {
        int32_t SrcRow, DstRow;
    } pairs[] = {
        {0, 19},  // "R332.RGB" to "R888.R-G-B"
        {19, 5},  // "R888.R-G-B" to "R565.RGB", straight without ARGB words
        {27, 25}, // "M8.n0" to "ARGB8888.ARGB", decoded into the destination's lines
        {32, 5},  // "Y422.UY-VY" to "R565.RGB"
        {41, 25}, // "Y420.YU-YV+Y1Y0-Y3Y2" to "ARGB8888.ARGB", by line pairs
        {37, 32}, // "Y422.Y-U-Y-V" to "Y422.UY-VY"
        {25, 41}, // "ARGB8888.ARGB" to "Y420.YU-YV+Y1Y0-Y3Y2"
    };
    const struct {
        int32_t SrcX, SrcY, DstX, DstY;
        bool Fast; // whether the fast path converts it
    } origins[] = {
        {-1, 0, -1, 0, false}, {-3, 0, -3, 0, false}, {0, -1, 0, -1, false},
        {0, -3, 0, -3, false}, {-1, 0, 0, 0, true},   {0, -1, 0, 0, true},
    };
    std::mt19937 random(41);
    for (const auto& pair : pairs) {
        for (const auto& o : origins) {
            const Geometry g{"origins", 40, 4, o.SrcX, o.SrcY, 1, 40, 4, o.DstX, o.DstY, 3};
            const PairGeometry p = SettlePair(g, pair.SrcRow, pair.DstRow);
            const std::vector<uint8_t> source = RandomBytes(random, p.SrcBytes);
            const std::vector<uint8_t> initial = RandomBytes(random, p.DstBytes);
            Conv reference;
            reference.SetPath(ConvPath::Reference);
            reference.SetColorimetry(COLORIMETRY_BT601);
            const Outcome expected = Quietly([&] {
                return ConvertOnce(reference, source, initial, g, p, pair.SrcRow, pair.DstRow, 0,
                                   64);
            });
            ASSERT_GT(expected.Result, 0);
            for (KernelVariant v : VariantsThisCpuRuns()) {
                SCOPED_TRACE("rows " + std::to_string(pair.SrcRow) + " -> " +
                             std::to_string(pair.DstRow) + ", origins " + std::to_string(o.SrcX) +
                             "," + std::to_string(o.SrcY) + " and " + std::to_string(o.DstX) + "," +
                             std::to_string(o.DstY) + ", build " +
                             std::to_string(static_cast<int>(v)));
                Conv fast;
                fast.SetKernelVariant(v);
                fast.SetColorimetry(COLORIMETRY_BT601);
                const Outcome got = Quietly([&] {
                    return ConvertOnce(fast, source, initial, g, p, pair.SrcRow, pair.DstRow, 0,
                                       64);
                });
                EXPECT_EQ(got.Result, expected.Result);
                EXPECT_EQ(got.Bytes, expected.Bytes);
                // The settled pair through the fast path alone: converted, or declined with
                // nothing written.
                PlacedSource placed(source, 64);
                std::vector<uint8_t> out = initial;
                auto [src, dst] = PairSurfaces(placed, out, g, p, pair.SrcRow, pair.DstRow, 0);
                dst.Width = expected.Dst.Width;
                dst.Height = expected.Dst.Height;
                EXPECT_EQ(ConvertByRows(src, dst, COLORIMETRY_BT601, SelectKernels(v)), o.Fast);
                EXPECT_EQ(out, o.Fast ? expected.Bytes : initial);
            }
        }
    }
}

// A 1 x 2 picture of the lane-swapped rows at Stride 3: line 1 starts on an odd offset, and its
// logical bytes 3, 4, 5 lie at 2, 5, 4, paired from Buffer (not from the line's start).
TEST(ConvExactness, LaneSwappedRowsAtAnOddStrideSwapFromBuffer) {
    const struct {
        int32_t Row;
        std::vector<uint8_t> Written; // from 0x123456 and 0xAABBCC into 8 zero bytes
        uint32_t Line1;               // line 1 read back from bytes 00 04 08 0C 10 14
    } cases[] = {
        {21, {0x34, 0x12, 0xAA, 0x56, 0xCC, 0xBB, 0x00, 0x00}, 0x00081410},
        {10, {0x34, 0x10, 0xA8, 0x54, 0xCC, 0xB8, 0x00, 0x00}, 0x00081410},
    };
    for (const auto& c : cases) {
        for (const bool fast : {false, true}) {
            SCOPED_TRACE("row " + std::to_string(c.Row) + (fast ? " fast" : " reference"));
            Conv conv;
            conv.SetPath(fast ? ConvPath::Fast : ConvPath::Reference);
            std::vector<uint8_t> argb{0x56, 0x34, 0x12, 0x00, 0xCC, 0xBB, 0xAA, 0x00};
            std::vector<uint8_t> out(8, 0);
            Surface from = MakeSurface(argb, 25, 1, 2);
            Surface to = MakeSurface(out, c.Row, 1, 2);
            to.Stride = 3;
            ASSERT_EQ(conv.Convert(&from, &to), 8);
            EXPECT_EQ(out, c.Written);
            // Read from a buffer of exactly the 6 bytes the two lines span.
            std::vector<uint8_t> stored{0x00, 0x04, 0x08, 0x0C, 0x10, 0x14};
            std::vector<uint8_t> words(8, 0xEE);
            Surface source = MakeSurface(stored, c.Row, 1, 2);
            source.Stride = 3;
            Surface target = MakeSurface(words, 25, 1, 2);
            ASSERT_EQ(conv.Convert(&source, &target), 8);
            EXPECT_EQ(words,
                      (std::vector<uint8_t>{0x0C, 0x00, 0x04, 0x00, uint8_t(c.Line1),
                                            uint8_t(c.Line1 >> 8), uint8_t(c.Line1 >> 16), 0x00}));
        }
    }
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

// The 24-bit line swap of the BMP reader, one line in place and two lines exchanged, at every
// length up to past the vector steps' group boundaries, each line a vector of exactly its bytes.
TEST(ConvExactness, LineSwapInPlaceAndExchanging) {
    std::mt19937 random(7);
    const auto randomLine = [&](int32_t count) {
        std::vector<uint8_t> line(3 * size_t(count));
        for (uint8_t& b : line) {
            b = static_cast<uint8_t>(random());
        }
        return line;
    };
    const auto swapped = [](std::vector<uint8_t> line) {
        for (size_t x = 0; x + 2 < line.size(); x += 3) {
            std::swap(line[x], line[x + 2]);
        }
        return line;
    };
    for (const KernelSet* k : KernelBuildsThisCpuRuns()) {
        SCOPED_TRACE(k->Name);
        for (int32_t count = 0; count <= 120; ++count) {
            SCOPED_TRACE("count " + std::to_string(count));
            const std::vector<uint8_t> first = randomLine(count);
            const std::vector<uint8_t> second = randomLine(count);
            std::vector<uint8_t> a = first;
            k->SwapLinesRgb24(a.data(), a.data(), count);
            EXPECT_EQ(a, swapped(first));
            a = first;
            std::vector<uint8_t> b = second;
            k->SwapLinesRgb24(a.data(), b.data(), count);
            EXPECT_EQ(a, swapped(second));
            EXPECT_EQ(b, swapped(first));
        }
    }
}

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

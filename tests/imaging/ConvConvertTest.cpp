// Convert, GetPixel and PutPixel: clipping, warnings, the family loops, and the guards against
// sizes, strides and coordinates that would reach outside a buffer.
#include "imaging/Conv.h"

#include "ImagingTestSupport.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// An ARGB8888 source of width x height whose pixel (x, y) is 0xFF000000 | colour(x, y).
struct ArgbPicture {
    ArgbPicture(int32_t width, int32_t height) : Bytes(size_t(width) * height * 4) {
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t v = 0xFF000000u | uint32_t(x * 40) << 16 | uint32_t(y * 50) << 8 |
                                   uint32_t((x + y) * 20);
                std::memcpy(&Bytes[(size_t(y) * width + x) * 4], &v, 4);
            }
        }
        Src = MakeSurface(Bytes, 25, width, height);
    }
    std::vector<uint8_t> Bytes;
    Surface Src{};
};

TEST(ConvConvert, UnknownFormatsGiveZero) {
    ArgbPicture picture(4, 4);
    std::vector<uint8_t> out(64, 0xEE);
    Surface dst = MakeSurface(out, 0, 4, 4);
    dst.FormatName = "no such format";
    Conv conv;
    EXPECT_EQ(conv.Convert(&picture.Src, &dst), 0);
    dst.FormatName = nullptr;
    dst.Format = 54;
    EXPECT_EQ(conv.Convert(&picture.Src, &dst), 0);
    dst.FormatName = "r565.RGB";
    EXPECT_EQ(conv.Convert(&picture.Src, &dst), 32);
    EXPECT_EQ(dst.Format, 5);
}

TEST(ConvConvert, ClippingNarrowsTheDestination) {
    ArgbPicture picture(6, 5);
    std::vector<uint8_t> out(200, 0);
    Surface dst = MakeSurface(out, 25, 10, 10);
    dst.OriginX = 2;
    dst.OriginY = 1;
    Conv conv;
    EXPECT_EQ(conv.Convert(&picture.Src, &dst), 4 * 4 * 4);
    EXPECT_EQ(dst.Width, 4);
    EXPECT_EQ(dst.Height, 4);
    EXPECT_EQ(dst.Stride, 16);
    dst.OriginX = 0;
    dst.OriginY = 0;
    EXPECT_EQ(conv.GetPixel(0, 0, &dst), conv.GetPixel(2, 1, &picture.Src));
    EXPECT_EQ(conv.GetPixel(3, 3, &dst), conv.GetPixel(5, 4, &picture.Src));
}

TEST(ConvConvert, StrideZeroBecomesTheRowsStride) {
    ArgbPicture picture(3, 1);
    std::vector<uint8_t> out(10, 0);
    Surface dst = MakeSurface(out, 21, 3, 1);
    Conv conv;
    EXPECT_EQ(conv.Convert(&picture.Src, &dst), 10);
    EXPECT_EQ(dst.Stride, 10);
}

TEST(ConvConvert, OriginLeftOfTheSourceIsAnAssertion) {
    AssertRecorder recorder;
    ArgbPicture picture(4, 4);
    picture.Src.OriginX = 1;
    std::vector<uint8_t> out(64, 0);
    Surface dst = MakeSurface(out, 25, 2, 2);
    Conv conv;
    EXPECT_EQ(conv.Convert(&picture.Src, &dst), 0);
    EXPECT_TRUE(recorder.Saw("false"));
}

TEST(ConvConvert, BufferOneByteShortWritesNothing) {
    ArgbPicture picture(5, 3);
    std::vector<uint8_t> out(29, 0xEE);
    Surface dst = MakeSurface(out, 5, 5, 3);
    Conv conv;
    EXPECT_EQ(conv.Convert(&picture.Src, &dst), 0);
    EXPECT_EQ(out, std::vector<uint8_t>(29, 0xEE));
}

// The image size used to wrap in 32 bits, so a huge destination "fit" a small buffer.
TEST(ConvConvert, SizesThatDoNotFitConvertNothing) {
    const struct {
        int32_t Width;
        int32_t Height;
    } cases[] = {{40000, 30000}, {32768, 32768}, {0x7FFFFFFF, 2}};
    for (const auto& c : cases) {
        std::vector<uint8_t> src(16, 1);
        Surface s = MakeSurface(src, 25, c.Width, c.Height);
        s.Stride = 4;
        std::vector<uint8_t> out(16, 0xEE);
        Surface dst = MakeSurface(out, 25, c.Width, c.Height);
        dst.BufSize = 0x7FFFFFFF;
        Conv conv;
        EXPECT_EQ(conv.Convert(&s, &dst), 0) << c.Width << "x" << c.Height;
        EXPECT_EQ(out, std::vector<uint8_t>(16, 0xEE));
    }
}

// BufSize used to be checked against the row's own size while the loop stepped by Stride.
TEST(ConvConvert, StrideReachingPastTheBufferConvertsNothing) {
    const struct {
        int32_t Row;
        int32_t Stride;
    } cases[] = {{25, 20}, {25, -16}, {37, 12}, {28, 8}, {51, 8}, {36, 6}};
    for (const auto& c : cases) {
        ArgbPicture picture(4, 2);
        Conv conv;
        std::vector<uint8_t> out(size_t(conv.GetImageSize(c.Row, 4, 2)), 0xEE);
        const std::vector<uint8_t> untouched = out;
        Surface dst = MakeSurface(out, c.Row, 4, 2);
        dst.Stride = c.Stride;
        const int32_t result = conv.Convert(&picture.Src, &dst);
        if (c.Row == 51) {
            // The 4:2:0 loops run through the row's own geometry whatever Stride says.
            EXPECT_EQ(result, static_cast<int32_t>(out.size())) << c.Row;
            continue;
        }
        EXPECT_EQ(result, 0) << c.Row << " stride " << c.Stride;
        EXPECT_EQ(out, untouched) << c.Row;
    }
}

TEST(ConvConvert, PlanarRowsAreNoSource) {
    std::vector<uint8_t> planar(64, 0x80);
    std::vector<uint8_t> out(64, 0xEE);
    for (int32_t row : {36, 42}) {
        Surface src = MakeSurface(planar, row, 4, 2);
        Surface dst = MakeSurface(out, 25, 4, 2);
        Conv conv;
        EXPECT_EQ(conv.Convert(&src, &dst), 0) << row;
        EXPECT_EQ(conv.GetPixel(0, 0, &src), 0u) << row;
    }
    EXPECT_EQ(out, std::vector<uint8_t>(64, 0xEE));
    Surface row42 = MakeSurface(out, 42, 4, 2);
    Conv conv;
    conv.PutPixel(0, 0, &row42, 0x00FFFFFF);
    EXPECT_EQ(out, std::vector<uint8_t>(64, 0xEE));
}

std::string ConvertAndCaptureOutput(int32_t row, int32_t width, int32_t height) {
    ArgbPicture picture(width, height);
    Conv conv;
    std::vector<uint8_t> out(size_t(conv.GetImageSize(row, width, height)));
    Surface dst = MakeSurface(out, row, width, height);
    testing::internal::CaptureStdout();
    EXPECT_EQ(conv.Convert(&picture.Src, &dst), static_cast<int32_t>(out.size()));
    return testing::internal::GetCapturedStdout();
}

TEST(ConvConvert, YuvGeometryWarnings) {
    EXPECT_EQ(ConvertAndCaptureOutput(43, 5, 5),
              "WARNING: YUV 4:2:0 requires width to be a multiple of 2.  Output will be padded.\n"
              "WARNING: YUV 4:2:0 requires height to be a multiple of 2. Output will be padded.\n");
    EXPECT_EQ(ConvertAndCaptureOutput(28, 6, 2),
              "WARNING: YUV 4:1:1 requires width to be a multiple of 4.  Output will be padded.\n");
    EXPECT_EQ(ConvertAndCaptureOutput(37, 3, 2),
              "WARNING: YUV 4:2:2 requires width to be a multiple of 2.  Output will be padded.\n");
    EXPECT_EQ(ConvertAndCaptureOutput(37, 4, 3), "");
    EXPECT_EQ(ConvertAndCaptureOutput(25, 3, 3), "");
}

// A mono source: every pixel's Y is its level in full range (R = G = B), chroma 0.
struct MonoLine {
    explicit MonoLine(std::vector<uint8_t> levels, int32_t height = 1) : Bytes(std::move(levels)) {
        const int32_t width = static_cast<int32_t>(Bytes.size()) / height;
        Src = MakeSurface(Bytes, 27, width, height);
    }
    std::vector<uint8_t> Bytes;
    Surface Src{};
};

TEST(ConvConvert, YuvLoopsPadWithTheLastPixel) {
    Conv conv;
    {
        MonoLine mono({10, 20, 30, 40, 50});
        std::vector<uint8_t> out(12, 0xEE);
        Surface dst = MakeSurface(out, 30, 5, 1); // Cb Y0 Cr Y1 Y2 Y3
        testing::internal::CaptureStdout();
        EXPECT_EQ(conv.Convert(&mono.Src, &dst), 12);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, (std::vector<uint8_t>{0, 10, 0, 20, 30, 40, 0, 50, 0, 50, 50, 50}));
    }
    {
        MonoLine mono({10, 20, 30});
        std::vector<uint8_t> out(8, 0xEE);
        Surface dst = MakeSurface(out, 37, 3, 1); // Y0 Cb Y1 Cr
        testing::internal::CaptureStdout();
        EXPECT_EQ(conv.Convert(&mono.Src, &dst), 8);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, (std::vector<uint8_t>{10, 0, 20, 0, 30, 0, 30, 0}));
    }
    {
        MonoLine mono({10, 20, 30, 40, 50, 60}, 3);
        std::vector<uint8_t> out(12, 0xEE);
        Surface dst = MakeSurface(out, 43, 2, 3); // Cb Y0 Cr Y1 + Y0 Y1, two line pairs
        testing::internal::CaptureStdout();
        EXPECT_EQ(conv.Convert(&mono.Src, &dst), 12);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, (std::vector<uint8_t>{0, 10, 0, 20, 30, 40, 0, 50, 0, 60, 50, 60}));
    }
}

TEST(ConvConvert, SignedChromaAverageTruncatesTowardZero) {
    // Pixels 1 and 2 of a 4:2:2 line lie in two pairs, with Cr -3 and 0; as one pair of the
    // destination their Cr is (-3 + 0) / 2 = -1, not -2.
    std::vector<uint8_t> wide{0, 0, 0, 0xFD, 0, 0, 0, 0x00};
    Surface src = MakeSurface(wide, 37, 4, 1);
    std::vector<uint8_t> narrow(4, 0xEE);
    Surface dst = MakeSurface(narrow, 37, 2, 1);
    dst.OriginX = 1;
    Conv conv;
    EXPECT_EQ(conv.Convert(&src, &dst), 4);
    EXPECT_EQ(static_cast<int8_t>(narrow[3]), -1);
}

TEST(ConvConvert, FullRangeToVideoRangeLuma) {
    std::vector<uint8_t> src{255, 0, 0, 0};
    Surface s = MakeSurface(src, 37, 2, 1);
    std::vector<uint8_t> out(4, 0);
    Surface dst = MakeSurface(out, 37, 2, 1);
    dst.VideoRange = 1;
    dst.ChromaOffset = 1;
    Conv conv;
    EXPECT_EQ(conv.Convert(&s, &dst), 4);
    EXPECT_EQ(out, (std::vector<uint8_t>{235, 128, 16, 128}));
}

// Readers used to test only the right and bottom edges.
TEST(ConvConvert, EveryReaderReadsZeroOutsideItsArea) {
    const struct {
        int32_t X;
        int32_t Y;
    } outside[] = {{1, 2}, {2, 1}, {5, 2}, {2, 4}, {-1, 2}, {2, -1}, {-100000, -100000}};
    for (int32_t row = 0; row < kPixelFormatRows; ++row) {
        if (row == 36 || row == 42) {
            continue;
        }
        Conv conv;
        std::vector<uint8_t> bytes(size_t(conv.GetImageSize(row, 5, 4)), 0xFF);
        Surface s = MakeSurface(bytes, row, 3, 2);
        s.OriginX = 2;
        s.OriginY = 2;
        s.Stride = conv.GetStride(row, 5);
        EXPECT_NE(conv.GetPixel(2, 2, &s), 0u) << "row " << row;
        EXPECT_NE(conv.GetPixel(4, 3, &s), 0u) << "row " << row;
        for (const auto& p : outside) {
            EXPECT_EQ(conv.GetPixel(p.X, p.Y, &s), 0u)
                << "row " << row << " at " << p.X << "," << p.Y;
        }
    }
}

// GetPixel used to read through the current destination: none on a fresh converter, and a
// YUV one turned a YUV source's RGB into zero.
TEST(ConvConvert, GetPixelAlwaysReadsAsRgb) {
    std::vector<uint8_t> yuv{235, 128, 235, 128};
    Surface s = MakeSurface(yuv, 37, 2, 1);
    s.VideoRange = 1;
    s.ChromaOffset = 1;
    Conv fresh;
    EXPECT_EQ(fresh.GetPixel(1, 0, &s), 0x00FFFFFFu);

    Conv conv;
    std::vector<uint8_t> out(4, 0);
    Surface dst = MakeSurface(out, 39, 2, 1);
    ASSERT_EQ(conv.Convert(&s, &dst), 4);
    EXPECT_EQ(conv.GetPixel(0, 0, &s), 0x00FFFFFFu);
    EXPECT_EQ(conv.GetPixel(0, 0, &dst), 0x00FFFFFFu);
}

// The 4:1:1 and 4:2:2 writers used to accept x up to OriginX + Width.
TEST(ConvConvert, YuvWritersRefuseXOutsideTheLine) {
    for (int32_t row : {28, 31, 32, 36, 37, 40}) {
        Conv conv;
        std::vector<uint8_t> out(size_t(conv.GetImageSize(row, 4, 2)), 0xEE);
        const std::vector<uint8_t> untouched = out;
        Surface dst = MakeSurface(out, row, 4, 2);
        dst.Stride = conv.GetStride(row, 4);
        dst.OriginX = 8;
        for (int32_t x : {4, 5, 11, -1}) {
            conv.PutPixel(x, 1, &dst, 0x00FFFFFF);
        }
        EXPECT_EQ(out, untouched) << "row " << row;
        conv.PutPixel(3, 1, &dst, 0x00FFFFFF);
        EXPECT_NE(out, untouched) << "row " << row;
    }
}

// The merge used to take the stored byte unsigned and the new one signed.
TEST(ConvConvert, ChromaMergeKeepsTheSurfacesConvention) {
    for (const bool offset : {true, false}) {
        for (const int32_t row : {28, 37, 43, 51}) {
            Conv conv;
            const int32_t red = offset ? 255 : 127; // red's Cr, full range BT 601
            std::vector<uint8_t> out(16, 0);
            Surface dst = MakeSurface(out, row, 4, 2);
            dst.Stride = conv.GetStride(row, 4);
            dst.ChromaOffset = offset;
            for (int32_t round = 0; round < 30; ++round) {
                conv.PutPixel(0, 0, &dst, 0x00FF0000);
            }
            // Merged with itself over and over, red's Cr tends to red's Cr, never to its
            // opposite sign.
            uint8_t cr = 0;
            switch (row) {
            case 28:
                cr = out[3];
                break;
            case 37:
                cr = out[3];
                break;
            case 43:
                cr = out[2];
                break;
            default:
                cr = out[dst.Stride];
                break;
            }
            EXPECT_GE(cr, red - 3) << "row " << row << " offset " << offset;
            EXPECT_LE(cr, red) << "row " << row << " offset " << offset;
        }
    }
}

TEST(ConvConvert, StoredNegativeChromaStaysNegative) {
    // Without offset a stored -21 merged with -21 stays -21 (it used to become 235 / 2).
    std::vector<uint8_t> out{0, 0xEB, 0, 0xEB};
    Surface dst = MakeSurface(out, 37, 2, 1);
    Conv conv;
    conv.SetColorimetry(COLORIMETRY_BT601);
    conv.PutPixel(0, 0, &dst, 0x000000FF); // blue: Cb 127, Cr -20
    EXPECT_EQ(static_cast<int8_t>(out[3]), (-21 + -20) / 2);
    EXPECT_EQ(static_cast<int8_t>(out[1]), (-21 + 127) / 2);
}

TEST(ConvConvert, ColorimetryOutsideTheTableIsAnAssertion) {
    AssertRecorder recorder;
    std::vector<uint8_t> out(4, 0);
    Surface dst = MakeSurface(out, 37, 2, 1);
    Conv conv;
    conv.SetColorimetry(5);
    conv.PutPixel(0, 0, &dst, 0x00FFFFFF);
    EXPECT_TRUE(recorder.Saw("false"));

    ArgbPicture picture(2, 1);
    const size_t before = recorder.Count();
    EXPECT_EQ(conv.Convert(&picture.Src, &dst), 4); // the reference path reports it per pixel
    EXPECT_GT(recorder.Count(), before);
}

TEST(ConvConvert, PutPixelStoresArgbLittleEndian) {
    std::vector<uint8_t> out(4, 0);
    Surface dst = MakeSurface(out, 25, 1, 1);
    Conv conv;
    conv.PutPixel(0, 0, &dst, 0x80FF0000);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x00, 0x00, 0xFF, 0x80}));
}

} // namespace

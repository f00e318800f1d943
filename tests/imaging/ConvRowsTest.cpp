// Memory layouts of the rows, through PutPixel and GetPixel.
#include "imaging/Conv.h"

#include "ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kColour = 0xC3F5368Bu; // A 0xC3, R 0xF5, G 0x36, B 0x8B

// One pixel written at (0, 0): the bytes stored, and what reading them back gives (channels
// widened from their top bits).
TEST(ConvRows, LayoutOfEveryPackedRow) {
    const struct {
        int32_t Row;
        std::vector<uint8_t> Bytes;
        uint32_t ReadBack;
    } cases[] = {
        {0, {0xE6}, 0x00FF20BF},
        {2, {0x38, 0x0F}, 0x00FF308F},
        {3, {0x38, 0xF0}, 0x00FF308F},
        {4, {0xD1, 0x78}, 0x00F7308F},
        {5, {0xB1, 0xF1}, 0x00F7348F},
        {6, {0xF1, 0xB1}, 0x00F7348F},
        {7, {0xB1, 0xF1}, 0x00F7348F},
        {9, {0xF4, 0x34, 0x88}, 0x00F7348B},
        {10, {0x34, 0xF4, 0x00, 0x88}, 0x00F7348B},
        {11, {0x03, 0xD3, 0x62}, 0x00F7348B},
        {12, {0x00, 0xF4, 0x34, 0x88}, 0x00F7348B},
        {13, {0xF4, 0x00, 0x88, 0x34}, 0x00F7348B},
        {14, {0x88, 0x34, 0xF4, 0x00}, 0x00F7348B},
        {15, {0x8B, 0x36, 0xF5, 0x00}, 0x00F5368B},
        {16, {0x8B, 0x36, 0xF5, 0x00}, 0x00F5368B},
        {17, {0xF5, 0x00, 0x8B, 0x36}, 0x00F5368B},
        {18, {0x00, 0xF5, 0x36, 0x8B}, 0x00F5368B},
        {19, {0xF5, 0x36, 0x8B}, 0x00F5368B},
        {20, {0x8B, 0x36, 0xF5}, 0x00F5368B},
        {21, {0x36, 0xF5, 0x00, 0x8B}, 0x00F5368B},
        {22, {0xD1, 0xF8}, 0xFFF7308F},
        {23, {0x38, 0xCF}, 0xCFFF308F},
        {24, {0x88, 0x34, 0xF0, 0xC3}, 0xC3F7348F},
        {25, {0x8B, 0x36, 0xF5, 0xC3}, 0xC3F5368B},
        {26, {0xC3, 0x8B, 0x36, 0xF5}, 0xC3F5368B},
        {27, {0x78}, 0x00787878},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> buffer(8, 0);
        Surface s = MakeSurface(buffer, c.Row, 1, 1);
        Conv conv;
        conv.PutPixel(0, 0, &s, kColour);
        const std::vector<uint8_t> stored(buffer.begin(), buffer.begin() + c.Bytes.size());
        EXPECT_EQ(stored, c.Bytes) << "row " << c.Row;
        EXPECT_EQ(conv.GetPixel(0, 0, &s), c.ReadBack) << "row " << c.Row;
    }
}

TEST(ConvRows, WideningSetsTheLowBitsWhenBit7IsSet) {
    const struct {
        int32_t Row;
        std::vector<uint8_t> Bytes;
        uint32_t Expected;
    } cases[] = {
        {9, {0x80, 0x7C, 0xFC}, 0x00837CFF}, // 6-bit 0x20 -> 0x83, 0x1F -> 0x7C, 0x3F -> 0xFF
        {5, {0x1F, 0xF8}, 0x00FF00FF},       // R565 word 0xF81F
        {7, {0x1F, 0xF8}, 0x00FF00FF},       // "gB-RG" reads the same bytes the same way
        {6, {0x1F, 0xF8}, 0x0018FFC7},       {4, {0x10, 0x40}, 0x00870087}, // 5-bit 0x10 -> 0x87
        {22, {0x00, 0x80}, 0xFF000000},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> buffer = c.Bytes;
        Surface s = MakeSurface(buffer, c.Row, 1, 1);
        Conv conv;
        EXPECT_EQ(conv.GetPixel(0, 0, &s), c.Expected) << "row " << c.Row;
    }
}

TEST(ConvRows, FiveBitWriteStoresTheTopBits) {
    std::vector<uint8_t> buffer(2, 0);
    Surface s = MakeSurface(buffer, 4, 1, 1);
    Conv conv;
    conv.PutPixel(0, 0, &s, 0x00870000);
    EXPECT_EQ(buffer[1], 0x40); // R 0x10 in bits 14-10
    EXPECT_EQ(conv.GetPixel(0, 0, &s), 0x00870000u);
}

TEST(ConvRows, OneBitAlpha) {
    std::vector<uint8_t> buffer(2, 0);
    Surface s = MakeSurface(buffer, 22, 1, 1);
    Conv conv;
    conv.PutPixel(0, 0, &s, 0x80000000);
    EXPECT_EQ(conv.GetPixel(0, 0, &s) >> 24, 255u);
    conv.PutPixel(0, 0, &s, 0x7F000000);
    EXPECT_EQ(conv.GetPixel(0, 0, &s) >> 24, 0u);
}

// Rows 1 and 8 share bytes between pixels: their writers merge into the stored byte, so bits
// that belong to no pixel (yet) keep the destination's starting content, zeroed or filled.
TEST(ConvRows, R444PairSharesItsMiddleByte) {
    const struct {
        uint8_t Start;
        std::vector<uint8_t> AfterPixel0;
    } cases[] = {
        {0x00, {0xBC, 0x0A, 0x00}},
        {0xFF, {0xBC, 0xFA, 0xFF}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Start));
        std::vector<uint8_t> buffer(3, c.Start);
        Surface s = MakeSurface(buffer, 1, 2, 1);
        Conv conv;
        conv.PutPixel(0, 0, &s, 0x00A0B0C0); // R A, G B, B C: pixel 1's nibble is kept
        EXPECT_EQ(buffer, c.AfterPixel0);
        conv.PutPixel(1, 0, &s, 0x00102030); // R 1, G 2, B 3
        EXPECT_EQ(buffer, (std::vector<uint8_t>{0xBC, 0x3A, 0x12}));
        EXPECT_EQ(conv.GetPixel(0, 0, &s), 0x00AFBFCFu);
        EXPECT_EQ(conv.GetPixel(1, 0, &s), 0x00102030u);
        conv.PutPixel(0, 0, &s, 0x00F0F0F0); // rewrites pixel 0, keeps pixel 1's nibble
        EXPECT_EQ(buffer, (std::vector<uint8_t>{0xFF, 0x3F, 0x12}));
    }
}

TEST(ConvRows, R666StreamContinuesAcrossPixelsAndLines) {
    const struct {
        uint8_t Start;
        std::vector<uint8_t> AfterPixel1, AfterPixel0, AfterPixel2;
    } cases[] = {
        {0x00,
         {0, 0, 0xFC, 0, 0, 0, 0},
         {0xFF, 0xFF, 0xFF, 0, 0, 0, 0},
         {0xFF, 0xFF, 0xFF, 0, 0, 0, 0x3F}},
        // Bits 36-55 belong to pixel 2 and to no pixel (54, 55): kept until written.
        {0xFF,
         {0xFF, 0xFF, 0xFF, 0x00, 0xF0, 0xFF, 0xFF},
         {0xFF, 0xFF, 0xFF, 0x00, 0xF0, 0xFF, 0xFF},
         {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Start));
        std::vector<uint8_t> buffer(7, c.Start);
        Surface s = MakeSurface(buffer, 8, 1, 3); // width 1: line 1 is stream pixel 1
        Conv conv;
        conv.PutPixel(0, 1, &s, 0x000000FC); // B 0x3F of pixel 1: stream bits 18-23, G, R 0
        EXPECT_EQ(buffer, c.AfterPixel1);
        conv.PutPixel(0, 0, &s, 0x00FCFCFC);
        EXPECT_EQ(buffer, c.AfterPixel0);
        conv.PutPixel(0, 2, &s, 0x00FC0000); // R of pixel 2: bits 48-53
        EXPECT_EQ(buffer, c.AfterPixel2);
        EXPECT_EQ(conv.GetPixel(0, 1, &s), 0x000000FFu);
        EXPECT_EQ(conv.GetPixel(0, 2, &s), 0x00FF0000u);
    }
}

// The same through Convert, on both paths: a line of 3 pixels of row 1 ends in the low nibble
// of its fifth byte, a 3 x 1 picture of row 8 in bit 53 of its seventh; the bits after them are
// the starting content's.
TEST(ConvRows, ConvertKeepsTheBitsOfNoPixel) {
    const struct {
        int32_t Row;
        uint8_t Start;
        std::vector<uint8_t> Bytes;
    } cases[] = {
        {1, 0x00, {0xCE, 0x5A, 0x13, 0x68, 0x04}},
        {1, 0xFF, {0xCE, 0x5A, 0x13, 0x68, 0xF4}},
        {8, 0x00, {0xFB, 0xAC, 0x56, 0x0D, 0x21, 0x66, 0x11}},
        {8, 0xFF, {0xFB, 0xAC, 0x56, 0x0D, 0x21, 0x66, 0xD1}},
    };
    for (const auto& c : cases) {
        for (const ConvPath path : {ConvPath::Reference, ConvPath::Fast}) {
            SCOPED_TRACE("row " + std::to_string(c.Row) + " start " + std::to_string(c.Start) +
                         (path == ConvPath::Fast ? " fast" : " reference"));
            // 0x00ABCDEF, 0x00123456, 0x00456789 as ARGB words.
            std::vector<uint8_t> argb{0xEF, 0xCD, 0xAB, 0,    0x56, 0x34,
                                      0x12, 0,    0x89, 0x67, 0x45, 0};
            std::vector<uint8_t> out(c.Bytes.size(), c.Start);
            Surface from = MakeSurface(argb, 25, 3, 1);
            Surface to = MakeSurface(out, c.Row, 3, 1);
            Conv conv;
            conv.SetPath(path);
            ASSERT_EQ(conv.Convert(&from, &to), static_cast<int32_t>(out.size()));
            EXPECT_EQ(out, c.Bytes);
        }
    }
}

TEST(ConvRows, LaneSwappedRowsStoreWordsHighByteFirst) {
    {
        std::vector<uint8_t> buffer(6, 0);
        Surface s = MakeSurface(buffer, 21, 2, 1);
        Conv conv;
        conv.PutPixel(0, 0, &s, 0x00010203);
        conv.PutPixel(1, 0, &s, 0x00040506);
        // Logical R0 G0 B0 R1 G1 B1 stored as G0 R0 R1 B0 B1 G1.
        EXPECT_EQ(buffer, (std::vector<uint8_t>{0x02, 0x01, 0x04, 0x03, 0x06, 0x05}));
        EXPECT_EQ(conv.GetPixel(1, 0, &s), 0x00040506u);
    }
    {
        std::vector<uint8_t> buffer(6, 0);
        Surface s = MakeSurface(buffer, 10, 2, 1);
        Conv conv;
        conv.PutPixel(1, 0, &s, 0x00FC8040);
        EXPECT_EQ(buffer, (std::vector<uint8_t>{0, 0, 0xFC, 0, 0x40, 0x80}));
    }
    {
        // Row 52 (4:2:0 layout 9): logical Cb Y0 Y1 on the even line, Cr Y0 Y1 on the odd one.
        std::vector<uint8_t> buffer(6, 0);
        Surface s = MakeSurface(buffer, 52, 2, 2);
        s.Stride = 3;
        Conv conv;
        conv.PutPixel(1, 0, &s, 0x00FFFFFF); // white: Y 255, Cb and Cr 0 (full range, signed)
        EXPECT_EQ(buffer, (std::vector<uint8_t>{0, 0, 0, 0xFF, 0, 0}));
        conv.PutPixel(0, 1, &s, 0x00FFFFFF);
        EXPECT_EQ(buffer, (std::vector<uint8_t>{0, 0, 0, 0xFF, 0, 0xFF}));
    }
}

// Red (video range, BT 601, offset chroma: Y 81, Cb 91, Cr 239) written at pixel (1, 1) of a
// 4 x 2 picture of zero bytes: its luma at its place, its chroma merged with the stored 0 by the
// family's weights (4:1:1 (3s + n) / 4, 4:2:2 and 4:2:0 layouts 0-7 (s + n) / 2, 4:2:0 layouts
// 8, 9, 11 (s + 3n) / 4).
TEST(ConvRows, LayoutOfEveryYuvRow) {
    const struct {
        int32_t Row;
        std::vector<uint8_t> Bytes;
    } cases[] = {
        {28, {0, 0, 0, 0, 0, 0, 0, 22, 81, 59, 0, 0}},
        {29, {0, 0, 0, 0, 0, 0, 0, 59, 81, 22, 0, 0}},
        {30, {0, 0, 0, 0, 0, 0, 22, 0, 59, 81, 0, 0}},
        {31, {0, 0, 0, 0, 0, 0, 59, 0, 22, 81, 0, 0}},
        {32, {0, 0, 0, 0, 0, 0, 0, 0, 0, 45, 81, 119, 0, 0, 0, 0}},
        {33, {0, 0, 0, 0, 0, 0, 0, 0, 0, 119, 81, 45, 0, 0, 0, 0}},
        {34, {0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 119, 81, 0, 0, 0, 0}},
        {35, {0, 0, 0, 0, 0, 0, 0, 0, 119, 0, 45, 81, 0, 0, 0, 0}},
        {37, {0, 0, 0, 0, 0, 0, 0, 0, 0, 45, 81, 119, 0, 0, 0, 0}},
        {38, {0, 0, 0, 0, 0, 0, 0, 0, 0, 119, 81, 45, 0, 0, 0, 0}},
        {39, {0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 119, 81, 0, 0, 0, 0}},
        {40, {0, 0, 0, 0, 0, 0, 0, 0, 119, 0, 45, 81, 0, 0, 0, 0}},
        {41, {45, 0, 119, 0, 0, 0, 0, 0, 0, 81, 0, 0}},
        {43, {45, 0, 119, 0, 0, 0, 0, 0, 0, 81, 0, 0}},
        {44, {45, 0, 119, 0, 0, 0, 0, 0, 81, 0, 0, 0}},
        {45, {119, 0, 45, 0, 0, 0, 0, 0, 0, 81, 0, 0}},
        {46, {119, 0, 45, 0, 0, 0, 0, 0, 81, 0, 0, 0}},
        {47, {0, 45, 0, 119, 0, 0, 0, 0, 0, 81, 0, 0}},
        {48, {0, 45, 0, 119, 0, 0, 0, 0, 81, 0, 0, 0}},
        {49, {0, 119, 0, 45, 0, 0, 0, 0, 0, 81, 0, 0}},
        {50, {0, 119, 0, 45, 0, 0, 0, 0, 81, 0, 0, 0}},
        {51, {68, 0, 0, 0, 0, 0, 179, 0, 81, 0, 0, 0}},
        {52, {0, 68, 0, 0, 0, 0, 0, 179, 0, 81, 0, 0}},
        {53, {68, 0, 0, 0, 0, 0, 179, 0, 81, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> buffer(c.Bytes.size(), 0);
        Surface s = MakeSurface(buffer, c.Row, 4, 2);
        Conv conv;
        s.Stride = conv.GetStride(c.Row, 4);
        s.VideoRange = 1;
        s.ChromaOffset = 1;
        conv.PutPixel(1, 1, &s, 0x00FF0000);
        EXPECT_EQ(buffer, c.Bytes) << "row " << c.Row;
    }
}

TEST(ConvRows, PlanarYuv422KeepsTheEvenPixelsChroma) {
    std::vector<uint8_t> buffer(4, 0);
    Surface s = MakeSurface(buffer, 36, 2, 1);
    s.Stride = 2;
    s.VideoRange = 1;
    s.ChromaOffset = 1;
    Conv conv;
    conv.PutPixel(0, 0, &s, 0x00FFFFFF); // Y 235, Cb 128, Cr 128: stored, not merged
    EXPECT_EQ(buffer, (std::vector<uint8_t>{235, 0, 128, 128}));
    conv.PutPixel(1, 0, &s, 0x00FF0000); // the odd pixel stores its luma only
    EXPECT_EQ(buffer, (std::vector<uint8_t>{235, 81, 128, 128}));
}

TEST(ConvRows, Yuv422PairAveragesStoredAndNewChroma) {
    std::vector<uint8_t> buffer(4, 0);
    Surface s = MakeSurface(buffer, 37, 2, 1);
    s.ChromaOffset = 1;
    Conv conv;
    conv.PutPixel(0, 0, &s, 0x00FF0000); // red: Cb 85, Cr 255 (full range BT 601, offset)
    EXPECT_EQ(buffer[1], 85 / 2);
    EXPECT_EQ(buffer[3], 255 / 2);
    conv.PutPixel(1, 0, &s, 0x000000FF); // blue: Cb 255, Cr 108
    EXPECT_EQ(buffer[1], (42 + 255) / 2);
    EXPECT_EQ(buffer[3], (127 + 108) / 2);
}

} // namespace

// The BMP reader on files that no tool makes: V4 headers, top-down lines, palettes that are
// short or overrun, and headers whose fields would mislead a reader that trusted them.
#include "ImageFileTestSupport.h"

#include "common/ByteOrder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

using namespace imagetest;

// The cases name only the header fields they change; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

constexpr int32_t kRowR565 = 5;
constexpr int32_t kRowRgb = 19;

// A BMP of the given header fields; extra follows the information header (masks, palette),
// pixels follow extra.
struct BmpSpec {
    int32_t Width = 1;
    int32_t Height = 1;
    uint16_t Bits = 24;
    uint32_t Compression = 0;
    uint32_t InfoSize = 40;
    uint32_t ColoursUsed = 0;
    std::vector<uint8_t> Extra;
    std::vector<uint8_t> Pixels;
};

std::vector<uint8_t> MakeBmp(const BmpSpec& spec) {
    std::vector<uint8_t> b(14 + std::max<uint32_t>(spec.InfoSize, 40), 0);
    b[0] = 'B';
    b[1] = 'M';
    StoreLe32(&b[10], uint32_t(14 + spec.InfoSize + spec.Extra.size()));
    StoreLe32(&b[14], spec.InfoSize);
    StoreLe32(&b[18], uint32_t(spec.Width));
    StoreLe32(&b[22], uint32_t(spec.Height));
    StoreLe16(&b[26], 1);
    StoreLe16(&b[28], spec.Bits);
    StoreLe32(&b[30], spec.Compression);
    StoreLe32(&b[46], spec.ColoursUsed);
    b.resize(14 + spec.InfoSize);
    b.insert(b.end(), spec.Extra.begin(), spec.Extra.end());
    b.insert(b.end(), spec.Pixels.begin(), spec.Pixels.end());
    StoreLe32(&b[2], uint32_t(b.size()));
    return b;
}

std::vector<uint8_t> Le32s(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> out;
    for (uint32_t v : values) {
        out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    }
    return out;
}

// Probes and reads bytes through fmemopen, the buffer sized for row by the probe.
ReadResult ReadBmpBytes(std::vector<uint8_t> bytes, int32_t row, uint32_t naturalBytes) {
    const auto withFile = [&bytes](auto&& use) {
        FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
        const IMAGE_ERROR code = use(file);
        std::fclose(file);
        return code;
    };
    return ReadSized(
        [&](unsigned* width, unsigned* height) {
            return withFile([&](FILE* f) { return ImageProbeBmpFile(f, width, height, nullptr); });
        },
        [&](uint8_t* buffer) {
            return withFile([&](FILE* f) { return ImageReadBmpFile(f, buffer, row, 0); });
        },
        row, naturalBytes);
}

IMAGE_ERROR ReadCode(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> copy = bytes;
    std::vector<uint8_t> buffer(64, 0);
    FILE* file = fmemopen(copy.data(), copy.size(), "rb");
    const IMAGE_ERROR code = ImageReadBmpFile(file, buffer.data(), kRowR565, 0);
    std::fclose(file);
    return code;
}

TEST(BmpHeaderChecks, UntrustedFieldsGetTheirCodes) {
    const std::vector<uint8_t> pixel24 = {1, 2, 3, 0};
    const struct {
        const char* Label;
        BmpSpec Spec;
        IMAGE_ERROR Code;
    } cases[] = {
        {"width 0", {.Width = 0, .Pixels = pixel24}, kImageInvalidHeader},
        {"width -1", {.Width = -1, .Pixels = pixel24}, kImageInvalidHeader},
        {"height 0", {.Height = 0, .Pixels = pixel24}, kImageInvalidHeader},
        {"height INT32_MIN", {.Height = INT32_MIN, .Pixels = pixel24}, kImageInvalidHeader},
        {"image above INT32_MAX", {.Width = 50000, .Height = 50000}, kImageInvalidHeader},
        {"information header of 20 bytes",
         {.InfoSize = 20, .Pixels = pixel24},
         kImageInvalidHeader},
        {"OS/2 header", {.InfoSize = 12, .Pixels = pixel24}, kImageUnsupportedFormat},
        {"1 bit", {.Bits = 1, .Pixels = pixel24}, kImageUnsupportedFormat},
        {"4 bits", {.Bits = 4, .Pixels = pixel24}, kImageUnsupportedFormat},
        {"12 bits", {.Bits = 12, .Pixels = pixel24}, kImageUnsupportedFormat},
        {"RLE8", {.Bits = 8, .Compression = 1, .Pixels = pixel24}, kImageUnsupportedFormat},
        {"JPEG", {.Compression = 4, .Pixels = pixel24}, kImageUnsupportedFormat},
        {"bit fields at 24 bits",
         {.Compression = 3, .Extra = Le32s({0xFF0000, 0xFF00, 0xFF}), .Pixels = pixel24},
         kImageUnsupportedFormat},
        {"4:4:4 bit fields",
         {.Bits = 16, .Compression = 3, .Extra = Le32s({0xF00, 0xF0, 0xF}), .Pixels = pixel24},
         kImageUnsupportedFormat},
        {"32-bit fields in B, G, R order",
         {.Bits = 32,
          .Compression = 3,
          .Extra = Le32s({0xFF, 0xFF00, 0xFF0000}),
          .Pixels = pixel24},
         kImageUnsupportedFormat},
        {"pixels cut short",
         {.Width = 2, .Height = 2, .Pixels = {1, 2, 3, 4, 5, 6, 0, 0}},
         kImageFileRead},
        // Refused before the 1.2 GB of pixels it promises are allocated for a conversion.
        {"20000 x 20000 without pixels", {.Width = 20000, .Height = 20000}, kImageFileRead},
        {"8 bits, palette cut short",
         {.Bits = 8, .ColoursUsed = 4, .Extra = {1, 2, 3, 0}},
         kImageFileRead},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        EXPECT_EQ(ReadCode(MakeBmp(c.Spec)), c.Code);
    }
    // Headers that end inside the information header.
    EXPECT_EQ(ReadCode(std::vector<uint8_t>(30, 0)), kImageInvalidHeader);
    EXPECT_EQ(ReadCode({}), kImageInvalidHeader);
}

TEST(BmpHeaderChecks, TheProbeRefusesSizesLikeTheReader) {
    for (const BmpSpec& spec : {BmpSpec{.Width = 0}, BmpSpec{.Height = INT32_MIN},
                                BmpSpec{.Width = 46341, .Height = -46341}}) {
        const ReadResult r = ReadBmpBytes(MakeBmp(spec), kRowRgb, 3);
        EXPECT_EQ(r.Code, kImageInvalidHeader);
    }
}

TEST(BmpRead, TopDownLinesOfWidthThreeArePaddedToTwelveBytes) {
    // Two lines of 3 pixels stored top-down (negative height), B, G, R, padded to 12 bytes.
    const std::vector<uint8_t> pixels = {3,  2,  1,  6,  5,  4,  9,  8,  7,  0xEE, 0xEE, 0xEE,
                                         13, 12, 11, 16, 15, 14, 19, 18, 17, 0xEE, 0xEE, 0xEE};
    const ReadResult topDown =
        ReadBmpBytes(MakeBmp({.Width = 3, .Height = -2, .Pixels = pixels}), -1, 3);
    ASSERT_EQ(topDown.Code, kImageOk);
    EXPECT_EQ(topDown.Height, 2u);
    EXPECT_EQ(topDown.Bytes, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15,
                                                   16, 17, 18, 19}));
    const ReadResult bottomUp =
        ReadBmpBytes(MakeBmp({.Width = 3, .Height = 2, .Pixels = pixels}), -1, 3);
    ASSERT_EQ(bottomUp.Code, kImageOk);
    EXPECT_EQ(bottomUp.Bytes, (std::vector<uint8_t>{11, 12, 13, 14, 15, 16, 17, 18, 19, 1, 2, 3, 4,
                                                    5, 6, 7, 8, 9}));
}

TEST(BmpRead, V4HeaderWithFiveSixFiveFieldsReadsAsR565) {
    // A 108-byte header holds the masks at offset 54, then colour space fields.
    std::vector<uint8_t> header(108 - 40, 0);
    const auto masks = Le32s({0xF800, 0x07E0, 0x001F, 0});
    std::copy(masks.begin(), masks.end(), header.begin());
    BmpSpec spec{.Width = 2,
                 .Height = 1,
                 .Bits = 16,
                 .Compression = 3,
                 .InfoSize = 108,
                 .Pixels = {0x1F, 0xF8, 0xE0, 0x07}};
    std::vector<uint8_t> bytes = MakeBmp(spec);
    std::copy(header.begin(), header.end(), bytes.begin() + 54);
    const ReadResult natural = ReadBmpBytes(bytes, kRowR565, 2);
    ASSERT_EQ(natural.Code, kImageOk);
    EXPECT_EQ(natural.Bytes, (std::vector<uint8_t>{0x1F, 0xF8, 0xE0, 0x07}));
    const ReadResult rgb = ReadBmpBytes(bytes, kRowRgb, 3);
    ASSERT_EQ(rgb.Code, kImageOk);
    EXPECT_EQ(rgb.Bytes, (std::vector<uint8_t>{255, 0, 255, 0, 255, 0}));
}

TEST(BmpRead, ThirtyTwoBitFieldsAfterAFortyByteHeader) {
    const ReadResult r = ReadBmpBytes(MakeBmp({.Bits = 32,
                                               .Compression = 3,
                                               .Extra = Le32s({0xFF0000, 0xFF00, 0xFF}),
                                               .Pixels = {0x30, 0x20, 0x10, 0x80}}),
                                      -1, 4);
    ASSERT_EQ(r.Code, kImageOk);
    EXPECT_EQ(r.Bytes, (std::vector<uint8_t>{0x30, 0x20, 0x10, 0x80}));
}

TEST(BmpRead, PaletteIndicesPastTheUsedColoursAreBlack) {
    // Two colours used; pixels 0, 1 and 7 (never filled).
    const std::vector<uint8_t> palette = {10, 20, 30, 0, 40, 50, 60, 0};
    const ReadResult r = ReadBmpBytes(
        MakeBmp(
            {.Width = 3, .Bits = 8, .ColoursUsed = 2, .Extra = palette, .Pixels = {0, 1, 7, 0}}),
        -1, 3);
    ASSERT_EQ(r.Code, kImageOk);
    EXPECT_EQ(r.Bytes, (std::vector<uint8_t>{30, 20, 10, 60, 50, 40, 0, 0, 0}));
}

TEST(BmpRead, ColoursUsedAboveTwoHundredFiftySixReadsTwoHundredFiftySixEntries) {
    for (const uint32_t used : {0u, 300u}) {
        std::vector<uint8_t> palette(256 * 4, 0);
        palette[255 * 4 + 2] = 99;
        const ReadResult r = ReadBmpBytes(
            MakeBmp({.Bits = 8, .ColoursUsed = used, .Extra = palette, .Pixels = {255, 0, 0, 0}}),
            -1, 3);
        ASSERT_EQ(r.Code, kImageOk);
        EXPECT_EQ(r.Bytes, (std::vector<uint8_t>{99, 0, 0}));
    }
}

TEST(ImageErrorText, CodesAndTheirTexts) {
    EXPECT_STREQ(ImageErrorText(0), "No error");
    EXPECT_STREQ(ImageErrorText(3), "Unsupported format");
    EXPECT_STREQ(ImageErrorText(7), "Data convert");
    EXPECT_STREQ(ImageErrorText(8), "Unknown");
    EXPECT_STREQ(ImageErrorText(-1), "Unknown");
    EXPECT_STREQ(ImageErrorText(0x10003), "File open");
    EXPECT_STREQ(ImageErrorText(0x10002), "No video stream");
    EXPECT_STREQ(ImageErrorText(0x10008), "Unknown");
    EXPECT_STREQ(ImageErrorText(0x10009), "No codec");
    EXPECT_STREQ(ImageErrorText(0x1000B), "Frame read");
    EXPECT_STREQ(ImageErrorText(0x2000B), "Unknown");
}

} // namespace

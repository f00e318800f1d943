// BMP files made by ImageMagick and netpbm from one random picture of odd width: each variant
// reads to the source picture, or to what bmptopnm makes of it where pixels change (palettes),
// or to the widening of its stored 5- and 6-bit fields, or gets the code of what is not read.
#include "ImageFileTestSupport.h"

#include "common/ByteOrder.h"

#include <gtest/gtest.h>

using namespace imagetest;

namespace {

constexpr int32_t kRowR565 = 5;
constexpr int32_t kRowRgb = 19;
constexpr int32_t kRowArgb = 25;

enum class Expect {
    Source,    // natural read (R888.R-G-B) equals the source
    SourceArgb // natural read (ARGB8888) equals the source with alpha 255
};

struct ToolCase {
    const char* Label;
    const char* Command; // makes out.bmp from src.ppm
    Expect Kind;
    bool CheckOracle; // also equal to bmptopnm's answer (read as R888.R-G-B)
};

const ToolCase kLossless[] = {
    {"ImageMagick BMP3", "convert-im6.q16 src.ppm BMP3:out.bmp", Expect::Source, true},
    {"ImageMagick BMP V5", "convert-im6.q16 src.ppm BMP:out.bmp", Expect::Source, true},
    {"ImageMagick RLE asked of truecolour", "convert-im6.q16 src.ppm -compress RLE BMP3:out.bmp",
     Expect::Source, true},
    {"ImageMagick 32-bit BI_RGB",
     "convert-im6.q16 src.ppm -define bmp3:alpha=true -alpha set BMP3:out.bmp", Expect::SourceArgb,
     true},
    {"ImageMagick 32-bit V5 bit fields", "convert-im6.q16 src.ppm -alpha set BMP:out.bmp",
     Expect::SourceArgb, false},
    {"netpbm 24-bit", "ppmtobmp -bpp 24 src.ppm > out.bmp", Expect::Source, true},
};

class BmpFromTools : public ::testing::Test {
protected:
    void SetUp() override { WritePnm(m_Folder.Path("src.ppm"), m_Source); }
    // Runs the command and reads out.bmp into row.
    ReadResult Make(const char* command, int32_t row, uint32_t naturalBytes) {
        EXPECT_TRUE(m_Folder.Run(command)) << command;
        return ReadImage(m_Folder.Path("out.bmp"), row, naturalBytes);
    }
    Picture Oracle() {
        EXPECT_TRUE(m_Folder.Run("bmptopnm out.bmp | pamdepth 255 > oracle.ppm"));
        return ParsePnm(ReadFileBytes(m_Folder.Path("oracle.ppm")));
    }
    ToolFolder m_Folder;
    Picture m_Source = RandomPicture(37, 23, 3, 19);
};

TEST_F(BmpFromTools, LosslessVariantsReadToTheSource) {
    for (const ToolCase& c : kLossless) {
        SCOPED_TRACE(c.Label);
        const bool argb = c.Kind == Expect::SourceArgb;
        const ReadResult natural = Make(c.Command, -1, argb ? 4 : 3);
        ASSERT_EQ(natural.Code, kImageOk);
        EXPECT_EQ(natural.Width, 37u);
        EXPECT_EQ(natural.Height, 23u);
        EXPECT_EQ(natural.Bytes, argb ? ToArgb(m_Source, 255) : m_Source.Samples);
        const ReadResult rgb = ReadImage(m_Folder.Path("out.bmp"), kRowRgb, 3);
        ASSERT_EQ(rgb.Code, kImageOk);
        EXPECT_EQ(rgb.Bytes, m_Source.Samples);
        if (c.CheckOracle) {
            EXPECT_EQ(Oracle().Samples, rgb.Bytes);
        }
    }
}

TEST_F(BmpFromTools, PalettedFilesReadToWhatBmptopnmReads) {
    const char* commands[] = {
        "convert-im6.q16 src.ppm -colors 200 -type Palette -compress none BMP3:out.bmp",
        "pnmquant 256 src.ppm | ppmtobmp -bpp 8 > out.bmp",
    };
    for (const char* command : commands) {
        SCOPED_TRACE(command);
        const ReadResult natural = Make(command, -1, 3);
        ASSERT_EQ(natural.Code, kImageOk);
        EXPECT_EQ(ReadFileBytes(m_Folder.Path("out.bmp"))[28], 8);
        const Picture oracle = Oracle();
        ASSERT_EQ(oracle.Width, 37);
        EXPECT_EQ(natural.Bytes, oracle.Samples);
    }
}

// The stored 16-bit fields of out.bmp (bottom-up, lines padded to 4), top line first.
std::vector<uint16_t> StoredWords(const std::vector<uint8_t>& file, int32_t width, int32_t height) {
    const uint32_t offset = LoadLe32(&file[10]);
    const size_t lineSize = (size_t(width) * 2 + 3) / 4 * 4;
    std::vector<uint16_t> words;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            words.push_back(LoadLe16(&file[offset + (height - 1 - y) * lineSize + 2 * x]));
        }
    }
    return words;
}

// The converter's widening of an n-bit field: shifted up, the freed low bits set when bit 7 is
// (bmptopnm scales instead: 30 of 31 gives 246 there, 247 here).
uint8_t Widen(uint32_t value, int bits) {
    const uint32_t wide = value << (8 - bits);
    return static_cast<uint8_t>((wide & 0x80) != 0 ? wide | ((1u << (8 - bits)) - 1) : wide);
}

TEST_F(BmpFromTools, SixteenBitBitFieldsReadAsTheirOwnLayout) {
    struct {
        const char* Subtype;
        bool Green6;
    } cases[] = {{"RGB565", true}, {"RGB555", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Subtype);
        const std::string command = std::string("convert-im6.q16 src.ppm -define bmp:subtype=") +
                                    c.Subtype + " BMP:out.bmp";
        const ReadResult natural = Make(command.c_str(), -1, 2);
        ASSERT_EQ(natural.Code, kImageOk);
        const auto words = StoredWords(ReadFileBytes(m_Folder.Path("out.bmp")), 37, 23);
        std::vector<uint8_t> expectedNatural;
        std::vector<uint8_t> expectedRgb;
        for (uint16_t w : words) {
            expectedNatural.push_back(uint8_t(w));
            expectedNatural.push_back(uint8_t(w >> 8));
            if (c.Green6) {
                expectedRgb.insert(expectedRgb.end(),
                                   {Widen(w >> 11, 5), Widen((w >> 5) & 63, 6), Widen(w & 31, 5)});
            } else {
                expectedRgb.insert(expectedRgb.end(), {Widen((w >> 10) & 31, 5),
                                                       Widen((w >> 5) & 31, 5), Widen(w & 31, 5)});
            }
        }
        EXPECT_EQ(natural.Bytes, expectedNatural);
        const ReadResult rgb = ReadImage(m_Folder.Path("out.bmp"), kRowRgb, 3);
        ASSERT_EQ(rgb.Code, kImageOk);
        EXPECT_EQ(rgb.Bytes, expectedRgb);
        if (c.Green6) {
            EXPECT_EQ(ReadImage(m_Folder.Path("out.bmp"), kRowR565, 2).Bytes, expectedNatural);
        }
    }
}

TEST_F(BmpFromTools, WhatIsNotReadGetsUnsupportedFormat) {
    const char* commands[] = {
        "convert-im6.q16 src.ppm -colors 200 -type Palette BMP3:out.bmp",  // RLE8
        "convert-im6.q16 src.ppm BMP2:out.bmp",                            // OS/2
        "ppmtobmp -os2 src.ppm > out.bmp",                                 // OS/2
        "convert-im6.q16 src.ppm -monochrome BMP3:out.bmp",                // 1 bit
        "convert-im6.q16 src.ppm -define bmp:subtype=RGB565 BMP3:out.bmp", // masks left out
    };
    for (const char* command : commands) {
        SCOPED_TRACE(command);
        ASSERT_TRUE(m_Folder.Run(command));
        std::vector<uint8_t> buffer(37 * 23 * 4);
        EXPECT_EQ(ImageReadBmp(m_Folder.Path("out.bmp").c_str(), buffer.data(), kRowArgb, 0),
                  kImageUnsupportedFormat);
    }
}

} // namespace

namespace {

// The natural picture converted to row by a converter of the test's own.
std::vector<uint8_t> ConvertedFromRgb(std::vector<uint8_t> rgb, int32_t row, int32_t width,
                                      int32_t height) {
    Conv conv;
    // Filled as ReadImage fills its buffer: rows whose pixels share bytes keep the bits between.
    std::vector<uint8_t> out(size_t(conv.GetImageSize(row, width, height)), 0xA5);
    Surface in{};
    Surface o{};
    ImageSetupSurfaces(&in, rgb.data(), kRowRgb, 0, &o, out.data(), row, kImageChromaOffset, width,
                       height);
    EXPECT_NE(conv.Convert(&in, &o), 0);
    return out;
}

TEST_F(BmpFromTools, EveryRowReadsAsTheConversionOfTheNaturalPicture) {
    ASSERT_TRUE(m_Folder.Run("convert-im6.q16 src.ppm BMP3:out.bmp"));
    ASSERT_TRUE(m_Folder.Run("cp src.ppm out.ppm"));
    for (int32_t row = 0; row < kPixelFormatRows; ++row) {
        SCOPED_TRACE(row);
        const std::vector<uint8_t> expected = ConvertedFromRgb(m_Source.Samples, row, 37, 23);
        for (const char* name : {"out.bmp", "out.ppm"}) {
            const ReadResult r = ReadImage(m_Folder.Path(name), row, 3, kImageChromaOffset);
            ASSERT_EQ(r.Code, kImageOk) << name;
            EXPECT_EQ(r.Bytes, expected) << name;
        }
    }
}

} // namespace

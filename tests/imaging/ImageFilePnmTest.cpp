// The PPM and PGM reader: files made by ImageMagick and netpbm (plain forms, 16-bit samples,
// other maximum values), and headers and samples that no tool writes.
#include "ImageFileTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace imagetest;

namespace {

constexpr int32_t kRowRgb = 19;
constexpr int32_t kRowArgb = 25;

class PnmFromTools : public ::testing::Test {
protected:
    void SetUp() override {
        WritePnm(m_Folder.Path("src.ppm"), m_Colour);
        WritePnm(m_Folder.Path("src.pgm"), m_Gray);
    }
    ToolFolder m_Folder;
    Picture m_Colour = RandomPicture(37, 23, 3, 7);
    Picture m_Gray = RandomPicture(37, 23, 1, 8);
};

TEST_F(PnmFromTools, LosslessVariantsReadToTheSource) {
    const struct {
        const char* Command;
        const char* Output;
    } cases[] = {
        {"convert-im6.q16 src.ppm -compress none out.ppm", "out.ppm"},
        {"convert-im6.q16 src.pgm -compress none out.pgm", "out.pgm"},
        {"convert-im6.q16 src.ppm -depth 16 out.ppm", "out.ppm"},
        {"convert-im6.q16 src.pgm -depth 16 out.pgm", "out.pgm"},
        {"pnmtoplainpnm src.ppm > out.ppm", "out.ppm"},
        {"pnmtoplainpnm src.pgm > out.pgm", "out.pgm"},
        {"pamdepth 65535 src.ppm > out.ppm", "out.ppm"},
        {"pamdepth 65535 src.pgm | pnmtoplainpnm > out.pgm", "out.pgm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Command);
        ASSERT_TRUE(m_Folder.Run(c.Command));
        const bool gray = std::string(c.Output).ends_with(".pgm");
        const ReadResult r = ReadImage(m_Folder.Path(c.Output), -1, gray ? 1 : 3);
        ASSERT_EQ(r.Code, kImageOk);
        EXPECT_EQ(r.Width, 37u);
        EXPECT_EQ(r.Height, 23u);
        EXPECT_EQ(r.Bytes, gray ? m_Gray.Samples : m_Colour.Samples);
    }
}

TEST_F(PnmFromTools, OtherMaximumValuesScaleAsPamdepthDoes) {
    for (const char* depth : {"15", "1", "1000"}) {
        SCOPED_TRACE(depth);
        ASSERT_TRUE(m_Folder.Run(std::string("pamdepth ") + depth + " src.ppm > out.ppm"));
        ASSERT_TRUE(m_Folder.Run("pamdepth 255 out.ppm > oracle.ppm"));
        const ReadResult r = ReadImage(m_Folder.Path("out.ppm"), -1, 3);
        ASSERT_EQ(r.Code, kImageOk);
        EXPECT_EQ(r.Bytes, ParsePnm(ReadFileBytes(m_Folder.Path("oracle.ppm"))).Samples);
        // And through the converter into another row.
        const ReadResult argb = ReadImage(m_Folder.Path("out.ppm"), kRowArgb, 3);
        ASSERT_EQ(argb.Code, kImageOk);
        Picture scaled = m_Colour;
        scaled.Samples = r.Bytes;
        EXPECT_EQ(argb.Bytes, ToArgb(scaled, 0));
    }
}

// 16-bit samples whose high and low bytes differ (a depth of 1000 taken to 65535: v * 65.535),
// so that a reader taking the bytes in the wrong order reads other values.
TEST_F(PnmFromTools, SixteenBitSamplesAreReadHighByteFirst) {
    for (const char* name : {"src.ppm", "src.pgm"}) {
        SCOPED_TRACE(name);
        const bool gray = std::string(name).ends_with(".pgm");
        const std::string wide = gray ? "wide.pgm" : "wide.ppm";
        ASSERT_TRUE(
            m_Folder.Run(std::string("pamdepth 1000 ") + name + " | pamdepth 65535 > " + wide));
        ASSERT_TRUE(m_Folder.Run("pamdepth 255 " + wide + " > oracle.pnm"));
        const std::vector<uint8_t> file = ReadFileBytes(m_Folder.Path(wide));
        const size_t samples = size_t(37) * 23 * (gray ? 1 : 3);
        ASSERT_GT(file.size(), 2 * samples);
        size_t differing = 0;
        for (size_t at = file.size() - 2 * samples; at < file.size(); at += 2) {
            differing += file[at] != file[at + 1];
        }
        ASSERT_GT(differing, samples / 2); // the fixture is what it says
        const ReadResult r = ReadImage(m_Folder.Path(wide), -1, gray ? 1 : 3);
        ASSERT_EQ(r.Code, kImageOk);
        const Picture oracle = ParsePnm(ReadFileBytes(m_Folder.Path("oracle.pnm")));
        EXPECT_EQ(r.Bytes, oracle.Samples);
        if (!gray) {
            // And through the converter into another row.
            const ReadResult argb = ReadImage(m_Folder.Path(wide), kRowArgb, 3);
            ASSERT_EQ(argb.Code, kImageOk);
            EXPECT_EQ(argb.Bytes, ToArgb(oracle, 0));
        }
    }
}

// Reads text as a PPM (or PGM) through fmemopen into a buffer of the natural size.
ReadResult ReadPnmText(const std::string& text, bool gray, int32_t row = -1) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    ReadResult result;
    FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    result.Code = ImageProbePnmFile(file, gray, &result.Width, &result.Height);
    std::fclose(file);
    if (result.Code != kImageOk) {
        return result;
    }
    Conv conv;
    const int32_t natural = gray ? 27 : kRowRgb;
    result.Bytes.assign(size_t(conv.GetImageSize(row < 0 ? natural : row, int32_t(result.Width),
                                                 int32_t(result.Height))),
                        0xA5);
    file = fmemopen(bytes.data(), bytes.size(), "rb");
    result.Code = ImageReadPnmFile(file, gray, result.Bytes.data(), row, 0);
    std::fclose(file);
    return result;
}

TEST(PnmHeaderChecks, CommentsWhereverWhiteSpaceMayBe) {
    const std::string cases[] = {
        "P6\n# one\n# two\n2 1\n255\nABCDEF",
        "P6 #x\n2#c\n 1 # y\n255\nABCDEF",
        "P6\n#\r2 1\n255\nABCDEF",
        "P3\n# written by hand\n2 1 255\n65 66 67\n68 69 70\n",
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        const ReadResult r = ReadPnmText(text, false);
        ASSERT_EQ(r.Code, kImageOk);
        EXPECT_EQ(r.Width, 2u);
        EXPECT_EQ(r.Height, 1u);
        EXPECT_EQ(r.Bytes, Bytes("ABCDEF"));
    }
}

TEST(PnmHeaderChecks, SizesAndMaximaThatAreNotNumbersAreInvalidHeaders) {
    const std::string cases[] = {
        "",
        "P6",
        "P5\n1 1\n255\nA", // a PGM given as PPM
        "P4\n1 1\n255\nA",
        "P6\n0 1\n255\nABC",
        "P6\n1 0\n255\nABC",
        "P6\n-1 1\n255\nABC",
        "P6\n+1 1\n255\nABC",
        "P6\nx 1\n255\nABC",
        "P6\n1\n",
        "P6\n1 1\n",
        "P6\n1 1\n0\nABC",
        "P6\n1 1\n65536\nABC",
        "P6\n4294967297 1\n255\nABC",
        "P6\n2147483648 1\n255\nABC",
        "P6\n40000 40000\n255\n", // above INT32_MAX bytes
        "P6\n1 1\n255",           // no separator before the samples
        "P61 1\n255\nABC",
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadPnmText(text, false).Code, kImageInvalidHeader);
    }
}

TEST(PnmSamples, MaximumValuesScaleToFullRange) {
    const ReadResult plain = ReadPnmText("P2\n4 1\n15\n0 7 8 15\n", true);
    ASSERT_EQ(plain.Code, kImageOk);
    EXPECT_EQ(plain.Bytes, (std::vector<uint8_t>{0, 119, 136, 255}));
    const ReadResult binary = ReadPnmText(std::string("P5\n4 1\n15\n\x00\x07\x08\x0F", 14), true);
    ASSERT_EQ(binary.Code, kImageOk);
    EXPECT_EQ(binary.Bytes, plain.Bytes);
    // Two bytes per sample, high byte first, above 255.
    const ReadResult wide =
        ReadPnmText(std::string("P5\n3 1\n65535\n\xFF\xFF\x80\x00\x00\x80", 20), true);
    ASSERT_EQ(wide.Code, kImageOk);
    EXPECT_EQ(wide.Bytes, (std::vector<uint8_t>{255, 128, 0}));
}

TEST(PnmSamples, ShortOrBadSamplesAreReadErrors) {
    const std::string cases[] = {
        "P6\n2 1\n255\nABCDE",             // one byte short
        "P6\n2 2\n255\nABCDEF",            // a line short
        "P5\n2 1\n65535\nABC",             // 16-bit, one byte short
        "P3\n1 1\n255\n1 2\n",             // one number short
        "P3\n1 1\n255\n1 2 x\n",           // not a number
        "P3\n1 1\n255\n1 2 -3\n",          // a sign
        "P3\n1 1\n15\n1 2 16\n",           // above the maximum
        "P3\n1 1\n255\n1 2 99999999999\n", // far above it
        std::string("P5\n1 1\n15\n\x10", 12),
        std::string("P5\n1 1\n1000\n\x03\xE9", 14),
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadPnmText(text, text[1] == '5' || text[1] == '2').Code, kImageFileRead);
    }
}

TEST(PnmRead, PathsAreProbedByTheirExtensionInAnyCase) {
    ToolFolder folder;
    WritePnm(folder.Path("a.PPM"), RandomPicture(3, 2, 3, 1));
    unsigned width = 0;
    unsigned height = 0;
    EXPECT_EQ(ImageProbe(folder.Path("a.PPM").c_str(), &width, &height, nullptr), kImageOk);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
    // Another extension reads nothing and leaves the size as it was.
    width = 77;
    WriteBytes(folder.Path("a.raw"), Bytes("P6\n1 1\n255\nABC"));
    EXPECT_EQ(ImageProbe(folder.Path("a.raw").c_str(), &width, &height, nullptr), kImageOk);
    EXPECT_EQ(width, 77u);
    EXPECT_EQ(ImageProbe(folder.Path("missing.ppm").c_str(), &width, &height, nullptr),
              kImageFileOpen);
    std::vector<uint8_t> buffer(18);
    EXPECT_EQ(ImageReadPpm(folder.Path("missing.ppm").c_str(), buffer.data(), -1, 0),
              kImageFileOpen);
}

} // namespace

namespace {

TEST(PnmSamples, APromiseOfMoreSamplesThanTheFileHoldsIsRefusedBeforeAllocating) {
    // 1.2 GB of samples promised; the reader must not allocate them for the conversion.
    for (std::string text : {"P6\n20000 20000\n255\nABC", "P3\n20000 20000\n255\n1 2 3\n"}) {
        std::vector<uint8_t> buffer(16);
        FILE* file = fmemopen(text.data(), text.size(), "rb");
        EXPECT_EQ(ImageReadPnmFile(file, false, buffer.data(), kRowArgb, 0), kImageFileRead);
        std::fclose(file);
    }
}

} // namespace

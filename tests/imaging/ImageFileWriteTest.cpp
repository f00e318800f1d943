// The PPM, PGM and BMP writers: exact header bytes, line order and padding, conversion from
// other rows (a YCbCr one too), and the files read back by our readers and by bmptopnm.
#include "ImageFileTestSupport.h"

#include "common/ByteOrder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace imagetest;

namespace {

constexpr int32_t kRowR555 = 4;
constexpr int32_t kRowRgb = 19;
constexpr int32_t kRowBgr = 20;
constexpr int32_t kRowArgb = 25;
constexpr int32_t kRowMono = 27;

// Converts a whole picture between rows with a converter of the test's own.
std::vector<uint8_t> Converted(std::vector<uint8_t> bytes, int32_t from, int32_t to, int32_t width,
                               int32_t height) {
    Conv conv;
    std::vector<uint8_t> out(size_t(conv.GetImageSize(to, width, height)));
    Surface in{};
    Surface o{};
    ImageSetupSurfaces(&in, bytes.data(), from, 0, &o, out.data(), to, 0, width, height);
    EXPECT_NE(conv.Convert(&in, &o), 0);
    return out;
}

std::vector<uint8_t> Header(const std::vector<uint8_t>& file, size_t size) {
    return {file.begin(), file.begin() + std::ptrdiff_t(std::min(size, file.size()))};
}

TEST(PnmWrite, BinaryHeaderAndSamples) {
    ToolFolder folder;
    const std::vector<uint8_t> rgb = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(ImageWritePpm(folder.Path("a.ppm").c_str(), rgb.data(), -1, 0, 2, 1), kImageOk);
    std::vector<uint8_t> expected = Bytes("P6\n2 1\n255\n");
    expected.insert(expected.end(), rgb.begin(), rgb.end());
    EXPECT_EQ(ReadFileBytes(folder.Path("a.ppm")), expected);
    ASSERT_EQ(ImageWritePgm(folder.Path("a.pgm").c_str(), rgb.data(), kRowMono, 0, 3, 2), kImageOk);
    expected = Bytes("P5\n3 2\n255\n");
    expected.insert(expected.end(), rgb.begin(), rgb.end());
    EXPECT_EQ(ReadFileBytes(folder.Path("a.pgm")), expected);
}

TEST(PnmWrite, OtherRowsAreConvertedAndReadBack) {
    ToolFolder folder;
    const Picture picture = RandomPicture(6, 4, 3, 3);
    const int32_t yuv = Conv().FindFormat("Y422.UY-VY");
    ASSERT_GE(yuv, 0);
    for (const int32_t row : {kRowArgb, kRowBgr, kRowR555, yuv}) {
        SCOPED_TRACE(row);
        const std::vector<uint8_t> source = Converted(picture.Samples, kRowRgb, row, 6, 4);
        ASSERT_EQ(ImageWritePpm(folder.Path("c.ppm").c_str(), source.data(), row, 0, 6, 4),
                  kImageOk);
        const ReadResult back = ReadImage(folder.Path("c.ppm"), -1, 3);
        ASSERT_EQ(back.Code, kImageOk);
        EXPECT_EQ(back.Bytes, Converted(source, row, kRowRgb, 6, 4));
        ASSERT_EQ(ImageWritePgm(folder.Path("c.pgm").c_str(), source.data(), row, 0, 6, 4),
                  kImageOk);
        EXPECT_EQ(ReadImage(folder.Path("c.pgm"), -1, 1).Bytes,
                  Converted(source, row, kRowMono, 6, 4));
    }
}

TEST(ImageWrite, AFailedConversionCreatesNoFile) {
    ToolFolder folder;
    const std::vector<uint8_t> bytes(64, 0);
    EXPECT_EQ(ImageWritePpm(folder.Path("x.ppm").c_str(), bytes.data(), 54, 0, 2, 2),
              kImageDataConvert);
    EXPECT_EQ(ImageWriteBmp(folder.Path("x.bmp").c_str(), bytes.data(), 54, 0, 2, 2),
              kImageDataConvert);
    EXPECT_EQ(ImageWritePgm(folder.Path("x.pgm").c_str(), bytes.data(), -1, 0, 0, 2),
              kImageDataConvert);
    EXPECT_EQ(ImageWriteBmp(folder.Path("x.bmp").c_str(), bytes.data(), -1, 0, 2, 0),
              kImageDataConvert);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("x.ppm")));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("x.pgm")));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("x.bmp")));
    EXPECT_EQ(ImageWritePpm(folder.Path("no/such/folder.ppm").c_str(), bytes.data(), -1, 0, 2, 2),
              kImageFileOpen);
}

// The 54 header bytes of a written BMP.
std::vector<uint8_t> BmpHeaderBytes(uint32_t fileSize, int32_t width, int32_t height, uint16_t bits,
                                    uint32_t imageSize) {
    std::vector<uint8_t> h(54, 0);
    h[0] = 'B';
    h[1] = 'M';
    StoreLe32(&h[2], fileSize);
    StoreLe32(&h[10], 54);
    StoreLe32(&h[14], 40);
    StoreLe32(&h[18], uint32_t(width));
    StoreLe32(&h[22], uint32_t(height));
    StoreLe16(&h[26], 1);
    StoreLe16(&h[28], bits);
    StoreLe32(&h[34], imageSize);
    StoreLe32(&h[38], 3936);
    StoreLe32(&h[42], 3936);
    return h;
}

TEST(BmpWrite, WidthOneHeightTwoHasFourByteLinesBottomUp) {
    ToolFolder folder;
    const std::vector<uint8_t> bgr = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(ImageWriteBmp(folder.Path("a.bmp").c_str(), bgr.data(), kRowBgr, 0, 1, 2), kImageOk);
    std::vector<uint8_t> expected = BmpHeaderBytes(62, 1, 2, 24, 8);
    expected.insert(expected.end(), {4, 5, 6, 0, 1, 2, 3, 0});
    EXPECT_EQ(ReadFileBytes(folder.Path("a.bmp")), expected);
}

TEST(BmpWrite, HeadersAtTwoThreeAndFourBytesPerPixel) {
    ToolFolder folder;
    const Picture picture = RandomPicture(5, 3, 3, 11);
    const struct {
        int32_t Row;
        int32_t Height;
        uint16_t Bits;
        uint32_t LineSize;
    } cases[] = {
        {kRowR555, 3, 16, 12},  {kRowBgr, 3, 24, 16},  {kRowArgb, 3, 32, 20},
        {kRowArgb, -3, 32, 20}, {kRowRgb, -3, 24, 16}, // R888.R-G-B is stored as B, G, R
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Row << " " << c.Height);
        const std::vector<uint8_t> source = Converted(picture.Samples, kRowRgb, c.Row, 5, 3);
        const std::string path = folder.Path("w.bmp");
        ASSERT_EQ(ImageWriteBmp(path.c_str(), source.data(), c.Row, 0, 5, c.Height), kImageOk);
        const std::vector<uint8_t> file = ReadFileBytes(path);
        EXPECT_EQ(Header(file, 54),
                  BmpHeaderBytes(54 + 3 * c.LineSize, 5, c.Height, c.Bits, 3 * c.LineSize));
        EXPECT_EQ(file.size(), 54 + 3 * c.LineSize);
        // The file's first stored line is the image's top line only when the height is negative.
        const int32_t natural = c.Bits == 16 ? kRowR555 : c.Bits == 24 ? kRowBgr : kRowArgb;
        const std::vector<uint8_t> stored = Converted(picture.Samples, kRowRgb, natural, 5, 3);
        const size_t lineBytes = 5 * size_t(c.Bits / 8);
        const size_t firstLine = c.Height < 0 ? 0 : 2;
        EXPECT_TRUE(std::equal(file.begin() + 54, file.begin() + 54 + std::ptrdiff_t(lineBytes),
                               stored.begin() + std::ptrdiff_t(firstLine * lineBytes)));
        // Our reader gives back the same pixels.
        const ReadResult back = ReadImage(path, kRowRgb, 3);
        ASSERT_EQ(back.Code, kImageOk);
        EXPECT_EQ(back.Bytes, Converted(source, c.Row, kRowRgb, 5, 3));
        if (c.Bits != 16) {
            EXPECT_EQ(back.Bytes, picture.Samples);
            ASSERT_TRUE(folder.Run("bmptopnm w.bmp > back.ppm"));
            EXPECT_EQ(ParsePnm(ReadFileBytes(folder.Path("back.ppm"))).Samples, picture.Samples);
        }
    }
}

TEST(BmpWrite, NegativeRowWritesTheBufferAsBgr) {
    ToolFolder folder;
    const std::vector<uint8_t> bgr = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(ImageWriteBmp(folder.Path("n.bmp").c_str(), bgr.data(), -1, 0, 2, -1), kImageOk);
    const std::vector<uint8_t> file = ReadFileBytes(folder.Path("n.bmp"));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54, file.end()),
              (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0, 0}));
}

} // namespace

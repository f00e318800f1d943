// The readers' conversion into a caller's row (a band of lines at a time, straight from the read
// blocks where the stored lines are natural) against the plain path: the natural read, checked
// against the samples the file was made from, then converted whole by the reference loops.
// The sizes are odd, one pixel wide, and tall or wide enough to cross several bands and blocks.
#include "ImageFileTestSupport.h"
#include "ImagingTestSupport.h"

#include "common/ByteOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace imagetest;

namespace {

constexpr int32_t kRowRgb = 19;
constexpr int32_t kRowMono = 27;
constexpr int32_t kStreamRow = 8; // "R666.RG-gB-b": pixels packed across line ends

// A file of one kind made from random samples, with the natural samples a reader must give.
struct FileCase {
    std::string Name;
    std::string Extension;
    std::vector<uint8_t> Bytes;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t NaturalRow = kRowRgb;
    std::vector<uint8_t> Natural;
};

std::vector<uint8_t> BmpHeader(int32_t width, int32_t height, uint16_t bits,
                               const std::vector<uint8_t>& palette) {
    std::vector<uint8_t> b(54 + palette.size(), 0);
    std::copy(palette.begin(), palette.end(), b.begin() + 54);
    b[0] = 'B';
    b[1] = 'M';
    StoreLe32(&b[10], uint32_t(54 + palette.size()));
    StoreLe32(&b[14], 40);
    StoreLe32(&b[18], uint32_t(width));
    StoreLe32(&b[22], uint32_t(height));
    StoreLe16(&b[26], 1);
    StoreLe16(&b[28], bits);
    return b;
}

// 24-bit (palette empty) or 8-bit lines, top-down for a negative height; random padding, left
// off after the last line when cut (a file may end with its last line's samples).
FileCase Bmp(int32_t width, int32_t height, bool palette, uint32_t seed, bool cut = false) {
    const int32_t lines = height < 0 ? -height : height;
    const Picture samples = RandomPicture(width, lines, palette ? 1 : 3, seed);
    const Picture colours = RandomPicture(256, 1, 4, seed + 1);
    const Picture padding = RandomPicture(4, lines, 1, seed + 2);
    FileCase c{std::string(palette ? "bmp8 " : "bmp24 ") + (height < 0 ? "top-down " : "") +
                   std::to_string(width) + "x" + std::to_string(lines),
               ".bmp",
               BmpHeader(width, height, palette ? 8 : 24,
                         palette ? colours.Samples : std::vector<uint8_t>{}),
               width,
               lines,
               kRowRgb,
               {}};
    const size_t dataBytes = size_t(width) * (palette ? 1 : 3);
    for (int32_t k = 0; k < lines; ++k) {
        const int32_t y = height < 0 ? k : lines - 1 - k;
        const uint8_t* line = &samples.Samples[size_t(y) * dataBytes];
        if (palette) {
            c.Bytes.insert(c.Bytes.end(), line, line + dataBytes);
        } else {
            for (int32_t x = 0; x < width; ++x) {
                c.Bytes.insert(c.Bytes.end(), {line[3 * x + 2], line[3 * x + 1], line[3 * x]});
            }
        }
        c.Bytes.insert(c.Bytes.end(), &padding.Samples[size_t(k) * 4],
                       &padding.Samples[size_t(k) * 4] + (4 - dataBytes % 4) % 4);
    }
    if (cut) {
        c.Name += " cut";
        c.Bytes.resize(c.Bytes.size() - (4 - dataBytes % 4) % 4);
    }
    StoreLe32(&c.Bytes[2], uint32_t(c.Bytes.size()));
    if (!palette) {
        c.Natural = samples.Samples;
        return c;
    }
    for (const uint8_t index : samples.Samples) {
        const uint8_t* entry = &colours.Samples[4 * size_t{index}];
        c.Natural.insert(c.Natural.end(), {entry[2], entry[1], entry[0]});
    }
    return c;
}

// Binary PPM or PGM with maximum value maxValue (two bytes a sample above 255).
FileCase Pnm(int32_t width, int32_t height, int32_t channels, uint32_t maxValue, uint32_t seed) {
    const Picture raw = RandomPicture(width, height, channels * 2, seed);
    FileCase c{std::string(channels == 3 ? "ppm " : "pgm ") + std::to_string(maxValue) + " " +
                   std::to_string(width) + "x" + std::to_string(height),
               channels == 3 ? ".ppm" : ".pgm",
               Bytes((channels == 3 ? "P6\n" : "P5\n") + std::to_string(width) + " " +
                     std::to_string(height) + "\n" + std::to_string(maxValue) + "\n"),
               width,
               height,
               channels == 3 ? kRowRgb : kRowMono,
               {}};
    for (size_t i = 0; i < raw.Samples.size(); i += 2) {
        const uint32_t v = (uint32_t{raw.Samples[i]} << 8 | raw.Samples[i + 1]) % (maxValue + 1);
        if (maxValue > 255) {
            c.Bytes.insert(c.Bytes.end(), {uint8_t(v >> 8), uint8_t(v)});
        } else {
            c.Bytes.push_back(uint8_t(v));
        }
        c.Natural.push_back(uint8_t((v * 255 + maxValue / 2) / maxValue));
    }
    return c;
}

std::vector<FileCase> Cases() {
    std::vector<FileCase> cases;
    uint32_t seed = 1;
    // 1 x 70001: lines of 3 natural bytes cross several bands and, stored in 4, a read block;
    // 1001 x 97: odd lines of 3003 bytes, padded to 3004. 4 x 70001 and 64 x 9: 24-bit lines
    // without padding, several read blocks of an odd number of lines, and lines long enough for
    // the vector steps.
    for (const auto& [width, height] : std::vector<std::pair<int32_t, int32_t>>{
             {1, 1}, {3, 5}, {7, 3}, {1, 70001}, {1001, 97}, {4, 70001}, {64, 9}}) {
        for (const int32_t sign : {1, -1}) {
            cases.push_back(Bmp(width, sign * height, false, seed++));
            cases.push_back(Bmp(width, sign * height, true, seed++));
        }
        cases.push_back(Bmp(width, height, false, seed++, true));
        cases.push_back(Pnm(width, height, 3, 255, seed++));
        cases.push_back(Pnm(width, height, 1, 255, seed++));
        cases.push_back(Pnm(width, height, 3, 1000, seed++));
    }
    return cases;
}

// R444 pairs, R555, R565, the stream row, both 24-bit orders, A1555, ARGB, mono, and the first
// rows of the three YCbCr families (4:1:1, 4:2:2, 4:2:0).
std::vector<int32_t> Rows() {
    std::vector<int32_t> rows{1, 4, 5, kStreamRow, 19, 20, 22, 25, kRowMono};
    Conv conv;
    for (const char* desc : {"YUV 4:1:1", "YUV 4:2:2", "YUV 4:2:0"}) {
        for (int32_t row = conv.GetFirstYuvRow(); row < kPixelFormatRows; ++row) {
            if (std::string(conv.GetFormatDesc(row)) == desc) {
                rows.push_back(row);
                break;
            }
        }
    }
    return rows;
}

TEST(ImageReadRows, ConvertedReadsMatchTheNaturalReadConvertedWhole) {
    const q3vtest::TempFolder folder("q3v-read-rows");
    const std::vector<int32_t> rows = Rows();
    for (const FileCase& c : Cases()) {
        SCOPED_TRACE(c.Name);
        const std::string path = folder.File("picture" + c.Extension);
        WriteBytes(path, c.Bytes);
        const uint32_t naturalBytes = c.NaturalRow == kRowMono ? 1 : 3;
        const ReadResult natural = ReadImage(path, -1, naturalBytes);
        ASSERT_EQ(natural.Code, kImageOk);
        ASSERT_EQ(natural.Bytes, c.Natural);
        if (c.Extension == ".bmp") {
            // A stream in memory has no descriptor: its lines come through the read blocks.
            std::vector<uint8_t> bytes = c.Bytes;
            std::vector<uint8_t> fromStream(c.Natural.size(), 0xA5);
            FILE* stream = fmemopen(bytes.data(), bytes.size(), "rb");
            EXPECT_EQ(ImageReadBmpFile(stream, fromStream.data(), -1, 0), kImageOk);
            std::fclose(stream);
            EXPECT_EQ(fromStream, c.Natural);
            // One byte short of the last line's samples: a read error on both paths.
            std::vector<uint8_t> shortBytes(c.Bytes.begin(), c.Bytes.end() - 1);
            if (!c.Name.ends_with(" cut")) {
                const size_t lineBytes = size_t(c.Width) * (c.Name.starts_with("bmp8") ? 1 : 3);
                shortBytes.resize(c.Bytes.size() - (4 - lineBytes % 4) % 4 - 1);
            }
            WriteBytes(path, shortBytes);
            EXPECT_EQ(ReadImage(path, -1, naturalBytes).Code, kImageFileRead);
            stream = fmemopen(shortBytes.data(), shortBytes.size(), "rb");
            EXPECT_EQ(ImageReadBmpFile(stream, fromStream.data(), -1, 0), kImageFileRead);
            std::fclose(stream);
            WriteBytes(path, c.Bytes);
        }
        for (const int32_t row : rows) {
            for (const uint32_t flags : {0u, kImageVideoRange | kImageChromaOffset}) {
                SCOPED_TRACE("row " + std::to_string(row) + " flags " + std::to_string(flags));
                // (Quietly: the YCbCr geometry warnings.)
                const ReadResult got =
                    Quietly([&] { return ReadImage(path, row, naturalBytes, flags); });
                ASSERT_EQ(got.Code, kImageOk);
                std::vector<uint8_t> expected(got.Bytes.size(), 0xA5);
                std::vector<uint8_t> source = natural.Bytes;
                Surface in{};
                Surface out{};
                ImageSetupSurfaces(&in, source.data(), c.NaturalRow, 0, &out, expected.data(), row,
                                   flags, c.Width, c.Height);
                Conv reference;
                reference.SetPath(ConvPath::Reference);
                ASSERT_GT(Quietly([&] { return reference.Convert(&in, &out); }), 0);
                EXPECT_EQ(got.Bytes, expected);
            }
        }
    }
}

} // namespace

// FLOAD of 24-bit pictures 49 pixels wide into 16-bit pixels ("R565.RGB", f=1 and its other
// name f=5): every pixel of every line arrives, at a width where the 24-bit-to-16-bit step of
// sixteen pixels leaves seventeen for the end of the line. A white PPM as a user writes one by
// hand, and a 49x2 picture of distinct colours as a PPM and as a 24-bit BMP made from it by
// ImageMagick; memory (filled with 1234h words first) is dumped back whole, one word past the
// picture included.
#include "PlayBench.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kWidth = 49;

// Pixel k of the colour picture: red, green and blue all different from pixel to pixel.
std::string ColourPixel(int k) {
    return {static_cast<char>(5 * k), static_cast<char>(255 - 3 * k), static_cast<char>(7 * k + 1)};
}

// The bytes in memory of R, G, B as an "R565.RGB" word, little-endian.
std::string R565Bytes(uint8_t r, uint8_t g, uint8_t b) {
    const unsigned word = ((r >> 3u) << 11u) | ((g >> 2u) << 5u) | (b >> 3u);
    return {static_cast<char>(word & 0xFFu), static_cast<char>(word >> 8u)};
}

TEST(FloadWidthsProcess, EveryPixelOfA49PixelLineArrivesIn16Bits) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::PlayBench bench;
    bench.WriteFile("white49.ppm", "P6\n49 1\n255\n" + std::string(3 * kWidth, '\xFF'));
    std::string colours;
    std::string colourWords;
    for (int k = 0; k < 2 * kWidth; ++k) {
        const std::string pixel = ColourPixel(k);
        colours += pixel;
        colourWords += R565Bytes(static_cast<uint8_t>(pixel[0]), static_cast<uint8_t>(pixel[1]),
                                 static_cast<uint8_t>(pixel[2]));
    }
    bench.WriteFile("colours.ppm", "P6\n49 2\n255\n" + colours);
    const std::string tool = "cd " + q3vtest::ShellWord(bench.Work()) +
                             " && convert colours.ppm -type TrueColor bmp3:colours.bmp";
    ASSERT_EQ(std::system(tool.c_str()), 0) << "convert failed";
    const std::string bmp = bench.ReadFile("colours.bmp");
    ASSERT_GE(bmp.size(), 30u);
    ASSERT_EQ(bmp[28], 24) << "not a 24-bit BMP";

    const std::string white = std::string(2 * kWidth, '\xFF');
    const struct {
        const char* Load;
        std::string Words;
    } kLoads[] = {
        {"fload white49.ppm mem 0 * f=1", white},
        {"fload colours.ppm mem 0 * f=1", colourWords},
        {"fload colours.bmp mem 0 * f=1", colourWords},
        {"fload colours.bmp mem 0 * f=5", colourWords},
    };
    for (const auto& load : kLoads) {
        SCOPED_TRACE(load.Load);
        bench.Remove("got.bin");
        char dump[48];
        std::snprintf(dump, sizeof(dump), "fdump8 got.bin mem 0 L%zX\n", load.Words.size() + 2);
        const q3vtest::PlayRun run =
            bench.Run("", "f16 0 L80 1234\n" + std::string(load.Load) + "\n" + dump);
        EXPECT_EQ(run.Code, 0) << run.Output;
        EXPECT_EQ(run.Output.find("ERROR"), std::string::npos) << run.Output;
        EXPECT_EQ(bench.ReadFile("got.bin"), load.Words + "\x34\x12") << run.Output;
    }
}

} // namespace

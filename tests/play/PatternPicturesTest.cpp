// Every test pattern shown by play in the main window (480x272, RGB 8:8:8) and in a 160x120 PIP
// window after INIT, written from display memory as PPM by FDUMP under
// build/<preset>/patterns/ and converted to PNG by ImageMagick (which also shows that the PPM is
// well formed), with golden pixels of the deterministic patterns checked.
#include "support/PlayProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const kPatternNames[] = {
    "UBER",  "FILL",  "GRID",  "BARS",  "N075R", "N100R", "OLD",   "FQUAD", "WQUAD", "RQUAD",
    "GQUAD", "BQUAD", "CQUAD", "MQUAD", "YQUAD", "XQUAD", "WHEEL", "SMEAR", "FRUIT", "CHILD",
    "DOTTE", "HTCH1", "HTCH2", "HLINE", "VLINE", "XLINE", "ALPHA", "RAINB", "GRAYS",
};

struct Window {
    const char* Word;
    int32_t Width;
    int32_t Height;
};

constexpr Window kMain{"main", 480, 272};
constexpr Window kPip{"pip", 160, 120};

// The R, G, B bytes of a binary PPM of the window's size; empty when it is anything else.
std::vector<uint8_t> ReadPpmRgb(const std::string& path, const Window& window) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return {};
    }
    int width = 0;
    int height = 0;
    int maximum = 0;
    std::vector<uint8_t> rgb(static_cast<size_t>(window.Width * window.Height * 3));
    const bool read = std::fscanf(file, "P6 %d %d %d", &width, &height, &maximum) == 3 &&
                      std::fgetc(file) != EOF && width == window.Width && height == window.Height &&
                      maximum == 255 && std::fread(rgb.data(), 1, rgb.size(), file) == rgb.size();
    std::fclose(file);
    return read ? rgb : std::vector<uint8_t>{};
}

uint32_t PixelAt(const std::vector<uint8_t>& rgb, const Window& window, int32_t x, int32_t y) {
    const size_t at = static_cast<size_t>((y * window.Width + x) * 3);
    return uint32_t{rgb[at]} << 16 | uint32_t{rgb[at + 1]} << 8 | rgb[at + 2];
}

struct GoldenPixel {
    const char* Pattern;
    int32_t X;
    int32_t Y;
    uint32_t Rgb;
};

// Deterministic patterns in the 480x272 main window.
constexpr GoldenPixel kMainGoldens[] = {
    {"BARS", 0, 0, 0xFFFFFF},     {"BARS", 60, 100, 0xFFFF00}, {"BARS", 359, 271, 0xFF0000},
    {"BARS", 420, 5, 0x000000},   {"N075R", 120, 0, 0x00BFBF}, {"FILL", 0, 0, 0x000000},
    {"FILL", 479, 271, 0xFFFFFF}, {"GRID", 0, 0, 0x00FF00},    {"GRID", 50, 50, 0x000000},
    {"GRID", 99, 5, 0x00FF00},    {"OLD", 0, 0, 0xFFFFFF},     {"OLD", 477, 2, 0xFF0000},
    {"OLD", 477, 269, 0xFFFFFF},  {"OLD", 2, 269, 0x000000},
};

TEST(PatternPictures, EveryPatternInTheMainAndPipWindowsForAPerson) {
    q3vtest::TempFolder temp("q3v-patterns");
    ASSERT_FALSE(temp.Path().empty());
    const std::string board = temp.File("sim");
    const std::string folder = std::string(Q3V_BINARY_DIR) + "/patterns";
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "' '" + board + "'").c_str()), 0);
    const bool haveConvert = std::system("command -v convert-im6.q16 >/dev/null 2>&1") == 0;

    const std::string script = temp.File("setup.txt");
    FILE* file = std::fopen(script.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("init\nwin pip sa=0 w=160 h=120 f=0\n", file);
    std::fclose(file);
    const q3vtest::PlayRun init = q3vtest::RunPlay(board, "", script, temp.Path());
    ASSERT_EQ(init.Code, 0) << init.Output;
    for (const char* pattern : kPatternNames) {
        for (const Window& window : {kMain, kPip}) {
            // The window's picture (R888.B-G-R from address 0) written by FDUMP.
            const std::string base = folder + "/board-" + window.Word + "-" + pattern;
            char dump[512];
            std::snprintf(dump, sizeof(dump), "fdump %s.ppm mem 0 L%X w=%d h=%d f=0\n",
                          base.c_str(), static_cast<unsigned>(window.Width * window.Height * 3),
                          window.Width, window.Height);
            const std::string input = temp.File("dump.txt");
            FILE* commands = std::fopen(input.c_str(), "w");
            ASSERT_NE(commands, nullptr);
            std::fprintf(commands, "show %s pat=%s\n%s", window.Word, pattern, dump);
            std::fclose(commands);
            const q3vtest::PlayRun run = q3vtest::RunPlay(board, "", input, temp.Path());
            ASSERT_EQ(run.Code, 0) << dump << run.Output;
            ASSERT_EQ(run.Output.find("ERROR"), std::string::npos) << dump << run.Output;
            const std::vector<uint8_t> rgb = ReadPpmRgb(base + ".ppm", window);
            ASSERT_FALSE(rgb.empty());
            if (haveConvert) {
                const std::string command = "convert-im6.q16 '" + base + ".ppm' '" + base + ".png'";
                EXPECT_EQ(std::system(command.c_str()), 0) << command;
            }
            if (window.Word != kMain.Word) {
                continue;
            }
            for (const GoldenPixel& golden : kMainGoldens) {
                if (std::string(golden.Pattern) == pattern) {
                    EXPECT_EQ(PixelAt(rgb, window, golden.X, golden.Y), golden.Rgb)
                        << pattern << " at (" << golden.X << ", " << golden.Y << ")";
                }
            }
        }
    }
}

} // namespace

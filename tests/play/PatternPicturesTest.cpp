// Every test pattern shown by play in the main window (480x272, RGB 8:8:8) and in a 160x120 PIP
// window after INIT, read back from the simulated board's display memory, written as PPM under
// build/<preset>/patterns/ and converted to PNG by ImageMagick (which also shows that the PPM is
// well formed), with golden pixels of the deterministic patterns checked.
#include "board/SimBoard.h"
#include "imaging/Conv.h"
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

// The window's picture in display memory (R888.B-G-R from address 0) as R, G, B bytes.
std::vector<uint8_t> ReadWindowRgb(const std::string& board, const Window& window) {
    std::vector<uint8_t> stored(static_cast<size_t>(window.Width * window.Height * 3));
    const auto simBoard = board::SimBoard::Attach(board, 0);
    if (simBoard == nullptr || !simBoard->ReadMemory(0, stored)) {
        return {};
    }
    std::vector<uint8_t> rgb(stored.size());
    Conv conv;
    Surface from{stored.data(),
                 static_cast<int32_t>(stored.size()),
                 "R888.B-G-R",
                 0,
                 window.Width,
                 window.Height,
                 0,
                 0,
                 0,
                 0,
                 0,
                 nullptr};
    Surface to{rgb.data(),
               static_cast<int32_t>(rgb.size()),
               "R888.R-G-B",
               0,
               window.Width,
               window.Height,
               0,
               0,
               0,
               0,
               0,
               nullptr};
    return conv.Convert(&from, &to) != 0 ? rgb : std::vector<uint8_t>{};
}

bool WritePpm(const std::string& path, const Window& window, const std::vector<uint8_t>& rgb) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", window.Width, window.Height);
    const bool written = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    return std::fclose(file) == 0 && written;
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
            const std::string show = std::string("show ") + window.Word + " pat=" + pattern;
            const q3vtest::PlayRun run = q3vtest::RunPlay(board, show, "", temp.Path());
            ASSERT_EQ(run.Code, 0) << show << "\n" << run.Output;
            const std::vector<uint8_t> rgb = ReadWindowRgb(board, window);
            ASSERT_FALSE(rgb.empty());
            const std::string base = folder + "/board-" + window.Word + "-" + pattern;
            ASSERT_TRUE(WritePpm(base + ".ppm", window, rgb));
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

// The test patterns: every kind at awkward sizes into several formats (no write outside the
// picture, nothing divided by zero), goldens computed independently from the patterns'
// description, the zeroed work buffer, and the drawing primitives.
#include "imaging/TestPattern.h"
#include "imaging/Conv.h"
#include "imaging/Draw.h"
#include "imaging/Font8x8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct PatternGolden {
    const char* Name;
    uint32_t Kind;
    uint32_t Width;
    uint32_t Height;
    uint32_t Shift;
    uint32_t LineWidth;
    uint32_t GridWidth;
    uint32_t GridHeight;
    uint32_t Fg;
    uint32_t Bg;
    const uint32_t* Pixels;
};

#include "imaging/PatternGoldens.inc"

PatternRequest MakeRequest(uint32_t kind, int32_t format, uint32_t width, uint32_t height,
                           uint8_t* buffer) {
    PatternRequest request{};
    request.Kind = kind;
    request.Format = format;
    request.Colorimetry = COLORIMETRY_BT601;
    request.Width = width;
    request.Height = height;
    request.LineWidth = 1;
    request.Buffer = buffer;
    request.Fg = 0x00FF00;
    request.Bg = 0;
    request.AlphaMask = 0xFF000000;
    request.GridWidth = 100;
    request.GridHeight = 100;
    return request;
}

// Draws the request into ARGB8888 words.
std::vector<uint32_t> DrawArgb(PatternRequest request) {
    Conv conv;
    std::vector<uint32_t> pixels(size_t{request.Width} * request.Height, 0xDEADBEEF);
    request.Format = conv.FindFormat("ARGB8888.ARGB");
    request.Buffer = reinterpret_cast<uint8_t*>(pixels.data());
    EXPECT_TRUE(TestPatternDraw(&request));
    return pixels;
}

TEST(TestPatternTest, EveryKindAtAwkwardSizesStaysInsideItsBuffer) {
    struct Size {
        uint32_t W;
        uint32_t H;
    };
    const Size sizes[] = {{2, 2}, {3, 7}, {5, 5}, {24, 300}, {640, 480}};
    const char* formats[] = {"R565.RGB", "R888.R-G-B", "ARGB8888.ARGB", "Y422.UY-VY"};
    Conv conv;
    for (const char* name : formats) {
        const int32_t row = conv.FindFormat(name);
        ASSERT_GE(row, 0) << name;
        for (const Size size : sizes) {
            const auto bytes = static_cast<size_t>(
                conv.GetImageSize(row, static_cast<int32_t>(size.W), static_cast<int32_t>(size.H)));
            ASSERT_GT(bytes, 0u);
            // The destination has exactly its image size, so ASan sees any write past it.
            for (uint32_t kind = 0; kind < kPatternKinds; ++kind) {
                std::vector<uint8_t> out(bytes);
                PatternRequest request = MakeRequest(kind, row, size.W, size.H, out.data());
                for (const uint32_t shift : {0u, 13u}) {
                    request.Shift = shift;
                    EXPECT_TRUE(TestPatternDraw(&request))
                        << name << " kind " << kind << " " << size.W << "x" << size.H;
                }
            }
        }
    }
}

TEST(TestPatternTest, GridAtEdgeSettingsDividesByNothing) {
    struct Case {
        uint32_t W, H, LineWidth, GridWidth, GridHeight, Shift;
    };
    const Case cases[] = {
        {4, 4, 4, 100, 100, 3}, // no room for the moving cross
        {4, 4, 9, 100, 100, 3}, // border wider than the picture
        {30, 20, 1, 1, 1, 5},   // cells of 1: half cells of 0
        {30, 20, 1, 2, 3, 0},
    };
    for (const Case& c : cases) {
        PatternRequest request = MakeRequest(kPatternGrid, 0, c.W, c.H, nullptr);
        request.LineWidth = c.LineWidth;
        request.GridWidth = c.GridWidth;
        request.GridHeight = c.GridHeight;
        request.Shift = c.Shift;
        const std::vector<uint32_t> pixels = DrawArgb(request);
        EXPECT_EQ(pixels[0], 0x0000FF00u) << "the border is Fg with its own alpha";
    }
}

TEST(TestPatternTest, MatchesIndependentGoldens) {
    for (const PatternGolden& golden : kPatternGoldens) {
        PatternRequest request = MakeRequest(golden.Kind, 0, golden.Width, golden.Height, nullptr);
        request.Shift = golden.Shift;
        if (golden.Kind == kPatternGrid) {
            request.LineWidth = golden.LineWidth;
            request.GridWidth = golden.GridWidth;
            request.GridHeight = golden.GridHeight;
            request.Fg = golden.Fg;
            request.Bg = golden.Bg;
        }
        const std::vector<uint32_t> pixels = DrawArgb(request);
        int mismatches = 0;
        for (uint32_t y = 0; y < golden.Height && mismatches < 5; ++y) {
            for (uint32_t x = 0; x < golden.Width && mismatches < 5; ++x) {
                const uint32_t want = golden.Pixels[y * golden.Width + x];
                const uint32_t got = pixels[y * golden.Width + x];
                if (want != got) {
                    ++mismatches;
                    ADD_FAILURE() << golden.Name << " at (" << x << ", " << y << "): got "
                                  << std::hex << got << ", want " << want;
                }
            }
        }
    }
}

TEST(TestPatternTest, ShiftOfAWholeWidthLooksUnshifted) {
    for (const uint32_t kind : {uint32_t{kPatternUber}, uint32_t{kPatternBars},
                                uint32_t{kPatternOld}, uint32_t{kPatternFirstQuad + 9}}) {
        PatternRequest still = MakeRequest(kind, 0, 120, 90, nullptr);
        PatternRequest turned = still;
        turned.Shift = 120;
        EXPECT_EQ(DrawArgb(still), DrawArgb(turned)) << "kind " << kind;
    }
}

TEST(TestPatternTest, NothingPaintedLeavesTransparentBlack) {
    // OLD below 5 pixels and kinds 30 and above paint nothing: the work buffer starts zeroed,
    // so the destination gets zeros, not leftovers of the heap.
    for (const auto& [kind, w, h] :
         {std::tuple{uint32_t{kPatternOld}, 4u, 100u},
          std::tuple{uint32_t{kPatternKinds}, 16u, 16u}, std::tuple{uint32_t{99}, 16u, 16u}}) {
        PatternRequest request = MakeRequest(kind, 0, w, h, nullptr);
        const std::vector<uint32_t> pixels = DrawArgb(request);
        EXPECT_EQ(pixels, std::vector<uint32_t>(size_t{w} * h, 0u)) << "kind " << kind;
    }
}

TEST(TestPatternTest, RefusesWhatItCannotDraw) {
    Conv conv;
    std::vector<uint8_t> out(16);
    PatternRequest request =
        MakeRequest(kPatternOld, conv.FindFormat("R565.RGB"), 0, 4, out.data());
    EXPECT_FALSE(TestPatternDraw(&request)) << "zero width";
    request.Width = 0x10000;
    request.Height = 0x10000; // 16 GiB of work buffer: larger than a surface can describe
    EXPECT_FALSE(TestPatternDraw(&request));
    EXPECT_EQ(PatternWorkBytes(0x10000, 0x10000), uint64_t{1} << 34);
    request = MakeRequest(kPatternOld, 54, 4, 4, out.data());
    EXPECT_FALSE(TestPatternDraw(&request)) << "no such format row";
}

TEST(TestPatternTest, UberLayoutFollowsThePictureSize) {
    // 640x480: cells of 100 in 6 columns and 3 rows, the mosaic centred: 600 wide from x 20,
    // 320 high from y 80 with the alpha band on top; the first cell (red quadrants) at (20, 90).
    std::vector<uint32_t> big = DrawArgb(MakeRequest(kPatternUber, 0, 640, 480, nullptr));
    EXPECT_EQ(big[90 * 640 + 20], 0xFFFF0000u);
    EXPECT_EQ(big[90 * 640 + 19] & 0xFFFFFF, 0u) << "background left of the mosaic";
    // 320x240: cells of 50 in 6 columns and 4 rows with bands: 300 x 220 from (10, 10); the
    // first cell of row 0 is the red quadrants, the first cell of row 3 the columns.
    std::vector<uint32_t> small = DrawArgb(MakeRequest(kPatternUber, 0, 320, 240, nullptr));
    EXPECT_EQ(small[20 * 320 + 10], 0xFFFF0000u);
    EXPECT_EQ(small[170 * 320 + 10], 0xFFFFFFFFu) << "column lines, lit at column 0";
    EXPECT_EQ(small[170 * 320 + 11], 0xFF000000u);
}

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Pixels.assign(32 * 16, 0x11223344);
        m_Surface = Surface{reinterpret_cast<uint8_t*>(m_Pixels.data()),
                            static_cast<int32_t>(m_Pixels.size() * 4),
                            nullptr,
                            m_Conv.FindFormat("ARGB8888.ARGB"),
                            32,
                            16,
                            32 * 4,
                            0,
                            0,
                            0,
                            0,
                            nullptr};
        m_Previous = DrawSetTarget(&m_Surface);
    }
    void TearDown() override { DrawSetTarget(m_Previous); }
    uint32_t At(int32_t x, int32_t y) const { return m_Pixels[y * 32 + x]; }

    Conv m_Conv;
    std::vector<uint32_t> m_Pixels;
    Surface m_Surface{};
    Surface* m_Previous = nullptr;
};

TEST_F(DrawTest, TextWithBackgroundEqualToForegroundLeavesTheBackground) {
    DrawText(0, 0, "A", 0xFFFFFFFF, 0xFFFFFFFF);
    const uint8_t* glyph = FontGlyph('A');
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            const bool set = (glyph[y] >> (7 - x) & 1) != 0;
            EXPECT_EQ(At(x, y), set ? 0xFFFFFFFFu : 0x11223344u) << x << "," << y;
        }
    }
}

TEST_F(DrawTest, TextAdvancesSkipsAndBreaksLines) {
    DrawText(1, 0, "A\tB\nC", 0xFFFFFFFF, 0xFF000000);
    // 'B' follows 'A' directly: the tab is skipped without advancing; 'C' starts a line below.
    EXPECT_EQ(At(1, 7), 0xFF000000u) << "the clear row of A";
    const uint8_t* b = FontGlyph('B');
    EXPECT_EQ(At(9 + 1, 0), (b[0] & 0x40) != 0 ? 0xFFFFFFFFu : 0xFF000000u);
    EXPECT_EQ(At(17, 0), 0x11223344u) << "nothing after B";
    EXPECT_EQ(At(1, 8), 0xFF000000u) << "C's cell below A";
    EXPECT_EQ(FontGlyph(31), nullptr);
    EXPECT_EQ(FontGlyph(128), nullptr);
}

TEST_F(DrawTest, LinesIncludeBothEndsAndClip) {
    DrawLine(5, 2, 0, 0, 0xFF0000FF);
    EXPECT_EQ(At(0, 0), 0xFF0000FFu);
    EXPECT_EQ(At(5, 2), 0xFF0000FFu);
    int lit = 0;
    for (int32_t x = 0; x < 6; ++x) {
        for (int32_t y = 0; y < 3; ++y) {
            lit += At(x, y) == 0xFF0000FFu ? 1 : 0;
        }
    }
    EXPECT_EQ(lit, 6) << "one pixel per column along the longer axis";
    DrawLine(-10, -10, 100, 100, 0xFFFFFFFF); // crosses the target and leaves it
    EXPECT_EQ(At(15, 15), 0xFFFFFFFFu);
    DrawPixel(32, 0, 0); // outside: nothing
    DrawPixel(-1, 3, 0);
}

} // namespace

namespace {

// Every pattern at 480x272 as a PPM under the build tree, converted to PNG when ImageMagick is
// there, for a person to look at (build/<preset>/patterns/).
TEST(TestPatternPictures, WritesEveryPatternForAPerson) {
    const char* names[] = {"NONE",  "UBER",  "FILL",  "GRID",  "BARS",  "N075R", "N100R", "OLD",
                           "FQUAD", "WQUAD", "RQUAD", "GQUAD", "BQUAD", "CQUAD", "MQUAD", "YQUAD",
                           "XQUAD", "WHEEL", "SMEAR", "FRUIT", "CHILD", "DOTTE", "HTCH1", "HTCH2",
                           "HLINE", "VLINE", "XLINE", "ALPHA", "RAINB", "GRAYS"};
    const std::string folder = std::string(Q3V_BINARY_DIR) + "/patterns";
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    const bool haveConvert = std::system("command -v convert-im6.q16 >/dev/null 2>&1") == 0;
    for (uint32_t kind = 1; kind < kPatternKinds; ++kind) {
        PatternRequest request = MakeRequest(kind, 0, 480, 272, nullptr);
        request.ShowText = kind == kPatternOld;
        request.Format = Conv().FindFormat("R888.R-G-B");
        std::vector<uint8_t> rgb(480 * 272 * 3);
        request.Buffer = rgb.data();
        ASSERT_TRUE(TestPatternDraw(&request));
        const std::string base = folder + "/imaging-" + names[kind];
        FILE* file = std::fopen((base + ".ppm").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fprintf(file, "P6\n480 272\n255\n");
        ASSERT_EQ(std::fwrite(rgb.data(), 1, rgb.size(), file), rgb.size());
        std::fclose(file);
        if (haveConvert) {
            const std::string command = "convert-im6.q16 '" + base + ".ppm' '" + base + ".png'";
            EXPECT_EQ(std::system(command.c_str()), 0) << command;
        }
    }
}

} // namespace

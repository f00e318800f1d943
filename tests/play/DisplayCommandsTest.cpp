// The display commands' pieces that need no board: INIT's flag words, the window helpers'
// tables and listing line, and SHOW's restoring of the TE function on every path.
#include "play/DisplayCommands.h"
#include "PlayTestSupport.h"
#include "hcl/HclStart.h"
#include "play/PlayChipDef.h"
#include "play/PlayConv.h"
#include "play/RunState.h"
#include "play/WindowHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

TEST(DisplayCommandsTest, InitFlagWords) {
    struct Case {
        std::vector<std::string> Words;
        bool Ok;
        uint32_t Flags;  // when Ok
        int32_t BadWord; // when not Ok
    };
    const Case cases[] = {
        {{"init"}, true, oxHCL_INIT_NOVRAM, 0},
        {{"init", "noregs", "NoLcds"}, true, 0x10 | 0x20 | oxHCL_INIT_NOVRAM, 0},
        {{"init", "nocrc"}, true, oxHCL_INIT_NOCRC | oxHCL_INIT_NOVRAM, 0},
        {{"init", "onlylut"}, true, oxHCL_INIT_ONLYLUT | oxHCL_INIT_ONLYCRC, 0},
        {{"init", "onlycrc"}, true, oxHCL_INIT_ONLYCRC, 0},
        {{"init", "nolut", "onlyregs"}, false, 0, 0},
        {{"init", "onlyregs", "bogus"}, false, 0, 2},
    };
    for (const Case& c : cases) {
        ArgVector args;
        for (size_t i = 0; i < c.Words.size(); ++i) {
            std::snprintf(args[i], kArgSize, "%s", c.Words[i].c_str());
        }
        uint32_t flags = 0;
        int32_t bad = -1;
        const bool ok =
            ParseInitFlags(static_cast<int32_t>(c.Words.size()), args.Words(), &flags, &bad);
        EXPECT_EQ(ok, c.Ok) << c.Words.size();
        if (ok) {
            EXPECT_EQ(flags, c.Flags);
        } else {
            EXPECT_EQ(bad, c.BadWord);
        }
    }
}

TEST(DisplayCommandsTest, ErrorTextsAndWindowFormats) {
    EXPECT_STREQ(FileErrorText(0), "No error");
    EXPECT_STREQ(FileErrorText(3), "Unspecified/unsupported color format");
    EXPECT_STREQ(FileErrorText(7), "File write");
    EXPECT_STREQ(FileErrorText(8), "Unknown error");
    EXPECT_STREQ(FileErrorText(0xFFFE), "");
    const char* expected[] = {"R888.B-G-R", "R565.RGB", "M8.n0",    nullptr,
                              "R888.B-G-R", "R565.RGB", "R332.RGB", nullptr};
    for (uint32_t format = 0; format < 8; ++format) {
        int32_t row = -1;
        const bool ok = WindowFormatRow(format, &row);
        EXPECT_EQ(ok, expected[format] != nullptr) << format;
        if (ok) {
            EXPECT_STREQ(QueryConv().GetFormatName(row), expected[format]);
        }
    }
}

TEST(DisplayCommandsTest, WindowListingLines) {
    WindowSettings s{};
    s.m_StartAddr = 0x38400;
    s.m_Width = 160;
    s.m_Height = 120;
    s.m_Format = 5;
    s.m_Rotation = 3;
    s.m_X = 10;
    s.m_Y = 20;
    s.m_BlinkPeriod = 5;
    s.m_BlinkEffect = 2;
    s.m_Alpha = 64;
    s.m_Flags = kWindowTransparent;
    s.m_KeyR = 0x12;
    s.m_KeyG = 0xAB;
    s.m_KeyB = 0x0F;
    char line[kWindowLineSize];
    FormatWindowLine(&s, line, 0);
    EXPECT_STREQ(line, " Main 038400h  160  120 5 270 ");
    FormatWindowLine(&s, line, 1);
    EXPECT_STREQ(line, "  PIP 038400h  160  120 5 270   10   20   5  2  64  Y 12AB0F ");
}

// SHOW puts "tefunc" back whatever happens; runs without a board, so through FDUMP.
TEST(DisplayCommandsTest, ShowRestoresTheTeFunction) {
    q3vtest::TempFolder temp("q3v-show");
    ASSERT_FALSE(temp.Path().empty());
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(temp.Path().c_str()), 0);
    const bool acquired = g_Acquired;
    g_Acquired = false;
    g_ChipDef.SetFeatureValue("tefunc", 2);
    EXPECT_TRUE(CallHandler(CmdShow, {"show", "fdump", "w=2", "h=2", "f=1", "t=1", "lc=10"}));
    EXPECT_EQ(g_ChipDef.GetFeatureValue("tefunc"), 2u);
    EXPECT_EQ(ReadFile(temp.File("show.raw")).size(), 8u) << "2x2 in R565";
    // "show.raw" cannot be opened (a folder of that name): the command fails after the TE
    // function was set, and it comes back all the same.
    ASSERT_EQ(unlink(temp.File("show.raw").c_str()), 0);
    ASSERT_EQ(mkdir(temp.File("show.raw").c_str(), 0700), 0);
    EXPECT_FALSE(CallHandler(CmdShow, {"show", "fdump", "w=2", "h=2", "f=1", "t=3"}));
    EXPECT_EQ(g_ChipDef.GetFeatureValue("tefunc"), 2u);
    g_Acquired = acquired;
    ASSERT_EQ(chdir(here), 0);
}

} // namespace

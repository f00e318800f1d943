// The program-wide start values.
#include "PlayTestSupport.h"

#include <string>

TEST(Session, StartValues) {
    // Something changed in each module's state: InitSession resets them all.
    g_Verbose = 0;
    g_HaltLines = 9;
    g_LinesPrinted = 4;
    g_Acquired = false;
    g_NoCard = true;
    g_Quit = true;
    g_SingleStep = true;
    g_LastIf.Number = 1;
    g_ScriptDepth = 2;
    g_CurFrame = &g_Frames[1];
    g_Argc = 3;
    std::snprintf(g_RunPath[1], kRunPathSize, "%s", "scripts/");
    InitSession(0, nullptr);
    EXPECT_EQ(g_Verbose, CAT_ALL);
    EXPECT_EQ(g_FlogMask, CAT_ALL);
    EXPECT_EQ(g_HaltLines, 0u);
    EXPECT_EQ(g_ScreenWidth, 80u);
    EXPECT_EQ(g_RandSeed, 1u);
    EXPECT_TRUE(g_Acquired);
    EXPECT_FALSE(g_NoCard);
    EXPECT_FALSE(g_Quit);
    EXPECT_EQ(g_LinesPrinted, 0u);
    EXPECT_FALSE(g_SingleStep);
    EXPECT_EQ(g_LastIf.Number, 0u);
    EXPECT_EQ(g_ScriptDepth, 0u);
    EXPECT_EQ(g_CurFrame, nullptr);
    EXPECT_EQ(g_Argc, 0);
    ASSERT_NE(g_Argv[0], nullptr);
    ASSERT_NE(g_Argv[kMaxArgs - 1], nullptr);
    EXPECT_STREQ(g_Argv[kMaxArgs - 1], "");
    // Entry 0 of the script path is the current directory with its separator; the rest empty.
    const std::string entry0 = g_RunPath[0];
    ASSERT_FALSE(entry0.empty());
    EXPECT_EQ(entry0.back(), '/');
    EXPECT_STREQ(g_RunPath[1], "");
}

// Output categories, the log file, paging and caret errors.
#include "PlayTestSupport.h"

#include "platform/Console.h"

namespace {

class Keys {
public:
    explicit Keys(const std::string& bytes) {
        ConsoleSetInputForTesting(bytes.data(), static_cast<unsigned>(bytes.size()));
    }
    ~Keys() { ConsoleSetInputForTesting("", 0); }
};

std::string Erase() {
    std::string erase;
    for (size_t i = 0; i < std::strlen("-- more [ESC to exit] --"); ++i) {
        erase += "\b \b";
    }
    return erase;
}

} // namespace

class PlayOutput : public PlayTest {};

TEST_F(PlayOutput, CategoriesAgainstTheConsoleMask) {
    const struct {
        uint32_t m_Verbose;
        uint32_t m_Category;
        bool m_Shown;
        bool m_Result;
    } cases[] = {
        {CAT_ALL, CAT_OUT, true, true},
        {CAT_ALL, CAT_ERR, true, false},
        {CAT_ALL, CAT_ALL, true, true},
        {CAT_ALL & ~CAT_OUT, CAT_OUT, false, true},
        {CAT_ALL & ~CAT_OUT, CAT_ALL, true, true},
        {CAT_ALL & ~CAT_CMD, CAT_ERR, true, false},
        {0, CAT_ERR, false, false},
        {0, CAT_SET, false, true},
    };
    for (const auto& c : cases) {
        g_Verbose = c.m_Verbose;
        EXPECT_EQ(PlayPrint(c.m_Category, "text %d\n", 1), c.m_Result);
        EXPECT_EQ(Output(), c.m_Shown ? "text 1\n" : "")
            << "mask " << c.m_Verbose << " category " << c.m_Category;
    }
}

TEST_F(PlayOutput, ScriptMaskCountsOnlyWhileTheScriptRuns) {
    {
        ScriptLevel script("quiet", CAT_ALL & ~CAT_OUT);
        EXPECT_EQ(EffectiveVerbose(), CAT_ALL & ~CAT_OUT);
        PlayPrint(CAT_OUT, "hidden\n");
        PlayPrint(CAT_ERR, "shown\n");
        g_SingleStep = true; // single-stepping shows everything
        PlayPrint(CAT_OUT, "stepped\n");
        g_SingleStep = false;
    }
    PlayPrint(CAT_OUT, "back\n");
    EXPECT_EQ(Output(), "shown\nstepped\nback\n");
}

TEST_F(PlayOutput, LongArgumentsAndPercentSignsAreShownWhole) {
    const std::string longText(5000, 'x');
    EXPECT_TRUE(PlayPrint(CAT_OUT, "[%s]", longText.c_str()));
    PlayPrint(CAT_OUT, "%s", "100% sure %d\n");
    EXPECT_EQ(Output(), "[" + longText + "]100% sure %d\n");
}

TEST_F(PlayOutput, LogReceivesItsCategoriesAndIsFlushedAtOnce) {
    q3vtest::TempFolder folder("play-output");
    const std::string path = folder.File("log.txt");
    g_FlogFile = std::fopen(path.c_str(), "a+");
    ASSERT_NE(g_FlogFile, nullptr);
    g_FlogMask = CAT_ALL & ~CAT_CMD;
    g_Verbose = 0;
    PlayPrint(CAT_CMD, "=");
    PlayPrint(CAT_OUT, "out 50%%\n");
    PlayPrint(CAT_ERR, "err\n");
    PlayPrint(CAT_OUT, "%s", ""); // an empty text (PRINT "") writes nothing, to either side
    // Read while the log is still open: an interrupted run keeps what was written.
    EXPECT_EQ(ReadFile(path), "out 50%\nerr\n");
    EXPECT_EQ(Output(), "");
}

TEST_F(PlayOutput, PagerStopsAtEscAndGoesOnAtOtherKeys) {
    g_HaltLines = 2;
    {
        // A space, then an extended key (prefix and second code), then the input ends.
        Keys keys(std::string(" ") + "\xE0" + "H");
        EXPECT_TRUE(PlayPrint(CAT_OUT, "1\n2\n3\n4\n5\n6\n7\n8"));
    }
    const std::string more = "-- more [ESC to exit] --" + Erase();
    EXPECT_EQ(Output(), "1\n2\n" + more + "3\n4\n" + more + "5\n6\n" + more + "7\n8");

    g_LinesPrinted = 0;
    {
        Keys keys("\x1b");
        EXPECT_FALSE(PlayPrint(CAT_OUT, "a\nb\nc\n"));
    }
    EXPECT_EQ(Output(), "a\nb\n" + more);

    // No paging with 0 lines.
    g_HaltLines = 0;
    EXPECT_TRUE(PlayPrint(CAT_OUT, "a\nb\nc\n"));
    EXPECT_EQ(Output(), "a\nb\nc\n");
}

TEST_F(PlayOutput, CaretErrorStandsUnderTheColumnAfterThePrompt) {
    EXPECT_FALSE(PrintCaretError(3, "ERROR: %s\n", "bad"));
    EXPECT_EQ(Output(), "    ^\nERROR: bad\n");
    // The message bypasses the categories; the caret line is CMD output.
    g_Verbose = 0;
    EXPECT_FALSE(PrintCaretError(0, "ERROR: %s\n", "still shown"));
    EXPECT_EQ(Output(), "ERROR: still shown\n");
}

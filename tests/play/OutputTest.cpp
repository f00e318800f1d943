// Output categories, the log file, paging, caret errors, and VERBOSE, FLOG and H.
#include "PlayTestSupport.h"

#include "platform/Console.h"
#include "support/TempFolder.h"

#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh folder for log files, removed with the object.
class LogFolder : public q3vtest::TempFolder {
public:
    LogFolder() : TempFolder("play-output") {}
};

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

// Runs a handler with the given words (argv[0] first).
bool Call(CommandHandler handler, std::vector<std::string> words, ExprValue* result = nullptr) {
    ArgVector args;
    for (size_t i = 0; i < words.size(); ++i) {
        std::snprintf(args[i], kArgSize, "%s", words[i].c_str());
    }
    ExprValue value{};
    return handler(static_cast<int32_t>(words.size()), args.Words(),
                   result != nullptr ? result : &value);
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
    LogFolder folder;
    const std::string path = folder.File("log.txt");
    g_FlogFile = std::fopen(path.c_str(), "a+");
    ASSERT_NE(g_FlogFile, nullptr);
    g_FlogMask = CAT_ALL & ~CAT_CMD;
    g_Verbose = 0;
    PlayPrint(CAT_CMD, "=");
    PlayPrint(CAT_OUT, "out 50%%\n");
    PlayPrint(CAT_ERR, "err\n");
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

TEST_F(PlayOutput, VerboseWords) {
    EXPECT_TRUE(Call(CmdVerbose, {"verbose", "out:off", "Cmd=OFF"}));
    EXPECT_EQ(g_Verbose, CAT_SET | CAT_ERR);
    EXPECT_EQ(Output(), "VERBOSE = CMD:OFF OUT:OFF SET:ON\n");

    // The first unknown word fails the command; the words before it stay applied.
    EXPECT_FALSE(Call(CmdVerbose, {"verbose", "out=on", "loud", "set:off"}));
    EXPECT_EQ(g_Verbose, CAT_SET | CAT_ERR | CAT_OUT);
    EXPECT_EQ(Output(), "ERROR: \"loud\" is unknown.");

    for (const char* bad : {"cmd", "cmd:", "cmd:onn", "cmd-on", "cmdx:on", "cmd:o"}) {
        EXPECT_FALSE(Call(CmdVerbose, {"verbose", bad})) << bad;
    }
    Output();
    EXPECT_TRUE(Call(CmdVerbose, {"verbose", "?"}));
    EXPECT_NE(Output().find(" VERBOSE [CMD=ON|OFF] [OUT=ON|OFF] [SET=ON|OFF]\n"),
              std::string::npos);
}

TEST_F(PlayOutput, VerboseInAScriptChangesThatLevelOnly) {
    {
        ScriptLevel script("myscript");
        EXPECT_TRUE(Call(CmdVerbose, {"verbose", "out:off"}));
        EXPECT_EQ(g_CurFrame->m_Verbose, CAT_ALL & ~CAT_OUT);
        EXPECT_EQ(g_Verbose, CAT_ALL);
        // Inside a script only VERBOSE alone reports.
        EXPECT_EQ(Output(), "");
        EXPECT_TRUE(Call(CmdVerbose, {"verbose"}));
        EXPECT_EQ(Output(), "VERBOSE = CMD:ON OUT:OFF SET:ON\n");
    }
    {
        // The start-up script's VERBOSE changes the top-level mask.
        ScriptLevel script("play.txt");
        EXPECT_TRUE(Call(CmdVerbose, {"verbose", "cmd:off"}));
        EXPECT_EQ(g_CurFrame->m_Verbose, CAT_ALL);
        EXPECT_EQ(g_Verbose, CAT_ALL & ~CAT_CMD);
    }
}

TEST_F(PlayOutput, FlogOpensLogsAndStops) {
    LogFolder folder;
    const std::string path = folder.File("log.txt");
    EXPECT_FALSE(Call(CmdFlog, {"flog", "nul"}));
    EXPECT_EQ(Output(), "ERROR: FLOG NUL can only be used after file logging is started.\n");

    // An unknown word fails before anything is opened.
    EXPECT_FALSE(Call(CmdFlog, {"flog", path, "cmd:off", "bogus"}));
    EXPECT_EQ(g_FlogFile, nullptr);
    EXPECT_EQ(g_FlogMask, CAT_ALL & ~CAT_CMD);
    EXPECT_EQ(Output(), "ERROR: \"bogus\" is unknown.");

    EXPECT_TRUE(Call(CmdFlog, {"flog", path, "cmd:on", "set:off"}));
    EXPECT_NE(g_FlogFile, nullptr);
    PlayPrint(CAT_SET, "not logged\n");
    PlayPrint(CAT_OUT, "logged\n");
    EXPECT_TRUE(Call(CmdFlog, {"flog", "NUL", "ignored"}));
    EXPECT_EQ(g_FlogFile, nullptr);
    EXPECT_EQ(Output(), "FLOG VERBOSE = CMD:ON OUT:ON SET:OFF\nnot logged\nlogged\n"
                        "FLOG stopped file logging.\n");
    // The log is closed before the stop message.
    EXPECT_EQ(ReadFile(path), "logged\n");

    // A later FLOG appends.
    EXPECT_TRUE(Call(CmdFlog, {"flog", path}));
    PlayPrint(CAT_OUT, "again\n");
    EXPECT_EQ(ReadFile(path), "logged\nagain\n");
}

TEST_F(PlayOutput, FlogThatCannotOpenLeavesLoggingOff) {
    LogFolder folder;
    EXPECT_TRUE(Call(CmdFlog, {"flog", folder.File("first.txt")}));
    Output();
    const std::string bad = folder.File("missing/log.txt");
    EXPECT_FALSE(Call(CmdFlog, {"flog", bad}));
    EXPECT_EQ(g_FlogFile, nullptr);
    EXPECT_EQ(Output(), "FLOG VERBOSE = CMD:ON OUT:ON SET:ON\n"
                        "ERROR: Could not open file '" +
                            bad + "' for writing.\n");
}

TEST_F(PlayOutput, HaltSetsThePageLength) {
    const struct {
        const char* m_Word;
        bool m_Ok;
        uint32_t m_Lines;
    } cases[] = {
        {"14", true, 14}, {"14h", true, 20}, {"0", true, 0}, {"1_0", true, 10}, {"zz", false, 0},
    };
    for (const auto& c : cases) {
        g_HaltLines = 7;
        ExprValue result{};
        EXPECT_EQ(Call(CmdHalt, {"h", c.m_Word}, &result), c.m_Ok) << c.m_Word;
        EXPECT_EQ(result.Number, 7u) << "the previous length is the result";
        if (c.m_Ok) {
            EXPECT_EQ(g_HaltLines, c.m_Lines) << c.m_Word;
            EXPECT_EQ(Output(), "Current Halt setting: " + std::to_string(c.m_Lines) + " lines\n");
        } else {
            EXPECT_EQ(Output(), "ERROR: Invalid argument.\n");
        }
    }
    g_HaltLines = 3;
    EXPECT_TRUE(Call(CmdHalt, {"h", "1", "2"}));
    EXPECT_EQ(g_HaltLines, 3u);
    EXPECT_EQ(Output(), "Current Halt setting: 3 lines\n");
}

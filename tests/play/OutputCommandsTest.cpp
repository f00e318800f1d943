// VERBOSE, FLOG and H.
#include "PlayTestSupport.h"

class OutputCommands : public PlayTest {};

TEST_F(OutputCommands, VerboseWords) {
    EXPECT_TRUE(CallHandler(CmdVerbose, {"verbose", "out:off", "Cmd=OFF"}));
    EXPECT_EQ(g_Verbose, CAT_SET | CAT_ERR);
    EXPECT_EQ(Output(), "VERBOSE = CMD:OFF OUT:OFF SET:ON\n");

    // The first unknown word fails the command; the words before it stay applied.
    EXPECT_FALSE(CallHandler(CmdVerbose, {"verbose", "out=on", "loud", "set:off"}));
    EXPECT_EQ(g_Verbose, CAT_SET | CAT_ERR | CAT_OUT);
    EXPECT_EQ(Output(), "ERROR: \"loud\" is unknown.");

    for (const char* bad : {"cmd", "cmd:", "cmd:onn", "cmd-on", "cmdx:on", "cmd:o"}) {
        EXPECT_FALSE(CallHandler(CmdVerbose, {"verbose", bad})) << bad;
    }
    Output();
    EXPECT_TRUE(CallHandler(CmdVerbose, {"verbose", "?"}));
    EXPECT_NE(Output().find(" VERBOSE [CMD=ON|OFF] [OUT=ON|OFF] [SET=ON|OFF]\n"),
              std::string::npos);
}

TEST_F(OutputCommands, VerboseInAScriptChangesThatLevelOnly) {
    {
        ScriptLevel script("myscript");
        EXPECT_TRUE(CallHandler(CmdVerbose, {"verbose", "out:off"}));
        EXPECT_EQ(g_CurFrame->m_Verbose, CAT_ALL & ~CAT_OUT);
        EXPECT_EQ(g_Verbose, CAT_ALL);
        // Inside a script only VERBOSE alone reports.
        EXPECT_EQ(Output(), "");
        EXPECT_TRUE(CallHandler(CmdVerbose, {"verbose"}));
        EXPECT_EQ(Output(), "VERBOSE = CMD:ON OUT:OFF SET:ON\n");
    }
    {
        // The start-up script's VERBOSE changes the top-level mask.
        ScriptLevel script("play.txt");
        EXPECT_TRUE(CallHandler(CmdVerbose, {"verbose", "cmd:off"}));
        EXPECT_EQ(g_CurFrame->m_Verbose, CAT_ALL);
        EXPECT_EQ(g_Verbose, CAT_ALL & ~CAT_CMD);
    }
}

TEST_F(OutputCommands, FlogOpensLogsAndStops) {
    q3vtest::TempFolder folder("play-flog");
    const std::string path = folder.File("log.txt");
    EXPECT_FALSE(CallHandler(CmdFlog, {"flog", "nul"}));
    EXPECT_EQ(Output(), "ERROR: FLOG NUL can only be used after file logging is started.\n");

    // An unknown word fails before anything is opened.
    EXPECT_FALSE(CallHandler(CmdFlog, {"flog", path, "cmd:off", "bogus"}));
    EXPECT_EQ(g_FlogFile, nullptr);
    EXPECT_EQ(g_FlogMask, CAT_ALL & ~CAT_CMD);
    EXPECT_EQ(Output(), "ERROR: \"bogus\" is unknown.");

    EXPECT_TRUE(CallHandler(CmdFlog, {"flog", path, "cmd:on", "set:off"}));
    EXPECT_NE(g_FlogFile, nullptr);
    PlayPrint(CAT_SET, "not logged\n");
    PlayPrint(CAT_OUT, "logged\n");
    EXPECT_TRUE(CallHandler(CmdFlog, {"flog", "NUL", "ignored"}));
    EXPECT_EQ(g_FlogFile, nullptr);
    EXPECT_EQ(Output(), "FLOG VERBOSE = CMD:ON OUT:ON SET:OFF\nnot logged\nlogged\n"
                        "FLOG stopped file logging.\n");
    // The log is closed before the stop message.
    EXPECT_EQ(ReadFile(path), "logged\n");

    // A later FLOG appends.
    EXPECT_TRUE(CallHandler(CmdFlog, {"flog", path}));
    PlayPrint(CAT_OUT, "again\n");
    EXPECT_EQ(ReadFile(path), "logged\nagain\n");
}

TEST_F(OutputCommands, FlogThatCannotOpenLeavesLoggingOff) {
    q3vtest::TempFolder folder("play-flog");
    EXPECT_TRUE(CallHandler(CmdFlog, {"flog", folder.File("first.txt")}));
    Output();
    const std::string bad = folder.File("missing/log.txt");
    EXPECT_FALSE(CallHandler(CmdFlog, {"flog", bad}));
    EXPECT_EQ(g_FlogFile, nullptr);
    EXPECT_EQ(Output(), "FLOG VERBOSE = CMD:ON OUT:ON SET:ON\n"
                        "ERROR: Could not open file '" +
                            bad + "' for writing.\n");
}

TEST_F(OutputCommands, HaltSetsThePageLength) {
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
        EXPECT_EQ(CallHandler(CmdHalt, {"h", c.m_Word}, &result), c.m_Ok) << c.m_Word;
        EXPECT_EQ(result.Number, 7u) << "the previous length is the result";
        if (c.m_Ok) {
            EXPECT_EQ(g_HaltLines, c.m_Lines) << c.m_Word;
            EXPECT_EQ(Output(), "Current Halt setting: " + std::to_string(c.m_Lines) + " lines\n");
        } else {
            EXPECT_EQ(Output(), "ERROR: Invalid argument.\n");
        }
    }
    g_HaltLines = 3;
    EXPECT_TRUE(CallHandler(CmdHalt, {"h", "1", "2"}));
    EXPECT_EQ(g_HaltLines, 3u);
    EXPECT_EQ(Output(), "Current Halt setting: 3 lines\n");
}

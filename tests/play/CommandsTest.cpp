// The command table's rows and the look-up of command words.
#include "PlayTestSupport.h"

#include <cctype>
#include <iterator>
#include <set>

TEST(CommandTable, HelpLinesShareOneDashColumnAndAliasesAreLowerCase) {
    std::set<std::string> names;
    for (const CommandEntry& row : g_Commands) {
        const std::string help = row.m_Help;
        ASSERT_GT(help.size(), 44u) << help;
        EXPECT_EQ(help.substr(41, 3), " - ") << help;
        const std::string aliases = row.m_Aliases;
        EXPECT_FALSE(aliases.empty());
        for (char c : aliases) {
            EXPECT_FALSE(std::isupper(static_cast<unsigned char>(c))) << aliases;
        }
        size_t start = 0;
        while (start <= aliases.size()) {
            size_t end = aliases.find(';', start);
            if (end == std::string::npos) {
                end = aliases.size();
            }
            EXPECT_TRUE(names.insert(aliases.substr(start, end - start)).second)
                << "alias listed twice: " << aliases.substr(start, end - start);
            start = end + 1;
        }
    }
}

TEST(CommandTable, EveryRowInOrderWithItsSectionNoCardRuleAndExactHelpLine) {
    const struct {
        int32_t m_Section;
        const char* m_Aliases;
        uint32_t m_NoCardOk;
        const char* m_Help;
    } rows[] = {
        // clang-format off
        {SEC_BASIC, "init", 0, "INIT [NOflags|ONLYflags]                  - Initializes LCD controller"},
        {SEC_BASIC, "m", 1, "M                                         - Shows current Mode info"},
        {SEC_BASIC, "show;sh", 1, "SHOW [..]                                 - Shows a test pattern to screen"},
        {SEC_BASIC, "win", 0, "WIN [MAIN|PIP] [SA=addr] [F=n] [..]       - Sets up the display window"},
        {SEC_BASIC, "set", 1, "SET [token [expression]]                  - Sets register, feature, $variable"},
        {SEC_BASIC, "r;r8;r16;r32", 0, "R[8|16|32] [addr1 addr2 ..]               - Reads from memory"},
        {SEC_BASIC, "w;w8;w16;w32", 0, "W[8|16|32] [addr [data1 data2 ..]         - Writes to memory"},
        {SEC_BASIC, "f;f8;f16;f32", 0, "F[8|16|32] start end|len data1 [data2 ..] - Fills current window"},
        {SEC_BASIC, "d;d8;d16;d32", 0, "D[8|16|32] [start [end|len]]              - Dumps memory to screen"},
        {SEC_BASIC, "s;s8;s16;s32", 0, "S[8|16|32] start end|len data1 [data2 ..] - Searches memory for a match"},
        {SEC_BASIC, "x;x8;x16;x32;xa;xb", 0, "X[A|B][8|16|32] [index [data]]            - Register Get/Set"},
        {SEC_BASIC, "xf;xf8;xf16;xf32", 0, "XF[8|16|32] index cycle data1 [data2 ..]  - Register Fill"},
        {SEC_BASIC, "xr;xr8;xr16;xr32", 0, "XR[8|16|32] index [cycle]                 - Register Re-Read"},
        {SEC_BASIC, "xfb;xfb8;xfb16;xfb32", 0, "XFB[8|16|32] index cycle data1 [data2 ..] - Register Fill in burst"},
        {SEC_BASIC, "xrb;xrb8;xrb16;xrb32", 0, "XRB[8|16|32] index [cycle]                - Register Re-Read in burst"},
        {SEC_BASIC, "xbs;bitstatus", 0, "XBS REG[8|16|32]=r [BIT=b [GPIO=g]] [..]  - Register Bit Status"},
        {SEC_BASIC, "bar;bar8;bar16;bar32", 0, "BAR[8|16|32] n [index [data]]             - Register Get/Set using PCI BAR"},
        {SEC_BASIC, "q;quit;ex;exit", 1, "Q                                         - Quits PLAY"},
        {SEC_BASIC, "?;help", 1, "? [regindex|searchtext]                   - Help, or use to search chip info"},
        {SEC_ADVANCED, "calc", 1, "CALC expression                           - Built-in calculator"},
        {SEC_ADVANCED, "debug", 0, "DEBUG                                     - HCL debugging"},
        {SEC_ADVANCED, "diagnose;diagn", 1, "DIAGNOSE                                  - Diagnose using spec restrictions"},
        {SEC_ADVANCED, "fdump;fdump8;fdump16;fdump32", 0, "FDUMP[8|16|32] file area s [e|len] [..]   - Write to file"},
        {SEC_ADVANCED, "fload;fload8;fload16;fload32", 0, "FLOAD[8|16|32] file area s [e|len] [..]   - Read from file"},
        {SEC_ADVANCED, "flog", 0, "FLOG file [CMD|OUT|SET=ON|OFF] [..]       - Logs output to file"},
        {SEC_ADVANCED, "fsize;fsize8;fsize16;fsize32", 1, "FSIZE[8|16|32] file                       - Returns file size"},
        {SEC_ADVANCED, "h;halt", 1, "H [nLines]                                - Halts by nLines when screen fills"},
        {SEC_ADVANCED, "l;l1;l2;l1a;l2a", 0, "L[1|2][A] index [[red green blue]|[data]] - Programs the Look-Up Tables"},
        {SEC_ADVANCED, "run", 1, "[RUN] [scriptfile]                        - Runs a script file"},
        {SEC_ADVANCED, "runpath", 1, "RUNPATH [path1[ path2 path3 .. pathN]]    - Sets path to run scripts from"},
        {SEC_ADVANCED, "ver;version", 1, "VER                                       - Show build version info"},
        {SEC_SCRIPT, "goto", 1, "GOTO sectionname                          - Jumps execution to section"},
        {SEC_SCRIPT, "section", 1, "SECTION sectionname                       - Defines start of a section"},
        {SEC_SCRIPT, "if", 1, "IF expression [THEN] statements           - Single-line IF statement"},
        {SEC_SCRIPT, "else", 1, "ELSE statements                           - Tied to the last IF statement"},
        {SEC_SCRIPT, "while", 1, "WHILE expression [DO] statements          - Single-line WHILE statement"},
        {SEC_SCRIPT, "delay", 1, "DELAY microseconds                        - Delays for a period of time"},
        {SEC_SCRIPT, "sleep", 1, "SLEEP milliseconds                        - Sleeps for a period of time"},
        {SEC_SCRIPT, "print", 1, "PRINT \"message\"|token|expression [..]     - Prints multiple messages|tokens"},
        {SEC_SCRIPT, "input", 1, "INPUT LINE|KEY|PEEK                       - Returns user keyboard input"},
        {SEC_SCRIPT, "shell", 1, "SHELL [\"command\" [\"args\"] [..]]           - Start system command shell"},
        {SEC_SCRIPT, "singlestep", 1, "SINGLESTEP [ON|OFF]                       - Runs scripts one line at a time"},
        {SEC_SCRIPT, "verbose", 1, "VERBOSE [CMD|OUT|SET=ON|OFF] [..]         - Silences: COMmandline,OUTput,SETs"},
        {SEC_HIDDEN, "reset", 1, "RESET                                     - Reset USB interface"},
        // clang-format on
    };
    static_assert(std::size(rows) == kCommandCount);
    for (uint32_t i = 0; i < kCommandCount; ++i) {
        SCOPED_TRACE(rows[i].m_Aliases);
        EXPECT_STREQ(g_Commands[i].m_Aliases, rows[i].m_Aliases);
        EXPECT_EQ(g_Commands[i].m_Section, rows[i].m_Section);
        EXPECT_EQ(g_Commands[i].m_NoCardOk, rows[i].m_NoCardOk);
        EXPECT_STREQ(g_Commands[i].m_Help, rows[i].m_Help);
    }
}

TEST(CommandTable, MatchAliasTakesWholeNamesOnlyWithTheSameCase) {
    const struct {
        const char* m_Aliases;
        const char* m_Word;
        bool m_Match;
    } cases[] = {
        {"r;r8;r16;r32", "r16", true},   {"r;r8;r16;r32", "r", true},
        {"r;r8;r16;r32", "r32", true},   {"r;r8;r16;r32", "r1", false},
        {"r;r8;r16;r32", "r160", false}, {"r;r8;r16;r32", "R16", false},
        {"r;r8;r16;r32", "", false},     {"r;r8;r16;r32", "r8;r16", false},
        {"?;help", "?", true},           {"?;help", "hel", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchAlias(c.m_Aliases, std::strlen(c.m_Aliases), c.m_Word), c.m_Match)
            << c.m_Aliases << " / " << c.m_Word;
    }
}

TEST(CommandTable, FindCommandGivesTheFirstMatchingRow) {
    const struct {
        const char* m_Word;
        const char* m_RowAliases;
    } cases[] = {
        {"init", "init"},
        {"r16", "r;r8;r16;r32"},
        {"x", "x;x8;x16;x32;xa;xb"},
        {"xf16", "xf;xf8;xf16;xf32"},
        {"xbs", "xbs;bitstatus"},
        {"?", "?;help"},
        {"halt", "h;halt"},
        {"exit", "q;quit;ex;exit"},
        {"reset", "reset"},
    };
    for (const auto& c : cases) {
        uint32_t row = 99;
        ASSERT_TRUE(FindCommand(c.m_Word, &row)) << c.m_Word;
        EXPECT_STREQ(g_Commands[row].m_Aliases, c.m_RowAliases) << c.m_Word;
    }
    uint32_t row = 99;
    EXPECT_FALSE(FindCommand("play.txt", &row));
    EXPECT_FALSE(FindCommand("HELP", &row));
}

// The command table's rows and the look-up of command words.
#include "PlayTestSupport.h"

#include <cctype>
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

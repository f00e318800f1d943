// The section index of a script: where the letters "section" stand, the names after them, and
// the reports of too many, too long and duplicate names.
#include "play/ScriptSections.h"
#include "PlayTestSupport.h"

#include <string>

namespace {

class ScriptSectionsTest : public PlayTest {
protected:
    ScriptSection m_Sections[kMaxSections];
};

// n lines "section s<i>".
std::string NumberedSections(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        text += "section s" + std::to_string(i) + "\n";
    }
    return text;
}

} // namespace

TEST_F(ScriptSectionsTest, NamesFollowTheLettersAnywhere) {
    const char* text = "print 1\n"
                       "' see Section  two here\n"
                       "crosssectional x\n"
                       "SECTION\tLoop\r\n"
                       "section\n";
    BuildSectionIndex(text, m_Sections);
    EXPECT_EQ(Output(), "");
    struct Expected {
        const char* Name;
        const char* At; // the text from the entry's offset on
    };
    const Expected expected[] = {
        {"two", "Section  two"},
        {"al", "sectional x"},
        {"Loop", "SECTION\tLoop"},
        {"", "section\n"},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(m_Sections[i].m_Name, expected[i].Name);
        EXPECT_EQ(std::string(text + m_Sections[i].m_Offset).rfind(expected[i].At, 0), 0u);
    }
    EXPECT_STREQ(m_Sections[4].m_Name, "");

    // GOTO's look-up ignores case and never finds an empty name.
    EXPECT_EQ(FindSection(m_Sections, "LOOP"), &m_Sections[2]);
    EXPECT_EQ(FindSection(m_Sections, "tw"), nullptr);
    EXPECT_EQ(FindSection(m_Sections, ""), nullptr);
}

TEST_F(ScriptSectionsTest, ADuplicateIsReportedOnceAndTheFirstEntryIsFound) {
    const char* text = "section a\nsection b\nsection a\nsection a\nsection B\n";
    BuildSectionIndex(text, m_Sections);
    // Names compare exactly here ("b" and "B" are two names); GOTO ignores case.
    EXPECT_EQ(Output(), "ERROR: Section name \"a\" is defined more than once.\n");
    EXPECT_EQ(FindSection(m_Sections, "a"), &m_Sections[0]);
    EXPECT_EQ(FindSection(m_Sections, "B"), &m_Sections[1]);
}

TEST_F(ScriptSectionsTest, SixtyFourSectionsFitAndTheSixtyFifthStopsTheIndex) {
    const std::string full = NumberedSections(64);
    BuildSectionIndex(full.c_str(), m_Sections);
    EXPECT_EQ(Output(), "");
    EXPECT_STREQ(m_Sections[63].m_Name, "s64");

    const std::string over = NumberedSections(65);
    BuildSectionIndex(over.c_str(), m_Sections);
    EXPECT_EQ(Output(), "ERROR: Too many sections defined (currently cannot exceed 64).\n");
    EXPECT_NE(FindSection(m_Sections, "s64"), nullptr);
    EXPECT_EQ(FindSection(m_Sections, "s65"), nullptr);
}

TEST_F(ScriptSectionsTest, ANameOf64CharactersStopsTheIndex) {
    const std::string name63(63, 'n');
    const std::string fits = "section " + name63 + "\nsection next\n";
    BuildSectionIndex(fits.c_str(), m_Sections);
    EXPECT_EQ(Output(), "");
    EXPECT_EQ(FindSection(m_Sections, name63), &m_Sections[0]);
    EXPECT_NE(FindSection(m_Sections, "next"), nullptr);

    const std::string tooLong = "section first\nsection " + name63 + "m\nsection next\n";
    BuildSectionIndex(tooLong.c_str(), m_Sections);
    EXPECT_EQ(Output(), "ERROR: Section name must not exceed 64 characters.\n");
    EXPECT_NE(FindSection(m_Sections, "first"), nullptr);
    EXPECT_EQ(FindSection(m_Sections, "next"), nullptr);
}

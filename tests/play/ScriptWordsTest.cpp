// The word rules of scripts: THEN and DO before the statements of IF and WHILE, a true
// condition, and the file name that a script word gives.
#include "PlayTestSupport.h"
#include "play/FileWord.h"
#include "play/FlowWords.h"

TEST(FlowWords, ThenAndDo) {
    struct Case {
        const char* Word;
        bool Then;
        bool Do;
    };
    const Case cases[] = {
        {"then", true, false},  {"THEN", true, false}, {"Then", true, false},  {"t", true, false},
        {"th", true, false},    {"the", true, false},  {"thenx", true, false}, {"tx", false, false},
        {"than", false, false}, {"", false, false},    {"d", false, true},     {"D", false, true},
        {"do", false, true},    {"DONE", false, true}, {"dx", false, false},   {"x", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Word);
        EXPECT_EQ(IsThenWord(c.Word), c.Then);
        EXPECT_EQ(IsDoWord(c.Word), c.Do);
    }
}

TEST(FlowWords, TrueConditions) {
    ExprValue value{};
    EXPECT_FALSE(IsTrueCondition(value));
    value.Number = 2;
    EXPECT_TRUE(IsTrueCondition(value));
    value = ExprValue{};
    value.IsString = 1;
    EXPECT_FALSE(IsTrueCondition(value));
    value.Text[0] = '0';
    EXPECT_TRUE(IsTrueCondition(value));
}

class FileWordTest : public PlayTest {};

TEST_F(FileWordTest, TheNameOfAScriptWord) {
    ExprValue text{};
    text.IsString = 1;
    std::snprintf(text.Text, sizeof(text.Text), "%s", "Named");
    ASSERT_TRUE(ExprSetVar("$n", 2, &text, nullptr));
    struct Case {
        const char* Word;
        const char* Name;
    };
    const Case cases[] = {
        {"bed", "BED"},                 // a number: its hexadecimal digits
        {"10t", "A"},                   //
        {"\"My Script\"", "My Script"}, // a text as it is
        {"$n", "Named"},                //
        {"foo", "foo"},                 // no value: literally
        {"play.txt", "play.txt"},       //
        {"ab/cd", "ab/cd"},             // a path, not a division
        {"../x.txt", "../x.txt"},       //
        {"(\"ab\"+\"/cd\")", "ab/cd"},  // an expression that holds a "/"
        {"(8/2)", "4"},                 //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Word);
        EXPECT_EQ(FileNameOfWord(c.Word), c.Name);
    }
    EXPECT_TRUE(IsPathWord("a/b"));
    EXPECT_FALSE(IsPathWord("$a/b"));
    EXPECT_FALSE(IsPathWord("\"a/b\""));
    EXPECT_FALSE(IsPathWord("ab"));
}

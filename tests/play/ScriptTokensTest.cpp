// The script's own tokens: the name rule, reading arg[n], argn and retval in a script and at the
// prompt, and writing them.
#include "play/ScriptTokens.h"
#include "PlayTestSupport.h"

#include <cstring>
#include <string>

namespace {

class ScriptTokensTest : public PlayTest {
protected:
    // The column and error text of reading the token, or 0 and the value.
    uint32_t Get(const char* text) {
        m_Error = nullptr;
        m_Value = ExprValue{};
        return GetScriptToken(text, static_cast<uint32_t>(std::strlen(text)), &m_Value, &m_Error);
    }
    uint32_t Set(const char* text, const ExprValue& value) {
        m_Error = nullptr;
        return SetScriptToken(text, static_cast<uint32_t>(std::strlen(text)), &value, true,
                              &m_Error);
    }
    ExprValue m_Value{};
    const char* m_Error = nullptr;
};

// A script level with the words "demo", "10h" and "x y".
class DemoLevel {
public:
    DemoLevel() : m_Level("demo") {
        std::snprintf(m_Words[0], sizeof(m_Words[0]), "%s", "demo");
        std::snprintf(m_Words[1], sizeof(m_Words[1]), "%s", "10h");
        std::snprintf(m_Words[2], sizeof(m_Words[2]), "%s", "x y");
        for (int i = 0; i < 3; ++i) {
            m_Argv[i] = m_Words[i];
        }
        g_CurFrame->m_Argv = m_Argv;
        g_CurFrame->m_Argc = 3;
    }

private:
    ScriptLevel m_Level;
    char m_Words[3][16];
    char* m_Argv[3];
};

} // namespace

TEST(ScriptTokenNames, NameRule) {
    struct Case {
        const char* Text;
        ScriptToken Token;
    };
    const Case cases[] = {
        {"argn", ScriptToken::ArgN},     {"ARGN", ScriptToken::ArgN},
        {"a", ScriptToken::ArgN},        {"ar", ScriptToken::ArgN},
        {"arg", ScriptToken::ArgN},      {"argnx", ScriptToken::None},
        {"retval", ScriptToken::RetVal}, {"r", ScriptToken::RetVal},
        {"Ret", ScriptToken::RetVal},    {"retvalue", ScriptToken::None},
        {"ra", ScriptToken::None},       {"rand", ScriptToken::None},
        {"arg[1]", ScriptToken::Arg},    {"ARG[0]", ScriptToken::Arg},
        {"args[0]", ScriptToken::None},  {"reg[0]", ScriptToken::None},
        {"hdp", ScriptToken::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(FindScriptToken(c.Text, static_cast<uint32_t>(std::strlen(c.Text))), c.Token);
    }
}

TEST_F(ScriptTokensTest, ReadInAScript) {
    DemoLevel level;
    ASSERT_EQ(Get("argn"), 0u);
    EXPECT_EQ(m_Value.IsString, 0);
    EXPECT_EQ(m_Value.Number, 3u);
    ASSERT_EQ(Get("arg[2]"), 0u);
    EXPECT_EQ(m_Value.IsString, 1);
    EXPECT_STREQ(m_Value.Text, "x y");
    ASSERT_EQ(Get("Arg[0]"), 0u);
    EXPECT_STREQ(m_Value.Text, "demo");
    ASSERT_EQ(Get("retval"), 0u);
    EXPECT_EQ(m_Value.IsString, 0);
    EXPECT_EQ(m_Value.Number, 0u);

    struct Case {
        const char* Text;
        uint32_t Column;
        const char* Error;
    };
    const Case errors[] = {
        {"arg[3]", 1, "Trying to access an ARG[] that exceeds ARGN."},
        {"arg[1", 4, "Missing closing bracket."},
        {"arg[]", 5, "Missing contents in brackets."},
        {"arg[zz]", 5, "Unknown token or expression."},
        {"arg[\"1\"]", 5, "Value cannot be a string."},
        {"rand", 1, "Unknown token or expression."},
    };
    for (const Case& c : errors) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(Get(c.Text), c.Column);
        EXPECT_STREQ(m_Error, c.Error);
    }
}

TEST_F(ScriptTokensTest, RetvalIsWrittenAndEchoedTheOthersAreReadOnly) {
    DemoLevel level;
    ExprValue text{};
    text.IsString = 1;
    std::snprintf(text.Text, sizeof(text.Text), "%s", "done");
    ASSERT_EQ(Set("ret", text), 0u);
    ASSERT_EQ(Get("retval"), 0u);
    EXPECT_STREQ(m_Value.Text, "done");
    ExprValue number{};
    number.Number = 0x1F;
    ASSERT_EQ(Set("RETVAL", number), 0u);
    EXPECT_EQ(Output(), "RETVAL = \"done\"\nRETVAL = 1Fh (31t)\n");

    EXPECT_EQ(Set("argn", number), 1u);
    EXPECT_STREQ(m_Error, "ARGN is read-only and cannot be set.");
    EXPECT_EQ(Set("arg[0]", number), 1u);
    EXPECT_STREQ(m_Error, "ARG[] is read-only and cannot be set.");
}

TEST_F(ScriptTokensTest, NoneExistAtThePrompt) {
    EXPECT_EQ(Get("argn"), 1u);
    EXPECT_STREQ(m_Error, "ARGN does not exist (only in script files).");
    EXPECT_EQ(Get("r"), 1u);
    EXPECT_STREQ(m_Error, "RETVAL does not exist (only in script files).");
    EXPECT_EQ(Get("arg[0]"), 1u);
    EXPECT_STREQ(m_Error, "ARG does not exist (only in script files).");
    EXPECT_EQ(Set("retval", ExprValue{}), 1u);
    EXPECT_STREQ(m_Error, "RETVAL does not exist (only in script files).");
}

TEST_F(ScriptTokensTest, TheResolverAnswersThroughTheEvaluator) {
    const ExprResolver previous = ExprGetResolver();
    ExprSetResolver(ResolveScriptTokens);
    DemoLevel level;
    ExprValue value{};
    const char* error = nullptr;
    EXPECT_EQ(ExprEvaluate("argn+1", 6, &value, CurrentScope(), &error), 0u);
    EXPECT_EQ(value.Number, 4u);
    // The index of arg[...] may name the other tokens.
    EXPECT_EQ(ExprEvaluate("arg[argn-1]", 11, &value, CurrentScope(), &error), 0u);
    EXPECT_STREQ(value.Text, "x y");
    // Every other name keeps the evaluator's own answer.
    EXPECT_EQ(ExprEvaluate("hdp", 3, &value, CurrentScope(), &error), 1u);
    EXPECT_STREQ(error, "Unknown token or expression.");
    ExprSetResolver(previous);
}

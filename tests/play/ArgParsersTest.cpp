#include "play/ArgParsers.h"

#include "expr/Expr.h"
#include "play/ScriptState.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int OK = 0, FAIL = -1;

// Installs a hook for one test and removes it afterwards.
class HookGuard {
public:
    explicit HookGuard(ParseExprHook hook) { SetExprHook(hook); }
    ~HookGuard() { SetExprHook(nullptr); }
};

// Checks one parser call: its result and, when it should succeed, the value it gave.
void ExpectParsed(int got, uint32_t value, int result, uint32_t expected, const char* text) {
    EXPECT_EQ(got, result) << text;
    if (result == OK) {
        EXPECT_EQ(value, expected) << text;
    }
}

std::vector<std::string> g_HookCalls;

int RecordingHook(const char* text, uint32_t length, uint32_t* value) {
    g_HookCalls.emplace_back(text, length);
    if (std::string(text, length) == "$addr") {
        *value = 0x1234;
        return 0;
    }
    return -1;
}

TEST(ArgParsers, CommandStemLength) {
    const std::pair<const char*, uint32_t> cases[] = {
        {"r16", 1}, {"fdump32", 5}, {"xbs", 3}, {"", 0}, {"r 16", 1}, {"x\t8", 1}, {"8", 0},
    };
    for (const auto& [word, length] : cases) {
        EXPECT_EQ(CommandStemLength(word), length) << word;
    }
}

TEST(ArgParsers, UnitFromCommand) {
    struct Case {
        const char* word;
        int result;
        uint32_t bytes;
    };
    const Case cases[] = {
        {"r", OK, 4},      {"r8", OK, 1},     {"r16", OK, 2},    {"r32", OK, 4},
        {"r16t", OK, 2},   {"16", OK, 4},     {"r0", FAIL, 0},   {"r12", FAIL, 0},
        {"r16x", FAIL, 0}, {"r 16", FAIL, 0}, {"r\t8", FAIL, 0},
    };
    for (const Case& c : cases) {
        uint32_t bytes = 0;
        const int got = UnitFromCommand(c.word, 4, &bytes);
        ExpectParsed(got, bytes, c.result, c.bytes, c.word);
    }
}

TEST(ArgParsers, ParseStartOperand) {
    struct Case {
        const char* text;
        uint32_t current, length;
        int result;
        uint32_t start;
    };
    const Case cases[] = {
        {".", 0x100, 0x100, OK, 0},
        {"..", 0x100, 0x100, OK, 0},
        {"", 0x100, 0x100, OK, 0x100},
        {"200", 0x100, 0x100, OK, 0x200},
        {".", 0x300, 0x100, OK, 0x200},
        {"..", 0x300, 0x100, OK, 0x100},
        {"...", 0x300, 0x100, OK, 0x100},
        {"10t", 0, 0, OK, 10},
        {"zz", 0x100, 0x100, FAIL, 0},
        // twice the length is beyond 32 bits: clamped at 0, not wrapped to a small step
        {"..", 0xFFFFFFFF, 0x80000001, OK, 0},
    };
    for (const Case& c : cases) {
        uint32_t start = 0xDEAD;
        const int got = ParseStartOperand(c.text, c.current, c.length, &start);
        ExpectParsed(got, start, c.result, c.start, c.text);
    }
}

TEST(ArgParsers, ParseEndOperand) {
    struct Case {
        const char* text;
        int result;
        uint32_t length;
    };
    const Case cases[] = {
        {"L4", OK, 8},
        {"l4", OK, 8},
        {"L10t", OK, 20},
        {"1006", OK, 8},
        {"1000", OK, 2},
        {"FFF", FAIL, 0},
        {".", OK, 0x40},
        {"", OK, 0x40},
        {"Lzz", FAIL, 0},
        {"zz", FAIL, 0},
        {"L", OK, 0},
        // Lengths that do not fit in 32 bits are refused, never wrapped.
        {"L7FFFFFFF", OK, 0xFFFFFFFE},
        {"L80000000", FAIL, 0},
        {"FFFFFFFF", OK, 0xFFFFF001},
    };
    for (const Case& c : cases) {
        uint32_t length = 0xDEAD;
        const int got = ParseEndOperand(c.text, 0x1000, 2, 0x40, &length);
        ExpectParsed(got, length, c.result, c.length, c.text);
    }
}

TEST(ArgParsers, ParseNumberWithoutHook) {
    struct Case {
        const char* text;
        uint32_t radix;
        int result;
        uint32_t value;
    };
    const Case cases[] = {
        {"10", 16, OK, 16},  {"10t", 16, OK, 10},     {"1010i", 16, OK, 10},
        {"17o", 16, OK, 15}, {"1_000", 16, OK, 4096}, {"1b", 16, OK, 27},
        {"", 16, OK, 0},     {"FFh", 16, OK, 255},    {"dead", 16, OK, 0xDEAD},
        {"12", 10, OK, 12},  {"1F", 10, FAIL, 0},     {"1Fh", 10, OK, 31},
        {"zz", 16, FAIL, 0}, {"0x10", 16, FAIL, 0},   {"18o", 16, FAIL, 0},
    };
    for (const Case& c : cases) {
        uint32_t value = 0xDEAD;
        const int got = ParseNumber(c.text, c.radix, &value);
        ExpectParsed(got, value, c.result, c.value, c.text);
    }
}

TEST(ArgParsers, ParseNumberHandsOnlyNonNumbersToTheHook) {
    HookGuard guard(&RecordingHook);
    g_HookCalls.clear();
    uint32_t value = 0;
    EXPECT_EQ(ParseNumber("10", 16, &value), OK);
    EXPECT_EQ(value, 16u);
    EXPECT_EQ(ParseNumber("$addr", 16, &value), OK);
    EXPECT_EQ(value, 0x1234u);
    EXPECT_EQ(ParseNumber("zz", 16, &value), FAIL);
    EXPECT_EQ(g_HookCalls, (std::vector<std::string>{"$addr", "zz"}));
}

// A resolver that, like token access, writes an error text through the pointer it is given.
uint32_t WritingResolver(const char* text, uint32_t length, ExprValue* value,
                         const char** errorText) {
    if (std::string(text, length) == "reg") {
        value->IsString = 0;
        value->Number = 0x55;
        return 0;
    }
    if (errorText != nullptr) {
        *errorText = "Not a valid register.";
    }
    return 1;
}

class EvalArgHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Saved = ExprGetResolver();
        ExprSetResolver(&WritingResolver);
        SetExprHook(&EvalArgHook);
    }
    void TearDown() override {
        SetExprHook(nullptr);
        ExprSetResolver(m_Saved);
    }
    ExprResolver m_Saved = nullptr;
};

TEST_F(EvalArgHookTest, NumbersPassTextsAndErrorsFail) {
    struct Case {
        const char* text;
        int result;
        uint32_t value;
    };
    const Case cases[] = {
        {"(1+2)*4", OK, 12},  {"reg", OK, 0x55},       {"reg+1", OK, 0x56},
        {"\"abc\"", FAIL, 0}, {"nosuchname", FAIL, 0}, {"1+", FAIL, 0},
    };
    for (const Case& c : cases) {
        uint32_t value = 0xDEAD;
        const int got = ParseNumber(c.text, 16, &value);
        ExpectParsed(got, value, c.result, c.value, c.text);
    }
}

TEST_F(EvalArgHookTest, EvaluatesInTheRunningScriptsScope) {
    ExprValue v{};
    v.Number = 0x77;
    ASSERT_TRUE(ExprSetVar("$x", 2, &v, "script1"));
    char scope[] = "script1";
    ScriptFrame* saved = g_CurFrame;
    g_CurFrame = &g_Frames[0];
    char* savedScope = g_CurFrame->m_Scope;
    g_CurFrame->m_Scope = scope;
    uint32_t value = 0;
    EXPECT_EQ(EvalArgHook("$x", 2, &value), OK);
    EXPECT_EQ(value, 0x77u);
    g_CurFrame->m_Scope = savedScope;
    g_CurFrame = saved;
    EXPECT_EQ(EvalArgHook("$x", 2, &value), FAIL); // at the prompt the script's $x is unknown
    ExprDeleteScope("script1");
}

TEST(ArgParsers, ParseByteList) {
    struct Case {
        const char* name;
        std::vector<std::string> words; // from index 2 on
        int result;                     // 0 or the failing word's index
        std::vector<uint32_t> values;
    };
    const Case cases[] = {
        {"numbers and a string", {"1", "\"AB\"", "2"}, 0, {1, 0x41, 0x42, 2}},
        {"newline escape", {"\"a\\nb\""}, 0, {0x61, 10, 0x62}},
        {"every escape", {"\"\\0\\a\\b\\r\\t\\\\\\\"\\q\""}, 0, {0, 7, 8, 13, 9, '\\', '"', 'q'}},
        {"apostrophes", {"'hi'"}, 0, {'h', 'i'}},
        {"the other quote is a character", {"\"a'b\""}, 0, {'a', '\'', 'b'}},
        {"an empty string", {"\"\"", "5"}, 0, {5}},
        {"no closing quote", {"\"AB"}, 0, {0x41, 0x42}},
        {"a backslash last", {"\"a\\"}, 0, {'a', '\\'}},
        {"characters above 127", {"\"\xE9\""}, 0, {0xFFFFFFE9}},
        {"text after the closing quote", {"1", "\"AB\"x"}, 3, {}},
        {"a word that is no number", {"1", "zz", "2"}, 3, {}},
        {"radix letters", {"10t", "11i"}, 0, {10, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<const char*> argv = {"w", "100"};
        for (const std::string& w : c.words) {
            argv.push_back(w.c_str());
        }
        uint32_t values[kParseMaxValues];
        uint32_t count = 0;
        EXPECT_EQ(ParseByteList(values, &count, 16, 2, static_cast<int>(argv.size()), argv.data()),
                  c.result);
        if (c.result == 0) {
            EXPECT_EQ(std::vector<uint32_t>(values, values + count), c.values);
        }
    }
}

// 128 values fill the list; one more, as a word or as a character of a text, refuses the
// whole list instead of dropping the rest.
TEST(ArgParsers, ParseByteListRefusesMoreThan128Values) {
    struct Case {
        std::vector<std::string> Words;
        int Result;
    };
    const std::string text128 = "\"" + std::string(128, 'x') + "\"";
    const std::string text129 = "\"" + std::string(129, 'x') + "\"";
    const std::string text127 = "\"" + std::string(127, 'x') + "\"";
    const Case cases[] = {
        {std::vector<std::string>(128, "7"), 0},
        {std::vector<std::string>(129, "7"), kParseListTooLong},
        {{text128}, 0},
        {{text128, "\"\""}, 0}, // an empty text adds no value
        {{text129}, kParseListTooLong},
        {{text128, "7"}, kParseListTooLong},
        {{text127, "7"}, 0},
        {{text127, "\"ab\""}, kParseListTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Words.size());
        std::vector<const char*> argv;
        for (const std::string& w : c.Words) {
            argv.push_back(w.c_str());
        }
        uint32_t values[kParseMaxValues + 1];
        values[kParseMaxValues] = 0xDEAD;
        uint32_t count = 0;
        EXPECT_EQ(ParseByteList(values, &count, 16, 0, static_cast<int>(argv.size()), argv.data()),
                  c.Result);
        EXPECT_LE(count, kParseMaxValues);
        EXPECT_EQ(values[kParseMaxValues], 0xDEADu);
    }
}

TEST(ArgParsers, ParseColor) {
    struct Case {
        const char* text;
        int result;
        uint32_t value, kind;
    };
    const Case cases[] = {
        {"R00FF00", OK, 0xFF00FF00, kColorRgb},
        {"00FF00", OK, 0xFF00FF00, kColorRgb},
        {"R80FF0000", OK, 0x80FF0000, kColorArgb},
        {"RFF,80,40", OK, 0xFFFF8040, kColorRgb},
        {"rff,80,40", OK, 0xFFFF8040, kColorRgb},
        {"Y10,80,80", OK, 0x00108080, kColorYcbcr},
        {"y108080", OK, 0x00108080, kColorYcbcr},
        {"R10,20,30,40", OK, 0x10203040, kColorArgb},
        {"R1FF,2,3", OK, 0xFFFF0203, kColorRgb}, // each part keeps its low 8 bits
        {"RFF,80", FAIL, 0, 0},
        {"RFF,zz,40", FAIL, 0, 0},
        {"Rzz", FAIL, 0, 0},
    };
    for (const Case& c : cases) {
        char word[32];
        std::snprintf(word, sizeof word, "%s", c.text);
        uint32_t value = 0, kind = 99;
        EXPECT_EQ(ParseColor(word, 16, &value, &kind), c.result) << c.text;
        if (c.result == OK) {
            EXPECT_EQ(value, c.value) << c.text;
            EXPECT_EQ(kind, c.kind) << c.text;
        }
        EXPECT_STREQ(word, c.text); // the word stays whole for the caller's message
    }
}

} // namespace

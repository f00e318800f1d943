#include "common/Text.h"
#include "common/StrPool.h"

#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

namespace {

TEST(CompareNoCase, Results) {
    const struct {
        const char* a;
        const char* b;
        size_t n;
        int32_t result;
    } cases[] = {
        {"Abc", "aBC", 3, 0},   {"ab", "abc", 3, -1}, {"abc", "ab", 3, 1},
        {"abc", "abc", 4, -1}, // equal texts shorter than n
        {"abd", "abc", 3, 1},   {"abc", "abd", 3, 1}, {"abcdef", "ABCxyz", 3, 0},
        {"x", "y", 0, 0},       {"", "", 1, -1},      {"[", "{", 1, 1}, // not letters: no folding
        {"\xC4", "\xE4", 1, 1}, // bytes above ASCII are compared as they are
        {"@Z", "@z", 2, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareNoCase(c.a, c.b, c.n), c.result)
            << '"' << c.a << "\" \"" << c.b << "\" " << c.n;
    }
}

TEST(EqualsNoCase, SameLengthAndLettersIgnoringCase) {
    const struct {
        std::string_view a;
        std::string_view b;
        bool equal;
    } cases[] = {
        {"Flog", "FLOG", true},
        {"on", "ON", true},
        {"", "", true},
        {"OFFX", "OFF", false},
        {"OF", "OFF", false},                       // lengths differ
        {std::string_view("NULx", 3), "nul", true}, // only the view's characters
        {"[", "{", false},
        {"\xC4", "\xE4", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal) << '"' << c.a << "\" \"" << c.b << '"';
    }
}

TEST(LowerAscii, FoldsOnlyAsciiLetters) {
    char text[] = "AbZ@[`{09\xC4";
    EXPECT_EQ(LowerAsciiInPlace(text), text);
    EXPECT_STREQ(text, "abz@[`{09\xC4");
    EXPECT_EQ(UpperAscii('q'), 'Q');
    EXPECT_EQ(UpperAscii('{'), '{');
    EXPECT_EQ(LowerAscii('@'), '@');
}

TEST(FindNoCase, Positions) {
    const struct {
        const char* text;
        const char* needle;
        int position; // -1 = not found
    } cases[] = {
        {"Hello World", "WORLD", 6},
        {"Hello World", "hello", 0},
        {"Hello World", "", 0},
        {"Hello World", "worlds", -1},
        {"ab", "abc", -1},
        {"", "", 0},
        {"", "a", -1},
        {"aaab", "AAB", 1},
        {"xyz", "z", 2},
    };
    for (const auto& c : cases) {
        const char* found = FindNoCase(c.text, c.needle);
        if (c.position < 0) {
            EXPECT_EQ(found, nullptr) << c.text << " / " << c.needle;
        } else {
            EXPECT_EQ(found, c.text + c.position) << c.text << " / " << c.needle;
        }
    }
}

TEST(FindNoCase, OnlyWithinTheGivenLength) {
    const char* text = "abcDEF";
    EXPECT_EQ(FindNoCaseN(text, 5, "def", 3), nullptr);
    EXPECT_EQ(FindNoCaseN(text, 6, "def", 3), text + 3);
    EXPECT_EQ(FindNoCaseN(text, 6, "dexx", 2), text + 3);
    char writable[] = "Panel WIDTH";
    char* hit = FindNoCase(writable, "width");
    ASSERT_NE(hit, nullptr);
    *hit = 'w';
    EXPECT_STREQ(writable, "Panel wIDTH");
}

TEST(CopyEllipsis, CutsLongTextsToExactlySize) {
    const char* twenty = "abcdefghijklmnopqrst";
    const struct {
        const char* src;
        size_t len;
        size_t size;
        const char* result;
    } cases[] = {
        {twenty, 20, 10, "abcdefg..."},
        {twenty, 20, 20, "abcdefghijklmnopqrst"},
        {twenty, 20, 21, "abcdefghijklmnopqrst"},
        {twenty, 5, 10, "abcde"},
        {"abc", 10, 10, "abc"}, // stops at the NUL
        {twenty, 20, 3, "..."},
        {twenty, 20, 2, ".."},
        {twenty, 20, 1, "."},
        {twenty, 20, 0, ""},
    };
    for (const auto& c : cases) {
        char dst[32];
        std::memset(dst, '#', sizeof dst);
        EXPECT_EQ(CopyEllipsis(dst, c.src, c.len, c.size), dst);
        EXPECT_STREQ(dst, c.result) << "len " << c.len << " size " << c.size;
        // nothing beyond size + 1 bytes is written
        for (size_t i = c.size + 1; i < sizeof dst; ++i) {
            ASSERT_EQ(dst[i], c.len <= c.size && i <= c.len ? '\0' : '#') << i;
        }
    }
}

TEST(LfToCrLf, AddsMissingCarriageReturns) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"a\nb\r\nc", "a\r\nb\r\nc"}, {"\n", "\r\n"}, {"\n\n", "\r\n\r\n"},
        {"a\r\n", "a\r\n"},           {"", ""},       {"x\n\r\ny", "x\r\n\r\ny"},
    };
    for (const auto& c : cases) {
        char buf[32];
        std::strcpy(buf, c.in);
        EXPECT_EQ(LfToCrLf(buf, sizeof buf), std::strlen(c.out)) << c.out;
        EXPECT_STREQ(buf, c.out);
    }
}

TEST(LfToCrLf, ResultThatDoesNotFitAssertsAndLeavesTheText) {
    AssertRecorder recorder;
    char buf[8] = "a\nb\nc\n"; // 6 characters grow to 9
    char guard[4] = "ok";
    EXPECT_EQ(LfToCrLf(buf, sizeof buf), 6u);
    EXPECT_TRUE(recorder.Saw("len < Size"));
    EXPECT_STREQ(buf, "a\nb\nc\n");
    EXPECT_STREQ(guard, "ok");

    recorder.Recorded().clear();
    char exact[8] = "ab\ncd\n"; // 8 characters need 9 bytes
    EXPECT_EQ(LfToCrLf(exact, 8), 6u);
    EXPECT_TRUE(recorder.Saw("len < Size"));
    char fits[9] = "ab\ncd\n";
    EXPECT_EQ(LfToCrLf(fits, 9), 8u);
    EXPECT_STREQ(fits, "ab\r\ncd\r\n");
}

TEST(UnescapeStr, Escapes) {
    const struct {
        const char* in;
        std::string out; // may hold NULs
    } cases[] = {
        {"Hello\\n", "Hello\n"},
        {"\\a\\b\\r\\t", "\a\b\r\t"},
        {"a\\0b", std::string("a\0b", 3)},
        {"\\\\", "\\"},
        {"\\\"quoted\\\"", "\"quoted\""},
        {"\\q", "q"},
        {"plain", "plain"},
        {"", ""},
        {"end\\", "end"}, // a closing single backslash: nothing beyond the NUL is read
    };
    for (const auto& c : cases) {
        char buf[32];
        std::strcpy(buf, c.in);
        const size_t len = UnescapeStr(buf);
        EXPECT_EQ(std::string(buf, len), c.out) << c.in;
        EXPECT_EQ(buf[len], '\0');
    }
    EXPECT_EQ(UnescapeStr(nullptr), 0u);
}

TEST(LineBreakPos, FirstLineOfWrappedText) {
    const struct {
        const char* text;
        size_t width;
        size_t pos;
    } cases[] = {
        {"short", 10, 5},
        {"short\nline", 10, 5},
        {"one two three four", 10, 7}, // last blank at or before position 10
        {"one two th", 10, 7},         // exactly width long
        {"one two thr", 10, 7},        // longer than width: breaks at the last blank
        {"abcdefghij klm", 10, 10},    // blank at position width
        {"abcdefghijklmnop", 10, 10},  // no blank: cut at width
        {"ab\ncd efgh ijkl", 10, 2},   // the LF comes first
        {"abcdefg hi\nxyz", 10, 7},    // the blank comes before the LF
        {"a b", 10, 3},                // shorter than width: blanks do not matter
        {"", 10, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LineBreakPos(c.text, c.width), c.pos) << '"' << c.text << "\" " << c.width;
    }
}

TEST(PadFormat, LeftJustifiesInTheField) {
    EXPECT_STREQ(PadFormat(8, ",", "0x%04X", 0x12u), "0x0012, ");
    EXPECT_STREQ(PadFormat(7, ",", "0x%04X", 0x12u), "0x0012,");
    EXPECT_STREQ(PadFormat(4, ",", "0x%04X", 0x12u), "0x0012,  ");
    EXPECT_STREQ(PadFormat(3, "", "%s", ""), "   ");
    EXPECT_STREQ(PadFormat(0, nullptr, "%d", 5), "5  ");
}

TEST(PadFormat, TextsBeyondTheDefaultBufferAreKeptWhole) {
    const std::string big(700, 'v');
    const char* padded = PadFormat(1000, ";", "%s", big.c_str());
    ASSERT_EQ(std::strlen(padded), 1000u);
    EXPECT_EQ(std::string(padded, 701), big + ";");
    EXPECT_EQ(std::string(padded + 701), std::string(299, ' '));

    const char* whole = PadFormat(10, ",", "%s-%s", big.c_str(), big.c_str());
    EXPECT_EQ(std::string(whole), big + "-" + big + ",  ");
    EXPECT_GE(StrSizeInPool(nullptr, whole), 1405u);
}

TEST(PrependStr, InsertsInPlace) {
    char buf[32] = "World";
    EXPECT_EQ(PrependStr(buf, "Hello "), buf);
    EXPECT_STREQ(buf, "Hello World");
    PrependStr(buf, "");
    EXPECT_STREQ(buf, "Hello World");
    char empty[8] = "";
    PrependStr(empty, "abc");
    EXPECT_STREQ(empty, "abc");
}

} // namespace

#include "common/Numbers.h"

#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct RadixCase {
    const char* text;
    uint32_t defaultRadix;
    bool valid;
    uint32_t radix; // when valid
    uint32_t value; // StrToNum in that radix
};

TEST(NumberGrammar, RadixAndValueOfNumberTexts) {
    const RadixCase cases[] = {
        {"10", 16, true, 16, 0x10},
        {"10t", 16, true, 10, 10},
        {"10T", 16, true, 10, 10},
        {"2Ch", 16, true, 16, 44},
        {"54o", 16, true, 8, 44},
        {"101100i", 16, true, 2, 44},
        {"44t", 16, true, 10, 44},
        {"1_0000", 16, true, 16, 0x10000},
        {"dead", 16, true, 16, 57005},
        {"DeAd", 16, true, 16, 57005},
        {"_", 16, true, 16, 0},
        {"h", 16, true, 16, 0},
        {"", 16, true, 16, 0},
        {"1_0_1i", 16, true, 2, 5},
        {"0x10", 16, false, 0, 0},
        {"12g", 16, false, 0, 0},
        {"1ht", 16, false, 0, 0},
        {"18o", 16, false, 0, 0},
        {"102i", 16, false, 0, 0},
        {"1 2", 16, false, 0, 0},
        {"-1", 16, false, 0, 0},
        {"12", 10, true, 10, 12},
        {"1F", 10, false, 0, 0},
        {"1Fh", 10, true, 16, 31},
        {"t", 10, true, 10, 0},
        {"h", 10, false, 0, 0}, // a lone radix letter of another radix
        {"17", 8, true, 8, 15},
        {"19", 8, false, 0, 0},
        {"19t", 8, true, 10, 19},
        {"0101", 2, true, 2, 5},
    };
    for (const RadixCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " default " + std::to_string(c.defaultRadix));
        uint32_t radix = 99;
        EXPECT_EQ(GetNumberRadix(c.text, std::strlen(c.text), c.defaultRadix, &radix), c.valid);
        EXPECT_EQ(GetNumberRadix(c.text, std::strlen(c.text), c.defaultRadix, nullptr), c.valid);
        if (c.valid) {
            EXPECT_EQ(radix, c.radix);
            EXPECT_EQ(StrToNum(c.text, radix), c.value);
        }
    }
}

TEST(NumberGrammar, OnlyTheGivenLengthIsLookedAt) {
    EXPECT_TRUE(IsNumberInRadix("12zz", 2, 16));
    EXPECT_FALSE(IsNumberInRadix("12zz", 3, 16));
    EXPECT_TRUE(IsNumberInRadix("anything", 0, 16));
    // The radix letter counts only in the last place of the given length.
    EXPECT_TRUE(IsNumberInRadix("12t34", 3, 10));
    EXPECT_FALSE(IsNumberInRadix("12t34", 4, 10));
    uint32_t radix = 0;
    EXPECT_TRUE(GetNumberRadix("12tXYZ", 3, 16, &radix));
    EXPECT_EQ(radix, 10u);
}

TEST(NumberGrammar, NullTextAsserts) {
    AssertRecorder recorder;
    EXPECT_FALSE(IsNumberInRadix(nullptr, 3, 16));
    EXPECT_TRUE(recorder.Saw("Str != NULL"));
    EXPECT_FALSE(GetNumberRadix(nullptr, 3, 16, nullptr));
}

TEST(NumberConversion, StopsAtTheFirstOtherCharacterAndWraps) {
    struct Case {
        const char* text;
        size_t len;
        uint32_t radix;
        uint32_t value;
    };
    const Case cases[] = {
        {"FFFFFFFF1", 0, 16, 0xFFFFFFF1},
        {"4294967296", 0, 10, 0},
        {"4294967295", 0, 10, 0xFFFFFFFF},
        {"1_000t", 0, 10, 1000},
        {"12h", 0, 16, 0x12},
        {"1234", 2, 16, 0x12},
        {"778", 0, 8, 077},
        {"10112", 0, 2, 0b1011},
        {"9A", 0, 10, 9},
        {"", 0, 16, 0},
        {"G1", 0, 16, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StrToNumN(c.text, c.len, c.radix), c.value) << c.text << " len " << c.len;
    }
    EXPECT_EQ(StrToNumN(nullptr, 4, 16), 0u);
    EXPECT_EQ(StrToNum(nullptr, 16), 0u);
}

TEST(NumberConversion, UnsupportedRadixAsserts) {
    AssertRecorder recorder;
    EXPECT_EQ(StrToNumN("12", 0, 12), 0u);
    EXPECT_TRUE(recorder.Saw("false"));
}

struct FormatCase {
    uint32_t value;
    uint32_t radix;
    int32_t sigDigits;
    bool isSigned;
    bool separator;
    const char* text;
};

TEST(NumberFormatting, EachRadix) {
    const FormatCase cases[] = {
        // binary
        {5, 2, 0, false, false, "101"},
        {5, 2, 8, false, false, "00000101"},
        {5, 2, 8, false, true, "0000_0101"},
        {0, 2, 0, false, false, "0"},
        {0xA5, 2, 8, false, true, "1010_0101"},
        {0xA5, 2, 2, false, false, "10100101"},
        {0x1F, 2, 0, false, true, "1_1111"},
        {0xFFFFFFFF, 2, 32, false, true, "1111_1111_1111_1111_1111_1111_1111_1111"},
        {0x80000000, 2, 0, false, false, "10000000000000000000000000000000"},
        // octal
        {8, 8, 0, false, false, "10"},
        {8, 8, 4, false, true, "0010"},
        {0xFFFFFFFF, 8, 0, false, false, "37777777777"},
        // decimal
        {42, 10, 0, false, false, "42"},
        {42, 10, 5, false, true, "00042"},
        {0xFFFFFFFF, 10, 0, false, false, "4294967295"},
        {0xFFFFFFFF, 10, 0, true, false, "-1"},
        {0xFFFFFFFE, 10, 4, true, false, "-002"},
        // hexadecimal
        {0xABCD, 16, 4, false, false, "ABCD"},
        {0x1ABCD, 16, 4, false, false, "1ABCD"},
        {0xAB, 16, 6, false, false, "0000AB"},
        {0x1234ABCD, 16, 0, false, true, "1234_ABCD"},
        {0x12345, 16, 0, false, false, "12345"},
        {0x1234, 16, 8, false, false, "00001234"},
        {0x1234, 16, 8, false, true, "0000_1234"},
        {0x1234, 16, 0, false, true, "1234"},
        {0, 16, 0, false, false, "0"},
        {0x10000, 16, 0, false, true, "1_0000"},
        {0xFF, 16, -3, false, false, "FF"},
    };
    for (const FormatCase& c : cases) {
        char buf[64];
        std::memset(buf, '#', sizeof buf);
        EXPECT_STREQ(NumToStr(buf, c.value, c.radix, c.sigDigits, c.isSigned, c.separator), c.text)
            << std::hex << c.value << " radix " << std::dec << c.radix << " digits " << c.sigDigits;
    }
}

TEST(NumberFormatting, BadArgumentsAssertAndLeaveTheBuffer) {
    AssertRecorder recorder;
    char buf[64] = "untouched";
    EXPECT_EQ(NumToStr(buf, 5, 2, 33, false, false), buf);
    EXPECT_TRUE(recorder.Saw("SigDigits>=0 && SigDigits<=32"));
    EXPECT_STREQ(buf, "untouched");
    NumToStr(buf, 5, 2, -1, false, false);
    EXPECT_STREQ(buf, "untouched");

    recorder.Recorded().clear();
    NumToStr(buf, 5, 3, 0, false, false);
    EXPECT_TRUE(recorder.Saw("false"));
    EXPECT_STREQ(buf, "untouched");
}

TEST(NumberFormatting, AppendNumAddsDigitsAtTheEnd) {
    char buf[64] = "PLL=";
    char* digits = AppendNum(buf, 0x2A, 16, 4);
    EXPECT_STREQ(buf, "PLL=002A");
    EXPECT_EQ(digits, buf + 4);
    AppendNum(buf, 0x12345678, 16, 0); // never with a separator
    EXPECT_STREQ(buf, "PLL=002A12345678");
    AppendNum(buf, 7, 10, 0);
    EXPECT_STREQ(buf, "PLL=002A123456787");
}

TEST(Frequency, Text) {
    const struct {
        uint32_t hz;
        const char* text;
    } cases[] = {
        {0, "0 Hz"},
        {999, "999 Hz"},
        {1000, "1000 Hz"},
        {1001, "1.001 KHz"},
        {100000, "100.000 KHz"},
        {100001, "0.100 MHz"},
        {150000, "0.150 MHz"},
        {48000000, "48.000 MHz"},
        {12345678, "12.345 MHz"},
        {0xFFFFFFFF, "4294.967 MHz"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(FreqToStr(c.hz), c.text) << c.hz;
    }
}

TEST(Frequency, Reading) {
    const struct {
        const char* text;
        uint32_t defaultUnit;
        uint32_t hz;
    } cases[] = {
        {"48", 1000000, 48000000},
        {"12.5", 1000000, 12500000},
        {"27 MHz", 1000000, 27000000},
        {"1.8432MHz", 1000000, 1843000},
        {"32768 Hz", 1000000, 32768},
        {"33.333 khz", 1000000, 33333},
        {"  7 KHZ", 1000000, 7000},
        {"2.5 hz", 1000000, 2},
        {"2.5", 1, 2},
        {"2.5", 1000, 2500},
        {".5", 1000000, 500000},
        {"100 x", 1000, 100000},
        {"100x5", 1000, 100000},
        {"100  MHz", 1000, 100000}, // the unit is looked for after one blank only
        {"", 1000000, 0},
        {"5000 MHz", 1000000, 705032704}, // wraps
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrToFreq(c.text, c.defaultUnit), c.hz) << '"' << c.text << '"';
    }
    EXPECT_EQ(StrToFreq(nullptr, 1000000), 0u);
}

TEST(Bits, MaskBitRange) {
    const struct {
        uint32_t mask;
        int32_t high;
        int32_t low;
    } cases[] = {
        {0x0F70, 6, 4},      {0x0F00, 11, 8}, {1, 0, 0},          {0x80000000, 31, 31},
        {0xFFFFFFFF, 31, 0}, {0, -1, -1},     {0xF0000001, 0, 0}, {0xFFFF0000, 31, 16},
    };
    for (const auto& c : cases) {
        int32_t high = 99, low = 99;
        MaskBitRange(c.mask, &high, &low);
        EXPECT_EQ(high, c.high) << std::hex << c.mask;
        EXPECT_EQ(low, c.low) << std::hex << c.mask;
    }
    int32_t low = 99;
    MaskBitRange(0x30, nullptr, &low);
    EXPECT_EQ(low, 4);
    int32_t high = 99;
    MaskBitRange(0x30, &high, nullptr);
    EXPECT_EQ(high, 5);
}

TEST(Bits, ShiftDownAndSwaps) {
    EXPECT_EQ(MaskShiftDown(0x0F00), 0x0Fu);
    EXPECT_EQ(MaskShiftDown(0x80000000), 1u);
    EXPECT_EQ(MaskShiftDown(0), 0u);
    EXPECT_EQ(MaskShiftDown(0x0F70), 0xF7u);
    EXPECT_EQ(Swap16(0x1234), 0x3412);
    EXPECT_EQ(Swap32(0x12345678), 0x78563412u);
}

} // namespace

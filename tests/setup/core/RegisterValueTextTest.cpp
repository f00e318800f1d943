#include "setup/core/RegisterValueText.h"

#include <gtest/gtest.h>

namespace {

TEST(RegisterValueText, WritesTheValueInEachRadix) {
    EXPECT_EQ(RegisterValueText(0x3C, 16), "3C");
    EXPECT_EQ(RegisterValueText(0x3C, 10), "60");
    EXPECT_EQ(RegisterValueText(0x3C, 2), "111100");
    EXPECT_EQ(RegisterValueText(0, 2), "0");
    EXPECT_EQ(RegisterValueText(0x1FFFFFFFFull, 16), "1FFFFFFFF");
}

TEST(RegisterValueText, ReadsOnlyWholeNumbersOfTheRadix) {
    struct Case {
        const char* Text;
        uint32_t Radix;
        std::optional<uint64_t> Value;
    };
    const Case cases[] = {
        {"3c", 16, 0x3C},
        {" 3C ", 16, 0x3C},
        {"", 16, 0},
        {"   ", 10, 0},
        {"1_0000", 16, 0x10000},
        {"100000000", 16, 0x100000000ull},
        {"99999999999999999999999", 10, UINT64_MAX}, // beyond 64 bits: no register holds it
        {"12G", 16, std::nullopt},                   // not a prefix of it
        {"3C", 10, std::nullopt},
        {"102", 2, std::nullopt},
        {"0x10", 16, std::nullopt},
        {"-1", 10, std::nullopt},
        {"1 2", 10, std::nullopt},
        {"_", 16, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadRegisterValue(c.Text, c.Radix), c.Value) << c.Text << " in " << c.Radix;
    }
}

TEST(RegisterValueText, NamesTheRadixOfARefusedText) {
    EXPECT_EQ(NotANumberText("12G", 16), "\"12G\" is not a hexadecimal number.");
    EXPECT_EQ(NotANumberText("3C", 10), "\"3C\" is not a decimal number.");
    EXPECT_EQ(NotANumberText("2", 2), "\"2\" is not a binary number.");
}

} // namespace

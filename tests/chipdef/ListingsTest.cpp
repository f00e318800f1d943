// Texts about features and registers, worked out by hand from the template's register list and
// the database: location texts and labels, explanations, register details with their bit maps,
// the quick reference and the warnings.
#include "chipdef/ChipDef.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Blanks(size_t n) {
    return std::string(n, ' ');
}

std::string Repeat(const std::string& text, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += text;
    }
    return out;
}

TEST(Listings, LocationTextsAndLabels) {
    ChipDef chip;
    struct Case {
        const char* Feature;
        uint32_t Flags;
        const char* Text;
    };
    const Case cases[] = {
        {"hdp", 0x02, "REG[24h] Bits 6:0"},
        {"hdp", 0x12, "REG[24h-b6:0]"},
        {"hdp", 0x04, "Bits 6:0"},
        {"hdp", 0x14, "b6:0"},
        {"hdp", 0x03, "Horizontal Display Period (REG[24h] Bits 6:0)"},
        {"hdp", 0x20, "FEATURE_HDP"},
        {"pll", 0x12, "REG[10h-b0]"},
        {"saddrB0", 0x01, "Main Layer Start Address (B0)"},
        {"saddr", 0x02, "REG[SPAN]"},
        {"clki", 0x02, "CODE"},
        {"pllLock", 0x09, "PLL Lock Bit [READONLY]"},
        {"swreset", 0x19, "Software Reset [WO]"},
        {"regwrite", 0x18, "[RSVD]"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(chip.GetFeatureLocationText(c.Feature, c.Flags), c.Text)
            << c.Feature << " " << c.Flags;
    }
    EXPECT_STREQ(chip.GetRegisterLabel(0x04, false, 0x20), "REG04_POWER_SAVE");
    EXPECT_STREQ(chip.GetRegisterLabel(0xFC, false, 0x20), "REGFLAG_DELAY");
    EXPECT_STREQ(chip.GetRegisterLabel(0x24, false, 0x0B),
                 "REG[24h] Horizontal Display Width Register");
    EXPECT_STREQ(chip.GetRegisterLabel(0x00, false, 0x0B), "UNKNOWN"); // a 47390 register
    EXPECT_STREQ(chip.GetPartialBitsNote("saddrB1"),
                 "These are partial bits (B1) of the Main Layer Start Address.");
    EXPECT_STREQ(chip.GetPartialBitsNote("hdp"), "");
    ASSERT_TRUE(chip.SelectProduct("47390"));
    EXPECT_STREQ(chip.GetRegisterLabel(0x00, false, 0x0B),
                 "REG[00h] Revision Code Register [READONLY]");
    EXPECT_STREQ(chip.GetRegisterLabel(0x00, false, 0x1B), "REG[00h] Revision Code Register [RO]");
    EXPECT_STREQ(chip.GetFeatureLocationText("prodcode", 0x02), "REG[02h]");
    EXPECT_STREQ(ChipDefBase::SpaceBeforeDigits("*90"), "* 90");
    EXPECT_STREQ(ChipDefBase::SpaceBeforeDigits(nullptr), "");
}

TEST(Listings, ExplanationOfANumber) {
    ChipDef chip;
    char text[1024];
    chip.GetFeatureExplanation("hdp", text, sizeof text, "", "\n", false, 80);
    EXPECT_EQ(std::string(text), "Horizontal Display Period\n"
                                 "  hdp = REG[24h-b6:0] * 8\n"
                                 "  hdp = 3Ch * 8\n"
                                 "  hdp = 1E0h (480 pixels)");
}

TEST(Listings, ExplanationOfAListWithTheLocationColumn) {
    ChipDef chip;
    char text[1024];
    chip.GetFeatureExplanation("pwrsve", text, sizeof text, ">", "\n", true, 80);
    const std::string bits = Blanks(10) + "Bits 1:0  ";
    const std::string empty = Blanks(20);
    EXPECT_EQ(std::string(text), ">" + bits + "Power Save\n" + ">" + empty +
                                     "  pwrsve = REG[04h-b1:0]\n" + ">" + empty +
                                     "  pwrsve = 2h (NMM)\n" + ">" + empty + "Possible Values:\n" +
                                     ">" + empty + "  0h = PSM0\n" + ">" + empty + "  1h = PSM1\n" +
                                     ">" + empty + "  2h = NMM");
}

TEST(Listings, ExplanationIsCutAtTheCapacity) {
    ChipDef chip;
    char text[24];
    std::memset(text, 'x', sizeof text);
    chip.GetFeatureExplanation("pwrsve", text, 16, "", "\n", true, 80);
    EXPECT_EQ(std::string(text), Blanks(10) + "Bits ");
    EXPECT_EQ(text[16], 'x');
}

TEST(Listings, CompactRegisterDetail) {
    ChipDef chip;
    char text[1024];
    chip.GetRegisterDetailText(0x24, text, sizeof text, false, "", "\n", 80, true);
    EXPECT_EQ(std::string(text), "REG[24h] Horizontal Display Width Register\n"
                                 "      b6:0 Horizontal Display Period = 480 pixels");
    chip.GetRegisterDetailText(0x00, text, sizeof text, false, "", "\n", 80, true);
    EXPECT_STREQ(text, "REG[00h] does not exist for this chip.");
}

TEST(Listings, RegisterBitMapInTwoRows) {
    ChipDef chip;
    static char text[16384];
    chip.GetRegisterDetailText(0x10, text, sizeof text, false, "", "\n", 80, false);
    const std::string none = "::::::::|";
    const std::string expectedMap =
        "REG[10h] PLL Setting Register 0\n"
        "Default=0000h Current=0001h\n"
        "+" +
        Repeat("--------+", 8) + "\n" + "|plllock |" + Repeat(none, 7) + "\n" + "|        |" +
        Repeat(none, 7) + "\n" +
        "+---15---+---14---+---13---+---12---+---11---+---10---+----9---+----8---+\n" + "|" +
        Repeat(none, 6) + "pllbypas|pll     |\n" + "|" + Repeat(none, 6) + "s       |        |\n" +
        "+----7---+----6---+----5---+----4---+----3---+----2---+----1---+----0---+\n\n";
    const std::string all = text;
    ASSERT_GE(all.size(), expectedMap.size());
    EXPECT_EQ(all.substr(0, expectedMap.size()), expectedMap);
    // Then each feature's explanation, in table order, after an empty line.
    const size_t lock = all.find("PLL Lock Bit [READONLY]");
    const size_t bypass = all.find("\n\n" + Blanks(13) + "Bit 1  PLL Bypass\n");
    const size_t enable = all.find("\n\n" + Blanks(13) + "Bit 0  PLL Enable\n");
    EXPECT_EQ(lock, expectedMap.size() + 20); // after the column line "Bit 15"
    EXPECT_LT(lock, bypass);
    EXPECT_LT(bypass, enable);
    EXPECT_NE(enable, std::string::npos);
}

TEST(Listings, RegisterBitMapInOneRowWhenWide) {
    ChipDef chip;
    static char text[16384];
    chip.GetRegisterDetailText(0x24, text, sizeof text, false, "", "\n", 160, false);
    const std::string none = "::::::::|";
    const std::string expected = std::string("REG[24h] Horizontal Display Width Register\n") +
                                 "Default=0000h Current=003Ch\n" + "+" + Repeat("--------+", 16) +
                                 "\n" + "|" + Repeat(none, 9) + "hdp" + Blanks(9 * 7 - 1 - 3) +
                                 "|\n" + "|" + Repeat(none, 9) + Blanks(9 * 7 - 1) + "|\n";
    EXPECT_EQ(std::string(text).substr(0, expected.size()), expected);
    // A label longer than its cell breaks where the KEYNAME had its first capital.
    chip.GetRegisterDetailText(0x40, text, sizeof text, false, "", "\n", 160, false);
    EXPECT_NE(std::string(text).find("\n|" + Repeat(none, 7) + "reglatch|"), std::string::npos);
    EXPECT_NE(std::string(text).find("\n|" + Repeat(none, 7) + "dis     |"), std::string::npos);
}

TEST(Listings, QuickReference) {
    ChipDef chip;
    static char text[262144];
    chip.GetQuickReference(text, sizeof text, "\n", 80);
    const std::string all = text;
    EXPECT_EQ(all.substr(0, 45), "ORVEX Q3V47K20 Quick Register Reference\n\n" + Blanks(4));
    EXPECT_NE(all.find("\n\n\n\nREG[04h] Power Save Register\n"), std::string::npos);
    EXPECT_EQ(all.find("REG[00h]"), std::string::npos); // not a 47K20 register
    EXPECT_EQ(all.find("DELAY"), std::string::npos);    // no pseudo-registers
    EXPECT_EQ(all.substr(all.size() - 2), "\n\n");
    AssertRecorder asserts;
    chip.GetQuickReference(text, sizeof text, "\n", 73);
    EXPECT_EQ(asserts.Count(), 1u);
    // A small buffer is filled and not passed.
    char small[100];
    small[99] = 'x';
    chip.GetQuickReference(small, 99, "\n", 80);
    EXPECT_EQ(std::strlen(small), 98u);
    EXPECT_EQ(small[99], 'x');
}

TEST(Listings, WarningsOfStrayBitsAndReservedSettings) {
    ChipDef chip;
    char text[512];
    EXPECT_EQ(chip.GetWarningText(text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
    // REG[04h]: pwrsve holds bits 1:0 only; 3 is no setting of it.
    ASSERT_TRUE(chip.SetRegisterValue(0x04, false, 0x008F));
    const std::string reserved =
        "WARNING: Power Save (REG[04h-b1:0]) is set to RESERVED setting of 3.\n";
    const std::string stray = "WARNING: REG[04h] bits 3:2, 7 should not be set (should be zero).\n";
    EXPECT_EQ(chip.GetWarningText(text, sizeof text), reserved.size() + stray.size());
    EXPECT_EQ(std::string(text), reserved + stray);
    // Whole messages only: the second does not fit.
    EXPECT_EQ(chip.GetWarningText(text, static_cast<uint32_t>(reserved.size() + 10)),
              reserved.size());
    EXPECT_EQ(std::string(text), reserved);
    ASSERT_TRUE(chip.SetRegisterValue(0x04, false, 0x0082));
    const std::string single = "WARNING: REG[04h] bit 7 should not be set (should be zero).\n";
    EXPECT_EQ(chip.GetWarningText(text, sizeof text), single.size());
    EXPECT_EQ(std::string(text), single);
}

} // namespace

// The one-screen summary of the configuration, worked out by hand from the template's register
// list: REG[22h] 0001 (panel on), REG[24h] 003C (480), REG[28h] 0110 (272), REG[40h] 0 (24 bpp,
// no rotation), REG[20h] 004F (TFT), REG[42h]/[44h] 0, REG[56h]/[58h] 0040 (64x64), REG[5Ah]
// 00A0 (x 160), REG[5Ch] 0, REG[52h] 8400 and REG[54h] 0003 (PIP start 38400h), REG[62h] 0040
// (alpha on), SYSCLK from the PLL at 42 x 24 MHz / 16 = 63 MHz, PCLK 63 MHz / 7 = 9 MHz.
#include "chipdef/ChipDef.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Blanks(size_t n) {
    return std::string(n, ' ');
}
std::string Dashes(size_t n) {
    return std::string(n, '-');
}

TEST(Summary, TemplateSummary) {
    AssertRecorder asserts;
    ChipDef chip;
    const std::string p = "|";
    const std::string expected =
        p + " DEVICES   [*ON] " + Blanks(4) + "WxHxBPP DESCRIPTION" + Blanks(38) + "\n" + p + " " +
        Dashes(15) + " " + Dashes(11) + " " + Dashes(49) + "\n" + p + "*Display" + Blanks(8) +
        "  480x272x24 Active TFT\n" + p + "\n" + p + " DIMENSIONS" + Blanks(5) + " " + Blanks(4) +
        "WxHxBPP STRIDE START   SADDR" + Blanks(29) + "\n" + p + " " + Dashes(15) + " " +
        Dashes(11) + " " + Dashes(6) + " " + Dashes(7) + " " + Dashes(34) + "\n" + p +
        "*Main Window" + Blanks(4) + "  480x272x24   1440 N/A     00000000h\n" + p + "*PIP Window" +
        Blanks(5) + "    64x64x24    192 160,0   00038400h\n" + p + "\n" + p + " CLOCKS" +
        Blanks(4) + " FREQ" + Blanks(7) + " SOURCE" + Blanks(48) + "\n" + p + " " + Dashes(10) +
        " " + Dashes(11) + " " + Dashes(54) + "\n" + p + " SYSCLK" + Blanks(4) +
        "  63.000 MHz PLL\n" + p + " PCLK" + Blanks(6) + "   9.000 MHz SYSCLK/7\n";
    EXPECT_EQ(std::string(chip.GetSummaryText("|")), expected);
    EXPECT_EQ(asserts.Count(), 0u);
}

TEST(Summary, ChangedValuesAndNoPrefix) {
    ChipDef chip;
    ASSERT_TRUE(chip.SetFeatureRawValue("lcdout", 0));
    ASSERT_TRUE(chip.SetFeatureRawValue("panelport", 0));
    ASSERT_TRUE(chip.SetFeatureRawValue("format", 2)); // 8 bpp
    ASSERT_TRUE(chip.SetFeatureRawValue("rot", 1));    // 90 degrees
    ASSERT_TRUE(chip.SetFeatureValue("alpha", 0));
    ASSERT_TRUE(chip.SetFeatureRawValue("pllbypass", 1)); // SYSCLK from CLKI
    ASSERT_TRUE(chip.SetFeatureValue("saddr", 0x1F000));
    const std::string summary = chip.GetSummaryText(nullptr);
    EXPECT_NE(summary.find("\n Display" + Blanks(8) + "  480x272x08 Passive Panel\n"),
              std::string::npos);
    EXPECT_NE(
        summary.find("\n*Main Window" + Blanks(4) + "  272x480x08    272 N/A     0001f000h\n"),
        std::string::npos);
    EXPECT_NE(summary.find("\n PIP Window"), std::string::npos);
    EXPECT_NE(summary.find("\n SYSCLK" + Blanks(4) + "  24.000 MHz CLKIN\n"), std::string::npos);
    EXPECT_NE(summary.find("\n PCLK" + Blanks(6) + "   3.428 MHz SYSCLK/7\n"), std::string::npos);
}

} // namespace

// The computed features of ChipDef over the template configuration block and over changed
// values: clocks from CLKI and the PLL registers, sizes from the display features, the block's
// flags and the bit-fields of the bridge's configuration bytes.
#include "chipdef/ChipDef.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct ComputedCase {
    const char* Feature;
    uint32_t Value;
    const char* Text; // nullptr: the text is not checked
};

class TemplateComputed : public testing::TestWithParam<ComputedCase> {};

// Worked out from the template's list: REG[12h] 000F (M-divider 16), REG[14h] 0029 (L-counter
// 42), REG[10h] last 0001 (PLL on, not bypassed), REG[16h] 0006 (PCLK divide 7), REG[24h] 003C
// (480 pixels), REG[28h] 0110 (272 lines), REG[40h] 0 (RGB 8:8:8), REG[56h] 0040 (PIP 64 wide),
// REG[20h] 004F (TFT, data width select 3), CLKI 24 MHz, CONFIGA 40h, flags 10h.
TEST_P(TemplateComputed, ValueAndText) {
    AssertRecorder asserts;
    ChipDef chip;
    const ComputedCase& c = GetParam();
    EXPECT_EQ(chip.GetFeatureValue(c.Feature), c.Value);
    if (c.Text) {
        EXPECT_STREQ(chip.GetFeatureText(c.Feature, true), c.Text);
    }
    EXPECT_EQ(asserts.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateComputed,
    testing::Values(
        ComputedCase{"clki", 24000000, "24.000 MHz"}, ComputedCase{"pllclk", 1500000, "1.500 MHz"},
        ComputedCase{"plloutclk", 63000000, "63.000 MHz"}, ComputedCase{"sysclksrc", 1, "PLL"},
        ComputedCase{"sysclk", 63000000, "63.000 MHz"}, ComputedCase{"pclk", 9000000, "9.000 MHz"},
        ComputedCase{"adapter", 1, "USB"}, ComputedCase{"resetduringinit", 1, "True"},
        ComputedCase{"gpiohiduringinit", 1, "True"}, ComputedCase{"regwrite", 0, "False"},
        ComputedCase{"baseaddr", 0, nullptr}, ComputedCase{"baseregaddr", 0x60800, nullptr},
        ComputedCase{"bufsize", 393216, "393216 bytes"}, ComputedCase{"usbconfig0", 0x40, nullptr},
        ComputedCase{"usbconfig3", 0xDF, nullptr}, ComputedCase{"mgedbw", 2, "16-bit"},
        ComputedCase{"mgesigtypeA", 0, "Intel80 Type 1"},
        ComputedCase{"mgerdwait", 15, "15 clocks"}, // CONFIGC 5Eh: 0xE + 1
        ComputedCase{"mgewrwait", 6, "6 clocks"},   // 0x5 + 1
        ComputedCase{"mgeabw", 2, "16-bit"},        // CONFIGD DFh bits 6:5
        ComputedCase{"mgeb2bcshigh", 1, "High"},
        ComputedCase{"hostinterface", 0, nullptr}, // 40h & 7Fh is above 7
        ComputedCase{"bpp", 24, "24 bpp"}, ComputedCase{"pipbpp", 24, "24 bpp"},
        ComputedCase{"datawidth", 24, "24-bit"}, ComputedCase{"swwidth", 480, "480"},
        ComputedCase{"swheight", 272, "272"}, ComputedCase{"stride", 1440, "1440 bytes"},
        ComputedCase{"pipstride", 192, "192 bytes"}),
    [](const testing::TestParamInfo<ComputedCase>& info) {
        return std::string(info.param.Feature);
    });

TEST(ComputedFeatures, SignalTypeKeysMatchTheLowerCasedNames) {
    ChipDef chip;
    // CONFIGA 1Ch: bits 4:2 all set.
    ASSERT_TRUE(chip.SetFeatureRawValue("usbconfig0", 0x1C));
    EXPECT_EQ(chip.GetFeatureRawValue("mgesigtypeA"), 7u);
    EXPECT_EQ(chip.GetFeatureRawValue("mgesigtypeB"), 1u);
    EXPECT_EQ(chip.GetFeatureRawValue("mgesigtypeC"), 3u);
    // Writes change only their bits of the byte.
    EXPECT_TRUE(chip.SetFeatureRawValue("mgesigtypeC", 1));
    EXPECT_EQ(chip.HclData().USBConfig[0], 0x0Cu);
    EXPECT_TRUE(chip.SetFeatureRawValue("mgesigtypeA", 0));
    EXPECT_EQ(chip.HclData().USBConfig[0], 0x00u);
}

TEST(ComputedFeatures, HostInterfaceByConfigA) {
    ChipDef chip;
    const uint32_t expected[8] = {1, 2, 4, 5, 0, 3, 0, 7}; // 6 is answered by the base: 0
    for (uint32_t select = 0; select < 8; ++select) {
        ASSERT_TRUE(chip.SetFeatureRawValue("usbconfig0", 0x80 | select));
        EXPECT_EQ(chip.GetFeatureRawValue("hostinterface"), expected[select]) << select;
    }
}

TEST(ComputedFeatures, ClockWrites) {
    ChipDef chip;
    // Writing the current PLL output reads it back unchanged (the L-counter's "+1" once).
    EXPECT_TRUE(chip.SetFeatureValue("plloutclk", 63000000));
    EXPECT_EQ(chip.GetFeatureValue("lcounter"), 42u);
    EXPECT_EQ(chip.GetFeatureValue("plloutclk"), 63000000u);
    EXPECT_TRUE(chip.SetFeatureValue("plloutclk", 48000000));
    EXPECT_EQ(chip.GetFeatureValue("lcounter"), 32u);
    EXPECT_EQ(chip.GetFeatureText("sysclk", true), std::string("48.000 MHz"));
    // PLL input 3 MHz: M-divider 8.
    EXPECT_TRUE(chip.SetFeatureValue("pllclk", 3000000));
    EXPECT_EQ(chip.GetFeatureValue("mdivider"), 8u);
    // SYSCLK from the PLL goes to the PLL output; from CLKIN to CLKI.
    EXPECT_TRUE(chip.SetFeatureValue("sysclk", 96000000));
    EXPECT_EQ(chip.GetFeatureValue("lcounter"), 32u);
    EXPECT_TRUE(chip.SetFeatureRawValue("sysclksrc", 0));
    EXPECT_EQ(chip.GetFeatureRawValue("pllbypass"), 1u);
    EXPECT_TRUE(chip.SetFeatureValue("sysclk", 12000000));
    EXPECT_EQ(chip.GetFeatureValue("clki"), 12000000u);
    EXPECT_EQ(chip.GetFeatureValue("sysclk"), 12000000u);
    EXPECT_TRUE(chip.SetFeatureRawValue("sysclksrc", 1));
    EXPECT_EQ(chip.GetFeatureRawValue("pllbypass"), 0u);
}

TEST(ComputedFeatures, ZeroClocksAreRefusedWithoutWriting) {
    AssertRecorder asserts;
    ChipDef chip;
    const oxHclData before = chip.HclData();
    EXPECT_FALSE(chip.SetFeatureValue("pllclk", 0));
    ASSERT_TRUE(chip.SetFeatureValue("clki", 0)); // PLL input now 0 Hz
    EXPECT_EQ(chip.GetFeatureValue("pllclk"), 0u);
    const oxHclData withoutClock = chip.HclData();
    EXPECT_FALSE(chip.SetFeatureValue("plloutclk", 48000000));
    EXPECT_FALSE(chip.SetFeatureValue("sysclk", 48000000));
    EXPECT_EQ(std::memcmp(&withoutClock, &chip.HclData(), sizeof withoutClock), 0);
    EXPECT_EQ(before.Regs[4].Value, chip.HclData().Regs[4].Value); // REG[12h] untouched
    EXPECT_EQ(asserts.Count(), 0u);
}

TEST(ComputedFeatures, PllOutputSaturatesAt32Bits) {
    ChipDef chip;
    // 120 MHz times 66 through a divider of 1 is past 32 bits.
    ASSERT_TRUE(chip.SetFeatureValue("clki", 120000000));
    ASSERT_TRUE(chip.SetFeatureValue("mdivider", 1));
    ASSERT_TRUE(chip.SetFeatureValue("lcounter", 66));
    EXPECT_EQ(chip.GetFeatureValue("plloutclk"), 0xFFFFFFFFu);
    EXPECT_EQ(chip.GetFeatureMax("plloutclk"), 0xFFFFFFFFu);
    EXPECT_EQ(chip.GetFeatureMax("sysclk"), 0xFFFFFFFFu);
    EXPECT_EQ(chip.GetFeatureMax("clki"), 120000000u);
    EXPECT_EQ(chip.GetFeatureMax("pllclk"), 120000000u);
    EXPECT_EQ(chip.GetFeatureMin("sysclk"), 0u);
}

TEST(ComputedFeatures, BlockFlagsAndTheirRegisters) {
    ChipDef chip;
    EXPECT_TRUE(chip.SetFeatureRawValue("adapter", 0));
    EXPECT_EQ(oxHclGetFlags(chip.HclData()) & oxfADAPTER_USB, 0u);
    EXPECT_TRUE(chip.SetFeatureRawValue("regwrite", 1));
    EXPECT_EQ(oxHclGetFlags(chip.HclData()) & oxfDEBUG_REG_WRITES, oxfDEBUG_REG_WRITES);
    // The reset and GPIO settings also change REG[06h], REG[D0h] and REG[D2h] in the list.
    EXPECT_TRUE(chip.SetFeatureRawValue("resetduringinit", 0));
    EXPECT_EQ(oxHclGetFlags(chip.HclData()) & oxfNO_RESET, oxfNO_RESET);
    EXPECT_EQ(chip.GetRegisterValue(0x06, false), 0u);
    EXPECT_TRUE(chip.SetFeatureRawValue("gpiohiduringinit", 0));
    EXPECT_EQ(oxHclGetFlags(chip.HclData()) & oxfNO_INIT_GPIO, oxfNO_INIT_GPIO);
    EXPECT_EQ(chip.GetRegisterValue(0xD0, false), 0u);
    EXPECT_EQ(chip.GetRegisterValue(0xD2, false), 0u);
    EXPECT_EQ(chip.GetFeatureRawValue("resetduringinit"), 0u);
    EXPECT_TRUE(chip.SetFeatureValue("baseaddr", 0x12345678));
    EXPECT_EQ(oxHclGetBaseAddress(chip.HclData()), 0x12345678u);
}

TEST(ComputedFeatures, DataWidthBySetting) {
    ChipDef chip;
    // panelport 1 (TFT): 16 bits is select 1.
    EXPECT_TRUE(chip.SetFeatureValue("datawidth", 16));
    EXPECT_EQ(chip.GetFeatureRawValue("paneldatawidth"), 1u);
    EXPECT_TRUE(chip.SetFeatureValue("datawidth", 12)); // no such width: nothing changes
    EXPECT_EQ(chip.GetFeatureRawValue("paneldatawidth"), 1u);
    ASSERT_TRUE(chip.SetFeatureRawValue("panelport", 0));
    EXPECT_TRUE(chip.SetFeatureValue("datawidth", 16));
    EXPECT_EQ(chip.GetFeatureRawValue("paneldatawidth"), 2u);
    EXPECT_EQ(chip.GetFeatureValue("datawidth"), 16u);
    EXPECT_TRUE(chip.SetFeatureValue("datawidth", 4));
    EXPECT_EQ(chip.GetFeatureValue("datawidth"), 4u);
}

TEST(ComputedFeatures, SizesFollowRotationAndFormat) {
    ChipDef chip;
    ASSERT_TRUE(chip.SetFeatureRawValue("rot", 1)); // 90 degrees: width and height swap
    EXPECT_EQ(chip.GetFeatureValue("swwidth"), 272u);
    EXPECT_EQ(chip.GetFeatureValue("swheight"), 480u);
    ASSERT_TRUE(chip.SetFeatureRawValue("format", 1)); // RGB 5:6:5
    EXPECT_EQ(chip.GetFeatureValue("bpp"), 16u);
    EXPECT_EQ(chip.GetFeatureValue("stride"), 544u);
    ASSERT_TRUE(chip.SetFeatureRawValue("pipformat", 2));
    EXPECT_EQ(chip.GetFeatureValue("pipbpp"), 8u);
    EXPECT_EQ(chip.GetFeatureValue("pipstride"), 64u);
}

TEST(ComputedFeatures, FeaturesLeftToTheBaseGiveNothing) {
    AssertRecorder asserts;
    ChipDef chip;
    for (const char* name : {"busWidth", "mclk", "tvddsclk", "tvclk"}) {
        EXPECT_EQ(chip.GetFeatureRawValue(name), 0u) << name;
    }
    for (const char* name : {"bpp", "stride", "swwidth", "bufsize", "baseregaddr", "pclk"}) {
        EXPECT_FALSE(chip.SetFeatureRawValue(name, 1)) << name;
    }
    EXPECT_EQ(asserts.Count(), 0u);
}

TEST(ComputedFeatures, ChipTextsAndDescription) {
    ChipDef chip;
    EXPECT_STREQ(chip.GetFeatureText("chipid", true), "47K20");
    EXPECT_STREQ(chip.GetFeatureText("chipname", true), "Q3V47K20");
    EXPECT_STREQ(chip.GetFeatureText("chipdesc", true), " Simple LCDC");
    EXPECT_STREQ(chip.GetFeatureText("setupdesc", true), "");
    EXPECT_TRUE(chip.SetFeatureText("setupdesc", "Board A"));
    EXPECT_STREQ(chip.GetFeatureText("setupdesc", true), "Board A");
    // A longer text keeps 255 characters; a field without NUL reads 255 characters.
    const std::string longText(300, 'x');
    EXPECT_TRUE(chip.SetFeatureText("setupdesc", longText.c_str()));
    EXPECT_EQ(std::string(chip.GetFeatureText("setupdesc", true)), std::string(255, 'x'));
    std::memset(chip.MutableHclData().szConfigString, 'y', 256);
    EXPECT_EQ(std::string(chip.GetFeatureText("setupdesc", true)), std::string(255, 'y'));
}

TEST(ComputedFeatures, MemoryRegions) {
    ChipDef chip;
    ASSERT_TRUE(chip.SetFeatureValue("baseaddr", 0x1000));
    char name[128];
    uint32_t address = 0;
    uint32_t size = 7;
    ASSERT_TRUE(chip.GetMemoryRegion(1, 0, name, &address, &size));
    EXPECT_STREQ(name, "Chip Base Address");
    EXPECT_EQ(address, 0x1000u);
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(chip.GetMemoryRegion(1, 1, name, &address, &size));
    EXPECT_TRUE(chip.GetMemoryRegion(3, 0, name, &address, &size));
    EXPECT_EQ(address, 0u);
    EXPECT_FALSE(chip.GetMemoryRegion(2, 0, name, &address, &size));
    EXPECT_FALSE(chip.GetMemoryRegion(4, 0, name, &address, &size));
}

} // namespace

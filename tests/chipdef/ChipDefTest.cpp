// Feature values and texts of ChipDef over the template configuration block: its register list
// is the block's register initialisation list, and registers that the list lacks read their
// DEFAULT from the database.
#include "chipdef/ChipDef.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ReadCase {
    const char* Feature;
    uint32_t Raw;
    uint32_t Value;
    const char* Text;
};

class TemplateReads : public testing::TestWithParam<ReadCase> {};

TEST_P(TemplateReads, RawValueAndText) {
    AssertRecorder asserts;
    ChipDef chip;
    const ReadCase& c = GetParam();
    EXPECT_EQ(chip.GetFeatureRawValue(c.Feature), c.Raw);
    EXPECT_EQ(chip.GetFeatureValue(c.Feature), c.Value);
    EXPECT_STREQ(chip.GetFeatureText(c.Feature, true), c.Text);
    EXPECT_TRUE(chip.IsFeatureTextEqual(c.Feature, c.Text));
    EXPECT_EQ(asserts.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateReads,
    testing::Values(
        // REG[24h] = 003C: MASK 007F, OP1 "*8".
        ReadCase{"hdp", 60, 480, "480 pixels"},
        // REG[52h] = 8400 (B0 00, B1 84), REG[54h] = 0003 (B2 3).
        ReadCase{"pipsaddr", 0x38400, 0x38400, "00038400h"},
        ReadCase{"pipsaddrB1", 0x84, 0x84, "132"},
        // REG[04h] is listed three times; the last entry (0002) counts.
        ReadCase{"pwrsve", 2, 2, "NMM"}, ReadCase{"pclkpol", 0, 0, "Rising edge"},
        // REG[10h] is listed twice; the last entry (0001) counts.
        ReadCase{"pll", 1, 1, "True"}, ReadCase{"pllbypass", 0, 0, "False"},
        // REG[12h] = 000F: OP1 "+1", UNIT ":1".
        ReadCase{"mdivider", 15, 16, "16:1"},
        // REG[18h] is not in the list: its DEFAULT 0408 is read.
        ReadCase{"rs", 8, 8, "8"}, ReadCase{"vco", 2, 2, "2"},
        ReadCase{"telinecount", 0, 0, "0 lines"}, ReadCase{"rot", 0, 0, "0 degrees"},
        // REG[60h] = 0001: Normal.
        ReadCase{"blinkeffect", 1, 1, "Normal"}, ReadCase{"gpio0c", 1, 1, "Output"},
        ReadCase{"gpio0pd", 0, 0, "False"}, ReadCase{"paneldatawidth", 3, 3, "3"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.Feature); });

struct SetCase {
    const char* Feature;
    uint32_t Value;
    bool Result;
    uint32_t ValueAfter;
};

class TemplateSets : public testing::TestWithParam<SetCase> {};

TEST_P(TemplateSets, ClampsOrRefuses) {
    ChipDef chip;
    const SetCase& c = GetParam();
    EXPECT_EQ(chip.SetFeatureValue(c.Feature, c.Value), c.Result);
    EXPECT_EQ(chip.GetFeatureValue(c.Feature), c.ValueAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateSets,
    testing::Values(SetCase{"hdp", 161, true, 160},     // integer division of the inverse "*8"
                    SetCase{"hdp", 5000, false, 1016},  // above MAX: written as MAX, reported false
                    SetCase{"mdivider", 40, false, 33}, // MAX="21" is hex
                    SetCase{"lcounter", 3, false, 17},  // below MIN 11h
                    SetCase{"lcounter", 0x30, true, 0x30},
                    SetCase{"pipsaddr", 0x7FFFF, true, 0x7FFFF},
                    SetCase{"pipsaddr", 0x80000, false, 0x7FFFF},
                    SetCase{"rs", 1, false, 8},     // REG[18h] is not in the list
                    SetCase{"pwrsve", 1, true, 1},  // a list value goes through its entry
                    SetCase{"pwrsve", 3, false, 2}, // no entry holds 3
                    SetCase{"pll", 0, true, 0}, SetCase{"pll", 2, false, 1}),
    [](const testing::TestParamInfo<SetCase>& info) {
        return std::string(info.param.Feature) + "_" + std::to_string(info.param.Value);
    });

TEST(ChipDefValues, RawWritesStayInsideTheField) {
    ChipDef chip;
    // MASK 0018, OP1 "*90": raw 3 is 270 degrees; 4 does not fit the field.
    EXPECT_TRUE(chip.SetFeatureRawValue("rot", 3));
    EXPECT_EQ(chip.GetFeatureValue("rot"), 270u);
    EXPECT_FALSE(chip.SetFeatureRawValue("rot", 4));
    EXPECT_EQ(chip.GetRegisterValue(0x40, false), 0x18u);
    // The split value is spread over its parts and joined again.
    EXPECT_TRUE(chip.SetFeatureRawValue("saddr", 0x51234));
    EXPECT_EQ(chip.GetRegisterValue(0x42, false), 0x1234u);
    EXPECT_EQ(chip.GetRegisterValue(0x44, false), 0x5u);
    EXPECT_EQ(chip.GetFeatureRawValue("saddr"), 0x51234u);
    // Only the last of the three REG[04h] entries changes.
    EXPECT_TRUE(chip.SetFeatureRawValue("pwrsve", 0));
    EXPECT_EQ(chip.HclData().Regs[2].Value, 0u);
    EXPECT_EQ(chip.HclData().Regs[9].Value, 1u);
    EXPECT_EQ(chip.HclData().Regs[39].Value, 0u);
}

TEST(ChipDefValues, LimitsOfNumericFeatures) {
    ChipDef chip;
    EXPECT_EQ(chip.GetFeatureMin("hdp"), 0u);
    EXPECT_EQ(chip.GetFeatureMax("hdp"), 1016u);
    EXPECT_EQ(chip.GetFeatureMin("pclkdiv"), 1u);
    EXPECT_EQ(chip.GetFeatureMax("pclkdiv"), 16u);
    EXPECT_EQ(chip.GetFeatureStep("hdp"), 1u);
    EXPECT_EQ(chip.GetFeatureMax("pipsaddr"), 0x7FFFFu);
    AssertRecorder asserts;
    EXPECT_EQ(chip.GetFeatureMax("pwrsve"), 0u); // a list has no limits: asserts
    EXPECT_EQ(asserts.Count(), 1u);
}

TEST(ChipDefTexts, ListAndBoolTexts) {
    ChipDef chip;
    EXPECT_TRUE(chip.SetFeatureText("pclkpol", "falling EDGE"));
    EXPECT_EQ(chip.GetFeatureRawValue("pclkpol"), 1u);
    EXPECT_TRUE(chip.SetFeatureText("pclkpol", "0"));
    EXPECT_EQ(chip.GetFeatureRawValue("pclkpol"), 0u);
    EXPECT_FALSE(chip.SetFeatureText("pclkpol", "sideways"));
    EXPECT_FALSE(chip.SetFeatureText("pclkpol", ""));

    struct {
        const char* Text;
        bool Result;
        uint32_t Raw;
    } const boolCases[] = {{"on", true, 1},       {"off", true, 0},     {"TRUE", true, 1},
                           {"Disabled", true, 0}, {"1", true, 1},       {"f", true, 0},
                           {"maybe", false, 0},   {"Enabled", true, 1}, {"2", false, 1}};
    for (const auto& c : boolCases) {
        EXPECT_EQ(chip.SetFeatureText("lcdout", c.Text), c.Result) << c.Text;
        EXPECT_EQ(chip.GetFeatureRawValue("lcdout"), c.Raw) << c.Text;
    }
    // A raw value outside every range.
    EXPECT_TRUE(chip.SetFeatureRawValue("format", 7));
    EXPECT_STREQ(chip.GetFeatureText("format", true), "[RESERVED SETTING OF 7h]");
    EXPECT_STREQ(chip.FormatFeatureValue("format", 5, true), "16bpp + LUT1");
    // FormatFeatureValue shows one more leading zero for whole nibbles.
    EXPECT_STREQ(chip.FormatFeatureValue("usbconfig0", 0xFF, true), "0FFh");
    EXPECT_STREQ(chip.FormatFeatureValue("hdp", 2, true), "16 pixels");
    EXPECT_STREQ(chip.FormatFeatureValue("hdp", 0x7F, false), "1016 pixels");

    // Numbers of numeric features are read in their radix.
    EXPECT_TRUE(chip.SetFeatureText("pipsaddr", "1_2345"));
    EXPECT_EQ(chip.GetFeatureValue("pipsaddr"), 0x12345u);
    EXPECT_TRUE(chip.SetFeatureText("hdp", "80"));
    EXPECT_EQ(chip.GetFeatureValue("hdp"), 80u);
}

TEST(ChipDefTexts, ValueEntries) {
    AssertRecorder asserts;
    ChipDef chip;
    // The 47K20 format lists 0, 1, 4, 5 and 6.
    uint32_t first = 0;
    uint32_t last = 0;
    EXPECT_TRUE(chip.GetFeatureListEntry("format", 2, &first, &last));
    EXPECT_EQ(first, 4u);
    EXPECT_EQ(last, 4u);
    EXPECT_FALSE(chip.GetFeatureListEntry("format", 5, &first, &last));
    EXPECT_TRUE(chip.IsListEntryInProduct("format", 4));
    EXPECT_FALSE(chip.IsListEntryInProduct("format", 5));
    EXPECT_FALSE(chip.IsListEntryInProduct("nosuchfeature", 0));
    EXPECT_EQ(asserts.Count(), 0u);
    EXPECT_FALSE(chip.IsListEntryReserved("format", 99));
    EXPECT_FALSE(chip.IsListEntryReadOnly("format", 99));
    EXPECT_FALSE(chip.IsListEntryWriteOnly("format", 99));
    EXPECT_FALSE(chip.IsListEntryDirectional("format", 99));

    EXPECT_TRUE(chip.SetFeatureListIndex("format", 3));
    EXPECT_EQ(chip.GetFeatureRawValue("format"), 5u);
    EXPECT_FALSE(chip.SetFeatureListIndex("format", 9));
    EXPECT_EQ(chip.GetFeatureRawValue("format"), 5u);
    uint32_t listIndex = 99;
    EXPECT_TRUE(chip.GetFeatureListIndex("format", &listIndex));
    EXPECT_EQ(listIndex, 3u);
    EXPECT_TRUE(chip.SetFeatureRawValue("format", 2));
    EXPECT_FALSE(chip.GetFeatureListIndex("format", &listIndex));
    EXPECT_EQ(listIndex, 0u);

    // SPI modes are reserved for every product; hiding reserved entries skips them.
    EXPECT_TRUE(chip.IsListEntryReserved("hostinterface", 6));
    EXPECT_TRUE(chip.GetFeatureListEntry("hostinterface", 7, &first, &last));
    chip.SetShowReserved(false);
    EXPECT_FALSE(chip.GetFeatureListEntry("hostinterface", 6, &first, &last));
    chip.SetShowReserved(true);

    // Entry names with the feature's unit appended also name the entry.
    uint32_t feature = 0;
    uint32_t entry = 0;
    ASSERT_TRUE(chip.FindFeature("busWidth", &feature));
    EXPECT_TRUE(chip.FindListEntryByText(feature, "16-BIT", &entry));
    EXPECT_EQ(entry, 1u);
    EXPECT_STREQ(chip.FormatFeatureValue("buswidth", 1, true), "16-bit");
    EXPECT_EQ(asserts.Count(), 0u);
    // Value entries belong to list and bool features only.
    EXPECT_FALSE(chip.SetFeatureListIndex("hdp", 0));
    EXPECT_EQ(asserts.Count(), 1u);
}

TEST(ChipDefProducts, ChangingTheProduct) {
    AssertRecorder asserts;
    ChipDef chip;
    EXPECT_FALSE(chip.IsFeatureInProduct("bltcmd"));
    EXPECT_STREQ(chip.GetFeatureText("format", true), "RGB 8:8:8");
    EXPECT_TRUE(chip.SelectProduct("47390"));
    EXPECT_STREQ(chip.HclData().szChipId, "47390");
    EXPECT_TRUE(chip.IsFeatureInProduct("bltcmd"));
    EXPECT_EQ(chip.CountRegistersInProduct(), 61u);
    EXPECT_TRUE(chip.SetFeatureRawValue("format", 2));
    EXPECT_STREQ(chip.GetFeatureText("format", true), "8bpp for Mono");
    EXPECT_TRUE(chip.SetFeatureRawValue("panelport", 0));
    EXPECT_STREQ(chip.GetFeatureText("panelport", true), "STN enabled");
    // Back on the 47K20 the 47K20 rows answer, also for a name looked up just before.
    EXPECT_TRUE(chip.SelectProduct("47K20"));
    EXPECT_STREQ(chip.GetFeatureText("format", true), "[RESERVED SETTING OF 2h]");
    EXPECT_STREQ(chip.GetFeatureText("panelport", true), "TFT disabled");
    uint32_t i = 0;
    ASSERT_TRUE(chip.FindFeature("format", &i));
    EXPECT_STREQ(chip.Features()[i].Product, "47K20");
    EXPECT_FALSE(chip.SelectProduct("47999"));
    EXPECT_STREQ(chip.GetSelectedProductKey(), "47K20");
    EXPECT_TRUE(chip.SelectProduct("all"));
    EXPECT_STREQ(chip.GetSelectedProductKey(), "all");
    EXPECT_STREQ(chip.GetProductText(nullptr, 0x01), "<A Product Was Not Selected>");
    EXPECT_STREQ(chip.GetProductText("47K20", 0x1C1), "Q3V47K20 Simple LCDC");
    EXPECT_EQ(asserts.Count(), 0u);
}

TEST(ChipDefProducts, FeatureKeysOfTheNewProduct) {
    // The 47390 has features that the 47K20 lacks: the n-th key differs after the change.
    ChipDef fresh;
    const char* expected = nullptr;
    ASSERT_TRUE(fresh.GetFeatureKey(120, &expected));
    ChipDef chip;
    ASSERT_TRUE(chip.SelectProduct("47390"));
    const char* key = nullptr;
    ASSERT_TRUE(chip.GetFeatureKey(120, &key));
    EXPECT_STRNE(key, expected);
    ASSERT_TRUE(chip.SelectProduct("47K20"));
    ASSERT_TRUE(chip.GetFeatureKey(120, &key));
    EXPECT_STREQ(key, expected);
}

TEST(ChipDefProducts, CallerBuffersAreBounded) {
    ChipDef chip;
    char key[3] = {'x', 'x', 'x'};
    EXPECT_TRUE(chip.GetProductKey(1, key, sizeof key));
    EXPECT_STREQ(key, "47");
    EXPECT_FALSE(chip.GetProductKey(2, key, sizeof key));
    char name[8];
    char catKey[8];
    EXPECT_TRUE(chip.GetCategory(5, catKey, name, sizeof name));
    EXPECT_STREQ(catKey, "gpio");
    EXPECT_STREQ(name, "General");
    EXPECT_TRUE(chip.GetCategory(0, nullptr, name, sizeof name));
    EXPECT_FALSE(chip.GetCategory(6, catKey, name, sizeof name));
    EXPECT_TRUE(chip.IsCategoryInProduct("gpio"));
    EXPECT_FALSE(chip.IsCategoryInProduct("blt"));
}

TEST(ChipDefRegisterList, SlotsOverTheBlock) {
    ChipDef chip;
    uint32_t pos = 0;
    EXPECT_TRUE(chip.FindRegListEntry(0x04, &pos, true));
    EXPECT_EQ(pos, 2u);
    EXPECT_TRUE(chip.FindRegListEntry(0x04, &pos, false));
    EXPECT_EQ(pos, 39u);
    EXPECT_FALSE(chip.FindRegListEntry(0x80, &pos, false));
    uint32_t index = 0;
    EXPECT_TRUE(chip.GetRegListIndex(40, &index));
    EXPECT_EQ(index, 255u);
    EXPECT_FALSE(chip.GetRegListIndex(41, &index));
    EXPECT_FALSE(chip.SetRegListValue(593, 1));
    EXPECT_EQ(chip.GetRegListValue(593), 0u);
    // Position 25 of the list holds REG[52h].
    EXPECT_EQ(chip.GetRegisterValue(25, true), 0x8400u);
    EXPECT_TRUE(chip.SetRegisterValue(25, true, 0x77));
    EXPECT_EQ(chip.GetRegisterValue(0x52, false), 0x77u);
    // Outside hot mode a register that the list lacks reads its DEFAULT and takes no value.
    EXPECT_EQ(chip.GetRegisterValue(0x1A, false), 0x0400u);
    EXPECT_FALSE(chip.SetRegisterValue(0x1A, false, 1));
    EXPECT_EQ(chip.GetRegisterValue(0x7000, false), 0u);
    EXPECT_FALSE(chip.IsFeatureOutsideRegList("hdp", &index));
    EXPECT_TRUE(chip.IsFeatureOutsideRegList("rs", &index));
    EXPECT_EQ(index, 0x18u);
    EXPECT_FALSE(chip.IsFeatureOutsideRegList("saddr", &index));
}

TEST(ChipDefObjects, PoolsAreGivenBackSoLaterObjectsHaveTheirOwn) {
    AssertRecorder asserts;
    for (int i = 0; i < 12; ++i) {
        ChipDef chip;
        // A product text of the full pool size: the pool's texts hold 4096 bytes.
        const char* text = chip.GetProductText(nullptr, 0x1C1);
        EXPECT_STREQ(text, "Q3V47K20 Simple LCDC");
    }
    EXPECT_EQ(asserts.Count(), 0u);
}

} // namespace

// Look-ups filtered by the selected product: the product filter, the one-entry caches of
// FindFeature and FindRegister, rows without keys, register runs and bit masks.
#include "ChipDefTestDouble.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const kDocument = R"(<CHIPDEF>
<PRODUCTS>
 <PRODUCT KEYNAME="47A" NAME="A" DESC="a"/>
 <PRODUCT KEYNAME="47B" NAME="B" DESC="b" VARIANTOF="47A"/>
 <PRODUCT KEYNAME="47C" NAME="C" DESC="c"/>
 <PRODUCT NAME="nameless" DESC="d"/>
</PRODUCTS>
<REGISTERS DEFAULTINDEXWIDTH="2" DEFAULTVALUEWIDTH="4">
 <REGISTER REG="04" LEXNAME="PS" NAME="Power" SAFETEST="1"/>
 <REGISTER REG="06" NAME="Keyless"/>
 <REGISTER REG="40" REGEND="4E" REGSTEP="2" LEXNAME="RUN" NAME="Run"/>
 <REGISTER REG="60" LEXNAME="ONLYC" NAME="c" PRODUCT="47C" ACCESS="wo"/>
 <REGISTER REG="62" LEXNAME="BITS" NAME="b" ACCESS="ro" RESERVED="47C" CATEGORY="x"/>
</REGISTERS>
<FEATURES>
 <FEATURE TYPE="numb" REG="04"/>
 <FEATURE KEYNAME="mode" TYPE="numb" REG="62" MASK="0003" PRODUCT="47A"/>
 <FEATURE KEYNAME="mode" TYPE="numb" REG="62" MASK="000C" PRODUCT="47C"/>
 <FEATURE KEYNAME="lo" TYPE="numb" REG="62" MASK="00F0" ACCESS="ro"/>
 <FEATURE KEYNAME="hi" TYPE="numb" REG="62" MASK="0F00" ACCESS="wo"/>
 <FEATURE KEYNAME="rsv" TYPE="numb" REG="62" MASK="1000" RESERVED="47C"/>
</FEATURES>
</CHIPDEF>)";

class Lookup : public testing::Test {
protected:
    void SetUp() override { m_Chip.LoadDocument(kDocument); }
    ListChip m_Chip;
    AssertRecorder m_Asserts;
};

TEST_F(Lookup, ProductFilter) {
    struct {
        const char* Selected;
        const char* List;
        bool Passes;
    } const cases[] = {
        {"all", "47C", true},  {"47A", nullptr, true},   {"47A", "all", true},
        {"47A", "47C", false}, {"47C", "47A 47C", true}, {"47B", "47A", true}, // variant of
        {"47A", "47B", true},                                                  // has a variant
        {"47C", "47B", false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(m_Chip.SelectProduct(c.Selected));
        EXPECT_EQ(m_Chip.IsInSelectedProduct(c.List), c.Passes)
            << c.Selected << " " << (c.List ? c.List : "(none)");
    }
}

TEST_F(Lookup, ACachedHitPassesTheCurrentFilter) {
    uint32_t i = 0;
    ASSERT_TRUE(m_Chip.SelectProduct("47C"));
    ASSERT_TRUE(m_Chip.FindFeature("mode", &i));
    EXPECT_EQ(i, 2u);
    ASSERT_TRUE(m_Chip.SelectProduct("47A"));
    ASSERT_TRUE(m_Chip.FindFeature("mode", &i));
    EXPECT_EQ(i, 1u);
    ASSERT_TRUE(m_Chip.SelectProduct("47C"));
    EXPECT_TRUE(m_Chip.FindFeature("MODE", &i));
    EXPECT_EQ(i, 2u);

    uint32_t row = 0;
    ASSERT_TRUE(m_Chip.FindRegister(0x60, false, &row, nullptr));
    EXPECT_EQ(row, 3u);
    ASSERT_TRUE(m_Chip.SelectProduct("47A"));
    EXPECT_FALSE(m_Chip.FindRegister(0x60, false, &row, nullptr));
}

TEST_F(Lookup, FeatureKeysFollowTheSelection) {
    const auto keys = [this] {
        std::string all;
        const char* key = nullptr;
        for (uint32_t n = 0; m_Chip.GetFeatureKey(n, &key); ++n) {
            all += key ? key : "-";
            all += " ";
        }
        return all;
    };
    ASSERT_TRUE(m_Chip.SelectProduct("47A"));
    EXPECT_EQ(keys(), "- mode lo hi rsv ");
    const char* key = nullptr;
    ASSERT_TRUE(m_Chip.GetFeatureKey(1, &key));
    EXPECT_EQ(m_Chip.Features()[1].KeyName, key); // the 47A row of "mode"
    ASSERT_TRUE(m_Chip.SelectProduct("47C"));
    ASSERT_TRUE(m_Chip.GetFeatureKey(1, &key));
    EXPECT_EQ(m_Chip.Features()[2].KeyName, key);
    EXPECT_EQ(keys(), "- mode lo hi rsv ");
    ASSERT_TRUE(m_Chip.GetFeatureKey(1, &key));
    EXPECT_EQ(m_Chip.Features()[2].KeyName, key); // the 47C row of "mode"
    ASSERT_TRUE(m_Chip.GetFeatureKey(3, &key));
    EXPECT_STREQ(key, "hi");
    ASSERT_TRUE(m_Chip.GetFeatureKey(0, &key));
    EXPECT_EQ(key, nullptr);
    EXPECT_FALSE(m_Chip.GetFeatureKey(5, &key));
}

TEST_F(Lookup, RowsWithoutKeysMatchNothing) {
    // The loader reported them, and keeps them.
    EXPECT_NE(m_Chip.Diagnostics().find("3th PRODUCT doesn't have a KEYNAME"), std::string::npos);
    EXPECT_NE(m_Chip.Diagnostics().find("0th FEATURE doesn't have a KEYNAME"), std::string::npos);
    EXPECT_EQ(m_Chip.Features().size(), 6u);
    ASSERT_TRUE(m_Chip.SelectProduct("all"));
    const char* key = "x";
    ASSERT_TRUE(m_Chip.GetFeatureKey(0, &key));
    EXPECT_EQ(key, nullptr);
    EXPECT_FALSE(m_Chip.IsFeatureInProduct(nullptr));
    EXPECT_FALSE(m_Chip.FindFeature("", nullptr));
    EXPECT_FALSE(m_Chip.FindProduct("", nullptr));
    EXPECT_FALSE(m_Chip.SelectProduct(nullptr));
    char text[8];
    EXPECT_TRUE(m_Chip.GetProductKey(3, text, sizeof text));
    EXPECT_STREQ(text, "");
    EXPECT_TRUE(m_Chip.FindRegister(0x06, false, nullptr, nullptr));
    ASSERT_TRUE(m_Chip.SelectProduct("47C"));
    EXPECT_FALSE(m_Chip.IsInSelectedProduct("47A"));
    EXPECT_TRUE(m_Chip.FindFeature("lo", nullptr));
    EXPECT_EQ(m_Asserts.Count(), 0u);
}

TEST_F(Lookup, EmptyTablesAreNeverPrimed) {
    ListChip empty;
    EXPECT_TRUE(empty.LoadDocument("<CHIPDEF/>"));
    EXPECT_FALSE(empty.FindFeature("mode", nullptr));
    EXPECT_FALSE(empty.FindRegister(4, false, nullptr, nullptr));
    const char* key = nullptr;
    EXPECT_FALSE(empty.GetFeatureKey(0, &key));
}

TEST_F(Lookup, NamesUpTo127Characters) {
    ListChip chip;
    const std::string longest(127, 'q');
    chip.LoadDocument("<CHIPDEF>\n<FEATURE KEYNAME=\"" + longest + "\" TYPE=\"numb\"/>\n" +
                      "<FEATURE KEYNAME=\"" + longest + "q\" TYPE=\"numb\"/>\n</CHIPDEF>");
    EXPECT_TRUE(chip.FindFeature(longest.c_str(), nullptr));
    EXPECT_FALSE(chip.FindFeature((longest + "q").c_str(), nullptr));
}

TEST_F(Lookup, RegisterRuns) {
    struct {
        uint32_t Index;
        bool Found;
    } const cases[] = {{0x40, true},  {0x44, true}, {0x4E, true}, {0x45, false},
                       {0x50, false}, {0x04, true}, {0x05, false}};
    ASSERT_TRUE(m_Chip.SelectProduct("47A"));
    for (const auto& c : cases) {
        EXPECT_EQ(m_Chip.FindRegister(c.Index, false, nullptr, nullptr), c.Found) << c.Index;
    }
    EXPECT_TRUE(m_Chip.IsRegisterSafeTest(0x04, false));
    EXPECT_TRUE(m_Chip.IsRegisterReadOnly(0x62, false));
    EXPECT_FALSE(m_Chip.IsRegisterWriteOnly(0x60, false)); // 47C only
    EXPECT_STREQ(m_Chip.GetRegisterCategory(0x62, false), "x");
    EXPECT_STREQ(m_Chip.GetRegisterCategory(0x04, false), "");
    EXPECT_EQ(m_Chip.CountRegistersInProduct(), 4u);
    EXPECT_EQ(m_Chip.GetRegisterValueWidth(0x99, false), 4u);
}

TEST_F(Lookup, BitMasksOfARegister) {
    ASSERT_TRUE(m_Chip.SelectProduct("47C"));
    uint32_t readable = 0, writable = 0, undefined = 0;
    m_Chip.GetRegisterBitMasks(0x04, false, false, &readable, &writable, &undefined);
    EXPECT_EQ(readable, 0xFFFFu);
    EXPECT_EQ(writable, 0xFFFFu);
    EXPECT_EQ(undefined, 0u);
    // mode (47C) 000C, lo 00F0 ro, hi 0F00 wo, rsv 1000 reserved for 47C.
    m_Chip.GetRegisterBitMasks(0x62, false, false, &readable, &writable, &undefined);
    EXPECT_EQ(readable, 0x00FCu);
    EXPECT_EQ(writable, 0x0F0Cu);
    EXPECT_EQ(undefined, 0xE003u);
    m_Chip.GetRegisterBitMasks(0x62, false, true, &readable, &writable, &undefined);
    EXPECT_EQ(readable, 0x10FCu);
    EXPECT_STREQ(m_Chip.GetFeatureAtBit(0x62, false, 3), "mode");
    EXPECT_EQ(m_Chip.GetFeatureAtBit(0x62, false, 0), nullptr);
}

TEST(FeatureOps, ForwardAndInverse) {
    struct {
        const char* Op;
        uint32_t Value;
        bool Inverse;
        uint32_t Result;
    } const cases[] = {
        {"*8", 20, false, 160},
        {"*8", 161, true, 20},
        {"+1", 0, false, 1},
        {"+1", 0, true, 0xFFFFFFFF},
        {"-2", 1, false, 0xFFFFFFFF},
        {"/4", 9, false, 2},
        {"/4", 2, true, 8},
        {"e", 5, false, 32},
        {"e", 37, false, 32},
        {"e", 32, true, 5},
        {"e", 0, true, 0},
        {"e", 1, true, 0},
        {"m", 0, false, 1},
        {"m", 1, true, 0},
        {"m", 7, true, 7},
        {"*0", 9, true, 0},
        {"/0", 9, false, 0},
        {"*0", 9, false, 0},
        {"", 9, false, 9},
        {nullptr, 9, true, 9},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChipDefBase::ApplyFeatureOp(c.Value, c.Op, c.Inverse), c.Result)
            << (c.Op ? c.Op : "(none)") << " " << c.Value << " " << c.Inverse;
    }
    AssertRecorder asserts;
    EXPECT_EQ(ChipDefBase::ApplyFeatureOp(9, "x3", false), 0u);
    EXPECT_EQ(asserts.Count(), 1u);
}

TEST(SequenceTexts, ParsedIntoEntriesAndShownAgain) {
    ListChip chip;
    ASSERT_TRUE(chip.LoadDocument("<CHIPDEF>\n<FEATURE KEYNAME=\"seq\" TYPE=\"sequ\" "
                                  "NEEDCODE=\"1\"/>\n</CHIPDEF>"));
    EXPECT_TRUE(chip.SetFeatureText("seq", "c2A(start)  p1  d10"));
    ASSERT_EQ(chip.m_Sequence.size(), 3u);
    EXPECT_EQ(chip.m_Sequence[0].Flags, 0x10000000u);
    EXPECT_EQ(chip.m_Sequence[0].Data, 0x2Au);
    EXPECT_EQ(chip.m_Sequence[0].Text, "start");
    EXPECT_EQ(chip.m_Sequence[2].Flags, 0x40000000u);
    EXPECT_EQ(chip.m_Sequence[2].Data, 10u);
    EXPECT_STREQ(chip.GetFeatureText("seq", true), "c2A(start)  p1  d10");
    EXPECT_TRUE(chip.IsFeatureTextEqual("seq", "c2a(x) p1 d10"));
    EXPECT_FALSE(chip.IsFeatureTextEqual("seq", "c2A p2 d10"));
    EXPECT_FALSE(chip.IsFeatureTextEqual("seq", "c2A p1"));
    EXPECT_STREQ(chip.FormatFeatureValue("seq", 1, true), "p1");
    EXPECT_STREQ(chip.FormatFeatureValue("seq", 99, true), "");
    // Kinds "ap" and "as"; a text without its closing bracket runs to the end.
    EXPECT_TRUE(chip.SetFeatureText("seq", "ap5 as6 c7(open"));
    EXPECT_STREQ(chip.GetFeatureText("seq", true), "ap5  as6  c7(open)");
    // Text from an unknown letter to the next ";" is skipped: no entry is set.
    EXPECT_TRUE(chip.SetFeatureText("seq", "x1;c2"));
    EXPECT_TRUE(chip.m_Sequence.empty());
    EXPECT_TRUE(chip.SetFeatureText("seq", ""));
}

TEST(TextPool, TextsAreCutAtTheTextSize) {
    const std::string longName(5000, 'n');
    ListChip chip;
    chip.LoadDocument(
        "<CHIPDEF>\n<PRODUCT KEYNAME=\"p\" NAME=\"" + longName +
        "\" DESC=\"d\"/>\n<FEATURE KEYNAME=\"l\" TYPE=\"list\" REG=\"4\" UNIT=\"u\">\n"
        "<FEATUREVALUE INDEX=\"0\" VALUE=\"" +
        longName + "\"/>\n</FEATURE>\n</CHIPDEF>");
    chip.SetList({{4, 0}});
    const char* text = chip.GetFeatureText("l", true);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), std::string(ChipDefBase::kTextSize - 1, 'n'));
    const char* product = chip.GetProductText("p", 0x41);
    EXPECT_EQ(std::string(product), std::string(ChipDefBase::kTextSize - 1, 'n'));
}

} // namespace

// Register values in hot mode, through the test double's fake chip: plain features are read
// from the chip and written read-modify-write, indexed features write their index to the ADDR
// register and then read or write the DATA register.
#include "ChipDefTestDouble.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Accesses = std::vector<std::string>;

const char* const kDocument = R"(<CHIPDEF>
<REGISTERS DEFAULTINDEXWIDTH="2" DEFAULTVALUEWIDTH="4">
 <REGISTER REG="08" LEXNAME="IDX_ADDR" NAME="Index"/>
 <REGISTER REG="0C" LEXNAME="IDX_DATA" NAME="Data"/>
 <REGISTER REG="24" LEXNAME="HDISP" NAME="Width" DEFAULT="0005"/>
 <REGISTER REG="42" LEXNAME="SADDR_0" NAME="Start 0"/>
 <REGISTER REG="44" LEXNAME="SADDR_1" NAME="Start 1"/>
</REGISTERS>
<FEATURES>
 <FEATURE KEYNAME="idxADDR" TYPE="numb" REG="08"/>
 <FEATURE KEYNAME="idxDATA" TYPE="numb" REG="0C"/>
 <FEATURE KEYNAME="hdp" TYPE="numb" REG="24" MASK="007F" OP1="*8" REDRAWPATTERN="1"/>
 <FEATURE KEYNAME="gamma" TYPE="numb" REG="10" MASK="00F0" INDEXOF="idx"/>
 <FEATURE KEYNAME="saddr" TYPE="numb" REG="span"/>
 <FEATURE KEYNAME="saddrB0" TYPE="numb" REG="42" MASK="FF00"/>
 <FEATURE KEYNAME="saddrB1" TYPE="numb" REG="44" MASK="0003"/>
 <FEATURE KEYNAME="clki" TYPE="freq" NEEDCODE="1"/>
</FEATURES>
</CHIPDEF>)";

class HotPath : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_Chip.LoadDocument(kDocument));
        ASSERT_EQ(m_Chip.Diagnostics(), "");
        m_Chip.SelectProduct("all");
        m_Chip.SetSpanLimits();
        m_Chip.SetList({{0x24, 0x0014}, {0x10, 0x00A0}, {0x42, 0}, {0x44, 0}});
    }
    ListChip m_Chip;
};

TEST_F(HotPath, PlainFeatureReadsAndWritesTheChip) {
    m_Chip.SetHotMode(true);
    m_Chip.ChipRegisters()[0x24] = 0xFF94;
    EXPECT_EQ(m_Chip.GetFeatureValue("hdp"), 0xA0u);
    EXPECT_EQ(m_Chip.Accesses(), (Accesses{"R 24"}));
    m_Chip.Accesses().clear();
    EXPECT_TRUE(m_Chip.SetFeatureValue("hdp", 8));
    EXPECT_EQ(m_Chip.Accesses(), (Accesses{"R 24", "W 24=FF81"}));
    // The register list is not changed in hot mode.
    EXPECT_EQ(m_Chip.List()[0].second, 0x14u);
}

TEST_F(HotPath, IndexedFeatureGoesThroughAddrAndData) {
    m_Chip.SetHotMode(true);
    m_Chip.ChipRegisters()[0x0C] = 0x1234;
    EXPECT_EQ(m_Chip.GetFeatureRawValue("gamma"), 3u);
    EXPECT_EQ(m_Chip.Accesses(), (Accesses{"W 08=0010", "R 0C"}));
    m_Chip.Accesses().clear();
    EXPECT_TRUE(m_Chip.SetFeatureRawValue("gamma", 0xA));
    EXPECT_EQ(m_Chip.Accesses(), (Accesses{"W 08=0010", "R 0C", "W 08=0010", "W 0C=12A4"}));
}

TEST_F(HotPath, IndexedFeatureOutsideHotModeUsesItsRegInTheList) {
    EXPECT_EQ(m_Chip.GetFeatureRawValue("gamma"), 0xAu);
    EXPECT_TRUE(m_Chip.SetFeatureRawValue("gamma", 1));
    EXPECT_EQ(m_Chip.List()[1].second, 0x10u);
    EXPECT_TRUE(m_Chip.Accesses().empty());
}

TEST_F(HotPath, SplitFeatureWritesEveryPart) {
    m_Chip.SetHotMode(true);
    EXPECT_TRUE(m_Chip.SetFeatureRawValue("saddr", 0x2AB));
    EXPECT_EQ(m_Chip.Accesses(), (Accesses{"R 42", "W 42=AB00", "R 44", "W 44=0002"}));
    EXPECT_EQ(m_Chip.GetFeatureRawValue("saddr"), 0x2ABu);
    m_Chip.m_FailWrites = true;
    EXPECT_FALSE(m_Chip.SetFeatureRawValue("saddr", 1));
}

TEST_F(HotPath, FeatureWithoutRegisterNeverReachesTheChip) {
    m_Chip.SetHotMode(true);
    AssertRecorder asserts;
    EXPECT_EQ(m_Chip.GetFeatureRawValue("clki"), 0u);
    EXPECT_FALSE(m_Chip.SetFeatureRawValue("clki", 5));
    EXPECT_TRUE(m_Chip.Accesses().empty());
    EXPECT_EQ(asserts.Count(), 0u);
}

TEST_F(HotPath, RegisterValues) {
    m_Chip.SetHotMode(true);
    EXPECT_TRUE(m_Chip.SetRegisterValue(0x24, false, 0x55));
    EXPECT_EQ(m_Chip.List()[0].second, 0x14u);
    EXPECT_EQ(m_Chip.GetRegisterValue(0x24, false), 0x55u);
    // A list position is turned into its register index.
    EXPECT_TRUE(m_Chip.SetRegisterValue(1, true, 0x66));
    EXPECT_EQ(m_Chip.ChipRegisters()[0x10], 0x66u);
    AssertRecorder asserts;
    EXPECT_FALSE(m_Chip.SetRegisterValue(50, true, 1));
    EXPECT_EQ(asserts.Count(), 1u);
    m_Chip.m_FailWrites = true;
    EXPECT_FALSE(m_Chip.SetRegisterValue(0x24, false, 1));
    m_Chip.SetHotMode(false);
    EXPECT_FALSE(m_Chip.IsHotMode());
    EXPECT_EQ(m_Chip.GetRegisterValue(0x24, false), 0x14u);
}

TEST_F(HotPath, RedrawBecomesPendingForRedrawFeatures) {
    m_Chip.SetHotMode(true);
    EXPECT_TRUE(m_Chip.SetFeatureValue("hdp", 8));
    EXPECT_EQ(m_Chip.RedrawPending(), 0u);
    m_Chip.SetAutoRedrawForTest(true);
    EXPECT_TRUE(m_Chip.SetFeatureRawValue("gamma", 1));
    EXPECT_EQ(m_Chip.RedrawPending(), 0u);
    EXPECT_TRUE(m_Chip.SetFeatureValue("hdp", 16));
    EXPECT_EQ(m_Chip.RedrawPending(), 1u);
}

TEST_F(HotPath, IndexMaskFollowsTheRegisterWidth) {
    uint32_t i = 0;
    ASSERT_TRUE(m_Chip.FindFeature("gamma", &i));
    EXPECT_EQ(m_Chip.Features()[i].AddrReg, 0x08u);
    EXPECT_EQ(m_Chip.Features()[i].DataReg, 0x0Cu);
    EXPECT_EQ(m_Chip.Features()[i].IndexMask, 0xFFFFu); // REG[10h] is unknown: default width 4
}

TEST(WideRegisters, ShiftsOfThirtyTwoAndMoreAreDefined) {
    ListChip chip;
    ASSERT_TRUE(chip.LoadDocument(R"(<CHIPDEF>
<REGISTERS DEFAULTINDEXWIDTH="2" DEFAULTVALUEWIDTH="4">
 <REGISTER REG="08" LEXNAME="A" NAME="a"/>
 <REGISTER REG="10" LEXNAME="WIDE" NAME="w" BITWIDTH="32"/>
 <REGISTER REG="14" LEXNAME="NARROW" NAME="n" BITWIDTH="8"/>
 <REGISTER REG="18" LEXNAME="HUGE" NAME="h" BITWIDTH="40"/>
 <REGISTER REG="1C" LEXNAME="NONE" NAME="z" BITWIDTH="0"/>
</REGISTERS>
<FEATURE KEYNAME="iADDR" TYPE="numb" REG="08"/>
<FEATURE KEYNAME="iDATA" TYPE="numb" REG="08"/>
<FEATURE KEYNAME="wideidx" TYPE="numb" REG="10" INDEXOF="i"/>
<FEATURE KEYNAME="big" TYPE="numb" REG="span"/>
<FEATURE KEYNAME="bigB0" TYPE="numb" REG="10" MASK="FFFFFFFF"/>
<FEATURE KEYNAME="bigB1" TYPE="numb" REG="14" MASK="00FF"/>
<FEATURE KEYNAME="nobits" TYPE="numb" REG="14" MASK="0"/>
<FEATURE KEYNAME="top" TYPE="bool" REG="10" MASK="80000000"/>
</CHIPDEF>)"));
    chip.SelectProduct("all");
    chip.SetSpanLimits();
    chip.SetList({{0x10, 0x12345678}, {0x14, 0xAB}});
    uint32_t i = 0;
    ASSERT_TRUE(chip.FindFeature("wideidx", &i));
    EXPECT_EQ(chip.Features()[i].IndexMask, 0xFFFFFFFFu);
    ASSERT_TRUE(chip.FindFeature("big", &i));
    EXPECT_EQ(chip.Features()[i].Max, 0xFFFFFFFFu);
    // The part past bit 31 is dropped when joining and reads back as 0 when splitting.
    EXPECT_EQ(chip.GetFeatureRawValue("big"), 0x12345678u);
    EXPECT_TRUE(chip.SetFeatureRawValue("big", 0xCAFEF00D));
    EXPECT_EQ(chip.List()[0].second, 0xCAFEF00Du);
    EXPECT_EQ(chip.List()[1].second, 0u);
    // MASK 0 holds no bits: it reads 0 and takes no value.
    EXPECT_EQ(chip.GetFeatureRawValue("nobits"), 0u);
    EXPECT_FALSE(chip.SetFeatureRawValue("nobits", 0));
    // Width masks of 32, above 32 and 0 bits.
    uint32_t readable = 0, writable = 0, undefined = 0;
    chip.GetRegisterBitMasks(0x18, false, true, &readable, &writable, &undefined);
    EXPECT_EQ(readable, 0xFFFFFFFFu);
    chip.GetRegisterBitMasks(0x1C, false, true, &readable, &writable, &undefined);
    EXPECT_EQ(readable, 0u);
    chip.GetRegisterBitMasks(0x14, false, true, &readable, &writable, &undefined);
    EXPECT_EQ(readable, 0xFFu);
    EXPECT_EQ(undefined, 0x00u);
    EXPECT_STREQ(chip.GetFeatureAtBit(0x10, false, 31), "wideidx"); // the whole register
    EXPECT_EQ(chip.GetFeatureAtBit(0x10, false, 32), nullptr);
    EXPECT_EQ(chip.GetFeatureAtBit(0x10, false, 200), nullptr);
}

} // namespace

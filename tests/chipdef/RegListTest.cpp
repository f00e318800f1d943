// The register list of ChipDef (the block's register initialisation list): compaction to the
// selected product, a list without end mark, the search for a register's entries, register
// pairs, the redraw flags and the diagnostic text.
#include "TemplateBlockCopy.h"
#include "chipdef/ChipDef.h"
#include "common/StrPool.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(RegList, TemplateListIsKeptInOrder) {
    ChipDef chip;
    EXPECT_EQ(chip.GetRegListCount(), 40u);
    uint32_t index = 0;
    ASSERT_TRUE(chip.GetRegListIndex(0, &index));
    EXPECT_EQ(index, 0x06u);
    ASSERT_TRUE(chip.GetRegListIndex(39, &index));
    EXPECT_EQ(index, 0x04u);
    ASSERT_TRUE(chip.GetRegListIndex(40, &index));
    EXPECT_EQ(index, 255u);
    EXPECT_FALSE(chip.GetRegListIndex(41, &index));
    uint32_t pos = 0;
    ASSERT_TRUE(chip.FindRegListEntry(0x04, &pos, true));
    EXPECT_EQ(pos, 2u);
    ASSERT_TRUE(chip.FindRegListEntry(0x04, &pos, false));
    EXPECT_EQ(pos, 39u);
    EXPECT_FALSE(chip.FindRegListEntry(0x18, &pos, true));
}

TEST(RegList, CompactionDropsRegistersOfOtherProducts) {
    TemplateBlockCopy copy;
    // REG[80h] (a BitBLT register of the 47390) before the end mark.
    oxHclSetReg(oxgHclInfo, 40, {0x80, 0x1234});
    oxHclSetReg(oxgHclInfo, 41, {oxHCL_REG_END, 0});
    ChipDef chip;
    EXPECT_EQ(chip.GetRegListCount(), 40u);
    EXPECT_EQ(oxHclGetReg(chip.HclData(), 40).Index, oxHCL_REG_END);
    EXPECT_EQ(oxHclGetReg(chip.HclData(), 41).Index, 0u);
    EXPECT_EQ(oxHclGetReg(chip.HclData(), 41).Value, 0u);
}

TEST(RegList, ListWithoutEndMarkKeepsEveryEntry) {
    TemplateBlockCopy copy;
    for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
        oxHclSetReg(oxgHclInfo, i, {0x04, static_cast<uint16_t>(i)});
    }
    ChipDef chip;
    EXPECT_EQ(chip.GetRegListCount(), oxHCL_REGSIZE);
    uint32_t index = 0;
    ASSERT_TRUE(chip.GetRegListIndex(oxHCL_REGSIZE, &index));
    EXPECT_EQ(index, 255u);
    EXPECT_FALSE(chip.GetRegListIndex(oxHCL_REGSIZE + 1, &index));
    EXPECT_EQ(chip.GetRegisterValue(0x04, false), oxHCL_REGSIZE - 1);
    chip.CompactRegList();
    EXPECT_EQ(chip.GetRegListCount(), oxHCL_REGSIZE);
    EXPECT_EQ(oxHclGetReg(chip.HclData(), 592).Value, 592u);
}

TEST(RegList, ChipIdWithoutNulIsReadWithinItsField) {
    TemplateBlockCopy copy;
    std::memcpy(oxgHclInfo.szChipId, "47K20XYZ", 8);
    AssertRecorder asserts;
    ChipDef chip; // no such product: the selection asserts
    EXPECT_STREQ(g_HclIdText, "47K20XYZ HAL EXE");
    EXPECT_EQ(asserts.Count(), 1u);
}

TEST(RegList, OccurrencesInABlock) {
    uint32_t first = 0;
    uint32_t second = 0;
    uint32_t third = 0;
    EXPECT_EQ(ChipDef::FindRegListOccurrences(0x04, oxgHclInfo, &first, &second, &third), 3u);
    EXPECT_EQ(first, 2u);
    EXPECT_EQ(second, 9u);
    EXPECT_EQ(third, 39u);
    EXPECT_EQ(ChipDef::FindRegListOccurrences(255, oxgHclInfo, &first, nullptr, nullptr), 1u);
    EXPECT_EQ(first, 40u);
    EXPECT_EQ(ChipDef::FindRegListOccurrences(0x18, oxgHclInfo, nullptr, nullptr, nullptr), 0u);
}

TEST(RegList, OrdinalsAndFeaturesOutsideTheList) {
    ChipDef chip;
    uint32_t index = 0;
    ASSERT_TRUE(chip.GetRegisterIndexByOrdinal(true, 1, &index));
    EXPECT_EQ(index, 0xFEu);
    EXPECT_FALSE(chip.GetRegisterIndexByOrdinal(true, 40, &index));
    ASSERT_TRUE(chip.GetRegisterIndexByOrdinal(false, 0, &index));
    EXPECT_EQ(index, 0x04u); // REG[00h] and REG[02h] belong to the 47390
    index = 0;
    EXPECT_TRUE(chip.IsFeatureOutsideRegList("rs", &index));
    EXPECT_EQ(index, 0x18u);
    EXPECT_FALSE(chip.IsFeatureOutsideRegList("hdp", &index));
    EXPECT_FALSE(chip.IsFeatureOutsideRegList("saddr", &index));
    EXPECT_FALSE(chip.IsFeatureOutsideRegList("clki", &index));
}

TEST(RegList, PairSetsFirstAndLastEntry) {
    ChipDef chip;
    // REG[10h] stands at positions 3 and 6.
    EXPECT_TRUE(chip.SetRegisterValuePair(0x10, 0x000A, 0x000B));
    EXPECT_EQ(chip.GetRegListValue(3), 0x000Au);
    EXPECT_EQ(chip.GetRegListValue(6), 0x000Bu);
    EXPECT_EQ(chip.GetRegisterValue(0x10, false), 0x000Bu);
    AssertRecorder asserts;
    EXPECT_FALSE(chip.SetRegisterValuePair(0x18, 1, 2)); // not in the list
    EXPECT_EQ(asserts.Count(), 1u);
}

class RedrawCounter : public ChipDef {
public:
    void RedrawPattern() override { ++Redraws; }
    int Redraws = 0;
};

TEST(RegList, RedrawRunsOnceWhenAutoRedrawIsOn) {
    RedrawCounter chip;
    chip.FlushRedraw();
    EXPECT_EQ(chip.Redraws, 0);
    EXPECT_TRUE(chip.SetAutoRedraw(true));
    chip.FlushRedraw();
    chip.FlushRedraw();
    EXPECT_EQ(chip.Redraws, 1);
    chip.SetAutoRedraw(false);
    chip.SetRedrawOption(true); // pending, but auto-redraw is off
    chip.FlushRedraw();
    EXPECT_EQ(chip.Redraws, 1);
    EXPECT_TRUE(chip.GetRedrawOption());
    EXPECT_FALSE(chip.GetAutoRedraw());
}

TEST(RegList, ReleaseWithoutStartLeavesHotMode) {
    ChipDef chip;
    chip.SetHotMode(true);
    EXPECT_TRUE(chip.ReleaseChip());
    EXPECT_FALSE(chip.IsHotMode());
    EXPECT_FALSE(chip.IsChipInitialized());
}

TEST(RegList, DiagnosticTextIsBoundedBySize) {
    ChipDef chip;
    char text[64] = "untouched";
    EXPECT_EQ(chip.GetDiagnosticText(text, sizeof text), 0u);
    EXPECT_STREQ(text, "untouched");
    chip.SetRegListImported(true);
    const std::string message = "Register list has been changed by imported data!\n";
    EXPECT_EQ(chip.GetDiagnosticText(text, 8), 0u); // does not fit: nothing is written
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(chip.GetDiagnosticText(text, sizeof text), message.size());
    EXPECT_EQ(text, message);
}

TEST(RegList, DestructionAfterThePoolsAreGone) {
    // At exit the pools may be freed before the program's object ends.
    auto* chip = new ChipDef;
    StrPoolFreeAll();
    delete chip;
    ChipDef next; // a later object finds its pools again
    EXPECT_STREQ(next.GetFeatureText("chipid", true), "47K20");
}

} // namespace

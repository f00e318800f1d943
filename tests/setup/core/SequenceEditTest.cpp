// The sequence dialog's working copy over the built-in block's lcdseq.
#include "setup/core/SequenceEdit.h"
#include "hcl/HclData.h"
#include "setup/core/SetupChipDef.h"

#include <gtest/gtest.h>

namespace {

class SequenceEditTest : public ::testing::Test {
protected:
    // Writes count entries COMMAND 1, 2, ... labelled "L1", "L2", ... into the chip.
    void Fill(uint32_t count) {
        SequenceEdit edit(m_Chip, "lcdseq");
        edit.DeleteAll();
        for (uint32_t i = 1; i <= count; ++i) {
            ASSERT_TRUE(edit.Append());
            ASSERT_TRUE(edit.SetValueText(std::to_string(i)));
            edit.SetLabel("L" + std::to_string(i));
        }
        ASSERT_TRUE(edit.Accept().empty());
    }
    SetupChipDef m_Chip;
};

} // namespace

TEST_F(SequenceEditTest, DeletingTheLastOfThreeSelectsTheNewLastAndLabelsDoNotReattach) {
    Fill(3);
    SequenceEdit edit(m_Chip, "lcdseq");
    ASSERT_EQ(edit.Entries().size(), 3u);
    edit.Select(0);
    ASSERT_TRUE(edit.Delete()); // the first goes: L2 and L3 move up
    edit.Select(1);
    ASSERT_TRUE(edit.Delete());
    EXPECT_EQ(edit.Position(), 0);
    EXPECT_TRUE(edit.Accept().empty());
    SequenceEdit again(m_Chip, "lcdseq");
    EXPECT_EQ(again.Rows(), std::vector<std::string>{"COMMAND 2h  ( L2 )"});
    ASSERT_TRUE(again.DeleteAll());
    EXPECT_FALSE(again.DeleteAll());
    EXPECT_FALSE(again.Delete());
}

TEST_F(SequenceEditTest, AFullSequenceRefusesInsertAndAppend) {
    SequenceEdit edit(m_Chip, "lcdseq");
    edit.DeleteAll();
    while (edit.Entries().size() < edit.Capacity()) {
        ASSERT_TRUE(edit.Append());
    }
    const auto before = edit.Rows();
    EXPECT_FALSE(edit.Insert());
    EXPECT_FALSE(edit.Append());
    EXPECT_EQ(edit.Rows(), before);
}

TEST_F(SequenceEditTest, ValuesMustFitTheDataBits) {
    SequenceEdit edit(m_Chip, "lcdseq");
    edit.DeleteAll();
    ASSERT_TRUE(edit.Append());
    EXPECT_TRUE(edit.SetValueText("FFFFFFF"));
    EXPECT_FALSE(edit.SetValueText("10000000"));
    EXPECT_FALSE(edit.SetValueText("FFFFFFFFFFFF"));
    EXPECT_FALSE(edit.SetValueText("xyz"));
    EXPECT_EQ(edit.Entries()[0].Value, oxHCL_LCD_DATAMASK);
    ASSERT_TRUE(edit.SetFlags(oxHCL_LCD_DELAY));
    EXPECT_TRUE(edit.SetValueText("10"));
    EXPECT_EQ(edit.Rows(), std::vector<std::string>{"DELAY 10"});
}

TEST_F(SequenceEditTest, LabelsThePoolCannotHoldAreNamedAndLeftOut) {
    SequenceEdit edit(m_Chip, "lcdseq");
    edit.DeleteAll();
    const uint32_t count = std::min<uint32_t>(edit.Capacity(), 257);
    for (uint32_t i = 0; i < count; ++i) {
        ASSERT_TRUE(edit.Append());
        edit.SetLabel(std::string(200, static_cast<char>('a' + i % 26)));
    }
    const std::vector<std::string> refused = edit.Accept();
    EXPECT_FALSE(refused.empty()); // the pool has no room for them all, nor tags past 254
    SequenceEdit again(m_Chip, "lcdseq");
    ASSERT_EQ(again.Entries().size(), count);
    EXPECT_EQ(again.Entries()[0].Label, std::string(200, 'a'));
    for (const SequenceEntry& entry : again.Entries()) {
        EXPECT_TRUE(entry.Label.empty() || entry.Label.size() == 200u);
    }
}

TEST_F(SequenceEditTest, LabelsOfRemovedEntriesLeaveThePool) {
    const std::string first(200, 'a');
    const std::string second(200, 'b');
    SequenceEdit two(m_Chip, "lcdseq");
    two.DeleteAll();
    ASSERT_TRUE(two.Append());
    ASSERT_TRUE(two.Append());
    two.SetLabel(first); // the second entry's
    ASSERT_TRUE(two.Accept().empty());
    SequenceEdit one(m_Chip, "lcdseq");
    one.Select(1);
    ASSERT_TRUE(one.Delete());
    one.SetLabel(second); // the first entry's; the pool holds one such label only
    EXPECT_TRUE(one.Accept().empty());
    SequenceEdit read(m_Chip, "lcdseq");
    ASSERT_EQ(read.Entries().size(), 1u);
    EXPECT_EQ(read.Entries()[0].Label, second);
    ASSERT_TRUE(read.Append());
    EXPECT_EQ(read.Rows()[1], "COMMAND 0h"); // the deleted entry's label does not come back
}

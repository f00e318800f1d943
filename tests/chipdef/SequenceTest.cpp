// The LCD initialisation sequence "lcdseq" and the strings pool of its comment texts: entries
// and their kinds, texts by position, the pool's 256 bytes and one-byte tags, and the sequence
// as one text.
#include "TemplateBlockCopy.h"
#include "chipdef/ChipDef.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string WarningText(ChipDef& chip) {
    char text[4096];
    chip.GetWarningText(text, sizeof text);
    return text;
}

TEST(Sequence, EntryWithText) {
    ChipDef chip;
    EXPECT_EQ(chip.GetSequenceCapacity("lcdseq"), 768u);
    EXPECT_TRUE(chip.SetSequenceEntry("lcdseq", 5, oxHCL_LCD_COMMAND, 0x2C, "init"));
    uint32_t flags = 0;
    uint32_t data = 0;
    const char* text = nullptr;
    EXPECT_TRUE(chip.GetSequenceEntry("lcdseq", 5, &flags, &data, &text));
    EXPECT_EQ(flags, oxHCL_LCD_COMMAND);
    EXPECT_EQ(data, 0x2Cu);
    EXPECT_STREQ(text, "init");
    EXPECT_EQ(chip.GetSequenceLength("lcdseq"), 0u); // entry 0 is still 0
    EXPECT_FALSE(chip.GetSequenceEntry("lcdseq", 768, &flags, &data, &text));
    EXPECT_FALSE(chip.SetSequenceEntry("lcdseq", 768, oxHCL_LCD_PARAM, 1, nullptr));
    // Only lcdseq is a sequence.
    EXPECT_FALSE(chip.SetSequenceEntry("hdp", 0, oxHCL_LCD_PARAM, 1, nullptr));
    EXPECT_EQ(chip.GetSequenceCapacity("hdp"), 0u);
}

TEST(Sequence, DataReachingTheFlagNibbleIsRefused) {
    ChipDef chip;
    ASSERT_TRUE(chip.SetSequenceEntry("lcdseq", 0, oxHCL_LCD_PARAM, 0x0FFFFFFF, nullptr));
    EXPECT_FALSE(chip.SetSequenceEntry("lcdseq", 0, oxHCL_LCD_COMMAND, 0x10000000, nullptr));
    uint32_t flags = 0;
    uint32_t data = 0;
    EXPECT_TRUE(chip.GetSequenceEntry("lcdseq", 0, &flags, &data, nullptr));
    EXPECT_EQ(flags, oxHCL_LCD_PARAM);
    EXPECT_EQ(data, 0x0FFFFFFFu);
    // The kind is the whole flag nibble, as the block stores it.
    ASSERT_TRUE(chip.SetSequenceEntry("lcdseq", 1, 0x70000000, 0x00ABCDEF, nullptr));
    EXPECT_TRUE(chip.GetSequenceEntry("lcdseq", 1, &flags, &data, nullptr));
    EXPECT_EQ(flags, 0x70000000u);
    EXPECT_EQ(data, 0x00ABCDEFu);
}

TEST(Sequence, LengthAndTruncation) {
    ChipDef chip;
    for (uint32_t i = 0; i < 768; ++i) {
        ASSERT_TRUE(chip.SetSequenceEntry("lcdseq", i, oxHCL_LCD_PARAM, i, nullptr));
    }
    EXPECT_EQ(chip.GetSequenceLength("lcdseq"), 768u);
    EXPECT_TRUE(chip.TruncateSequence("lcdseq", 10));
    EXPECT_EQ(chip.GetSequenceLength("lcdseq"), 10u);
    EXPECT_TRUE(chip.TruncateSequence("lcdseq", 768));
    EXPECT_FALSE(chip.TruncateSequence("lcdseq", 769));
}

TEST(Sequence, FullSequenceTextSurvivesARoundTrip) {
    ChipDef chip;
    // 768 entries of about 9 characters: longer than one pool text of 4096 bytes.
    std::string text;
    for (uint32_t i = 0; i < 768; ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%sp%X", i ? "  " : "", 0x100000 + i);
        text += entry;
    }
    text += "  c2C(go)";
    text.erase(text.size() - 9); // exactly 768 entries
    ASSERT_TRUE(chip.SetFeatureText("lcdseq", text.c_str()));
    EXPECT_EQ(chip.GetSequenceLength("lcdseq"), 768u);
    EXPECT_EQ(std::string(chip.GetFeatureText("lcdseq", true)), text);
    EXPECT_TRUE(chip.IsFeatureTextEqual("lcdseq", text.c_str()));
}

TEST(Sequence, TextsOfEntriesFrom255AreDroppedNotAliased) {
    ChipDef chip;
    ASSERT_TRUE(chip.SetSequenceEntry("lcdseq", 0, oxHCL_LCD_COMMAND, 1, "zero"));
    // Entry 255 would write the end tag 0, entry 256 the tag of entry 0.
    EXPECT_TRUE(chip.SetSequenceEntry("lcdseq", 255, oxHCL_LCD_PARAM, 2, "late"));
    EXPECT_TRUE(chip.SetSequenceEntry("lcdseq", 256, oxHCL_LCD_PARAM, 3, "later"));
    EXPECT_TRUE(chip.SetSequenceEntry("lcdseq", 257, oxHCL_LCD_PARAM, 4, nullptr));
    const char* text = nullptr;
    uint32_t data = 0;
    EXPECT_TRUE(chip.GetSequenceEntry("lcdseq", 0, nullptr, nullptr, &text));
    EXPECT_STREQ(text, "zero");
    EXPECT_TRUE(chip.GetSequenceEntry("lcdseq", 256, nullptr, &data, &text));
    EXPECT_EQ(data, 3u);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(ChipDef::GetPoolString(chip.HclData().sLCD1StringPool, 255), nullptr);
    EXPECT_EQ(WarningText(chip),
              "WARNING: The text of lcdseq entry 255 was dropped (no room in the strings pool).\n"
              "WARNING: The text of lcdseq entry 256 was dropped (no room in the strings pool).\n");
    chip.ClearSequenceTexts("lcdseq");
    EXPECT_EQ(WarningText(chip), "");
}

TEST(Sequence, TextsThatDoNotFitKeepTheEntriesAfterThem) {
    ChipDef chip;
    // 40 entries with 9-character texts: 11 bytes each with tag and NUL; with the two closing
    // zero bytes the first 23 fit the 256 bytes.
    std::string text;
    for (uint32_t i = 0; i < 40; ++i) {
        char entry[48];
        std::snprintf(entry, sizeof entry, "%sc%X(comment%02u)", i ? "  " : "", i + 1, i);
        text += entry;
    }
    EXPECT_TRUE(chip.SetFeatureText("lcdseq", text.c_str()));
    EXPECT_EQ(chip.GetSequenceLength("lcdseq"), 40u);
    const char* entryText = nullptr;
    uint32_t data = 0;
    EXPECT_TRUE(chip.GetSequenceEntry("lcdseq", 22, nullptr, &data, &entryText));
    EXPECT_STREQ(entryText, "comment22");
    EXPECT_TRUE(chip.GetSequenceEntry("lcdseq", 23, nullptr, &data, &entryText));
    EXPECT_EQ(entryText, nullptr);
    EXPECT_TRUE(chip.GetSequenceEntry("lcdseq", 39, nullptr, &data, &entryText));
    EXPECT_EQ(data, 40u);
    EXPECT_EQ(entryText, nullptr);
    EXPECT_NE(WarningText(chip).find("lcdseq entry 23 was dropped"), std::string::npos);
}

TEST(StringsPool, ReplaceRemoveAndWalk) {
    char pool[256] = {};
    EXPECT_TRUE(ChipDef::SetPoolString(pool, 3, "three"));
    EXPECT_TRUE(ChipDef::SetPoolString(pool, 7, "seven"));
    EXPECT_TRUE(ChipDef::SetPoolString(pool, 3, "THREE")); // replaces: one entry per position
    EXPECT_STREQ(ChipDef::GetPoolString(pool, 3), "THREE");
    uint32_t position = 0;
    const char* text = nullptr;
    ASSERT_TRUE(ChipDef::GetStringPoolEntry(pool, 0, &position, &text));
    EXPECT_EQ(position, 7u);
    ASSERT_TRUE(ChipDef::GetStringPoolEntry(pool, 1, &position, &text));
    EXPECT_EQ(position, 3u);
    EXPECT_FALSE(ChipDef::GetStringPoolEntry(pool, 2, &position, &text));
    EXPECT_TRUE(ChipDef::SetPoolString(pool, 7, ""));
    EXPECT_EQ(ChipDef::GetPoolString(pool, 7), nullptr);
    EXPECT_TRUE(ChipDef::SetPoolString(pool, 3, nullptr));
    EXPECT_EQ(pool[0], 0);
    EXPECT_EQ(pool[1], 0);
}

TEST(StringsPool, WalkStopsAtThePoolsEnd) {
    char pool[256];
    // An entry whose text runs to the end of the pool without its NUL ends the run.
    pool[0] = 1;
    std::memset(pool + 1, 'a', 255);
    EXPECT_EQ(ChipDef::GetPoolString(pool, 0), nullptr);
    EXPECT_FALSE(ChipDef::GetStringPoolEntry(pool, 0, nullptr, nullptr));
    EXPECT_TRUE(ChipDef::SetPoolString(pool, 2, "x"));
    EXPECT_STREQ(ChipDef::GetPoolString(pool, 2), "x");
    // A run without a closing zero tag ends at the pool's end as well.
    std::memset(pool, 2, sizeof pool);
    pool[1] = '\0';
    EXPECT_EQ(ChipDef::GetPoolString(pool, 5), nullptr);
}

} // namespace

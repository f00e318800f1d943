#include "setup/core/RegistersPage.h"
#include "setup/SetupFixture.h"
#include "setup/core/ConfigurableFile.h"
#include "setup/core/ImportCommand.h"

namespace {

// The first list row of a register index.
uint32_t RowOf(ChipDef& chip, uint32_t index) {
    uint32_t pos = 0;
    EXPECT_TRUE(chip.FindRegListEntry(index, &pos, true));
    return pos;
}

TEST(RegistersPage, HandSetRowsAreMarkedAndOverwrittenOnesNoticed) {
    ChipDef chip;
    RegistersPage page;
    page.Track(chip);
    const uint32_t rows = page.Fill(chip);
    EXPECT_EQ(rows, chip.GetRegListCount());
    const uint32_t hdpRow = RowOf(chip, 0x24);
    const uint32_t current = chip.GetRegisterValue(hdpRow, true);

    ASSERT_TRUE(page.ApplyValue(chip, hdpRow, current)); // the same value: no mark
    EXPECT_EQ(page.RowTexts(chip, hdpRow).Reg, "24h   ");
    ASSERT_TRUE(page.ApplyValue(chip, hdpRow, current + 1));
    EXPECT_EQ(page.RowTexts(chip, hdpRow).Reg, "24h *");
    EXPECT_EQ(page.OverwrittenNotice(chip), "");

    // Another page changes the same register; the page opens again.
    chip.SetFeatureValue("hdp", 320);
    page.Track(chip);
    page.Fill(chip);
    EXPECT_EQ(page.RowTexts(chip, hdpRow).Reg, "24h !");
    EXPECT_EQ(page.OverwrittenNotice(chip),
              "1 manually modified registers have been overwritten by other tabs.\n");
    const uint32_t otherRow = RowOf(chip, 0x26);
    ASSERT_TRUE(page.ApplyValue(chip, otherRow, chip.GetRegisterValue(otherRow, true) + 1));
    EXPECT_EQ(page.OverwrittenNotice(chip),
              "1 (out of 2) manually modified registers have been overwritten by other tabs.\n");
    EXPECT_NE(page.HotTip(chip, hdpRow).find("[   !   ]  You had previously modified"),
              std::string::npos);
    EXPECT_NE(page.HotTip(chip, otherRow).find("[   *   ]  You modified this register"),
              std::string::npos);
    // The notes are whole, however long.
    const std::string overwritten = page.HotTip(chip, hdpRow);
    EXPECT_EQ(overwritten.substr(overwritten.size() - 29), "modification was overwritten.");
    const std::string manual = page.HotTip(chip, otherRow);
    EXPECT_EQ(manual.substr(manual.size() - 23), "if it was not modified.");

    page.ClearMarks();
    EXPECT_EQ(page.RowTexts(chip, hdpRow).Reg, "24h   ");
    EXPECT_EQ(page.OverwrittenNotice(chip), "");
}

TEST(RegistersPage, RowTextsOfEachColumn) {
    ChipDef chip;
    RegistersPage page;
    page.Fill(chip);
    const uint32_t hdpRow = RowOf(chip, 0x24);
    const RegisterRowTexts texts = page.RowTexts(chip, hdpRow);
    EXPECT_EQ(texts.Hex, "003C");
    EXPECT_EQ(texts.Bin, "0000000000111100");
    EXPECT_EQ(texts.Dec, "        60");
    EXPECT_EQ(page.State(hdpRow).ShownValue, 0x3Cu);
    EXPECT_EQ(page.RowTexts(chip, RowOf(chip, 0xFC)).Reg.substr(0, 5), "DELAY");
    EXPECT_EQ(page.RowTexts(chip, RowOf(chip, 0xFE)).Reg.substr(0, 4), "FLAG");
}

TEST(RegistersPage, TheAlertStandsOnTheFirstOccurrenceOnly) {
    ChipDef chip;
    RegistersPage page;
    page.Fill(chip);
    uint32_t first = 0;
    uint32_t last = 0;
    ASSERT_GE(ChipDef::FindRegListOccurrences(0x10, chip.HclData(), &first, nullptr, &last), 2u);
    if (last == 0) {
        ASSERT_TRUE(chip.FindRegListEntry(0x10, &last, false));
    }
    EXPECT_NE(page.HotTip(chip, first).find("[ ALERT ]"), std::string::npos);
    EXPECT_EQ(page.HotTip(chip, last).find("[ ALERT ]"), std::string::npos);
}

TEST(RegistersPage, AValueWiderThanTheRegisterIsRefused) {
    ChipDef chip;
    RegistersPage page;
    page.Fill(chip);
    const uint32_t row = RowOf(chip, 0x24);
    const uint32_t before = chip.GetRegisterValue(row, true);
    EXPECT_EQ(page.CheckValue(chip, row, 0xFFFF), "");
    EXPECT_EQ(page.CheckValue(chip, row, 0x10000),
              "The value 10000h does not fit this 16-bit register.");
    // A number wider than 32 bits is not cut to the register's bits either.
    EXPECT_EQ(page.CheckValue(chip, row, 0x100000000ull),
              "The value 100000000h does not fit this 16-bit register.");
    EXPECT_FALSE(page.ApplyValue(chip, row, 0x10000));
    EXPECT_EQ(chip.GetRegisterValue(row, true), before);
    EXPECT_EQ(page.State(row).Mark, RegisterMark::None);
}

// Rows past the list's end are the end pair and the bytes kept after it: nothing is written
// there, so the saved block keeps its list.
TEST(RegistersPage, RowsPastTheListAreNeitherCheckedNorWritten) {
    ChipDef chip;
    RegistersPage page;
    const uint32_t rows = page.Fill(chip);
    ASSERT_GT(rows, 0u);
    for (const uint32_t row :
         {rows, rows + 1, RegistersPage::kMaxRegListSize - 1, RegistersPage::kMaxRegListSize}) {
        const uint32_t before = chip.GetRegListValue(row);
        EXPECT_NE(page.CheckValue(chip, row, 0x12), "") << row;
        EXPECT_FALSE(page.ApplyValue(chip, row, before ^ 0x12)) << row;
        EXPECT_EQ(chip.GetRegListValue(row), before) << row;
        EXPECT_EQ(chip.GetRegListCount(), rows) << row;
    }
}

class RegistersPageFileTest : public SetupFileTest {};

TEST_F(RegistersPageFileTest, OpeningAFileOrReplacingTheListClearsTheMarks) {
    const auto path = Folder / "play";
    WriteBytes(path, ConfigurableBytes());
    auto mark = [] {
        g_RegistersPage.Fill(g_ChipDef);
        const uint32_t row = RowOf(g_ChipDef, 0x24);
        ASSERT_TRUE(g_RegistersPage.ApplyValue(g_ChipDef, row, 0x99));
        ASSERT_EQ(g_RegistersPage.State(row).Mark, RegisterMark::Manual);
    };
    mark();
    ASSERT_TRUE(LoadConfigurableFile(path.c_str()));
    EXPECT_EQ(g_RegistersPage.State(RowOf(g_ChipDef, 0x24)).Mark, RegisterMark::None);

    mark();
    const std::string ini = (Folder / "r.ini").string();
    std::ofstream(ini) << "[47K20]\nClkI=1\n[Regs]\n0=0024,0050\n";
    SetImportOverwriteRegisters(true);
    Recorder.Answers.push_back(ini);
    ASSERT_TRUE(OnImport());
    SetImportOverwriteRegisters(false);
    EXPECT_EQ(g_RegistersPage.State(0).Mark, RegisterMark::None);
}

} // namespace

// The built-in chip database: the compiled line array is exactly chipdef.xml, and it loads
// without diagnostics into the expected tables.
#include "chipdef/ChipDef.h"
#include "chipdef/ChipDefXml.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadSourceFile(const char* path) {
    std::ifstream in(std::string(Q3V_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsSplitPart(const ChipDef& chip, const ChipFeature& feature) {
    const size_t length = std::strlen(feature.KeyName);
    if (length < 3 || feature.KeyName[length - 2] != 'b') {
        return false;
    }
    const std::string whole(feature.KeyName, length - 2);
    for (const ChipFeature& f : chip.Features()) {
        if (f.Spans && whole == f.KeyName) {
            return true;
        }
    }
    return false;
}

TEST(ChipDefXml, LinesJoinedAreTheSourceFile) {
    std::string joined;
    for (uint32_t i = 0; i < ChipDefXmlLineCount; ++i) {
        joined += ChipDefXml[i];
        joined += "\n";
    }
    EXPECT_EQ(joined, ReadSourceFile("src/chipdef/chipdef.xml"));
    for (uint32_t i = 1; i < ChipDefXmlLineCount; ++i) {
        // A line that continues an open tag starts with a blank, so no attribute runs into
        // the one before it when the lines are fed without their line ends.
        if (ChipDefXml[i][0] != '<') {
            EXPECT_EQ(ChipDefXml[i][0], ' ') << "line " << i + 1;
        }
    }
}

TEST(ChipDefDatabase, LoadsIntoTheTables) {
    AssertRecorder asserts;
    ChipDef chip;
    char diagnostics[ChipDefBase::kTextSize] = "";
    EXPECT_EQ(chip.GetDiagnosticText(diagnostics, sizeof diagnostics), 0u) << diagnostics;
    EXPECT_EQ(asserts.Count(), 0u);

    EXPECT_EQ(chip.Products().size(), 2u);
    EXPECT_EQ(chip.Categories().size(), 6u);
    EXPECT_EQ(chip.Registers().size(), 61u);
    EXPECT_EQ(chip.Features().size(), 213u);
    EXPECT_EQ(chip.GetMaxRegIdentLen(), 20u);
    EXPECT_EQ(chip.GetDefaultIndexWidth(), 2u);

    uint32_t needCode = 0, spans = 0, parts = 0, listValues = 0, bools = 0, boolValues = 0;
    for (const ChipFeature& f : chip.Features()) {
        needCode += f.NeedCode;
        spans += f.Spans;
        parts += IsSplitPart(chip, f) ? 1 : 0;
        if (f.Type == FT_BOOL) {
            ++bools;
            boolValues += static_cast<uint32_t>(f.Values.size());
        } else {
            listValues += static_cast<uint32_t>(f.Values.size());
        }
    }
    EXPECT_EQ(needCode, 52u);
    EXPECT_EQ(spans, 6u);
    EXPECT_EQ(parts, 18u);
    EXPECT_EQ(listValues, 130u);
    EXPECT_EQ(bools, 43u);
    EXPECT_EQ(boolValues, 86u);
}

TEST(ChipDefDatabase, FiguresOfTheSelectedProduct) {
    ChipDef chip;
    EXPECT_STREQ(chip.GetSelectedProductKey(), "47K20");
    EXPECT_EQ(chip.CountRegistersInProduct(), 44u);
    uint32_t withoutFake = 0;
    uint32_t index = 0;
    while (chip.GetRegisterIndex(false, withoutFake, &index, false)) {
        ++withoutFake;
    }
    EXPECT_EQ(withoutFake, 40u);
    uint32_t features = 0;
    const char* key = nullptr;
    while (chip.GetFeatureKey(features, &key)) {
        ++features;
    }
    EXPECT_EQ(features, 178u);
    EXPECT_STREQ(g_HclIdText, "47K20 HAL EXE");
    EXPECT_EQ(chip.GetRegListCount(), 40u);
}

TEST(ChipDefDatabase, RowsAsWritten) {
    ChipDef chip;
    const ChipFeature& first = chip.Features()[0];
    EXPECT_STREQ(first.KeyName, "rsvd0b7to0");
    EXPECT_EQ(first.Type, FT_NUMB);
    EXPECT_STREQ(first.Reserved, "all");

    uint32_t i = 0;
    ASSERT_TRUE(chip.FindFeature("pllLock", &i));
    EXPECT_STREQ(chip.Features()[i].KeyName, "plllock");
    EXPECT_EQ(chip.Features()[i].CapitalPos, 3u);

    // saddr joins 00FF and FF00 of register 42 and 0007 of register 44.
    ASSERT_TRUE(chip.FindFeature("saddr", &i));
    EXPECT_EQ(chip.Features()[i].Max, 0x7FFFFu);
    EXPECT_EQ(chip.Features()[i].Min, 0u);
    // mdivider: MASK 03FF, OP1 "+1", MAX 21 (hex) as written.
    ASSERT_TRUE(chip.FindFeature("mdivider", &i));
    EXPECT_EQ(chip.Features()[i].Min, 1u);
    EXPECT_EQ(chip.Features()[i].Max, 0x21u);
    ASSERT_TRUE(chip.FindFeature("pclkdiv", &i));
    EXPECT_EQ(chip.Features()[i].Max, 16u);

    const ChipRegister& last = chip.Registers().back();
    EXPECT_STREQ(last.LexName, "END_OF_TABLE");
    EXPECT_EQ(last.Reg, 0xFFu);
    EXPECT_EQ(last.FakeReg, 1);
    EXPECT_STREQ(chip.GetProductSpec("47390"), "X47390-A-001-03");
}

} // namespace

// The exported C texts compiled by the C compiler against a declaration of the block of our
// own (tests/fixtures/initdata.h): the instantiated block must be the object's bytes exactly,
// and the generic header's register list the object's list.
#include "ExportSupport.h"
#include "support/TempFolder.h"

#include "platform/IniFile.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace exporttest;

namespace {

const std::string kFixtures = std::string(Q3V_SOURCE_DIR) + "/tests/fixtures";
// A program that writes the instantiated block to its standard output.
const char* const kBlockProbe = "#include <stdio.h>\n#include \"initdata.h\"\n"
                                "extern oxHclData oxgHclInfo;\n"
                                "int main(void) {\n"
                                "    fwrite(&oxgHclInfo, 1, sizeof oxgHclInfo, stdout);\n"
                                "    return 0;\n}\n";
const char* const kCompile = "gcc -std=c11 -Wall -Wextra -Werror";

// The object's block with its CRC as the generators compute it.
std::string ExpectedBlock(ChipDef& chip) {
    oxHclData block = chip.HclData();
    block.HclCRC = ChipDef::ComputeBlockCrc(block);
    return std::string(reinterpret_cast<const char*>(&block), sizeof block);
}

void ImportRich(ChipDef& chip) {
    char report[16384];
    ASSERT_TRUE(chip.ImportIniFile((kFixtures + "/rich.ini").c_str(), report, sizeof report, false))
        << report;
}

// The built-in list with the registers that this product reserves put before its end pair: the
// register header leaves them out, the list may hold them all the same.
void AddReservedRegisters(ChipDef& chip) {
    oxHclData& block = chip.MutableHclData();
    const uint32_t end = chip.GetRegListCount();
    const oxHclRegEntry reserved[] = {{0x18, 0x1234}, {0x1A, 0x5678}, {0x1C, 0x9ABC}};
    for (uint32_t i = 0; i < 3; ++i) {
        oxHclSetReg(block, end + i, reserved[i]);
    }
    oxHclSetReg(block, end + 3, {oxHCL_REG_END, 0});
    chip.CompactRegList();
    ASSERT_EQ(chip.GetRegListCount(), end + 3);
}

struct BlockCase {
    const char* Name;
    void (*Make)(ChipDef& chip);
};

const BlockCase kBlockCases[] = {
    {"Template", [](ChipDef&) {}},
    {"Rich", ImportRich},
    {"ReservedRegisters", AddReservedRegisters},
};

class ExportCompile : public ::testing::TestWithParam<BlockCase> {};

TEST_P(ExportCompile, InitDataGivesTheBlockAndTheGenericHeaderTheList) {
    if (!HaveCommand("gcc")) {
        GTEST_SKIP() << "no C compiler";
    }
    q3vtest::TempFolder temp("q3v-export-c");
    ASSERT_FALSE(temp.Path().empty());
    const std::string dir = temp.Path();
    ChipDef chip;
    GetParam().Make(chip);
    WriteFile(dir + "/initdata.c", Generate(chip, &ChipDef::WriteHclDataSource));
    WriteFile(dir + "/registers.h", Generate(chip, &ChipDef::WriteRegisterHeader));
    WriteFile(dir + "/47K20.h", Generate(chip, &ChipDef::WriteGenericHeader));
    WriteFile(dir + "/probe.c", kBlockProbe);
    WriteFile(dir + "/regs.c", "#include <stdio.h>\n#include \"47K20.h\"\n"
                               "Q3V_INSTANTIATE_REGISTERS(static, g_Regs);\n"
                               "int main(void) {\n"
                               "    fwrite(g_Regs, 1, sizeof g_Regs, stdout);\n"
                               "    return 0;\n}\n");
    int status = 0;
    const std::string includes = " -I" + dir + " -I" + kFixtures;
    std::string log = RunCommand(std::string(kCompile) + includes + " -o " + dir + "/probe " + dir +
                                     "/probe.c " + dir + "/initdata.c",
                                 &status);
    ASSERT_EQ(status, 0) << log << ReadFile(dir + "/initdata.c");
    const std::string bytes = RunCommand(dir + "/probe", &status);
    ASSERT_EQ(status, 0);
    const std::string expected = ExpectedBlock(chip);
    ASSERT_EQ(bytes.size(), expected.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_EQ(bytes[i], expected[i]) << "block offset " << i;
    }

    log = RunCommand(std::string(kCompile) + includes + " -o " + dir + "/regs " + dir + "/regs.c",
                     &status);
    ASSERT_EQ(status, 0) << log;
    const std::string regs = RunCommand(dir + "/regs", &status);
    ASSERT_EQ(status, 0);
    const uint32_t count = chip.GetRegListCount();
    ASSERT_EQ(regs.size(), count * 4u);
    EXPECT_EQ(std::memcmp(regs.data(), chip.HclData().Regs, regs.size()), 0);
}

INSTANTIATE_TEST_SUITE_P(Blocks, ExportCompile, ::testing::ValuesIn(kBlockCases),
                         [](const ::testing::TestParamInfo<BlockCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST(ExportCompile, AFullListWithoutEndMarkStaysWhole) {
    if (!HaveCommand("gcc")) {
        GTEST_SKIP() << "no C compiler";
    }
    q3vtest::TempFolder temp("q3v-export-full");
    ASSERT_FALSE(temp.Path().empty());
    const std::string dir = temp.Path();
    ChipDef chip;
    // Every position holds a register of the list, no end mark; every LCD entry is set.
    oxHclData& block = chip.MutableHclData();
    const uint32_t used = chip.GetRegListCount();
    ASSERT_GT(used, 0u);
    for (uint32_t i = used; i < oxHCL_REGSIZE; ++i) {
        oxHclSetReg(block, i, oxHclGetReg(block, i % used));
    }
    for (uint32_t i = 0; i < oxHCL_LCD1SIZE; ++i) {
        oxHclSetLcd1Reg(block, i, 0x20000000u | i);
    }
    chip.CompactRegList();
    ASSERT_EQ(chip.GetRegListCount(), oxHCL_REGSIZE);
    const std::string source = Generate(chip, &ChipDef::WriteHclDataSource);
    EXPECT_EQ(source.find("ENDOFTABLE"), std::string::npos);
    WriteFile(dir + "/initdata.c", source);
    WriteFile(dir + "/registers.h", Generate(chip, &ChipDef::WriteRegisterHeader));
    WriteFile(dir + "/probe.c", kBlockProbe);
    int status = 0;
    const std::string log =
        RunCommand(std::string(kCompile) + " -I" + dir + " -I" + kFixtures + " -o " + dir +
                       "/probe " + dir + "/probe.c " + dir + "/initdata.c",
                   &status);
    ASSERT_EQ(status, 0) << log;
    EXPECT_EQ(RunCommand(dir + "/probe", &status), ExpectedBlock(chip));
}

} // namespace

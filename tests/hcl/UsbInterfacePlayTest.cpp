// Play's acquisition uses the configuration block in its own file: copies of the built program
// with a rewritten block, run against a fresh simulated board.
#include "hcl/HclData.h"
#include "hcl/HclError.h"
#include "support/FileBytes.h"
#include "support/PlayProcess.h"
#include "support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

using Image = std::vector<unsigned char>;

using RunResult = q3vtest::PlayRun;

class PatchedPlay : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string play = std::string(Q3V_BINARY_DIR) + "/play";
        const std::vector<std::uint8_t> bytes = q3vtest::ReadFileBytes(play);
        ASSERT_FALSE(bytes.empty()) << "play is not built in " << Q3V_BINARY_DIR;
        m_Image.assign(bytes.begin(), bytes.end());
        const std::string id = "47K20 HAL EXE";
        for (std::size_t o = 0; o + oxHCL_DATA_SIZE <= m_Image.size(); ++o) {
            if (std::memcmp(m_Image.data() + o, id.data(), id.size()) == 0) {
                m_Blocks.push_back(o);
            }
        }
        ASSERT_EQ(m_Blocks.size(), 1u) << "the block must lie once in play's file";
        ASSERT_FALSE(m_Temp.Path().empty());
        m_Folder = m_Temp.Path();
    }

    unsigned char& At(std::size_t offset) { return m_Image[m_Blocks[0] + offset]; }

    void StoreCrc() {
        const std::uint16_t crc = oxHclCrc16(std::span<const std::uint8_t>(
            m_Image.data() + m_Blocks[0] + oxHCL_CRC_FIRST, oxHCL_DATA_SIZE - oxHCL_CRC_FIRST));
        At(530) = static_cast<unsigned char>(crc);
        At(531) = static_cast<unsigned char>(crc >> 8);
    }

    // Writes the image as a program of its own and runs it with no input on a fresh board.
    RunResult RunCopy(const std::string& args) {
        const std::string path = m_Folder + "/play-copy";
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(m_Image.data()),
                      static_cast<std::streamsize>(m_Image.size()));
        }
        chmod(path.c_str(), 0755);
        const std::string sim = m_Folder + "/sim";
        mkdir(sim.c_str(), 0700);
        return q3vtest::RunProgramOnBoard(path, sim, args, "", m_Folder);
    }

    Image m_Image;
    std::vector<std::size_t> m_Blocks;
    q3vtest::TempFolder m_Temp{"q3v-patched"}; // removed after each test
    std::string m_Folder;
};

} // namespace

TEST_F(PatchedPlay, AcquisitionSendsTheMgeBytesOfTheFilesBlock) {
    At(548) = 0x44; // CONFIGA
    At(551) = 0x12; // CONFIGD
    StoreCrc();
    const RunResult run = RunCopy("");
    EXPECT_EQ(run.Code, 0) << run.Output;
    EXPECT_THAT(run.Output, HasSubstr("CSCL:MGE 0 Regs: 0x44 0x55 0x5e 0x12 0x00 0x00\n"));
    EXPECT_THAT(run.Output, HasSubstr("CSCL HW revision 1\n"));
}

// The start acquires the controller only; the block's CRC is checked when the controller is
// initialised (INIT), so a block that fails its check starts, and the banner says so.
TEST_F(PatchedPlay, BlockThatFailsItsCrcIsReportedInTheBannerAndTheStartGoesOn) {
    const unsigned stored = At(530) | At(531) << 8;
    At(544) ^= 0x01; // ClkI changed without a new CRC
    const RunResult run = RunCopy("");
    char line[64];
    std::snprintf(line, sizeof line, "\nConfiguration CRC %04Xh (error)\n", stored);
    EXPECT_THAT(run.Output, HasSubstr(line));
    EXPECT_THAT(run.Output, HasSubstr("CSCL HW revision 1\n")) << "acquired all the same";
    EXPECT_THAT(run.Output, Not(HasSubstr("ERROR: ")));
    EXPECT_EQ(run.Code, 0) << run.Output;
}

// INIT checks the block: a block that fails its CRC makes INIT fail, so the run exits 1; NOCRC
// initialises all the same.
TEST_F(PatchedPlay, InitOfABlockThatFailsItsCrcFailsTheRun) {
    At(544) ^= 0x01; // ClkI changed without a new CRC
    const RunResult failed = RunCopy("init");
    EXPECT_EQ(failed.Code, 1) << failed.Output;
    EXPECT_THAT(failed.Output, HasSubstr("CRC"));
    const RunResult passed = RunCopy("init nocrc");
    EXPECT_EQ(passed.Code, 0) << passed.Output;
}

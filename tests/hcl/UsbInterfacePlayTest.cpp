// Play's acquisition uses the configuration block in its own file: copies of the built program
// with a rewritten block, run against a fresh simulated board.
#include "hcl/HclData.h"
#include "hcl/HclError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using ::testing::HasSubstr;

namespace {

using Image = std::vector<unsigned char>;

struct RunResult {
    std::string Output;
    int Exit = -1;
};

class PatchedPlay : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string play = std::string(Q3V_BINARY_DIR) + "/play";
        std::ifstream in(play, std::ios::binary);
        if (!in) {
            GTEST_SKIP() << "play is not built in " << Q3V_BINARY_DIR;
        }
        m_Image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const std::string id = "47K20 HAL EXE";
        for (std::size_t o = 0; o + oxHCL_DATA_SIZE <= m_Image.size(); ++o) {
            if (std::memcmp(m_Image.data() + o, id.data(), id.size()) == 0) {
                m_Blocks.push_back(o);
            }
        }
        ASSERT_EQ(m_Blocks.size(), 1u) << "the block must lie once in play's file";
        char pattern[] = "/tmp/q3v-patched-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_Folder = pattern;
    }
    void TearDown() override {
        if (!m_Folder.empty()) {
            std::system(("rm -rf '" + m_Folder + "'").c_str());
        }
    }

    unsigned char& At(std::size_t i_Offset) { return m_Image[m_Blocks[0] + i_Offset]; }

    void StoreCrc() {
        const std::uint16_t crc = oxHclCrc16(std::span<const std::uint8_t>(
            m_Image.data() + m_Blocks[0] + oxHCL_CRC_FIRST, oxHCL_DATA_SIZE - oxHCL_CRC_FIRST));
        At(530) = static_cast<unsigned char>(crc);
        At(531) = static_cast<unsigned char>(crc >> 8);
    }

    // Writes the image as a program of its own and runs it with no input on a fresh board.
    RunResult RunCopy(const std::string& i_Args) {
        const std::string path = m_Folder + "/play-copy";
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(m_Image.data()),
                      static_cast<std::streamsize>(m_Image.size()));
        }
        chmod(path.c_str(), 0755);
        const std::string sim = m_Folder + "/sim";
        mkdir(sim.c_str(), 0700);
        const std::string command = "cd '" + m_Folder + "' && env -u Q3VBOARD -u Q3VSIM_ABSENT " +
                                    "Q3VSIM_DIR='" + sim + "' ./play-copy " + i_Args +
                                    " </dev/null 2>&1";
        RunResult run;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return run;
        }
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            run.Output.append(buffer, n);
        }
        const int status = pclose(pipe);
        run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }

    Image m_Image;
    std::vector<std::size_t> m_Blocks;
    std::string m_Folder;
};

} // namespace

TEST_F(PatchedPlay, AcquisitionSendsTheMgeBytesOfTheFilesBlock) {
    At(548) = 0x44; // CONFIGA
    At(551) = 0x12; // CONFIGD
    StoreCrc();
    const RunResult run = RunCopy("");
    EXPECT_EQ(run.Exit, 0) << run.Output;
    EXPECT_THAT(run.Output, HasSubstr("CSCL:MGE 0 Regs: 0x44 0x55 0x5e 0x12 0x00 0x00\n"));
    EXPECT_THAT(run.Output, HasSubstr("CSCL HW revision 1\n"));
}

TEST_F(PatchedPlay, BlockThatFailsItsCrcStopsTheStart) {
    At(544) ^= 0x01; // ClkI changed without a new CRC
    const RunResult run = RunCopy("");
    EXPECT_THAT(run.Output, HasSubstr("Configuration CRC"));
    EXPECT_THAT(run.Output, HasSubstr("(error)"));
    if (run.Output.find("List of HCL Initialization Events") == std::string::npos &&
        run.Output.find(oxHclErrorText(oxERR_CRC_MISMATCH)) == std::string::npos) {
        GTEST_SKIP() << "play does not initialise the controller at start, so nothing checks the "
                        "block's CRC there";
    }
    EXPECT_THAT(run.Output,
                HasSubstr(std::string("ERROR: ") + oxHclErrorText(oxERR_CRC_MISMATCH) + "\n"));
    EXPECT_EQ(run.Exit, 1);
}

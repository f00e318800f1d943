// A written trace replays: every line is a Play command of the forms the log uses (X, W, F, R)
// or a comment, and running those commands on a fresh board gives the traced board's registers
// and display memory.

#include "FrontFixture.h"
#include "support/TempFolder.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

using namespace fronttest;

namespace {

// A hexadecimal number word of the log ("1F", "0003h").
bool ParseHex(const std::string& word, std::uint32_t& value) {
    std::string digits = word;
    if (!digits.empty() && (digits.back() == 'h' || digits.back() == 'H')) {
        digits.pop_back();
    }
    if (digits.empty() || digits.size() > 8 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    value = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
    return true;
}

// Runs one log line on the board as Play would; false for a line that is no such command.
bool Replay(const std::string& line, FakeBoard& board) {
    const std::string statement = line.substr(0, line.find('\''));
    std::istringstream in(statement);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    if (words.empty()) {
        return line.find('\'') != std::string::npos; // a comment line
    }
    const std::string& cmd = words[0];
    const char kind = cmd[0];
    const std::string bits = cmd.substr(1);
    const std::uint32_t width = bits == "8" ? 1 : bits == "16" ? 2 : bits == "32" ? 4 : 0;
    if (width == 0 || words.size() < 2) {
        return false;
    }
    std::vector<std::uint32_t> values;
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::uint32_t v = 0;
        const bool isLength = kind == 'f' && i == 2;
        if (!ParseHex(isLength ? words[i].substr(1) : words[i], v) ||
            (isLength && words[i][0] != 'L')) {
            return false;
        }
        values.push_back(v);
    }
    const std::uint32_t mask = width == 4 ? 0xFFFFFFFF : (1u << (8 * width)) - 1;
    switch (kind) {
    case 'x': // X index [data]: 32-bit registers do not exist on this interface
        if (values.size() == 2 && width != 4) {
            board.StoreReg(values[0], width, values[1] & mask);
        }
        return values.size() <= 2;
    case 'r': // R address: a read changes nothing
        return values.size() == 1;
    case 'w': // W start data...
        for (std::size_t k = 1; k < values.size(); ++k) {
            board.StoreMem(values[0] + static_cast<std::uint32_t>(k - 1) * width, width,
                           values[k] & mask);
        }
        return values.size() >= 2;
    case 'f': // F start Lcount data...
        if (values.size() < 3) {
            return false;
        }
        for (std::uint32_t k = 0; k < values[1]; ++k) {
            board.StoreMem(values[0] + k * width, width,
                           values[2 + k % (values.size() - 2)] & mask);
        }
        return true;
    default:
        return false;
    }
}

class TraceReplayTest : public FrontTest, public ::testing::WithParamInterface<const char*> {};

} // namespace

TEST_P(TraceReplayTest, ReplayingTheLogOnAFreshBoardGivesTheSameState) {
    Acquire();
    m_Board->PrintCalls = false;
    const q3vtest::TempFolder folder("q3v-replay"); // removed with the log, also on failure
    ASSERT_FALSE(folder.Path().empty());
    const std::string log = folder.File("debug.log");
    ASSERT_TRUE(oxHclParseDebugOptions((std::string(GetParam()) + ":" + log).c_str()));

    // A run that touches every kind of access the front traces.
    Capture();
    ASSERT_TRUE(oxHclInitRegisters(0)); // register list, both look-up tables, memory clear
    Captured();
    oxHclWriteReg16(0x40, 0x0006);
    oxHclWriteReg8(0x43, 0x7F);
    oxHclModifyReg16(0x42, 0x00F0, 0x0050);
    oxHclSetBitsReg8(0x44, 0x81);
    oxHclClearBitsReg16(0x46, 0x0001);
    oxHclReadReg16(0x40);
    const std::uint16_t port[3] = {0x11, 0x22, 0x33};
    oxHclBurstWriteReg16(0x60, port, 3);
    const std::uint8_t port8[2] = {0xA, 0xB};
    oxHclBurstWriteReg8(0x63, port8, 2);
    for (int i = 0; i < 3; ++i) {
        oxHclWriteMemory8(0x100, 0x55);
    }
    oxHclWriteMemory16(0x102, 0xBEEF);
    oxHclWriteMemory32(0x104, 0xCAFEF00D);
    oxHclFillMemory8(0x200, 0x12, 5);
    oxHclFillMemory16(0x300, 0x3456, 0x21);
    oxHclFillMemory32(0x400, 0x789ABCDE, 0x11);
    oxHclFillMemory32(0x400, 0x789ABCDE, 0x11);
    oxHclWriteMemory8(0x400, 0x01);
    std::vector<std::uint8_t> b8(37);
    for (std::size_t i = 0; i < b8.size(); ++i) {
        b8[i] = static_cast<std::uint8_t>(i * 7);
    }
    oxHclBurstWriteMemory8(0x1001, b8.data(), static_cast<std::uint32_t>(b8.size()));
    const std::uint16_t b16[5] = {0x1111, 0x2222, 0x2222, 0x4444, 0xFFFF};
    oxHclBurstWriteMemory16(0x2000, b16, 5);
    const std::uint32_t b32[3] = {1, 0xFFFFFFFF, 0x80000000};
    oxHclBurstWriteMemory32(0x3000, b32, 3);
    std::uint16_t readBack[4];
    oxHclBurstReadMemory16(0x2000, readBack, 4);
    oxHclReadMemory8(0x100);
    ASSERT_TRUE(oxHclWriteDebugLog());

    FakeBoard fresh;
    std::ifstream in(log);
    ASSERT_TRUE(in.good());
    unsigned lines = 0;
    for (std::string line; std::getline(in, line); ++lines) {
        ASSERT_TRUE(Replay(line, fresh)) << "not a command or comment: " << line;
    }
    EXPECT_GT(lines, 0u);
    EXPECT_EQ(fresh.Regs, m_Board->Regs);
    EXPECT_TRUE(fresh.Mem == m_Board->Mem) << "display memory differs after the replay";
}

INSTANTIATE_TEST_SUITE_P(Letters, TraceReplayTest, ::testing::Values("w", "rwx"));

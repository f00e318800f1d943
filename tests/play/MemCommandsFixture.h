#pragma once
// Play's memory commands against a freshly powered simulated board 0, acquired through the
// front, with the five commands in their table rows and their states at start values.
#include "PlayTestSupport.h"

#include "board/BoardControl.h"
#include "board/SimBoard.h"
#include "hcl/HclApi.h"
#include "hcl/HclStart.h"
#include "platform/Console.h"
#include "platform/SimFolder.h"
#include "play/MemCommands.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace memtest {

// One board folder for the whole program (the layer opens the board's lock file once per
// process), removed when the program ends; selected as the boards' folder with board 0.
inline const std::string& BoardFolder() {
    const std::string& folder = q3vtest::ProgramTempFolder("q3v-memcmd");
    if (!folder.empty()) {
        setenv("Q3VSIM_DIR", folder.c_str(), 1);
        unsetenv("Q3VBOARD");
    }
    return folder;
}

class MemCommandsTest : public PlayTest {
protected:
    void SetUp() override {
        ASSERT_FALSE(BoardFolder().empty()) << "no temporary board folder";
        board::ResetControls();
        m_Board = board::SimBoard::Attach(SimFolder(), 0);
        ASSERT_NE(m_Board, nullptr);
        m_Board->PowerOn();
        oxHclResetFrontForTesting();
        ::testing::internal::CaptureStdout();
        const bool acquired = oxHclInitialize();
        const std::string text = ::testing::internal::GetCapturedStdout();
        ASSERT_TRUE(acquired) << text;
        PlayTest::SetUp();
        InitMemCmdStates();
        g_Acquired = true;
    }
    void TearDown() override {
        PlayTest::TearDown();
        ConsoleSetInputForTesting("", 0);
        board::EnableLog(false);
        board::ResetControls();
        oxHclResetFrontForTesting();
        InitMemCmdStates();
    }

    // Runs one line and gives back what it printed; *ok (may be null) gets the line's result.
    std::string Line(const char* line, bool* ok = nullptr) {
        Output();
        const bool result = Run(line);
        if (ok != nullptr) {
            *ok = result;
        }
        return Output();
    }

    void Poke(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
        ASSERT_TRUE(m_Board->WriteMemory(address, bytes));
    }
    std::vector<std::uint8_t> Peek(std::uint32_t address, std::uint32_t count) {
        std::vector<std::uint8_t> bytes(count);
        EXPECT_TRUE(m_Board->ReadMemory(address, bytes));
        return bytes;
    }

    std::shared_ptr<board::SimBoard> m_Board;

private:
    HandlerSwap m_Read{"r", CmdRead};
    HandlerSwap m_Write{"w", CmdWrite};
    HandlerSwap m_Fill{"f", CmdFill};
    HandlerSwap m_Dump{"d", CmdDump};
    HandlerSwap m_Search{"s", CmdSearch};
};

} // namespace memtest

#pragma once
// A freshly powered simulated board 0, acquired through the front, with its access log on.
// Every test program that uses it shares one board folder (a temporary one).

#include "board/BoardControl.h"
#include "board/SimBoard.h"
#include "hcl/HclApi.h"
#include "hcl/HclData.h"
#include "hcl/HclStart.h"
#include "platform/Console.h"
#include "platform/SimFolder.h"
#include "support/SimBoardSetup.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace usbtest {

// Made once per program and removed at its end (PowerOnFreshBoard selects it, board 0).
inline const std::string& BoardFolder() {
    return q3vtest::ProgramTempFolder("q3v-usbif");
}

// One access of the controller model, as the board's log tells it.
struct Access {
    bool Write;
    std::uint32_t Address;
    std::uint8_t Interface;
    std::uint32_t Length;
    std::uint32_t Value;
    bool operator==(const Access&) const = default;
};

inline std::ostream& operator<<(std::ostream& o, const Access& a) {
    return o << (a.Write ? "W " : "R ") << std::hex << a.Address << " if" << unsigned{a.Interface}
             << " len " << std::dec << a.Length << " value " << std::hex << a.Value << std::dec;
}

// The controller accesses of a log, oldest first.
inline std::vector<Access> Accesses(const std::vector<board::LogEntry>& log) {
    std::vector<Access> result;
    for (const auto& e : log) {
        if (e.What == board::LogEntry::Kind::Access) {
            result.push_back({e.Write, e.Address, e.Interface, e.Length, e.Value});
        }
    }
    return result;
}

inline std::size_t OutTransfers(const std::vector<board::LogEntry>& log) {
    std::size_t n = 0;
    for (const auto& e : log) {
        n += e.What == board::LogEntry::Kind::Out ? 1 : 0;
    }
    return n;
}

using q3vtest::AnswerNo;

class SimBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Board = q3vtest::PowerOnFreshBoard(BoardFolder());
        ASSERT_NE(m_Board, nullptr);
        oxHclResetFrontForTesting();
        ::testing::internal::CaptureStdout();
        const bool acquired = oxHclInitialize();
        m_AcquireOutput = ::testing::internal::GetCapturedStdout();
        ASSERT_TRUE(acquired) << m_AcquireOutput;
        board::EnableLog(true);
        board::ClearLog();
    }
    void TearDown() override {
        board::EnableLog(false);
        board::ResetControls();
        ConsoleSetInputForTesting("", 0);
        oxHclResetFrontForTesting();
    }

    std::vector<Access> TakeAccesses() { return Accesses(board::TakeLog()); }

    std::vector<std::uint32_t> Lut(std::uint32_t address, std::uint32_t count) {
        std::vector<std::uint8_t> bytes(count * 4);
        EXPECT_TRUE(m_Board->ReadMemory(address, bytes));
        std::vector<std::uint32_t> words(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            words[i] = bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 |
                       std::uint32_t{bytes[4 * i + 3]} << 24;
        }
        return words;
    }

    std::shared_ptr<board::SimBoard> m_Board;
    std::string m_AcquireOutput;
};

// Bridge address of register index i on the register port.
constexpr std::uint32_t Reg(std::uint32_t i) {
    return 0x60800 + i;
}

} // namespace usbtest

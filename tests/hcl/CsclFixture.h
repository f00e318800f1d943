#pragma once
// The CSCL protocol and the USB transport over a freshly powered simulated board 0 in a
// temporary folder, opened as at acquisition, with the board's packet log on. The layer's
// prompts are answered n ("go on").

#include "board/BoardControl.h"
#include "board/SimBoard.h"
#include "hcl/Cscl.h"
#include "hcl/UsbTransport.h"
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

namespace cscltest {

using Bytes = std::vector<std::uint8_t>;

// The MGE 0 bytes of the default configuration block.
inline constexpr std::uint8_t kUsbConfig[6] = {0x40, 0x55, 0x5E, 0xDF, 0x00, 0x00};
inline constexpr std::uint8_t kRegisterPort = 4;
inline constexpr std::uint32_t kRegisterBase = 0x60800;

// Made once per program and removed at its end.
inline const std::string& Folder() {
    return q3vtest::ProgramTempFolder("q3v-cscl");
}

using q3vtest::AnswerNo;

// One bulk transfer as the board's log tells it.
struct Transfer {
    bool Out;
    bool Continued;
    std::uint32_t Length;
    Bytes Head; // the first bytes
};

inline std::vector<Transfer> Transfers(const std::vector<board::LogEntry>& log) {
    std::vector<Transfer> result;
    for (const auto& e : log) {
        if (e.What == board::LogEntry::Kind::Out || e.What == board::LogEntry::Kind::In) {
            result.push_back(
                {e.What == board::LogEntry::Kind::Out, e.Continued, e.Length, e.Bytes});
        }
    }
    return result;
}

inline std::vector<Transfer> OutTransfers(const std::vector<board::LogEntry>& log) {
    std::vector<Transfer> result;
    for (const auto& t : Transfers(log)) {
        if (t.Out) {
            result.push_back(t);
        }
    }
    return result;
}

// Occurrences of a text in another.
inline int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

class BridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Board = q3vtest::PowerOnFreshBoard(Folder());
        ASSERT_NE(m_Board, nullptr);
        AnswerNo();
        ::testing::internal::CaptureStdout();
        const bool opened = oxCsclOpen(0, 4, kUsbConfig);
        m_OpenOutput = ::testing::internal::GetCapturedStdout();
        ASSERT_TRUE(opened) << m_OpenOutput;
        board::EnableLog(true);
        board::ClearLog();
    }
    void TearDown() override {
        board::EnableLog(false);
        board::ResetControls();
        oxUsbTransportDisableInterrupt();
        oxUsbTransportClose();
        ConsoleSetInputForTesting("", 0);
    }

    void Capture() { ::testing::internal::CaptureStdout(); }
    std::string Captured() { return ::testing::internal::GetCapturedStdout(); }

    Bytes Memory(std::uint32_t address, std::size_t count) {
        Bytes bytes(count);
        EXPECT_TRUE(m_Board->ReadMemory(address, bytes));
        return bytes;
    }

    std::shared_ptr<board::SimBoard> m_Board;
    std::string m_OpenOutput;
};

} // namespace cscltest

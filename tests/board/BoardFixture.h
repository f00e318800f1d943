#pragma once
// A freshly powered simulated board in a temporary folder of its own, with helpers that talk
// to its bridge packet by packet.

#include "board/BoardControl.h"
#include "board/SimBoard.h"
#include "support/SimBoardSetup.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace boardtest {

using Bytes = std::vector<std::uint8_t>;

// Made once per program and removed at its end.
inline const std::string& Folder() {
    return q3vtest::ProgramTempFolder("q3v-board");
}

inline Bytes ReadRequest(std::uint32_t address, std::uint8_t port, std::uint32_t length) {
    return Bytes{0,
                 0,
                 static_cast<std::uint8_t>(address),
                 static_cast<std::uint8_t>(address >> 8),
                 static_cast<std::uint8_t>(address >> 16),
                 port,
                 static_cast<std::uint8_t>(length),
                 static_cast<std::uint8_t>(length >> 8)};
}

inline Bytes WritePacket(std::uint32_t address, std::uint8_t port, const Bytes& data) {
    Bytes packet = ReadRequest(address, port, static_cast<std::uint32_t>(data.size()));
    packet[0] = 2;
    // Appended one by one: g++ 12 misreads a range insert here as an out-of-bounds copy.
    packet.reserve(packet.size() + data.size());
    for (std::uint8_t byte : data) {
        packet.push_back(byte);
    }
    return packet;
}

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Board = q3vtest::PowerOnFreshBoard(Folder());
        ASSERT_NE(m_Board, nullptr);
    }
    void TearDown() override { board::ResetControls(); }

    void Send(const Bytes& packet) {
        m_Board->BulkOut(packet.data(), static_cast<std::uint32_t>(packet.size()), false);
    }
    // The next transfer from the bridge (empty when none is queued).
    Bytes Receive(std::uint32_t room = 70000) {
        Bytes buffer(room);
        buffer.resize(m_Board->BulkIn(buffer.data(), room, false));
        return buffer;
    }
    // Reads through the bridge: the data bytes of the type-1 reply.
    Bytes Read(std::uint32_t address, std::uint8_t port, std::uint32_t length) {
        Send(ReadRequest(address, port, length));
        Bytes reply = Receive();
        if (reply.size() < 4 || reply[0] != 1) {
            ADD_FAILURE() << "no read reply";
            return {};
        }
        return Bytes(reply.begin() + 4, reply.begin() + 4 + length);
    }
    std::uint16_t ReadReg(std::uint32_t index) {
        const Bytes b = Read(board::kRegisterBase + index, board::kRegisterPort, 2);
        return b.size() == 2 ? static_cast<std::uint16_t>(b[0] | b[1] << 8) : 0xDEAD;
    }
    void WriteReg(std::uint32_t index, std::uint16_t value) {
        Send(
            WritePacket(board::kRegisterBase + index, board::kRegisterPort,
                        {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)}));
    }

    std::shared_ptr<board::SimBoard> m_Board;
};

} // namespace boardtest

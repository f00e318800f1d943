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

inline Bytes ReadRequest(std::uint32_t i_Address, std::uint8_t i_Port, std::uint32_t i_Length) {
    return Bytes{0,
                 0,
                 static_cast<std::uint8_t>(i_Address),
                 static_cast<std::uint8_t>(i_Address >> 8),
                 static_cast<std::uint8_t>(i_Address >> 16),
                 i_Port,
                 static_cast<std::uint8_t>(i_Length),
                 static_cast<std::uint8_t>(i_Length >> 8)};
}

inline Bytes WritePacket(std::uint32_t i_Address, std::uint8_t i_Port, const Bytes& i_Data) {
    Bytes packet = ReadRequest(i_Address, i_Port, static_cast<std::uint32_t>(i_Data.size()));
    packet[0] = 2;
    // Appended one by one: g++ 12 misreads a range insert here as an out-of-bounds copy.
    packet.reserve(packet.size() + i_Data.size());
    for (std::uint8_t byte : i_Data)
        packet.push_back(byte);
    return packet;
}

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Board = q3vtest::PowerOnFreshBoard(Folder());
        ASSERT_NE(m_Board, nullptr);
    }
    void TearDown() override { board::ResetControls(); }

    void Send(const Bytes& i_Packet) {
        m_Board->BulkOut(i_Packet.data(), static_cast<std::uint32_t>(i_Packet.size()), false);
    }
    // The next transfer from the bridge (empty when none is queued).
    Bytes Receive(std::uint32_t i_Room = 70000) {
        Bytes buffer(i_Room);
        buffer.resize(m_Board->BulkIn(buffer.data(), i_Room, false));
        return buffer;
    }
    // Reads through the bridge: the data bytes of the type-1 reply.
    Bytes Read(std::uint32_t i_Address, std::uint8_t i_Port, std::uint32_t i_Length) {
        Send(ReadRequest(i_Address, i_Port, i_Length));
        Bytes reply = Receive();
        if (reply.size() < 4 || reply[0] != 1) {
            ADD_FAILURE() << "no read reply";
            return {};
        }
        return Bytes(reply.begin() + 4, reply.begin() + 4 + i_Length);
    }
    std::uint16_t ReadReg(std::uint32_t i_Index) {
        const Bytes b = Read(board::kRegisterBase + i_Index, board::kRegisterPort, 2);
        return b.size() == 2 ? static_cast<std::uint16_t>(b[0] | b[1] << 8) : 0xDEAD;
    }
    void WriteReg(std::uint32_t i_Index, std::uint16_t i_Value) {
        Send(WritePacket(
            board::kRegisterBase + i_Index, board::kRegisterPort,
            {static_cast<std::uint8_t>(i_Value), static_cast<std::uint8_t>(i_Value >> 8)}));
    }

    std::shared_ptr<board::SimBoard> m_Board;
};

} // namespace boardtest

// CSCL's bridge operations: configuration rows, status, commands and switches, serial
// transfers, the MGE state and "cscl.log".

#include "CsclFixture.h"

#include "../support/AssertRecorder.h"

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace cscltest {
namespace {

class CsclBridgeTest : public BridgeTest {};

TEST_F(CsclBridgeTest, ConfigurationBytesOfTheCurrentMge) {
    EXPECT_EQ(oxCsclGetConfigByte(0), 0x40);
    EXPECT_EQ(oxCsclGetConfigByte(5), board::kHwRevision);
    EXPECT_EQ(oxCsclGetConfigByte(6), 0);
    Capture();
    EXPECT_TRUE(oxCsclSetConfigByte(2, 0x77));
    Captured();
    std::uint8_t table[4][6];
    m_Board->Config(table);
    EXPECT_EQ(table[0][2], 0x77);
    EXPECT_EQ(table[0][0], 0x40);

    AssertRecorder recorder;
    EXPECT_FALSE(oxCsclSetConfigByte(6, 1));
    EXPECT_EQ(recorder.Count(), 1u);
}

TEST_F(CsclBridgeTest, RevisionWithoutAConfigurationReplyIsTheTablesByte) {
    const std::uint8_t bytes[6] = {1, 2, 3, 4, 5, 9};
    oxCsclSetMge(2, 4, bytes);
    EXPECT_EQ(oxCsclGetConfigTable()[2][5], 9);
    board::InjectFault(board::Fault::NoReply, 1);
    EXPECT_EQ(oxCsclGetHwRevision(), 9);
    // With the reply, the bridge's revision replaces it.
    EXPECT_EQ(oxCsclGetHwRevision(), board::kHwRevision);
}

TEST_F(CsclBridgeTest, MgeSelectionAndItsPrintout) {
    oxCsclSetMge(1, 0x105, nullptr);
    EXPECT_EQ(oxCsclGetMge(), 1u);
    EXPECT_EQ(oxCsclGetInterfaceFlags(), 0x105u);
    EXPECT_EQ(oxCsclGetMemBase(), 0u);
    EXPECT_EQ(oxCsclGetRegBase(), 0u);
    Capture();
    oxCsclPrintMge();
    const std::string text = Captured();
    EXPECT_EQ(text.rfind("\nMge 1 Interface Flags 0x00000105 Mem Addr 0x00000000 Reg Addr "
                         "0x00000000\nCSCL:MGE 0 Regs: 0x40 0x55 0x5e 0xdf 0x00 0x01",
                         0),
              0u)
        << text;
    EXPECT_EQ(Count(text, "\nCSCL:MGE "), 4);
    EXPECT_EQ(text.back(), '\n');

    AssertRecorder recorder;
    oxCsclSetMge(4, 4, nullptr);
    EXPECT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(oxCsclGetMge(), 0u);
}

TEST_F(CsclBridgeTest, StatusCommandsAndSwitches) {
    m_Board->SetStatusWord(0x80000001);
    EXPECT_EQ(oxCsclRdMgeStat(), 0x80000001u);
    EXPECT_TRUE(oxCsclCommand9());
    EXPECT_TRUE(oxCsclCommand10());
    EXPECT_TRUE(oxCsclCommand13());
    EXPECT_TRUE(oxCsclCommand14());
    for (const std::uint8_t type : {9, 10, 13, 14}) {
        EXPECT_EQ(m_Board->RequestCount(type), 1u) << int{type};
    }
    EXPECT_EQ(oxCsclSetFlag15(true), 2u);
    EXPECT_EQ(oxCsclSetFlag16(false), 2u);
    EXPECT_EQ(oxCsclSetFlag17(true), 2u);
    EXPECT_EQ(oxCsclSetValue18(true, 0xABCD), 4u);
    EXPECT_EQ(m_Board->SwitchState(15), 0x80u);
    EXPECT_EQ(m_Board->SwitchState(16), 0u);
    EXPECT_EQ(m_Board->SwitchState(17), 0x80u);
    EXPECT_EQ(m_Board->SwitchState(18), 0x80ABCDu);
    EXPECT_TRUE(csclWaitForDone(0));
    EXPECT_EQ(m_Board->PendingReplies(), 0u);
}

TEST_F(CsclBridgeTest, SerialTransferSendsLastByteFirstInChunksOf500) {
    Bytes data(1001);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i);
    }
    Bytes result(data.size());
    EXPECT_TRUE(oxCsclSerialTransfer(static_cast<std::uint32_t>(data.size()), true, data.data(),
                                     result.data()));
    // The serial device answers with what it got, so the result is the data again.
    EXPECT_EQ(result, data);
    const auto out = OutTransfers(board::TakeLog());
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].Length, 504u);
    EXPECT_EQ(Bytes(out[0].Head.begin(), out[0].Head.begin() + 6),
              (Bytes{19, 0, 0xF4, 0x01, data[1000], data[999]}));
    EXPECT_EQ(out[1].Head[1], 0);
    EXPECT_EQ(out[2].Length, 5u);
    EXPECT_EQ(out[2].Head, (Bytes{19, 0x80, 1, 0, data[0]}));

    EXPECT_TRUE(oxCsclSerialTransfer(2, false, nullptr, result.data()));
    EXPECT_EQ(OutTransfers(board::TakeLog())[0].Head, (Bytes{19, 0, 2, 0, 0x31, 0x31}));
    EXPECT_EQ(result[0], 0x31);
    EXPECT_FALSE(oxCsclSerialTransfer(0, true, data.data(), result.data()));
    EXPECT_FALSE(oxCsclSerialTransfer(2, true, data.data(), nullptr));
}

TEST_F(CsclBridgeTest, SerialWriteAddsTwoZeroBytesAndGetsNoReply) {
    const std::uint8_t data[3] = {7, 8, 9};
    EXPECT_TRUE(oxCsclSerialWrite(3, data));
    const auto out = OutTransfers(board::TakeLog());
    ASSERT_EQ(out.size(), 1u);
    EXPECT_FALSE(out[0].Continued);
    EXPECT_EQ(out[0].Head, (Bytes{19, 0, 3, 0, 7, 8, 9, 0, 0}));
    EXPECT_EQ(m_Board->PendingReplies(), 0u);
    EXPECT_FALSE(oxCsclSerialWrite(0, data));
    EXPECT_FALSE(oxCsclSerialWrite(3, nullptr));
}

TEST_F(CsclBridgeTest, PacketHelpers) {
    const std::uint8_t packet[26] = {0x46, 0, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(oxCsclPacketType(packet), 6);
    oxCsclConfigTable table = {};
    oxCsclUnpackConfig(packet, table);
    EXPECT_EQ(table[0][0], 1);
    EXPECT_EQ(table[0][5], 6);
    const std::uint8_t other[26] = {8, 0, 9};
    oxCsclUnpackConfig(other, table);
    EXPECT_EQ(table[0][0], 1);
}

TEST_F(CsclBridgeTest, LogAppendsTheTextAsItIs) {
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(Folder().c_str()), 0);
    std::remove("cscl.log");
    EXPECT_TRUE(oxCsclLog("100% %s %n done\n"));
    EXPECT_TRUE(oxCsclLog("second"));
    std::ifstream file("cscl.log");
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), "100% %s %n done\nsecond");
    ASSERT_EQ(chdir(previous), 0);
}

} // namespace
} // namespace cscltest

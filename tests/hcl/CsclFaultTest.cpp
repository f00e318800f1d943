// CSCL against a misbehaving bridge: split, wrong, missing, late, failed and over-long replies.
// Every case ends with the right value or 0 and the layer's report, never with a hang or with
// bytes written past the caller's buffer.

#include "CsclFixture.h"

#include <functional>

namespace cscltest {
namespace {

class CsclFaultTest : public BridgeTest {
protected:
    void SetUp() override {
        BridgeTest::SetUp();
        m_Board->SetRegister(0x40, 0x1234);
        m_Board->SetStatusWord(0xCAFE0001);
        for (std::uint32_t i = 0; i < m_Data.size(); ++i) {
            m_Data[i] = static_cast<std::uint8_t>(i * 13 + 1);
        }
        m_Board->WriteMemory(0x1000, m_Data);
    }
    Bytes m_Data = Bytes(1001);
};

TEST_F(CsclFaultTest, RepliesSplitAtAnySizeStillGiveTheRightValues) {
    for (const std::uint32_t split : {1u, 2u, 3u, 63u, 512u}) {
        board::SetSplitSize(split);
        EXPECT_EQ(oxCsclRdMge(kRegisterBase + 0x40, 2, kRegisterPort), 0x1234u) << split;
        EXPECT_EQ(oxCsclRdMge(0x1000, 1, 1), m_Data[0]) << split;
        EXPECT_EQ(oxCsclRdMgeStat(), 0xCAFE0001u) << split;
        EXPECT_EQ(oxCsclGetHwRevision(), board::kHwRevision) << split;
        EXPECT_TRUE(oxCsclCommand9()) << split;
        Bytes back(m_Data.size());
        EXPECT_EQ(oxCsclBurstRdMge(0x1000, static_cast<std::uint32_t>(back.size()), 5, back.data()),
                  back.size())
            << split;
        EXPECT_EQ(back, m_Data) << split;
    }
}

struct FaultCase {
    const char* Name;
    std::function<bool()> Right; // true when the operation gave its right result
    const char* Report;          // the report of a wrong first packet
};

std::vector<FaultCase> FaultCases(const Bytes& data) {
    return {
        {"register read",
         [] { return oxCsclRdMge(kRegisterBase + 0x40, 2, kRegisterPort) == 0x1234; },
         "oxCsclRdMge:Bogus packet received 0x15, expected 0x1 "},
        {"status", [] { return oxCsclRdMgeStat() == 0xCAFE0001; },
         "oxCsclRdMgeStat:Bogus packet received 0x15, expected 0x8"},
        {"command", [] { return oxCsclCommand13(); },
         "csclWaitForDone:Bogus packet received 0x15, expected 0x3"},
        {"configuration", [] { return oxCsclGetConfigByte(5) == board::kHwRevision; },
         "oxCsclRdConfigRegs:Bogus packet received 0x15, expected 0x6"},
        {"burst read",
         [data] {
             Bytes back(data.size());
             return oxCsclBurstRdMge(0x1000, static_cast<std::uint32_t>(back.size()), 5,
                                     back.data()) == back.size() &&
                    back == data;
         },
         "oxCsclBurstRdMge:Bogus packet received 0x15, expected 0x1 (len rcvd 0)"},
    };
}

TEST_F(CsclFaultTest, WrongPacketBeforeTheReplyIsReportedOnceAndPassedOver) {
    for (const auto& c : FaultCases(m_Data)) {
        board::InjectFault(board::Fault::WrongType, 1);
        Capture();
        const bool right = c.Right();
        const std::string output = Captured();
        EXPECT_TRUE(right) << c.Name;
        EXPECT_EQ(Count(output, "ASSERT - "), 1) << c.Name << ": " << output;
        EXPECT_NE(output.find(std::string("ASSERT - ") + c.Report), std::string::npos)
            << c.Name << ": " << output;
    }
}

// A burst read takes only the read reply of the length it asked for; another is passed over
// whole, also when it comes in pieces.
TEST_F(CsclFaultTest, BurstReadPassesOverAReadReplyOfAnotherLength) {
    const Bytes first(m_Data.begin(), m_Data.begin() + 16);
    for (const std::uint32_t split : {0u, 1u, 3u, 5u}) {
        board::SetSplitSize(split);
        Capture();
        // An empty read reply ahead of the one asked for (the wrong packet made type 1).
        board::InjectFault(board::Fault::WrongType, 1, 1);
        Bytes back(16, 0xCC);
        EXPECT_EQ(oxCsclBurstRdMge(0x1000, 16, 5, back.data()), 16u) << split;
        EXPECT_EQ(back, first) << split;

        // The only reply reports 6 bytes too many: nothing of it is taken.
        board::InjectFault(board::Fault::Overlong, 1, 6);
        back.assign(16, 0xCC);
        EXPECT_EQ(oxCsclBurstRdMge(0x1000, 16, 5, back.data()), 0u) << split;
        EXPECT_EQ(back, Bytes(16, 0)) << split;
        EXPECT_EQ(m_Board->PendingReplies(), 0u) << split;
        EXPECT_EQ(Count(Captured(), "ASSERT - "), 0) << split; // no byte was taken for a type
    }
}

TEST_F(CsclFaultTest, MissingReplyGivesZeroWithoutReport) {
    board::InjectFault(board::Fault::NoReply, board::kEveryReply);
    Capture();
    EXPECT_EQ(oxCsclRdMge(kRegisterBase + 0x40, 2, kRegisterPort), 0u);
    EXPECT_EQ(oxCsclRdMgeStat(), 0u);
    EXPECT_FALSE(oxCsclCommand10());
    EXPECT_FALSE(oxCsclWrConfigRegs());
    std::uint8_t serial[4] = {9, 9, 9, 9};
    EXPECT_EQ(oxCsclSerialRead(sizeof serial, serial), 0u);
    // A burst read that gets nothing ends and leaves 0 where nothing came.
    Bytes back(70000, 0xCC);
    EXPECT_EQ(oxCsclBurstRdMge(0x1000, static_cast<std::uint32_t>(back.size()), 5, back.data()),
              0u);
    EXPECT_EQ(back, Bytes(70000, 0));
    EXPECT_EQ(Count(Captured(), "ASSERT - "), 0);
}

TEST_F(CsclFaultTest, ReplyThatCameTooLateIsNotTakenForTheNextOne) {
    board::SetLateDelayMs(0);
    board::InjectFault(board::Fault::Late, 1);
    m_Board->SetRegister(0x42, 0x5678);
    EXPECT_EQ(oxCsclRdMge(kRegisterBase + 0x40, 2, kRegisterPort), 0u);
    EXPECT_EQ(board::ReleaseLateReplies(), 1u); // it arrives after its window
    EXPECT_EQ(oxCsclRdMge(kRegisterBase + 0x42, 2, kRegisterPort), 0x5678u);
    EXPECT_EQ(m_Board->PendingReplies(), 0u);

    // The same for a burst read and a status read.
    board::InjectFault(board::Fault::Late, 1);
    Bytes back(16);
    EXPECT_EQ(oxCsclBurstRdMge(0x1000, 16, 5, back.data()), 0u);
    board::ReleaseLateReplies();
    EXPECT_EQ(oxCsclRdMgeStat(), 0xCAFE0001u);
}

TEST_F(CsclFaultTest, FailAnswerEndsTheWaitWithFalse) {
    board::InjectFault(board::Fault::Fail, 1);
    EXPECT_FALSE(oxCsclCommand14());
    EXPECT_TRUE(oxCsclCommand14());
    board::InjectFault(board::Fault::Fail, 1);
    Capture();
    EXPECT_FALSE(oxCsclSetConfigByte(1, 0x66));
    Captured();
}

TEST_F(CsclFaultTest, OverlongRepliesAreCutToTheCallersBuffer) {
    // Odd lengths come padded to even, and the bridge may send more than it was asked for: the
    // extra bytes must not reach past the buffer (the sanitizer build checks the heap).
    for (const std::uint32_t split : {0u, 1u, 5u}) {
        board::SetSplitSize(split);
        auto odd = std::make_unique<std::uint8_t[]>(3);
        EXPECT_EQ(oxCsclBurstRdMge(0x1000, 3, 5, odd.get()), 3u) << split;
        EXPECT_EQ(Bytes(odd.get(), odd.get() + 3), Bytes(m_Data.begin(), m_Data.begin() + 3));

        board::InjectFault(board::Fault::Overlong, 1, 1);
        auto even = std::make_unique<std::uint8_t[]>(4);
        EXPECT_EQ(oxCsclBurstRdMge(0x1000, 4, 5, even.get()), 4u) << split;
        EXPECT_EQ(Bytes(even.get(), even.get() + 4), Bytes(m_Data.begin(), m_Data.begin() + 4));

        board::InjectFault(board::Fault::Overlong, 1, 40);
        const std::uint8_t out[3] = {1, 2, 3};
        auto result = std::make_unique<std::uint8_t[]>(3);
        EXPECT_TRUE(oxCsclSerialTransfer(3, true, out, result.get())) << split;
        EXPECT_EQ(Bytes(result.get(), result.get() + 3), (Bytes{1, 2, 3})) << split;
    }
    EXPECT_EQ(oxCsclRdMge(kRegisterBase + 0x40, 2, kRegisterPort), 0x1234u);
}

TEST_F(CsclFaultTest, OpenFailsWhenTheBridgeDoesNotConfirmItsConfiguration) {
    board::InjectFault(board::Fault::NoReply, 1);
    Capture();
    EXPECT_FALSE(oxCsclOpen(0, 4, kUsbConfig));
    EXPECT_EQ(Captured().find("CSCL HW revision"), std::string::npos);
    board::InjectFault(board::Fault::Fail, 1);
    Capture();
    EXPECT_FALSE(oxCsclOpen(0, 4, kUsbConfig));
    Captured();
    Capture();
    EXPECT_TRUE(oxCsclReopen());
    EXPECT_NE(Captured().find("CSCL HW revision 1\n"), std::string::npos);
}

} // namespace
} // namespace cscltest

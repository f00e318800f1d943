// The bridge firmware's side of the packet protocol, its injected faults, the state file and
// the log, packet by packet.

#include "BoardFixture.h"

#include "board/StateFile.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace boardtest {
namespace {

constexpr std::uint8_t kMemoryPort = 1;

class FirmwareTest : public BoardTest {};

TEST_F(FirmwareTest, ReadReplyCarriesLengthAndDataPaddedToEven) {
    Send(WritePacket(0x40, kMemoryPort, {0xA1, 0xB2, 0xC3}));
    Send(ReadRequest(0x40, kMemoryPort, 3));
    EXPECT_EQ(Receive(), (Bytes{1, 0, 3, 0, 0xA1, 0xB2, 0xC3, 0}));
    Send(ReadRequest(0x40, kMemoryPort, 2));
    EXPECT_EQ(Receive(), (Bytes{1, 0, 2, 0, 0xA1, 0xB2}));
    EXPECT_TRUE(Receive().empty());
}

TEST_F(FirmwareTest, WritesAndSwitchesAreNotAnswered) {
    Send(WritePacket(0x10, kMemoryPort, {1, 2}));
    Send({15, 0x80});
    Send({16, 0});
    Send({17, 0x80});
    Send({18, 0x80, 0x34, 0x12});
    EXPECT_TRUE(Receive().empty());
    EXPECT_EQ(m_Board->SwitchState(15), 0x80u);
    EXPECT_EQ(m_Board->SwitchState(16), 0u);
    EXPECT_EQ(m_Board->SwitchState(17), 0x80u);
    EXPECT_EQ(m_Board->SwitchState(18), 0x801234u);
    EXPECT_EQ(m_Board->RequestCount(2), 1u);
    EXPECT_EQ(m_Board->RequestCount(18), 1u);
}

TEST_F(FirmwareTest, ConfigurationIsStoredAndReadBackWithTheRevision) {
    Bytes set{4, 0};
    for (std::uint8_t i = 0; i < 24; ++i) {
        set.push_back(static_cast<std::uint8_t>(0x10 + i));
    }
    Send(set);
    EXPECT_EQ(Receive(), (Bytes{3, 0}));
    Send({5, 0});
    const Bytes reply = Receive();
    ASSERT_EQ(reply.size(), 26u);
    EXPECT_EQ(reply[0], 6);
    for (std::uint8_t i = 0; i < 24; ++i) {
        const std::uint8_t expected = i % 6 == 5 ? board::kHwRevision : 0x10 + i;
        EXPECT_EQ(reply[2 + i], expected) << int{i};
    }
}

TEST_F(FirmwareTest, StatusWordIsLittleEndian) {
    m_Board->SetStatusWord(0x12345678);
    Send({7, 0});
    EXPECT_EQ(Receive(), (Bytes{8, 0, 0x78, 0x56, 0x34, 0x12}));
}

TEST_F(FirmwareTest, CommandsAreAnsweredDoneOrFail) {
    for (const std::uint8_t type : {9, 10, 13, 14}) {
        Send({type, 0});
        EXPECT_EQ(Receive(), (Bytes{3, 0})) << int{type};
    }
    board::InjectFault(board::Fault::Fail, 1);
    Send({9, 0});
    EXPECT_EQ(Receive(), (Bytes{11, 0}));
    Send({9, 0});
    EXPECT_EQ(Receive(), (Bytes{3, 0}));
}

TEST_F(FirmwareTest, SerialTransferEchoesAndSerialWriteIsSilent) {
    Send({19, 0, 3, 0, 0xA, 0xB, 0xC, 0, 0}); // write form: two zero bytes after the data
    EXPECT_TRUE(Receive().empty());
    Send({19, 0x80, 3, 0, 0xA, 0xB, 0xC});
    EXPECT_EQ(Receive(), (Bytes{20, 0, 3, 0, 0xA, 0xB, 0xC}));
}

TEST_F(FirmwareTest, PacketsNotUnderstoodAreCountedAndNotAnswered) {
    Send({});
    Send({0x3F, 0});
    Send({0, 0, 0}); // read request without its header
    Send({19, 0, 9, 0, 1});
    EXPECT_TRUE(Receive().empty());
    EXPECT_EQ(m_Board->UnknownPackets(), 4u);
}

TEST_F(FirmwareTest, FaultsChangeTheNextReplies) {
    Send(WritePacket(0, kMemoryPort, {0x11, 0x22}));
    const Bytes reply{1, 0, 2, 0, 0x11, 0x22};

    board::InjectFault(board::Fault::WrongType, 1);
    Send(ReadRequest(0, kMemoryPort, 2));
    EXPECT_EQ(Receive(), (Bytes{board::kWrongTypeDefault, 0, 0, 0}));
    EXPECT_EQ(Receive(), reply);

    board::InjectFault(board::Fault::NoReply, 2);
    Send(ReadRequest(0, kMemoryPort, 2));
    Send(ReadRequest(0, kMemoryPort, 2));
    EXPECT_TRUE(Receive().empty());
    Send(ReadRequest(0, kMemoryPort, 2));
    EXPECT_EQ(Receive(), reply);

    board::InjectFault(board::Fault::Overlong, 1, 3);
    Send(ReadRequest(0, kMemoryPort, 2));
    EXPECT_EQ(Receive(), (Bytes{1, 0, 5, 0, 0x11, 0x22, 0xEE, 0xEE, 0xEE, 0}));

    board::InjectFault(board::Fault::NoReply, board::kEveryReply);
    for (int i = 0; i < 3; ++i) {
        Send(ReadRequest(0, kMemoryPort, 2));
        EXPECT_TRUE(Receive().empty());
    }
    board::ClearFaults();
    Send(ReadRequest(0, kMemoryPort, 2));
    EXPECT_EQ(Receive(), reply);
}

TEST_F(FirmwareTest, LateReplyComesWhenReleasedOrAfterItsDelay) {
    board::SetLateDelayMs(0);
    board::InjectFault(board::Fault::Late, 1);
    Send({7, 0});
    EXPECT_TRUE(Receive().empty());
    EXPECT_EQ(m_Board->PendingReplies(), 0u);
    EXPECT_EQ(board::ReleaseLateReplies(), 1u);
    EXPECT_EQ(Receive(), (Bytes{8, 0, 0, 0, 0, 0}));

    board::SetLateDelayMs(2);
    board::InjectFault(board::Fault::Late, 1);
    Send({7, 0});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(Receive(), (Bytes{8, 0, 0, 0, 0, 0}));
}

TEST_F(FirmwareTest, SplitRepliesAndShortReadsKeepTransferBoundaries) {
    m_Board->SetStatusWord(0x04030201);
    board::SetSplitSize(4);
    Send({7, 0});
    Send({9, 0});
    EXPECT_EQ(Receive(), (Bytes{8, 0, 1, 2}));
    EXPECT_EQ(Receive(), (Bytes{3, 4}));
    EXPECT_EQ(Receive(), (Bytes{3, 0})); // the next reply is a transfer of its own
    board::SetSplitSize(0);
    Send({7, 0});
    EXPECT_EQ(Receive(1), Bytes{8});
    EXPECT_EQ(Receive(), (Bytes{0, 1, 2, 3, 4}));
}

TEST_F(FirmwareTest, QueuedRepliesAreCountedUntilTakenWhole) {
    Send({7, 0});
    Send({9, 0});
    Send(ReadRequest(0, kMemoryPort, 2));
    EXPECT_EQ(m_Board->PendingReplies(), 3u);
    EXPECT_EQ(Receive(1).size(), 1u); // the rest of the first reply stays queued
    EXPECT_EQ(m_Board->PendingReplies(), 3u);
    for (std::uint32_t left : {2u, 1u, 0u}) {
        EXPECT_FALSE(Receive().empty());
        EXPECT_EQ(m_Board->PendingReplies(), left);
    }
}

TEST_F(FirmwareTest, FullReplyQueueMovesItsRepliesToTheFrontAndThenDropsNewOnes) {
    // Each read reply, with the queue's frame around it, takes exactly a quarter of the queue.
    constexpr std::uint32_t kQuarter = board::kReplyQueueSize / 4;
    constexpr std::uint32_t kLength = kQuarter - sizeof(board::ReplyFrame) - 8;
    static_assert(kLength <= 0xFFFF, "a read request carries a 16-bit length");
    const auto pattern = [](std::uint32_t n) {
        Bytes bytes(kLength);
        for (std::uint32_t i = 0; i < kLength; ++i) {
            bytes[i] = static_cast<std::uint8_t>(n * 37 + i * 7);
        }
        return bytes;
    };
    const auto address = [](std::uint32_t n) { return n * 0x10000; };
    for (std::uint32_t n = 0; n < 5; ++n) {
        ASSERT_TRUE(m_Board->WriteMemory(address(n), pattern(n)));
    }
    const auto request = [&](std::uint32_t n) {
        Send(ReadRequest(address(n), kMemoryPort, kLength));
    };
    const auto expectReply = [&](std::uint32_t n) {
        const Bytes reply = Receive();
        ASSERT_EQ(reply.size(), 4 + kLength) << "reply " << n;
        EXPECT_TRUE(std::equal(reply.begin() + 4, reply.end(), pattern(n).begin()))
            << "reply " << n;
    };

    request(0);
    request(1);
    request(2);
    expectReply(0);
    expectReply(1); // the queue's first half is free now, its end is not
    request(3);     // fills the end
    request(0);     // fits only once the two waiting replies are moved to the front
    request(4);     // fills the queue
    EXPECT_EQ(m_Board->PendingReplies(), 4u);
    request(1); // lost: no room left
    EXPECT_EQ(m_Board->PendingReplies(), 4u);
    for (std::uint32_t n : {2u, 3u, 0u, 4u}) {
        expectReply(n);
    }
    EXPECT_TRUE(Receive().empty());
}

TEST_F(FirmwareTest, InterruptWordsComeInOrderUpToTheRingSize) {
    for (std::uint16_t i = 0; i < board::kInterruptRing; ++i) {
        EXPECT_TRUE(m_Board->RaiseInterrupt(static_cast<std::uint16_t>(2 * i + 1)));
    }
    EXPECT_FALSE(m_Board->RaiseInterrupt(0xFFFF));
    for (std::uint16_t i = 0; i < board::kInterruptRing; ++i) {
        std::uint16_t word = 0;
        ASSERT_TRUE(m_Board->InterruptIn(&word));
        EXPECT_EQ(word, 2 * i + 1);
    }
    std::uint16_t word = 0;
    EXPECT_FALSE(m_Board->InterruptIn(&word));
}

TEST_F(FirmwareTest, LogRecordsTransfersAndAccesses) {
    board::EnableLog(true);
    board::ClearLog();
    Send(WritePacket(0x123, kMemoryPort, {0x55}));
    Send(ReadRequest(0x123, kMemoryPort, 1));
    Receive();
    const auto log = board::TakeLog();
    board::EnableLog(false);
    ASSERT_EQ(log.size(), 5u);
    using Kind = board::LogEntry::Kind;
    EXPECT_EQ(log[0].What, Kind::Out);
    EXPECT_EQ(log[0].Length, 9u);
    EXPECT_EQ(log[1].What, Kind::Access);
    EXPECT_TRUE(log[1].Write);
    EXPECT_EQ(log[1].Address, 0x123u);
    EXPECT_EQ(log[1].Value, 0x55u);
    EXPECT_EQ(log[2].What, Kind::Out);
    EXPECT_EQ(log[3].What, Kind::Access);
    EXPECT_FALSE(log[3].Write);
    EXPECT_EQ(log[4].What, Kind::In);
    EXPECT_EQ(log[4].Bytes, (Bytes{1, 0, 1, 0, 0x55, 0}));
    EXPECT_EQ(board::FormatLogEntry(log[1]),
              "board 0 WRITE 0x000123 port 1 len 1 value 0x00000055");
    EXPECT_EQ(board::FormatLogEntry(log[4]), "board 0 IN 6: 01 00 01 00 55 00");
}

TEST_F(FirmwareTest, StateOutlivesTheBoardObjectAndABadFileStartsAfresh) {
    Send(WritePacket(0x2000, kMemoryPort, {0x77}));
    WriteReg(0x62, 0x0012);
    const std::string path = m_Board->Path();
    m_Board.reset();
    m_Board = board::SimBoard::Attach(Folder(), 0);
    ASSERT_NE(m_Board, nullptr);
    EXPECT_EQ(Read(0x2000, kMemoryPort, 1), Bytes{0x77});
    EXPECT_EQ(ReadReg(0x62), 0x0012);

    m_Board.reset();
    const int fd = open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, "garbage!", 8, offsetof(board::BoardState, Magic)), 8);
    close(fd);
    m_Board = board::SimBoard::Attach(Folder(), 0);
    ASSERT_NE(m_Board, nullptr);
    EXPECT_EQ(Read(0x2000, kMemoryPort, 1), Bytes{0});
    EXPECT_EQ(ReadReg(0x62), 0x0040);
}

TEST_F(FirmwareTest, EachBoardNumberHasItsOwnState) {
    auto other = board::SimBoard::Attach(Folder(), 5);
    ASSERT_NE(other, nullptr);
    other->PowerOn();
    Send(WritePacket(0x10, kMemoryPort, {0x99}));
    Bytes byte(1);
    ASSERT_TRUE(other->ReadMemory(0x10, byte));
    EXPECT_EQ(byte, Bytes{0});
    EXPECT_EQ(board::SimBoard::Attach(Folder(), 8), nullptr);
}

TEST_F(FirmwareTest, GarbledReplyQueueIsEmptiedNotOverrun) {
    Send({7, 0});
    // As if two processes had used the queue without the board lock.
    const int fd = open(m_Board->Path().c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    const std::uint32_t tail = 0xFFFFFFF0u;
    ASSERT_EQ(pwrite(fd, &tail, 4, offsetof(board::BoardState, ReplyTail)), 4);
    close(fd);
    EXPECT_TRUE(Receive().empty());
    Send({7, 0});
    EXPECT_EQ(Receive().size(), 6u);
}

} // namespace
} // namespace boardtest

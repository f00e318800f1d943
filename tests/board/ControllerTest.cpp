// The controller model as the bridge reaches it: reset values, read-only and write-only bits,
// the registers with behaviour of their own, the register port and the address map.

#include "BoardFixture.h"

#include "board/Controller.h"

namespace boardtest {
namespace {

using board::kRegisterBase;
using board::kRegisterPort;
constexpr std::uint8_t kMemoryPort = 1;
constexpr std::uint8_t kBurstPort = 5;

class ControllerTest : public BoardTest {};

TEST_F(ControllerTest, RegistersStartAtTheirResetValues) {
    const struct {
        std::uint32_t Index;
        std::uint16_t Value;
    } cases[] = {
        {0x00, 0x0000}, {0x02, 0x0050}, {0x04, 0x0000}, {0x14, 0x0029}, {0x16, 0x0005},
        {0x18, 0x0408}, {0x1A, 0x0400}, {0x1C, 0x1000}, {0x26, 0x0003}, {0x28, 0x0001},
        {0x2A, 0x0002}, {0x46, 0x0000}, {0x48, 0x0001}, {0x62, 0x0040}, {0xD2, 0x0000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadReg(c.Index), c.Value) << std::hex << c.Index;
    }
}

TEST_F(ControllerTest, ReadOnlyBitsKeepTheirValue) {
    const struct {
        std::uint32_t Index;
        std::uint16_t Expected; // after writing 0xFFFF
    } cases[] = {
        {0x00, 0x0000}, // REV_CODE
        {0x02, 0x0050}, // PROD_CODE
        {0x84, 0x0000}, // BLT_STATUS
        {0x10, 0x7FFF}, // PLL_0: all but the lock bit (which shows once enabled)
    };
    board::SetPllLockReads(1000);
    for (const auto& c : cases) {
        WriteReg(c.Index, 0xFFFF);
        EXPECT_EQ(ReadReg(c.Index), c.Expected) << std::hex << c.Index;
    }
}

TEST_F(ControllerTest, WriteOnlyBitsReadAsZero) {
    WriteReg(0x06, 0x00FF); // RESET: bit 8 is the write-only reset bit
    EXPECT_EQ(ReadReg(0x06), 0x00FF);
    WriteReg(0x80, 0x1234); // BLT_CTRL_0 is write-only
    EXPECT_EQ(ReadReg(0x80), 0x0000);
    EXPECT_EQ(m_Board->Register(0x80), 0x1234);
}

TEST_F(ControllerTest, ResetBitRestoresRegistersButNotMemory) {
    WriteReg(0x62, 0x0011);
    WriteReg(0x24, 0x0028);
    Send(WritePacket(0x100, kMemoryPort, {0xAB}));
    WriteReg(0x06, 0x0100);
    EXPECT_EQ(ReadReg(0x62), 0x0040);
    EXPECT_EQ(ReadReg(0x24), 0x0000);
    EXPECT_EQ(ReadReg(0x06), 0x0000);
    EXPECT_EQ(Read(0x100, kMemoryPort, 1), Bytes{0xAB});
}

TEST_F(ControllerTest, PllLocksOnceEnabledAfterTheConfiguredReads) {
    for (const std::uint32_t reads : {0u, 3u}) {
        m_Board->PowerOn();
        board::SetPllLockReads(reads);
        EXPECT_EQ(ReadReg(0x10) & 0x8000, 0) << "not enabled";
        WriteReg(0x10, 0x0001);
        for (std::uint32_t i = 0; i < reads; ++i) {
            EXPECT_EQ(ReadReg(0x10), 0x0001) << "read " << i;
        }
        EXPECT_EQ(ReadReg(0x10), 0x8001) << reads;
        EXPECT_EQ(ReadReg(0x10), 0x8001) << reads;
        // Disabled and enabled again, the PLL has to lock anew.
        WriteReg(0x10, 0x0000);
        EXPECT_EQ(ReadReg(0x10), 0x0000);
    }
    WriteReg(0x10, 0x0001);
    EXPECT_EQ(ReadReg(0x10), 0x0001);
}

TEST_F(ControllerTest, MainLayerSizeFollowsDisplaySizeAndRotation) {
    WriteReg(0x24, 0x0028); // 40 x 8 = 320 pixels
    WriteReg(0x28, 0x00F0); // 240 lines
    const struct {
        std::uint16_t MainSet;
        std::uint16_t Width;
        std::uint16_t Height;
    } cases[] = {
        {0x0000, 320, 240}, {0x0008, 240, 320}, {0x0010, 320, 240},
        {0x0018, 240, 320}, {0x0005, 320, 240}, // other bits of MAIN_SET do not rotate
    };
    for (const auto& c : cases) {
        WriteReg(0x40, c.MainSet);
        EXPECT_EQ(ReadReg(0x46), c.Width) << c.MainSet;
        EXPECT_EQ(ReadReg(0x48), c.Height) << c.MainSet;
    }
    WriteReg(0x46, 0x1234); // read-only: still computed
    WriteReg(0x40, 0);
    EXPECT_EQ(ReadReg(0x46), 320);
}

TEST_F(ControllerTest, TeStatusChangesBetweenReadsAndKeepsTheOtherBits) {
    WriteReg(0x22, 0x0011);
    const std::uint16_t first = ReadReg(0x22);
    const std::uint16_t second = ReadReg(0x22);
    EXPECT_EQ(first & 0xFF7F, 0x0011);
    EXPECT_EQ(second & 0xFF7F, 0x0011);
    EXPECT_NE(first & 0x80, second & 0x80);
}

TEST_F(ControllerTest, ByteAccessReachesEachHalfOfARegister) {
    Send(WritePacket(kRegisterBase + 0x63, kRegisterPort, {0x12}));
    EXPECT_EQ(ReadReg(0x62), 0x1240);
    EXPECT_EQ(Read(kRegisterBase + 0x62, kRegisterPort, 1), Bytes{0x40});
    EXPECT_EQ(Read(kRegisterBase + 0x63, kRegisterPort, 1), Bytes{0x12});
}

TEST_F(ControllerTest, RegisterPortBurstsStayOnOneRegister) {
    Send(WritePacket(kRegisterBase + 0x64, kRegisterPort, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(ReadReg(0x64), 0x0605);
    EXPECT_EQ(ReadReg(0x66), 0x0000);
    EXPECT_EQ(Read(kRegisterBase + 0x62, kRegisterPort, 4), (Bytes{0x40, 0, 0x40, 0}));
}

TEST_F(ControllerTest, MemoryAndTablesAreOneByteMap) {
    Send(WritePacket(0x5FFFE, kBurstPort, {1, 2, 3, 4})); // end of memory into LUT 1
    Bytes bytes(4);
    ASSERT_TRUE(m_Board->ReadMemory(0x5FFFE, bytes));
    EXPECT_EQ(bytes, (Bytes{1, 2, 3, 4}));
    Send(WritePacket(board::kLut2Address + 4, kBurstPort, {9, 8, 7, 0}));
    EXPECT_EQ(Read(board::kLut2Address + 4, kMemoryPort, 4), (Bytes{9, 8, 7, 0}));
    EXPECT_EQ(m_Board->DroppedAccesses(), 0u);
}

TEST_F(ControllerTest, AccessesOutsideTheMapAreDroppedAndCounted) {
    Send(WritePacket(0x607FE, kBurstPort, {1, 2, 3, 4})); // runs past the tables
    EXPECT_EQ(m_Board->DroppedAccesses(), 1u);
    EXPECT_EQ(Read(0x607FE, kMemoryPort, 4), (Bytes{1, 2, 0, 0}));
    EXPECT_EQ(m_Board->DroppedAccesses(), 2u);
    EXPECT_EQ(Read(0xFFFFFF, kMemoryPort, 2), (Bytes{0, 0}));
    EXPECT_EQ(m_Board->DroppedAccesses(), 3u);
    // The register port covers only its 256 indices.
    Send(WritePacket(0xFC, kRegisterPort, {1, 2}));
    Send(WritePacket(kRegisterBase + 0xFF, kRegisterPort, {1, 2}));
    EXPECT_EQ(m_Board->DroppedAccesses(), 5u);
    EXPECT_EQ(Read(0xFC, kRegisterPort, 2), (Bytes{0, 0}));
    Bytes memory(2);
    ASSERT_TRUE(m_Board->ReadMemory(0xFC, memory));
    EXPECT_EQ(memory, (Bytes{0, 0}));
}

} // namespace
} // namespace boardtest

// CSCL register and memory accesses: the exact packets on the wire and the values that come back.

#include "CsclFixture.h"

#include <numeric>

namespace cscltest {
namespace {

class CsclAccessTest : public BridgeTest {};

TEST_F(CsclAccessTest, OpenWritesTheConfigurationAndPrintsTheRevision) {
    EXPECT_NE(m_OpenOutput.find("\nCSCL:MGE 0 Regs: 0x40 0x55 0x5e 0xdf 0x00 0x00"
                                "\nCSCL:MGE 1 Regs: "),
              std::string::npos)
        << m_OpenOutput;
    EXPECT_NE(m_OpenOutput.find("CSCL HW revision 1\n"), std::string::npos) << m_OpenOutput;
    std::uint8_t table[4][6];
    m_Board->Config(table);
    EXPECT_EQ(Bytes(table[0], table[0] + 5), Bytes(kUsbConfig, kUsbConfig + 5));
    EXPECT_EQ(oxCsclGetConfigTable()[0][5], board::kHwRevision);
    EXPECT_EQ(oxCsclGetMge(), 0u);
    EXPECT_EQ(oxCsclGetInterfaceFlags(), 4u);
}

TEST_F(CsclAccessTest, SixteenBitRegisterReadIsOneEightByteRequest) {
    m_Board->SetRegister(0x40, 0xBEEF);
    EXPECT_EQ(oxCsclRdMge(kRegisterBase + 0x40, 2, kRegisterPort), 0xBEEFu);
    const auto out = OutTransfers(board::TakeLog());
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(out[0].Continued);
    EXPECT_EQ(out[0].Head, (Bytes{0, 0, 0x40, 0x08, 0x06, 4, 2, 0}));
}

TEST_F(CsclAccessTest, ReadWidths) {
    const Bytes pattern{0x11, 0x22, 0x33, 0x44};
    m_Board->WriteMemory(0x100, pattern);
    const struct {
        std::uint32_t Width;
        std::uint32_t Value;
    } cases[] = {{1, 0x11}, {2, 0x2211}, {4, 0x44332211}, {3, 0}, {8, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(oxCsclRdMge(0x100, c.Width, 1), c.Value) << c.Width;
    }
    // Every reply was taken off the pipe, whatever its width.
    EXPECT_EQ(m_Board->PendingReplies(), 0u);
}

TEST_F(CsclAccessTest, WriteIsOnePacketWithTheValueLittleEndian) {
    EXPECT_TRUE(oxCsclWrMge(0x1234, 4, 1, 0xA1B2C3D4));
    EXPECT_TRUE(oxCsclWrMge(kRegisterBase + 0x62, 1, kRegisterPort, 0x1FF));
    const auto out = OutTransfers(board::TakeLog());
    ASSERT_EQ(out.size(), 2u);
    EXPECT_FALSE(out[0].Continued);
    EXPECT_EQ(out[0].Head, (Bytes{2, 0, 0x34, 0x12, 0, 1, 4, 0, 0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(out[1].Head, (Bytes{2, 0, 0x62, 0x08, 0x06, 4, 1, 0, 0xFF}));
    EXPECT_EQ(Memory(0x1234, 4), (Bytes{0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(m_Board->Register(0x62), 0x00FF);
    EXPECT_EQ(m_Board->PendingReplies(), 0u);
}

TEST_F(CsclAccessTest, BurstWriteSplitsIntoChunksOf65520) {
    Bytes data(65521);
    std::iota(data.begin(), data.end(), std::uint8_t{1});
    EXPECT_TRUE(oxCsclBurstWrMge(0x100, static_cast<std::uint32_t>(data.size()), 5, data.data()));
    const auto out = OutTransfers(board::TakeLog());
    ASSERT_EQ(out.size(), 2u);
    EXPECT_TRUE(out[0].Continued);
    EXPECT_EQ(out[0].Length, 65520u + 8);
    EXPECT_EQ(Bytes(out[0].Head.begin(), out[0].Head.begin() + 8),
              (Bytes{2, 0, 0x00, 0x01, 0x00, 5, 0xF0, 0xFF}));
    EXPECT_FALSE(out[1].Continued);
    EXPECT_EQ(out[1].Length, 9u);
    // The second chunk at address + 65520 = 0x100F0.
    EXPECT_EQ(out[1].Head, (Bytes{2, 0, 0xF0, 0x00, 0x01, 5, 1, 0, data.back()}));
    EXPECT_EQ(Memory(0x100, data.size()), data);

    EXPECT_FALSE(oxCsclBurstWrMge(0x100, 0, 5, data.data()));
    EXPECT_FALSE(oxCsclBurstWrMge(0x100, 4, 5, nullptr));
    EXPECT_TRUE(OutTransfers(board::TakeLog()).empty());
}

TEST_F(CsclAccessTest, BurstReadGivesBackWhatWasWritten) {
    for (const std::uint32_t count : {1u, 3u, 4096u, 65520u, 65521u, 131041u}) {
        Bytes data(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            data[i] = static_cast<std::uint8_t>(i * 7 + count);
        }
        ASSERT_TRUE(m_Board->WriteMemory(0x200, data));
        Bytes back(count, 0xCC);
        EXPECT_EQ(oxCsclBurstRdMge(0x200, count, 5, back.data()), count) << count;
        EXPECT_EQ(back, data) << count;
    }
    const auto out = OutTransfers(board::TakeLog());
    // The 131041-byte read: three requests, at the chunk addresses.
    ASSERT_GE(out.size(), 3u);
    const auto& last = out[out.size() - 1];
    EXPECT_EQ(last.Head, (Bytes{0, 0, 0xE0, 0x01, 0x02, 5, 1, 0})); // 0x200 + 2 x 65520
    EXPECT_EQ(oxCsclBurstRdMge(0x200, 4, 5, nullptr), 0u);
}

TEST_F(CsclAccessTest, RegisterPortBurstsKeepTheIndexAcrossChunks) {
    Bytes data(65522);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i);
    }
    EXPECT_TRUE(oxCsclBurstWrMge(kRegisterBase + 0x64, static_cast<std::uint32_t>(data.size()),
                                 kRegisterPort, data.data()));
    // The last word written lands in the register; nothing leaves the register port's map.
    EXPECT_EQ(m_Board->Register(0x64), data[65520] | data[65521] << 8);
    EXPECT_EQ(m_Board->DroppedAccesses(), 0u);
    Bytes back(65522);
    EXPECT_EQ(oxCsclBurstRdMge(kRegisterBase + 0x62, static_cast<std::uint32_t>(back.size()),
                               kRegisterPort, back.data()),
              back.size());
    EXPECT_EQ(back[65520], 0x40); // ALPHA's reset value, still from the same register
    EXPECT_EQ(m_Board->DroppedAccesses(), 0u);
    std::vector<std::uint32_t> addresses;
    for (const auto& t : OutTransfers(board::TakeLog())) {
        addresses.push_back(t.Head[2] | t.Head[3] << 8 | t.Head[4] << 16);
    }
    EXPECT_EQ(addresses, (std::vector<std::uint32_t>{kRegisterBase + 0x64, kRegisterBase + 0x64,
                                                     kRegisterBase + 0x62, kRegisterBase + 0x62}));
}

} // namespace
} // namespace cscltest

// The configuration block: layout, the template, the CRC and its checks, the adapter flag.

#include "hcl/HclData.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const unsigned char* Bytes(const oxHclData& block) {
    return reinterpret_cast<const unsigned char*>(&block);
}
unsigned char* Bytes(oxHclData& block) {
    return reinterpret_cast<unsigned char*>(&block);
}

std::uint32_t RawU32(const oxHclData& block, std::size_t offset) {
    const unsigned char* b = Bytes(block) + offset;
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}
std::uint16_t RawU16(const oxHclData& block, std::size_t offset) {
    const unsigned char* b = Bytes(block) + offset;
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

// An independent bit-wise CRC-16 (polynomial 0x1021, initial 0xFFFF, MSB first).
std::uint16_t BitwiseCrc(const unsigned char* data, std::size_t length) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= static_cast<std::uint16_t>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
    }
    return crc;
}

// Tests that change the program's own block put it back afterwards.
class HclDataBlock : public ::testing::Test {
protected:
    void SetUp() override { std::memcpy(&m_Saved, &oxgHclInfo, sizeof m_Saved); }
    void TearDown() override { std::memcpy(&oxgHclInfo, &m_Saved, sizeof m_Saved); }
    oxHclData m_Saved;
};

TEST(HclData, TemplateBytesStandAtTheirOffsets) {
    const oxHclData& b = oxgHclInfo;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Bytes(b)), 16),
              std::string("47K20 HAL EXE\0\0\0", 16));
    EXPECT_EQ(Bytes(b)[16], 0) << "no description";
    EXPECT_EQ(Bytes(b)[272], 0) << "empty strings pool";
    EXPECT_EQ(RawU16(b, 528), 6014);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Bytes(b)) + 532, 8),
              std::string("47K20\0\0\0", 8));
    EXPECT_EQ(RawU16(b, 540), 0x1234);
    EXPECT_EQ(RawU16(b, 542), 0);
    EXPECT_EQ(RawU32(b, 544), 24000000u);
    const unsigned char usb[6] = {0x40, 0x55, 0x5E, 0xDF, 0x00, 0x00};
    EXPECT_EQ(std::memcmp(Bytes(b) + 548, usb, 6), 0);
    EXPECT_EQ(RawU32(b, 554), 0u);
    EXPECT_EQ(RawU32(b, 558), 0x00060800u);
    EXPECT_EQ(RawU32(b, 562), 0u);
    EXPECT_EQ(RawU32(b, 566), oxfADAPTER_USB);
    for (std::size_t i = 0; i < oxHCL_LCD1SIZE; ++i) {
        ASSERT_EQ(RawU32(b, 570 + 4 * i), 0u) << "LCD1 entry " << i;
    }
    // First pair, the last working pair, the end marker, and zeros after it.
    EXPECT_EQ(RawU16(b, 3642), 0x06);
    EXPECT_EQ(RawU16(b, 3644), 0x0100);
    EXPECT_EQ(RawU16(b, 3642 + 39 * 4), 0x04);
    EXPECT_EQ(RawU16(b, 3642 + 39 * 4 + 2), 0x0002);
    EXPECT_EQ(RawU16(b, 3642 + 40 * 4), 0xFF);
    for (std::size_t i = 41; i < oxHCL_REGSIZE; ++i) {
        ASSERT_EQ(RawU32(b, 3642 + 4 * i), 0u) << "pair " << i;
    }
}

TEST(HclData, TemplateListMatchesTheAccessors) {
    const std::vector<std::pair<std::uint16_t, std::uint16_t>> expected = {
        {0x06, 0x0100}, {0xFE, 0x2710}, {0x04, 0x0000}, {0x10, 0x0000}, {0x12, 0x000F},
        {0x14, 0x0029}, {0x10, 0x0001}, {0xFC, 0x09C4}, {0x16, 0x0006}, {0x04, 0x0001},
        {0xFC, 0x09C4}, {0x20, 0x004F}, {0x22, 0x0001}, {0x24, 0x003C}, {0x26, 0x002D},
        {0x28, 0x0110}, {0x2A, 0x0010}, {0x2C, 0x0001}, {0x2E, 0x0005}, {0x30, 0x0001},
        {0x32, 0x0008}, {0x40, 0x0000}, {0x42, 0x0000}, {0x44, 0x0000}, {0x50, 0x0000},
        {0x52, 0x8400}, {0x54, 0x0003}, {0x56, 0x0040}, {0x58, 0x0040}, {0x5A, 0x00A0},
        {0x5C, 0x0000}, {0x60, 0x0001}, {0x62, 0x0040}, {0x64, 0x0000}, {0x66, 0x0000},
        {0x68, 0x0000}, {0xD0, 0x0001}, {0xD2, 0x0001}, {0xD4, 0x0000}, {0x04, 0x0002},
        {0xFF, 0x0000}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const oxHclRegEntry e = oxHclGetReg(oxgHclInfo, i);
        EXPECT_EQ(e.Index, expected[i].first) << "pair " << i;
        EXPECT_EQ(e.Value, expected[i].second) << "pair " << i;
    }
}

TEST_F(HclDataBlock, AccessorsWriteLittleEndianAtTheUnalignedOffsets) {
    struct Case {
        std::size_t Offset;
        void (*Set)(oxHclData&, std::uint32_t);
        std::uint32_t (*Get)(const oxHclData&);
    };
    const Case cases[] = {
        {544, oxHclSetClkI, oxHclGetClkI},
        {554, oxHclSetBaseAddress, oxHclGetBaseAddress},
        {558, oxHclSetRegisterOffset, oxHclGetRegisterOffset},
        {562, oxHclSetMemoryOffset, oxHclGetMemoryOffset},
        {566, oxHclSetFlags, oxHclGetFlags},
    };
    for (const Case& c : cases) {
        c.Set(oxgHclInfo, 0x11223344);
        EXPECT_EQ(RawU32(oxgHclInfo, c.Offset), 0x11223344u) << c.Offset;
        EXPECT_EQ(c.Get(oxgHclInfo), 0x11223344u) << c.Offset;
    }
    oxHclSetLcd1Reg(oxgHclInfo, 767, 0xA5B6C7D8);
    EXPECT_EQ(RawU32(oxgHclInfo, 570 + 767 * 4), 0xA5B6C7D8u);
    EXPECT_EQ(oxHclGetLcd1Reg(oxgHclInfo, 767), 0xA5B6C7D8u);
    oxHclSetReg(oxgHclInfo, 592, {0x1234, 0xABCD});
    EXPECT_EQ(RawU16(oxgHclInfo, 6010), 0x1234);
    EXPECT_EQ(RawU16(oxgHclInfo, 6012), 0xABCD);
}

TEST(HclDataCrc, CheckValueAndBytewiseEqualsBitwise) {
    const std::string check = "123456789";
    EXPECT_EQ(oxHclCrc16(std::span<const std::uint8_t>(
                  reinterpret_cast<const std::uint8_t*>(check.data()), check.size())),
              0x29B1);
    std::mt19937 random(47);
    std::vector<std::uint8_t> data(1000);
    for (auto& b : data) {
        b = static_cast<std::uint8_t>(random());
    }
    for (std::size_t length : {0u, 1u, 2u, 17u, 1000u}) {
        EXPECT_EQ(oxHclCrc16(std::span<const std::uint8_t>(data.data(), length)),
                  BitwiseCrc(data.data(), length))
            << length;
    }
}

TEST(HclDataCrc, TemplateCarriesItsOwnCrc) {
    // Computed at run time over the block as it stands, by two implementations.
    EXPECT_EQ(oxgHclInfo.HclCRC, oxHclCalcCrc(oxgHclInfo));
    EXPECT_EQ(oxgHclInfo.HclCRC, BitwiseCrc(Bytes(oxgHclInfo) + 532, 6014 - 532));
    EXPECT_EQ(oxHclCheckCrc(oxgHclInfo), oxHclCrcState::Ok);
}

TEST_F(HclDataBlock, ChangesInsideTheCoveredRangeBreakTheCrcOutsideDoNot) {
    struct Case {
        std::size_t Offset;
        oxHclCrcState Expected;
    };
    const Case cases[] = {
        {0, oxHclCrcState::Ok},       // ID string
        {16, oxHclCrcState::Ok},      // description
        {300, oxHclCrcState::Ok},     // strings pool
        {528, oxHclCrcState::Ok},     // size field
        {532, oxHclCrcState::Error},  // first covered byte: chip ID
        {566, oxHclCrcState::Error},  // flags
        {6013, oxHclCrcState::Error}, // last covered byte
    };
    for (const Case& c : cases) {
        std::memcpy(&oxgHclInfo, &m_Saved, sizeof m_Saved);
        Bytes(oxgHclInfo)[c.Offset] ^= 0x5A;
        EXPECT_EQ(oxHclCheckCrc(oxgHclInfo), c.Expected) << "offset " << c.Offset;
    }
}

TEST_F(HclDataBlock, StoredCrcZeroIsUnconfiguredEvenWhenTheComputedCrcIsZero) {
    oxgHclInfo.HclCRC = 0;
    EXPECT_EQ(oxHclCheckCrc(oxgHclInfo), oxHclCrcState::Unconfigured);

    // Choose the last pair's value so that the computed CRC is 0 as well.
    const std::uint16_t prefix =
        oxHclCrc16(std::span<const std::uint8_t>(Bytes(oxgHclInfo) + 532, 6012 - 532));
    bool found = false;
    for (std::uint32_t v = 0; v <= 0xFFFF && !found; ++v) {
        const std::uint8_t tail[2] = {static_cast<std::uint8_t>(v),
                                      static_cast<std::uint8_t>(v >> 8)};
        if (oxHclCrc16(std::span<const std::uint8_t>(tail, 2), prefix) == 0) {
            Bytes(oxgHclInfo)[6012] = tail[0];
            Bytes(oxgHclInfo)[6013] = tail[1];
            found = true;
        }
    }
    ASSERT_TRUE(found);
    ASSERT_EQ(oxHclCalcCrc(oxgHclInfo), 0);
    EXPECT_EQ(oxHclCheckCrc(oxgHclInfo), oxHclCrcState::Unconfigured);
}

TEST_F(HclDataBlock, AdapterUsbFlag) {
    oxHclSetFlags(oxgHclInfo, oxfADAPTER_USB | oxfDEBUG_REG_WRITES | 0x80000000u);
    EXPECT_EQ(oxHclIsAdapterUsb(), 16u);
    EXPECT_EQ(oxHclClearAdapterUsb(), 0u);
    EXPECT_EQ(oxHclIsAdapterUsb(), 0u);
    EXPECT_EQ(oxHclGetFlags(oxgHclInfo), oxfDEBUG_REG_WRITES | 0x80000000u) << "other bits kept";
    EXPECT_EQ(oxHclClearAdapterUsb(), 0u);
}

} // namespace

#include "common/ByteOrder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

// Every unit at an odd address, read and written against bytes written out by hand.
TEST(ByteOrder, UnitsAtAnyAddressInLittleEndianOrder) {
    const std::array<uint8_t, 6> bytes = {0xEE, 0x01, 0x02, 0x03, 0x04, 0xEE};
    EXPECT_EQ(LoadLe16(bytes.data() + 1), 0x0201u);
    EXPECT_EQ(LoadLe24(bytes.data() + 1), 0x030201u);
    EXPECT_EQ(LoadLe32(bytes.data() + 1), 0x04030201u);
    EXPECT_EQ(LoadBe16(bytes.data() + 1), 0x0102u);

    struct Case {
        uint32_t Width;
        uint32_t Read;
        std::array<uint8_t, 6> Stored; // after storing 0xA4A3A2A1 with this width at byte 1
    };
    const Case cases[] = {
        {0, 0, {0xEE, 0x01, 0x02, 0x03, 0x04, 0xEE}},
        {1, 0x01, {0xEE, 0xA1, 0x02, 0x03, 0x04, 0xEE}},
        {2, 0x0201, {0xEE, 0xA1, 0xA2, 0x03, 0x04, 0xEE}},
        {3, 0x030201, {0xEE, 0xA1, 0xA2, 0xA3, 0x04, 0xEE}},
        {4, 0x04030201, {0xEE, 0xA1, 0xA2, 0xA3, 0xA4, 0xEE}},
        {5, 0, {0xEE, 0x01, 0x02, 0x03, 0x04, 0xEE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Width);
        EXPECT_EQ(LoadLe(bytes.data() + 1, c.Width), c.Read);
        std::array<uint8_t, 6> out = bytes;
        StoreLe(out.data() + 1, c.Width, 0xA4A3A2A1u);
        EXPECT_EQ(out, c.Stored);
    }

    std::array<uint8_t, 6> out = bytes;
    StoreLe16(out.data() + 1, 0xB2B1);
    StoreLe24(out.data() + 3, 0xC3C2C1);
    EXPECT_EQ(out, (std::array<uint8_t, 6>{0xEE, 0xB1, 0xB2, 0xC1, 0xC2, 0xC3}));
    StoreLe32(out.data() + 1, 0xD4D3D2D1);
    StoreBe16(out.data() + 4, 0xE1E2);
    EXPECT_EQ(out, (std::array<uint8_t, 6>{0xEE, 0xD1, 0xD2, 0xD3, 0xE1, 0xE2}));
}

} // namespace

#include "common/BitField.h"

#include <gtest/gtest.h>

namespace {

struct FieldCase {
    BitField Field;
    uint32_t Mask;
    uint32_t Reg;
    uint32_t Extracted;
    uint32_t DepositValue;
    uint32_t Deposited;
};

// Fields at both ends of a register, a whole register, and the degenerate ones whose bits lie
// past bit 31 or that have no bits at all.
const FieldCase kCases[] = {
    {{0, 3}, 0x00000007, 0x0000001D, 5, 2, 0x0000001A},
    {{3, 2}, 0x00000018, 0x0000001D, 3, 1, 0x0000000D},
    {{3, 2}, 0x00000018, 0xFFFFFFFF, 3, 0x7, 0xFFFFFFFF},
    {{31, 1}, 0x80000000, 0x80000001, 1, 0, 0x00000001},
    {{0, 32}, 0xFFFFFFFF, 0x12345678, 0x12345678, 0xCAFEF00D, 0xCAFEF00D},
    {{30, 4}, 0xC0000000, 0xC0000000, 3, 0xF, 0xC0000000},
    {{8, 0}, 0x00000000, 0xFFFFFFFF, 0, 1, 0xFFFFFFFF},
    {{32, 4}, 0x00000000, 0xFFFFFFFF, 0, 1, 0xFFFFFFFF},
};

TEST(BitField, ExtractAndDepositByName) {
    for (const FieldCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << "shift " << c.Field.Shift << " width " << c.Field.Width);
        EXPECT_EQ(c.Field.Mask(), c.Mask);
        EXPECT_EQ(c.Field.Extract(c.Reg), c.Extracted);
        EXPECT_EQ(c.Field.Deposit(c.Reg, c.DepositValue), c.Deposited);
    }
}

TEST(BitField, UsableInConstantExpressions) {
    constexpr BitField rotation{3, 2};
    static_assert(rotation.Mask() == 0x18);
    static_assert(rotation.Extract(0x10) == 2);
    static_assert(rotation.Deposit(0xFF, 0) == 0xE7);
}

} // namespace

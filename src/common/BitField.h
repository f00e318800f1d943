#pragma once
// Register fields by name: a field is its lowest bit and its width, declared once beside the
// register it belongs to, and read or changed through Extract and Deposit instead of masks and
// shifts written by hand.
//
//     inline constexpr BitField kMainSetDepth{0, 3};
//     inline constexpr BitField kMainSetRotation{3, 2};
//     const uint32_t degrees = kMainSetRotation.Extract(mainSet) * 90;
//     mainSet = kMainSetDepth.Deposit(mainSet, 5);
//
// Every operation is defined for any shift and width: bits that would lie past bit 31 are
// dropped, so a field of width 0 (or one that starts past bit 31) reads 0 and changes nothing.
#include <cstdint>

struct BitField {
    unsigned Shift = 0; // the field's lowest bit
    unsigned Width = 0; // its number of bits

    // The field's bits where they stand in the register.
    [[nodiscard]] constexpr uint32_t Mask() const {
        if (Width == 0 || Shift >= 32) {
            return 0;
        }
        const uint32_t low = Width >= 32 ? 0xFFFFFFFFu : (1u << Width) - 1u;
        return low << Shift;
    }

    // The field's value, moved down to bit 0.
    [[nodiscard]] constexpr uint32_t Extract(uint32_t reg) const {
        return Shift >= 32 ? 0 : (reg & Mask()) >> Shift;
    }

    // reg with the field replaced by value; bits of value that do not fit the field are dropped.
    [[nodiscard]] constexpr uint32_t Deposit(uint32_t reg, uint32_t value) const {
        if (Shift >= 32) {
            return reg;
        }
        return (reg & ~Mask()) | ((value << Shift) & Mask());
    }
};

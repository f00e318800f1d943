#include "board/Controller.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace board {

namespace {

// Registers that differ from plain read/write storage with reset value 0.
constexpr RegisterInfo kSpecial[] = {
    {0x00, 0x0000, 0xFFFF, 0x0000}, // REV_CODE
    {0x02, 0x0050, 0xFFFF, 0x0000}, // PROD_CODE
    {0x06, 0x0000, 0x0000, 0x0100}, // RESET: software reset bit
    {0x10, 0x0000, 0x8000, 0x0000}, // PLL_0: lock bit
    {0x14, 0x0029, 0x0000, 0x0000}, // PLL_2
    {0x16, 0x0005, 0x0000, 0x0000}, // INTCLK
    {0x18, 0x0408, 0x0000, 0x0000}, // PLL_3
    {0x1A, 0x0400, 0x0000, 0x0000}, // PLL_4
    {0x1C, 0x1000, 0x0000, 0x0000}, // PLL_5
    {0x22, 0x0000, 0x0080, 0x0000}, // DISP_SET: TE status
    {0x26, 0x0003, 0x0000, 0x0000}, // HNDP
    {0x28, 0x0001, 0x0000, 0x0000}, // VDISP
    {0x2A, 0x0002, 0x0000, 0x0000}, // VNDP
    {0x46, 0x0000, 0xFFFF, 0x0000}, // MAIN_WIDTH
    {0x48, 0x0001, 0xFFFF, 0x0000}, // MAIN_HEIGHT
    {0x62, 0x0040, 0x0000, 0x0000}, // ALPHA
    {0x80, 0x0000, 0x0000, 0xFFFF}, // BLT_CTRL_0
    {0x84, 0x0000, 0xFFFF, 0x0000}, // BLT_STATUS
};

constexpr std::array<RegisterInfo, kRegisterCount / 2> BuildTable() {
    std::array<RegisterInfo, kRegisterCount / 2> table{};
    for (std::uint32_t i = 0; i < table.size(); ++i) {
        table[i] = RegisterInfo{static_cast<std::uint8_t>(i * 2), 0, 0, 0};
    }
    for (const RegisterInfo& info : kSpecial) {
        table[info.Index / 2] = info;
    }
    return table;
}

constexpr std::array<RegisterInfo, kRegisterCount / 2> kRegisters = BuildTable();

std::uint16_t Stored(const BoardState& state, std::uint32_t index) {
    return static_cast<std::uint16_t>(state.Registers[index] | (state.Registers[index + 1] << 8));
}

// The computed width and height of the main layer (swapped at 90 and 270 degrees).
std::uint16_t MainSize(const BoardState& state, bool heightIn) {
    const std::uint16_t width = static_cast<std::uint16_t>((Stored(state, kRegHdisp) & 0x7F) * 8);
    const std::uint16_t height = static_cast<std::uint16_t>(Stored(state, kRegVdisp) & 0x3FF);
    const unsigned rotation = (Stored(state, kRegMainSet) >> 3) & 3;
    const bool swapped = rotation == 1 || rotation == 3;
    return (heightIn != swapped) ? height : width;
}

std::uint8_t ReadRegisterByte(BoardState& state, std::uint32_t index, std::uint32_t pllLockReads) {
    const std::uint32_t even = index & ~1u;
    const bool high = (index & 1) != 0;
    const RegisterInfo& info = kRegisters[even / 2];
    std::uint16_t value = Stored(state, even);
    switch (even) {
    case kRegPll0:
        if (high) {
            // The lock bit shows once the PLL is enabled and has been polled long enough.
            value &= static_cast<std::uint16_t>(~kPllLockBit);
            if ((value & kPllEnableBit) != 0) {
                if (state.PllReads >= pllLockReads) {
                    value |= kPllLockBit;
                } else {
                    ++state.PllReads;
                }
            }
        }
        break;
    case kRegDispSet:
        if (!high) {
            // The TE status follows the panel's refresh: it changes between any two reads.
            state.Registers[index] ^= static_cast<std::uint8_t>(kTeStatusBit);
        }
        break;
    case kRegMainWidth:
        value = MainSize(state, false);
        break;
    case kRegMainHeight:
        value = MainSize(state, true);
        break;
    default:
        break;
    }
    value &= static_cast<std::uint16_t>(~info.WriteOnly);
    return static_cast<std::uint8_t>(high ? value >> 8 : value);
}

void WriteRegisterByte(BoardState& state, std::uint32_t index, std::uint8_t value) {
    const std::uint32_t even = index & ~1u;
    const bool high = (index & 1) != 0;
    const RegisterInfo& info = kRegisters[even / 2];
    const std::uint8_t readOnly =
        static_cast<std::uint8_t>(high ? info.ReadOnly >> 8 : info.ReadOnly);
    const std::uint8_t old = state.Registers[index];
    state.Registers[index] = static_cast<std::uint8_t>(
        (old & readOnly) | (value & static_cast<std::uint8_t>(~readOnly)));
    if (even == kRegPll0 && !high && (old & kPllEnableBit) == 0 && (value & kPllEnableBit) != 0) {
        state.PllReads = 0; // the PLL starts locking again
    }
    if (even == kRegReset && high && (value & (kResetBit >> 8)) != 0) {
        ResetRegisters(state);
    }
}

} // namespace

void ResetRegisters(BoardState& state) {
    for (const RegisterInfo& info : kRegisters) {
        state.Registers[info.Index] = static_cast<std::uint8_t>(info.Default);
        state.Registers[info.Index + 1] = static_cast<std::uint8_t>(info.Default >> 8);
    }
    state.PllReads = 0;
}

bool ControllerRead(BoardState& state, std::uint32_t address, std::uint8_t interface,
                    std::uint8_t* data, std::uint32_t length, std::uint32_t pllLockReads) {
    bool dropped = false;
    if (interface == kRegisterPort) {
        const std::uint32_t index = address - kRegisterBase; // wraps for addresses below
        for (std::uint32_t k = 0; k < length; ++k) {
            const std::uint32_t target = index + (k & 1);
            if (address < kRegisterBase || target >= kRegisterCount) {
                data[k] = 0;
                dropped = true;
            } else {
                data[k] = ReadRegisterByte(state, target, pllLockReads);
            }
        }
    } else {
        std::uint32_t inside = 0;
        if (address < kMemoryMapEnd) {
            inside = std::min(length, kMemoryMapEnd - address);
            std::memcpy(data, state.Memory + address, inside);
        }
        if (inside < length) {
            std::memset(data + inside, 0, length - inside);
            dropped = true;
        }
    }
    if (dropped) {
        ++state.DroppedAccesses;
    }
    return !dropped;
}

bool ControllerWrite(BoardState& state, std::uint32_t address, std::uint8_t interface,
                     const std::uint8_t* data, std::uint32_t length) {
    bool dropped = false;
    if (interface == kRegisterPort) {
        const std::uint32_t index = address - kRegisterBase;
        for (std::uint32_t k = 0; k < length; ++k) {
            const std::uint32_t target = index + (k & 1);
            if (address < kRegisterBase || target >= kRegisterCount) {
                dropped = true;
            } else {
                WriteRegisterByte(state, target, data[k]);
            }
        }
    } else {
        std::uint32_t inside = 0;
        if (address < kMemoryMapEnd) {
            inside = std::min(length, kMemoryMapEnd - address);
            std::memcpy(state.Memory + address, data, inside);
        }
        dropped = inside < length;
    }
    if (dropped) {
        ++state.DroppedAccesses;
    }
    return !dropped;
}

} // namespace board

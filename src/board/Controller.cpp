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

std::uint16_t Stored(const BoardState& i_State, std::uint32_t i_Index) {
    return static_cast<std::uint16_t>(i_State.Registers[i_Index] |
                                      (i_State.Registers[i_Index + 1] << 8));
}

// The computed width and height of the main layer (swapped at 90 and 270 degrees).
std::uint16_t MainSize(const BoardState& i_State, bool i_Height) {
    const std::uint16_t width = static_cast<std::uint16_t>((Stored(i_State, kRegHdisp) & 0x7F) * 8);
    const std::uint16_t height = static_cast<std::uint16_t>(Stored(i_State, kRegVdisp) & 0x3FF);
    const unsigned rotation = (Stored(i_State, kRegMainSet) >> 3) & 3;
    const bool swapped = rotation == 1 || rotation == 3;
    return (i_Height != swapped) ? height : width;
}

std::uint8_t ReadRegisterByte(BoardState& io_State, std::uint32_t i_Index,
                              std::uint32_t i_PllLockReads) {
    const std::uint32_t even = i_Index & ~1u;
    const bool high = (i_Index & 1) != 0;
    const RegisterInfo& info = kRegisters[even / 2];
    std::uint16_t value = Stored(io_State, even);
    switch (even) {
    case kRegPll0:
        if (high) {
            // The lock bit shows once the PLL is enabled and has been polled long enough.
            value &= static_cast<std::uint16_t>(~kPllLockBit);
            if ((value & kPllEnableBit) != 0) {
                if (io_State.PllReads >= i_PllLockReads) {
                    value |= kPllLockBit;
                } else {
                    ++io_State.PllReads;
                }
            }
        }
        break;
    case kRegDispSet:
        if (!high) {
            // The TE status follows the panel's refresh: it changes between any two reads.
            io_State.Registers[i_Index] ^= static_cast<std::uint8_t>(kTeStatusBit);
        }
        break;
    case kRegMainWidth:
        value = MainSize(io_State, false);
        break;
    case kRegMainHeight:
        value = MainSize(io_State, true);
        break;
    default:
        break;
    }
    value &= static_cast<std::uint16_t>(~info.WriteOnly);
    return static_cast<std::uint8_t>(high ? value >> 8 : value);
}

void WriteRegisterByte(BoardState& io_State, std::uint32_t i_Index, std::uint8_t i_Value) {
    const std::uint32_t even = i_Index & ~1u;
    const bool high = (i_Index & 1) != 0;
    const RegisterInfo& info = kRegisters[even / 2];
    const std::uint8_t readOnly =
        static_cast<std::uint8_t>(high ? info.ReadOnly >> 8 : info.ReadOnly);
    const std::uint8_t old = io_State.Registers[i_Index];
    io_State.Registers[i_Index] = static_cast<std::uint8_t>(
        (old & readOnly) | (i_Value & static_cast<std::uint8_t>(~readOnly)));
    if (even == kRegPll0 && !high && (old & kPllEnableBit) == 0 && (i_Value & kPllEnableBit) != 0) {
        io_State.PllReads = 0; // the PLL starts locking again
    }
    if (even == kRegReset && high && (i_Value & (kResetBit >> 8)) != 0) {
        ResetRegisters(io_State);
    }
}

} // namespace

void ResetRegisters(BoardState& io_State) {
    for (const RegisterInfo& info : kRegisters) {
        io_State.Registers[info.Index] = static_cast<std::uint8_t>(info.Default);
        io_State.Registers[info.Index + 1] = static_cast<std::uint8_t>(info.Default >> 8);
    }
    io_State.PllReads = 0;
}

bool ControllerRead(BoardState& io_State, std::uint32_t i_Address, std::uint8_t i_Interface,
                    std::uint8_t* o_Data, std::uint32_t i_Length, std::uint32_t i_PllLockReads) {
    bool dropped = false;
    if (i_Interface == kRegisterPort) {
        const std::uint32_t index = i_Address - kRegisterBase; // wraps for addresses below
        for (std::uint32_t k = 0; k < i_Length; ++k) {
            const std::uint32_t target = index + (k & 1);
            if (i_Address < kRegisterBase || target >= kRegisterCount) {
                o_Data[k] = 0;
                dropped = true;
            } else {
                o_Data[k] = ReadRegisterByte(io_State, target, i_PllLockReads);
            }
        }
    } else {
        std::uint32_t inside = 0;
        if (i_Address < kMemoryMapEnd) {
            inside = std::min(i_Length, kMemoryMapEnd - i_Address);
            std::memcpy(o_Data, io_State.Memory + i_Address, inside);
        }
        if (inside < i_Length) {
            std::memset(o_Data + inside, 0, i_Length - inside);
            dropped = true;
        }
    }
    if (dropped) {
        ++io_State.DroppedAccesses;
    }
    return !dropped;
}

bool ControllerWrite(BoardState& io_State, std::uint32_t i_Address, std::uint8_t i_Interface,
                     const std::uint8_t* i_Data, std::uint32_t i_Length) {
    bool dropped = false;
    if (i_Interface == kRegisterPort) {
        const std::uint32_t index = i_Address - kRegisterBase;
        for (std::uint32_t k = 0; k < i_Length; ++k) {
            const std::uint32_t target = index + (k & 1);
            if (i_Address < kRegisterBase || target >= kRegisterCount) {
                dropped = true;
            } else {
                WriteRegisterByte(io_State, target, i_Data[k]);
            }
        }
    } else {
        std::uint32_t inside = 0;
        if (i_Address < kMemoryMapEnd) {
            inside = std::min(i_Length, kMemoryMapEnd - i_Address);
            std::memcpy(io_State.Memory + i_Address, i_Data, inside);
        }
        dropped = inside < i_Length;
    }
    if (dropped) {
        ++io_State.DroppedAccesses;
    }
    return !dropped;
}

} // namespace board

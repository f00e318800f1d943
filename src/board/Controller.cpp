#include "board/Controller.h"

#include "common/ByteOrder.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace board {

namespace {

std::uint16_t With(BitField field, std::uint16_t value, std::uint32_t fieldValue) {
    return static_cast<std::uint16_t>(field.Deposit(value, fieldValue));
}

// A register's behaviour beyond plain storage. A read hook gets the stored 16-bit value and the
// half being read, and gives the value the read shows (before write-only bits are cleared); a
// write hook runs after one half was stored, with the value before and after.
using ReadHook = std::uint16_t (*)(BoardState& state, std::uint16_t value, bool high,
                                   std::uint32_t pllLockReads);
using WriteHook = void (*)(BoardState& state, std::uint16_t before, std::uint16_t after, bool high);

struct RegisterInfo {
    std::uint8_t Index = 0;
    std::uint16_t Default = 0;
    std::uint16_t ReadOnly = 0;  // bits that writes do not change
    std::uint16_t WriteOnly = 0; // bits that read as 0
    ReadHook OnRead = nullptr;
    WriteHook OnWrite = nullptr;
};

// PLL_0: the lock bit shows once the PLL is enabled and has been polled long enough.
std::uint16_t ReadPll0(BoardState& state, std::uint16_t value, bool high,
                       std::uint32_t pllLockReads) {
    if (!high) {
        return value;
    }
    bool locked = false;
    if (kPllEnable.Extract(value) != 0) {
        if (state.PllReads >= pllLockReads) {
            locked = true;
        } else {
            ++state.PllReads;
        }
    }
    return With(kPllLock, value, locked ? 1 : 0);
}

// PLL_0: enabling the PLL starts its locking again.
void WritePll0(BoardState& state, std::uint16_t before, std::uint16_t after, bool high) {
    if (!high && kPllEnable.Extract(before) == 0 && kPllEnable.Extract(after) != 0) {
        state.PllReads = 0;
    }
}

// DISP_SET: the TE status follows the panel's refresh: it changes between any two reads.
std::uint16_t ReadDispSet(BoardState& state, std::uint16_t value, bool high, std::uint32_t) {
    if (!high) {
        StoreRegister(state, kRegDispSet, With(kTeStatus, value, kTeStatus.Extract(value) ^ 1));
    }
    return value;
}

// RESET: writing the reset bit restores the registers' reset values.
void WriteReset(BoardState& state, std::uint16_t, std::uint16_t after, bool high) {
    if (high && kResetBit.Extract(after) != 0) {
        ResetRegisters(state);
    }
}

// The computed width and height of the main layer (swapped at 90 and 270 degrees).
std::uint16_t MainSize(const BoardState& state, bool wantHeight) {
    const auto width =
        static_cast<std::uint16_t>(kHdispWidth.Extract(StoredRegister(state, kRegHdisp)) * 8);
    const auto height =
        static_cast<std::uint16_t>(kVdispHeight.Extract(StoredRegister(state, kRegVdisp)));
    const std::uint32_t rotation = kMainSetRotation.Extract(StoredRegister(state, kRegMainSet));
    const bool swapped = rotation == 1 || rotation == 3;
    return (wantHeight != swapped) ? height : width;
}

std::uint16_t ReadMainWidth(BoardState& state, std::uint16_t, bool, std::uint32_t) {
    return MainSize(state, false);
}

std::uint16_t ReadMainHeight(BoardState& state, std::uint16_t, bool, std::uint32_t) {
    return MainSize(state, true);
}

// Registers that differ from plain read/write storage with reset value 0.
constexpr RegisterInfo kSpecial[] = {
    {0x00, 0x0000, 0xFFFF, 0x0000},                                // REV_CODE
    {0x02, 0x0050, 0xFFFF, 0x0000},                                // PROD_CODE
    {0x06, 0x0000, 0x0000, kResetBit.Mask(), nullptr, WriteReset}, // RESET: software reset bit
    {0x10, 0x0000, kPllLock.Mask(), 0x0000, ReadPll0, WritePll0},  // PLL_0: lock bit
    {0x14, 0x0029, 0x0000, 0x0000},                                // PLL_2
    {0x16, 0x0005, 0x0000, 0x0000},                                // INTCLK
    {0x18, 0x0408, 0x0000, 0x0000},                                // PLL_3
    {0x1A, 0x0400, 0x0000, 0x0000},                                // PLL_4
    {0x1C, 0x1000, 0x0000, 0x0000},                                // PLL_5
    {0x22, 0x0000, kTeStatus.Mask(), 0x0000, ReadDispSet},         // DISP_SET: TE status
    {0x26, 0x0003, 0x0000, 0x0000},                                // HNDP
    {0x28, 0x0001, 0x0000, 0x0000},                                // VDISP
    {0x2A, 0x0002, 0x0000, 0x0000},                                // VNDP
    {0x46, 0x0000, 0xFFFF, 0x0000, ReadMainWidth},                 // MAIN_WIDTH
    {0x48, 0x0001, 0xFFFF, 0x0000, ReadMainHeight},                // MAIN_HEIGHT
    {0x62, 0x0040, 0x0000, 0x0000},                                // ALPHA
    {0x80, 0x0000, 0x0000, 0xFFFF},                                // BLT_CTRL_0
    {0x84, 0x0000, 0xFFFF, 0x0000},                                // BLT_STATUS
};

constexpr std::array<RegisterInfo, kRegisterCount / 2> BuildTable() {
    std::array<RegisterInfo, kRegisterCount / 2> table{};
    for (std::uint32_t i = 0; i < table.size(); ++i) {
        table[i].Index = static_cast<std::uint8_t>(i * 2);
    }
    for (const RegisterInfo& info : kSpecial) {
        table[info.Index / 2] = info;
    }
    return table;
}

constexpr std::array<RegisterInfo, kRegisterCount / 2> kRegisters = BuildTable();

std::uint8_t ReadRegisterByte(BoardState& state, std::uint32_t index, std::uint32_t pllLockReads) {
    const std::uint32_t even = index & ~1u;
    const bool high = (index & 1) != 0;
    const RegisterInfo& info = kRegisters[even / 2];
    std::uint16_t value = StoredRegister(state, even);
    if (info.OnRead != nullptr) {
        value = info.OnRead(state, value, high, pllLockReads);
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
    const std::uint16_t before = StoredRegister(state, even);
    const std::uint8_t old = state.Registers[index];
    state.Registers[index] = static_cast<std::uint8_t>(
        (old & readOnly) | (value & static_cast<std::uint8_t>(~readOnly)));
    if (info.OnWrite != nullptr) {
        info.OnWrite(state, before, StoredRegister(state, even), high);
    }
}

} // namespace

std::uint16_t StoredRegister(const BoardState& state, std::uint32_t index) {
    return LoadLe16(state.Registers + index);
}

void StoreRegister(BoardState& state, std::uint32_t index, std::uint16_t value) {
    StoreLe16(state.Registers + index, value);
}

void ResetRegisters(BoardState& state) {
    for (const RegisterInfo& info : kRegisters) {
        StoreRegister(state, info.Index, info.Default);
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

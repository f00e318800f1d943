#pragma once
// The display controller model behind the bridge: the 24-bit address map, the registers with
// their reset values, read-only and write-only bits and the side effects of their reads and
// writes. It works on the state file's fields and holds no state of its own.

#include "board/StateFile.h"
#include "common/BitField.h"

#include <cstdint>

namespace board {

// Register indices with behaviour of their own, and their fields. The model keeps its own on
// purpose, apart from the layer's (hcl/Lcd.h) and the chip database's: written from the chip's
// register list independently of the driver, each checks the other, where a shared declaration
// would let a wrong field agree with itself on both sides of the bridge.
inline constexpr std::uint32_t kRegReset = 0x06;
inline constexpr BitField kResetBit{8, 1}; // write-only: restores the reset values
inline constexpr std::uint32_t kRegPll0 = 0x10;
inline constexpr BitField kPllEnable{0, 1};
inline constexpr BitField kPllLock{15, 1}; // read-only
inline constexpr std::uint32_t kRegDispSet = 0x22;
inline constexpr BitField kTeStatus{7, 1}; // read-only, toggles
inline constexpr std::uint32_t kRegHdisp = 0x24;
inline constexpr BitField kHdispWidth{0, 7}; // width / 8
inline constexpr std::uint32_t kRegVdisp = 0x28;
inline constexpr BitField kVdispHeight{0, 10};
inline constexpr std::uint32_t kRegMainSet = 0x40;
inline constexpr BitField kMainSetRotation{3, 2};     // rotation / 90
inline constexpr std::uint32_t kRegMainWidth = 0x46;  // computed, read-only
inline constexpr std::uint32_t kRegMainHeight = 0x48; // computed, read-only

// A register's stored value at an even index, and storing one, without side effects.
std::uint16_t StoredRegister(const BoardState& state, std::uint32_t index);
void StoreRegister(BoardState& state, std::uint32_t index, std::uint16_t value);

// Registers to their reset values (the RESET bit's effect; memory is kept).
void ResetRegisters(BoardState& state);

// One access of length bytes at a bridge address on a port. On the register port byte k goes
// to index + (k AND 1), so longer transfers stream through one 16-bit register (a FIFO). Bytes
// outside the map are dropped (reads give 0) and the access is counted once as dropped.
// Returns false when something was dropped.
bool ControllerRead(BoardState& state, std::uint32_t address, std::uint8_t interface,
                    std::uint8_t* data, std::uint32_t length, std::uint32_t pllLockReads);
bool ControllerWrite(BoardState& state, std::uint32_t address, std::uint8_t interface,
                     const std::uint8_t* data, std::uint32_t length);

} // namespace board

#pragma once
// The display controller model behind the bridge: the 24-bit address map, the registers with
// their reset values, read-only and write-only bits and the side effects of their reads and
// writes. It works on the state file's fields and holds no state of its own.

#include "board/StateFile.h"

#include <cstdint>

namespace board {

// Register indices with behaviour of their own.
inline constexpr std::uint32_t kRegReset = 0x06;      // bit 8 restores the reset values
inline constexpr std::uint32_t kRegPll0 = 0x10;       // bit 0 enable, bit 15 lock (read-only)
inline constexpr std::uint32_t kRegDispSet = 0x22;    // bit 7 TE status (read-only, toggles)
inline constexpr std::uint32_t kRegHdisp = 0x24;      // bits 0-6: width / 8
inline constexpr std::uint32_t kRegVdisp = 0x28;      // bits 0-9: height
inline constexpr std::uint32_t kRegMainSet = 0x40;    // bits 3-4: rotation / 90
inline constexpr std::uint32_t kRegMainWidth = 0x46;  // computed, read-only
inline constexpr std::uint32_t kRegMainHeight = 0x48; // computed, read-only

inline constexpr std::uint16_t kResetBit = 0x0100;
inline constexpr std::uint16_t kPllEnableBit = 0x0001;
inline constexpr std::uint16_t kPllLockBit = 0x8000;
inline constexpr std::uint16_t kTeStatusBit = 0x0080;

struct RegisterInfo {
    std::uint8_t Index;
    std::uint16_t Default;
    std::uint16_t ReadOnly;  // bits that writes do not change
    std::uint16_t WriteOnly; // bits that read as 0
};
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

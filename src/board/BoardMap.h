#pragma once
// The display controller's 24-bit address map as the bridge reaches it: display memory, the two
// look-up tables and the registers on the register port. A leaf: the state file's layout, the
// controller model and the board itself all size and check accesses by it.

#include <cstdint>

namespace board {

inline constexpr std::uint32_t kMemorySize = 0x60000;  // display memory 0 .. 0x5FFFF
inline constexpr std::uint32_t kLut1Address = 0x60000; // look-up table 1, 256 x 32 bits
inline constexpr std::uint32_t kLut2Address = 0x60400; // look-up table 2
inline constexpr std::uint32_t kLutSize = 0x400;
inline constexpr std::uint32_t kMemoryMapEnd = 0x60800; // memory and tables end here
inline constexpr std::uint32_t kRegisterBase = 0x60800; // register index 0 on the register port
inline constexpr std::uint32_t kRegisterCount = 0x100;  // register indices 0 .. 0xFF (bytes)
// Interface byte of the register port; any other reaches memory.
inline constexpr std::uint8_t kRegisterPort = 4;

} // namespace board

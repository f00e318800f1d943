#pragma once
// What the board keeps for the kernel driver's tests: requests counted by control code (the
// driver's codes run from kDriverCodeFirst in steps of 4) and the interrupt record it was last
// given. A leaf: the state file's layout and the board's interface both size by it.

#include <cstdint>

namespace board {

inline constexpr std::uint32_t kDriverCodeFirst = 0x42408;
inline constexpr std::uint32_t kDriverCodeCount = 12;
inline constexpr std::uint32_t kDriverRecordSize = 168;

} // namespace board

#pragma once
// How the board's USB bridge describes itself to the driver: its pipes (the driver's interface
// record) and its USB configuration descriptor.

#include <cstdint>
#include <span>

namespace board {

// Pipes: 0 bulk OUT (endpoint 2), 1 bulk OUT (endpoint 4), 2 bulk IN (endpoint 6),
// 3 interrupt IN (endpoint 1).
inline constexpr std::uint32_t kPipeCount = 4;

// Fills the interface record (u32 pipe count at byte 12, 20-byte pipe records from byte 16);
// returns its length, 0 when recordOut is too small.
std::uint32_t FillPipeInfo(std::span<std::uint8_t> recordOut);

// The configuration descriptor with its interface and endpoint descriptors.
std::span<const std::uint8_t> ConfigDescriptor();

} // namespace board

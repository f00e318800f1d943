#pragma once
// The register initialisation list walk of the configuration block.

#include "hcl/HclData.h"

#include <cstdint>

// Register 0x10 (PLL_0): bit 1 bypasses the PLL, bit 15 tells it has locked.
constexpr std::uint32_t oxHCL_REG_PLL_0 = 0x10;
constexpr std::uint16_t oxHCL_PLL_BYPASS = 0x0002;
constexpr std::uint16_t oxHCL_PLL_LOCK = 0x8000;
// How long the walk waits for the PLL lock before it gives up (generous for real hardware).
constexpr std::uint32_t oxHCL_PLL_LOCK_TIMEOUT_MS = 1000;

// Walks the register initialisation list of oxgHclInfo: index < 252 writes the value to that
// 16-bit register (oxHclWriteReg16, so tracing, breakpoints and the write echo apply), 252 waits
// for the PLL lock unless the PLL is bypassed, 253 and 254 busy-wait the value in microseconds,
// 255 ends the list, 256 and above are skipped; at most 593 pairs are read. Returns false (error
// oxERR_UNSPECIFIED) when the PLL did not lock within oxHCL_PLL_LOCK_TIMEOUT_MS; the rest of the
// list is then not run. Otherwise true.
bool oxProgramInitRegisters();

// The services the walk uses; oxProgramInitRegisters passes the front's register access and the
// layer's timing services.
struct oxInitListAccess {
    void (*WriteReg16)(std::uint32_t index, std::uint16_t value);
    std::uint16_t (*ReadReg16)(std::uint32_t index);
    void (*DelayUs)(std::uint32_t microseconds);
    std::uint32_t (*GetMsCount)();
};

// Walks the register initialisation list of the given block with the given services.
bool oxRunInitList(const oxHclData& block, const oxInitListAccess& access);

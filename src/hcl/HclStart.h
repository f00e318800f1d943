#pragma once
// Start-up of the hardware control layer, above the front (HclApi.h) and the display functions
// (Lcd.h): acquiring the controller through a transport's interface table, and initialising its
// registers, look-up tables and display memory from the configuration block oxgHclInfo. The
// front itself knows nothing of transports or of start-up; this file copies the transport's
// table into the front's live table and runs the initialisation through front calls, so
// tracing and breakpoints apply as for any other access (the write echo is held off meanwhile).

#include "hcl/HclInterface.h"

#include <cstdint>

// Clears the error code; on the first call of the run sets the write echo from
// oxfDEBUG_REG_WRITES of oxgHclInfo; when not yet acquired and oxfADAPTER_USB is set, copies
// the USB table into the live table and acquires the controller (failure: error 3, false).
// True otherwise, also when nothing was acquired because oxfADAPTER_USB is clear.
bool oxHclInitialize();

// Clears the acquired state and calls oxHclInitialize again (the live table is copied again).
bool oxHclReinitialize();

// Whether start-up has acquired the controller.
bool oxHclIsAcquired();

// Flags of oxHclInitRegisters (and the words of Play's INIT command).
inline constexpr std::uint32_t oxHCL_INIT_NOREGS = 0x10;
inline constexpr std::uint32_t oxHCL_INIT_NOLCDS = 0x20;
inline constexpr std::uint32_t oxHCL_INIT_NOLUT = 0x40;
inline constexpr std::uint32_t oxHCL_INIT_NOVRAM = 0x80;
inline constexpr std::uint32_t oxHCL_INIT_NOCRC = 0x8000;
inline constexpr std::uint32_t oxHCL_INIT_ONLYREGS = 0x100000;
inline constexpr std::uint32_t oxHCL_INIT_ONLYLCDS = 0x200000;
inline constexpr std::uint32_t oxHCL_INIT_ONLYLUT = 0x400000;
inline constexpr std::uint32_t oxHCL_INIT_ONLYVRAM = 0x800000;
inline constexpr std::uint32_t oxHCL_INIT_ONLYCRC = 0x80000000;
inline constexpr std::uint32_t oxHCL_INIT_ONLY_MASK = 0x80F00000;

// The NO flags in effect: the given ones, or, when any ONLY flag is present, the NO flag of
// every part whose ONLY flag is absent ((NOT flags AND 0x80F00000) shifted right by 16).
constexpr std::uint32_t oxHclEffectiveInitFlags(std::uint32_t flags) {
    if ((flags & oxHCL_INIT_ONLY_MASK) != 0) {
        return (~flags & oxHCL_INIT_ONLY_MASK) >> 16;
    }
    return flags;
}

// Checks the configuration CRC (unless NOCRC: stored 0 -> error 4, mismatch -> error 5), needs
// the controller (error 6), then with the write echo held off prints the initialisation events
// while it runs the register list (unless NOREGS), loads both default look-up tables (unless
// NOLUT) and clears the display memory (unless NOVRAM). When the register list gave up (the PLL
// never locked) it says "Registers NOT initialized!", goes on with the other parts and returns
// false with the list's error code.
bool oxHclInitRegisters(std::uint32_t flags);

// The display memory below the look-up tables (0x60000 bytes), where the pictures live.
inline constexpr std::uint32_t oxHCL_VIDEO_MEMORY_BYTES = 0x60000;

// Sets the display memory (0 .. 0x5FFFF) to 0 with 32-bit fills; the look-up tables and the
// registers above it are left alone.
void oxHclClearVideoMemory();

// --- Test support -------------------------------------------------------------------------

// Makes oxHclInitialize copy the given table instead of the USB one (nullptr: the USB table).
void oxHclSetTransportForTesting(const oxHclInterface* table);
// Puts start-up and the front back as at program start (not acquired, first start pending,
// echo off, live table = oxgHclUnacquiredInterface).
void oxHclResetFrontForTesting();

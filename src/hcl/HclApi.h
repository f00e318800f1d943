#pragma once
// The front of the hardware control layer: the only door through which the rest of the system
// reaches the chip. Each front operation adds the layer's cross-cutting services (breakpoint
// checks and trace events, see HclBreak.h and HclTrace.h, and the register-write echo) and then
// calls one slot of the live interface table oxgHclInterface, which a transport implements.
//
// Order inside one front call:
//   register reads:            before-check -> slot -> trace event -> after-check (value read)
//   register writes:           before-check (value) -> trace event -> slot -> echo -> after-check
//   modify, set, clear bits:   before-check ("either") -> slot -> trace event (new value)
//                              -> after-check (new value)
//   memory reads, burst reads: slot -> trace event
//   memory writes, fills,
//   burst writes:              trace event -> slot
// Bursts with a NULL buffer or a count of 0 do nothing at all.
//
// All text of the layer (event lines, the echo, error lines) goes straight to standard output.

#include "hcl/HclInterface.h"

#include <cstdint>

// Start-up (acquiring the controller; initialising the registers, the look-up tables and the
// display memory) stands above the front, in HclStart.h. The constant table of the USB
// implementation (UsbInterface.h) is oxgUsbInterface.

// The table that holds before the controller is acquired: every operation sets the layer's
// error "The controller has not been acquired" and gives 0 (false), so an access before
// acquisition never calls through an empty slot.
extern const oxHclInterface oxgHclUnacquiredInterface;

// The live table: every front call goes through it. It holds oxgHclUnacquiredInterface until
// oxHclInitialize (HclStart.h) acquires the controller, and a copy of the transport's table
// after.
extern oxHclInterface oxgHclInterface;

// --- Write echo ---------------------------------------------------------------------------

// Sets the write-echo setting and the effective flag; returns the previous setting.
std::uint32_t oxHclSetDebugWrites(std::uint32_t on);
// The current write-echo setting (what the user chose).
std::uint32_t oxHclGetDebugWrites();
// Holds the echo off (true) while start-up prints its own events, and gives it back the
// current setting afterwards (false); the setting itself is left as it is.
void oxHclHoldWriteEcho(bool hold);

// --- Register access ----------------------------------------------------------------------

std::uint8_t oxHclReadReg8(std::uint32_t index);
std::uint16_t oxHclReadReg16(std::uint32_t index);
// This interface has no 32-bit registers: gives 0.
std::uint32_t oxHclReadReg32(std::uint32_t index);

void oxHclWriteReg8(std::uint32_t index, std::uint8_t value);
void oxHclWriteReg16(std::uint32_t index, std::uint16_t value);
// This interface has no 32-bit registers: does nothing.
void oxHclWriteReg32(std::uint32_t index, std::uint32_t value);

// new := (old AND NOT mask) OR value; return the new value.
std::uint8_t oxHclModifyReg8(std::uint32_t index, std::uint8_t mask, std::uint8_t value);
std::uint16_t oxHclModifyReg16(std::uint32_t index, std::uint16_t mask, std::uint16_t value);

std::uint8_t oxHclSetBitsReg8(std::uint32_t index, std::uint8_t bits);
std::uint16_t oxHclSetBitsReg16(std::uint32_t index, std::uint16_t bits);

std::uint8_t oxHclClearBitsReg8(std::uint32_t index, std::uint8_t bits);
std::uint16_t oxHclClearBitsReg16(std::uint32_t index, std::uint16_t bits);

void oxHclBurstReadReg8(std::uint32_t index, std::uint8_t* buffer, std::uint32_t count);
void oxHclBurstReadReg16(std::uint32_t index, std::uint16_t* buffer, std::uint32_t count);
// Prints "\nError: 32 bit register burst reads not supported".
void oxHclBurstReadReg32(std::uint32_t index, std::uint32_t* buffer, std::uint32_t count);
void oxHclBurstWriteReg8(std::uint32_t index, const std::uint8_t* buffer, std::uint32_t count);
void oxHclBurstWriteReg16(std::uint32_t index, const std::uint16_t* buffer, std::uint32_t count);
// Prints "\nError: 32 bit register burst writes not supported".
void oxHclBurstWriteReg32(std::uint32_t index, const std::uint32_t* buffer, std::uint32_t count);

// Waits until (register AND mask) is 0 (clear) or not 0 (set); false at time-out.
bool oxHclWaitRegBitsClear8(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                            std::uint32_t timeoutMs);
bool oxHclWaitRegBitsClear16(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                             std::uint32_t timeoutMs);
bool oxHclWaitRegBitsSet8(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                          std::uint32_t timeoutMs);
bool oxHclWaitRegBitsSet16(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                           std::uint32_t timeoutMs);

// --- Display memory -----------------------------------------------------------------------

std::uint8_t oxHclReadMemory8(std::uint32_t address);
std::uint16_t oxHclReadMemory16(std::uint32_t address);
std::uint32_t oxHclReadMemory32(std::uint32_t address);
void oxHclWriteMemory8(std::uint32_t address, std::uint8_t value);
void oxHclWriteMemory16(std::uint32_t address, std::uint16_t value);
void oxHclWriteMemory32(std::uint32_t address, std::uint32_t value);
// Writes count elements of value from address on.
void oxHclFillMemory8(std::uint32_t address, std::uint8_t value, std::uint32_t count);
void oxHclFillMemory16(std::uint32_t address, std::uint16_t value, std::uint32_t count);
void oxHclFillMemory32(std::uint32_t address, std::uint32_t value, std::uint32_t count);
void oxHclBurstReadMemory8(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count);
void oxHclBurstReadMemory16(std::uint32_t address, std::uint16_t* buffer, std::uint32_t count);
void oxHclBurstReadMemory32(std::uint32_t address, std::uint32_t* buffer, std::uint32_t count);
void oxHclBurstWriteMemory8(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count);
void oxHclBurstWriteMemory16(std::uint32_t address, const std::uint16_t* buffer,
                             std::uint32_t count);
void oxHclBurstWriteMemory32(std::uint32_t address, const std::uint32_t* buffer,
                             std::uint32_t count);

// A burst or fill whose byte size (count x width) does not fit in 32 bits is refused: nothing
// is recorded or sent, and "\nError: %u-bit transfer of %lu units is too large" is printed.

// --- Interrupt and raw access -------------------------------------------------------------

// Installs the bridge's interrupt callback; error 0 on success, 7 on failure.
bool oxHclInstallIrqHandler(oxIrqCallback callback);

// Raw access through a base index (width 1, 2 or 4).
std::uint32_t oxHclReadRaw(std::uint32_t baseIndex, std::uint32_t offset, std::uint32_t width);
void oxHclWriteRaw(std::uint32_t baseIndex, std::uint32_t offsetIn, std::uint32_t width,
                   std::uint32_t value);

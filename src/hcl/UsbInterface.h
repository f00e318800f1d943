// The interface-table implementation over the USB bridge: every operation maps a register
// index or a display-memory address onto a bridge address, takes the board lock and runs
// one or more CSCL exchanges. oxHclInitialize copies oxgUsbInterface into the live table.
#pragma once

#include <cstdint>

struct oxHclInterface;

// The constant table of the 38 USB operations, in slot order.
extern const oxHclInterface oxgUsbInterface;

// Offset added to register indices below oxUSB_REG_NO_OFFSET_FROM on the register port.
inline constexpr std::uint32_t oxUSB_REG_OFFSET = 0x60800;
// Register indices from here on reach the bridge without the offset.
inline constexpr std::uint32_t oxUSB_REG_NO_OFFSET_FROM = 252;
// Interface bytes of the memory port: single accesses and bursts.
inline constexpr std::uint8_t oxUSB_IF_MEMORY_SINGLE = 1;
inline constexpr std::uint8_t oxUSB_IF_MEMORY_BURST = 5;
// Interface flags given to the bridge for MGE 0 at acquisition (low byte: register port).
inline constexpr std::uint32_t oxUSB_REG_INTERFACE_FLAGS = 4;

// Acquired state of this implementation: 255 acquired, 0 not.
std::uint32_t oxUsbIsAcquired();

// The accesses that this interface checks before it makes them: the 16-bit single register
// accesses and the 8- and 16-bit register bursts want an even index, raw access base 0.
enum class oxUsbCheckedAccess {
    ReadReg16,
    WriteReg16,
    BurstReadReg8,
    BurstWriteReg8,
    BurstReadReg16,
    BurstWriteReg16,
    ReadRaw,
    WriteRaw,
};

// The interface's report for the access at a register index (for raw access: at a base index),
// or nullptr when it takes the access as it is. The operations report it through oxAssert; a
// caller that would rather refuse the access than have the report asks here first.
//   if (const char* text = oxUsbMisuseText(oxUsbCheckedAccess::WriteReg16, 0x25)) { ... }
const char* oxUsbMisuseText(oxUsbCheckedAccess access, std::uint32_t index);

// Test support: the next fill cannot have its buffer (as when memory runs out).
void oxUsbFailNextFillAllocationForTesting();

// Slots 0 and 1.
bool oxAcquireController();
bool oxInitializeController();

// Slots 2 to 15: register access.
std::uint8_t oxReadReg8(std::uint32_t index);
std::uint16_t oxReadReg16(std::uint32_t index);
void oxWriteReg8(std::uint32_t index, std::uint8_t value);
void oxWriteReg16(std::uint32_t index, std::uint16_t value);
std::uint8_t oxModifyReg8(std::uint32_t index, std::uint8_t mask, std::uint8_t value);
std::uint16_t oxModifyReg16(std::uint32_t index, std::uint16_t mask, std::uint16_t value);
std::uint8_t oxClearBitsReg8(std::uint32_t index, std::uint8_t bits);
std::uint16_t oxClearBitsReg16(std::uint32_t index, std::uint16_t bits);
std::uint8_t oxSetBitsReg8(std::uint32_t index, std::uint8_t bits);
std::uint16_t oxSetBitsReg16(std::uint32_t index, std::uint16_t bits);
void oxBurstReadReg8(std::uint32_t index, std::uint8_t* buffer, std::uint32_t count);
void oxBurstWriteReg8(std::uint32_t index, const std::uint8_t* buffer, std::uint32_t count);
void oxBurstReadReg16(std::uint32_t index, std::uint16_t* buffer, std::uint32_t count);
void oxBurstWriteReg16(std::uint32_t index, const std::uint16_t* buffer, std::uint32_t count);

// Slots 16 to 19: wait until (register AND mask) is 0 (clear) or not 0 (set).
bool oxWaitRegBitsClear8(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                         std::uint32_t timeoutMs);
bool oxWaitRegBitsClear16(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                          std::uint32_t timeoutMs);
bool oxWaitRegBitsSet8(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                       std::uint32_t timeoutMs);
bool oxWaitRegBitsSet16(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                        std::uint32_t timeoutMs);

// Slots 20 to 34: display memory.
std::uint8_t oxReadMemory8(std::uint32_t address);
std::uint16_t oxReadMemory16(std::uint32_t address);
std::uint32_t oxReadMemory32(std::uint32_t address);
void oxWriteMemory8(std::uint32_t address, std::uint8_t value);
void oxWriteMemory16(std::uint32_t address, std::uint16_t value);
void oxWriteMemory32(std::uint32_t address, std::uint32_t value);
void oxFillMemory8(std::uint32_t address, std::uint8_t value, std::uint32_t count);
void oxFillMemory16(std::uint32_t address, std::uint16_t value, std::uint32_t count);
void oxFillMemory32(std::uint32_t address, std::uint32_t value, std::uint32_t count);
void oxBurstReadMemory8(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count);
void oxBurstReadMemory16(std::uint32_t address, std::uint16_t* buffer, std::uint32_t count);
void oxBurstReadMemory32(std::uint32_t address, std::uint32_t* buffer, std::uint32_t count);
void oxBurstWriteMemory8(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count);
void oxBurstWriteMemory16(std::uint32_t address, const std::uint16_t* buffer, std::uint32_t count);
void oxBurstWriteMemory32(std::uint32_t address, const std::uint32_t* buffer, std::uint32_t count);

// Slot 35: the bridge's interrupt callback (runs on the transport's interrupt thread).
bool oxInstallIrqHandler(void (*callback)());

// Slots 36 and 37: raw access to the memory port (base index 0 only), width 1, 2 or 4.
std::uint32_t oxReadRaw(std::uint32_t baseIndex, std::uint32_t offset, std::uint32_t width);
void oxWriteRaw(std::uint32_t baseIndex, std::uint32_t offset, std::uint32_t width,
                std::uint32_t value);

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

#include <cstdint>

// The callback of the bridge's interrupt (slot 35).
using oxIrqCallback = void (*)();

// The 38 operations through which the front reaches a transport, in slot order. Counts are in
// elements of the operation's width; register indices are byte offsets in the register space;
// memory addresses are byte addresses of display memory.
struct oxHclInterface {
    bool (*AcquireController)();                                                            // 0
    bool (*InitializeController)();                                                         // 1
    std::uint8_t (*ReadReg8)(std::uint32_t index);                                          // 2
    std::uint16_t (*ReadReg16)(std::uint32_t index);                                        // 3
    void (*WriteReg8)(std::uint32_t index, std::uint8_t value);                             // 4
    void (*WriteReg16)(std::uint32_t index, std::uint16_t value);                           // 5
    std::uint8_t (*ModifyReg8)(std::uint32_t index, std::uint8_t mask, std::uint8_t value); // 6
    std::uint16_t (*ModifyReg16)(std::uint32_t index, std::uint16_t mask,
                                 std::uint16_t value);                                     // 7
    std::uint8_t (*ClearBitsReg8)(std::uint32_t index, std::uint8_t bits);                 // 8
    std::uint16_t (*ClearBitsReg16)(std::uint32_t index, std::uint16_t bits);              // 9
    std::uint8_t (*SetBitsReg8)(std::uint32_t index, std::uint8_t bits);                   // 10
    std::uint16_t (*SetBitsReg16)(std::uint32_t index, std::uint16_t bits);                // 11
    void (*BurstReadReg8)(std::uint32_t index, std::uint8_t* buffer, std::uint32_t count); // 12
    void (*BurstWriteReg8)(std::uint32_t index, const std::uint8_t* buffer,
                           std::uint32_t count); // 13
    void (*BurstReadReg16)(std::uint32_t index, std::uint16_t* buffer,
                           std::uint32_t count); // 14
    void (*BurstWriteReg16)(std::uint32_t index, const std::uint16_t* buffer,
                            std::uint32_t count); // 15
    bool (*WaitRegBitsClear8)(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                              std::uint32_t timeoutMs); // 16
    bool (*WaitRegBitsClear16)(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                               std::uint32_t timeoutMs); // 17
    bool (*WaitRegBitsSet8)(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                            std::uint32_t timeoutMs); // 18
    bool (*WaitRegBitsSet16)(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                             std::uint32_t timeoutMs);                                     // 19
    std::uint8_t (*ReadMemory8)(std::uint32_t address);                                    // 20
    std::uint16_t (*ReadMemory16)(std::uint32_t address);                                  // 21
    std::uint32_t (*ReadMemory32)(std::uint32_t address);                                  // 22
    void (*WriteMemory8)(std::uint32_t address, std::uint8_t value);                       // 23
    void (*WriteMemory16)(std::uint32_t address, std::uint16_t value);                     // 24
    void (*WriteMemory32)(std::uint32_t address, std::uint32_t value);                     // 25
    void (*FillMemory8)(std::uint32_t address, std::uint8_t value, std::uint32_t count);   // 26
    void (*FillMemory16)(std::uint32_t address, std::uint16_t value, std::uint32_t count); // 27
    void (*FillMemory32)(std::uint32_t address, std::uint32_t value, std::uint32_t count); // 28
    void (*BurstReadMemory8)(std::uint32_t address, std::uint8_t* buffer,
                             std::uint32_t count); // 29
    void (*BurstReadMemory16)(std::uint32_t address, std::uint16_t* buffer,
                              std::uint32_t count); // 30
    void (*BurstReadMemory32)(std::uint32_t address, std::uint32_t* buffer,
                              std::uint32_t count); // 31
    void (*BurstWriteMemory8)(std::uint32_t address, const std::uint8_t* buffer,
                              std::uint32_t count); // 32
    void (*BurstWriteMemory16)(std::uint32_t address, const std::uint16_t* buffer,
                               std::uint32_t count); // 33
    void (*BurstWriteMemory32)(std::uint32_t address, const std::uint32_t* buffer,
                               std::uint32_t count);   // 34
    bool (*InstallIrqHandler)(oxIrqCallback callback); // 35
    std::uint32_t (*ReadRaw)(std::uint32_t baseIndex, std::uint32_t offset,
                             std::uint32_t width); // 36
    void (*WriteRaw)(std::uint32_t baseIndex, std::uint32_t offset, std::uint32_t width,
                     std::uint32_t value); // 37
};
inline constexpr unsigned oxHCL_INTERFACE_SLOTS = 38;
static_assert(sizeof(oxHclInterface) == oxHCL_INTERFACE_SLOTS * sizeof(void (*)()));

// The constant table of the USB implementation (UsbInterface.h) is oxgUsbInterface.

// The table that holds before the controller is acquired: every operation sets the layer's
// error "The controller has not been acquired" and gives 0 (false), so an access before
// acquisition never calls through an empty slot.
extern const oxHclInterface oxgHclUnacquiredInterface;

// The live table: every front call goes through it. It holds oxgHclUnacquiredInterface until
// oxHclInitialize acquires the controller, and a copy of the transport's table after.
extern oxHclInterface oxgHclInterface;

// --- Start-up -----------------------------------------------------------------------------

// Clears the error code; on the first call of the run sets the write echo from
// oxfDEBUG_REG_WRITES of oxgHclInfo; when not yet acquired and oxfADAPTER_USB is set, copies
// the USB table into the live table and acquires the controller (failure: error 3, false).
// True otherwise, also when nothing was acquired because oxfADAPTER_USB is clear.
bool oxHclInitialize();

// Clears the acquired state and calls oxHclInitialize again (the live table is copied again).
bool oxHclReinitialize();

// Whether the front has acquired the controller.
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

// Sets the write-echo setting and the effective flag; returns the previous setting.
std::uint32_t oxHclSetDebugWrites(std::uint32_t on);
// The current write-echo setting (what the user chose).
std::uint32_t oxHclGetDebugWrites();

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
std::uint32_t oxHclReadRaw(std::uint32_t baseIndex, std::uint32_t offsetIn, std::uint32_t width);
void oxHclWriteRaw(std::uint32_t baseIndex, std::uint32_t offsetIn, std::uint32_t width,
                   std::uint32_t value);

// --- Test support -------------------------------------------------------------------------

// Makes oxHclInitialize copy the given table instead of the USB one (nullptr: the USB table).
void oxHclSetTransportForTesting(const oxHclInterface* table);
// Puts the front's state back as at program start (not acquired, first start pending, echo
// off, live table = oxgHclUnacquiredInterface).
void oxHclResetFrontForTesting();

#pragma once
// The kernel-driver transport: a second way to reach a board beside the USB bridge, through the
// board's kernel driver ("Q3V47xxx"), which maps the board's memory into the process and
// delivers its interrupts to a callback on a time-critical thread. While the driver is in use
// the process is pinned to the first processor it may use.
//
// Up to 6 windows are mapped at a time, one per slot; linear addresses are pointers
// (std::uintptr_t). Physical address 0 asks the driver for the board's own window and size.

#include <cstdint>

inline constexpr std::uint32_t oxDRV_SLOTS = 6;
inline constexpr std::uint32_t oxDRV_MAP_SIZE = 0x200000;     // bytes of a window that MAP maps
inline constexpr std::uint32_t oxDRV_DEFAULT_SIZE = 0x400000; // when the driver names no size
inline constexpr std::uint32_t oxDRV_MAX_INTERRUPTS = 8;

using oxDrvInterruptCallback = void (*)();

struct oxDrvVersion {
    std::uint32_t Major;
    std::uint32_t Minor;
};

// oxDrvMapBoard, with oxDrvExitCleanup registered to run at process exit (once). Keeps and
// returns the result.
bool oxOpenBoardMemory(std::uint32_t physical, std::uintptr_t* linear, std::uint32_t* size);

// oxDrvOpen with slot 0.
bool oxDrvMapBoard(std::uint32_t physical, std::uintptr_t* linear, std::uint32_t* size);

// Pins the process, opens the driver (or goes on with the open one), reads its version and maps
// a window into the slot (0 .. 5), unmapping the slot's earlier window first. Physical address
// not 0: MAP of 2 MiB there (*size 0x200000). Physical 0: the board's own window, *size as the
// driver names it, else 0x400000. Either pointer may be NULL. False when the driver cannot be
// opened, the slot is out of range or the driver refuses (the slot is then empty).
bool oxDrvOpen(std::uint32_t physical, std::uintptr_t* linear, std::uint32_t* size,
               std::uint32_t slot);

// Disables interrupts, unmaps every slot and closes the driver.
void oxDrvClose();

// The exit clean-up: forgets oxOpenBoardMemory's result and closes the driver. The board lock
// stays: other threads may still hold it, and the process end frees it.
void oxDrvExitCleanup();

// Reads the driver's version into the transport's state (0.0 without an answer) and returns it.
oxDrvVersion oxDrvGetVersion();

// Acknowledges an interrupt (when the driver is open).
void oxDrvAckInterrupt();

// Appends an entry of five words to the interrupt record (the fifth is kept as 0 or 1; the
// process id is taken with the first entry). False when 8 entries exist already.
bool oxDrvAddInterrupt(std::uint32_t word1, std::uint32_t word2, std::uint32_t word3,
                       std::uint32_t word4, std::uint32_t word5);

// False when the driver is not open. NULL disables interrupts (true). With interrupts enabled
// only the callback is replaced. Otherwise enables them with the record and starts the interrupt
// thread at time-critical priority; any failure disables again and gives false.
bool oxDrvSetInterruptCallback(oxDrvInterruptCallback callback);

// Clears the callback and, when enabled, disables interrupts and waits for the interrupt thread
// to end (not when called from the callback, on that thread): no callback runs once it returned.
void oxDrvDisableInterrupts();

// The interrupt thread's body (argument: its manual-reset event). While enabled, waits for an
// interrupt with the driver's 4-byte write and calls the callback after each. It acknowledges
// every pending wait when the driver's version is exactly 5355.48. A write that fails ends the
// thread with interrupts disabled. It closes its event at the end.
std::uint32_t oxDrvInterruptThread(void* event);

// Test support: closes the driver and forgets the interrupt record and the version, as at
// program start.
void oxDrvResetForTesting();

#pragma once
// The board's kernel driver as the kernel-driver transport sees it: a node opened by name
// ("Q3V47xxx", with or without the "\\.\" prefix), device I/O control requests with the driver's
// control codes (map and unmap board memory, enable, disable and acknowledge interrupts, the
// driver version, the board's address), and an overlapped 4-byte write that completes when an
// interrupt occurs.
//
// Behind it is the simulated board that Q3VBOARD selects, with the shape of a Linux UIO device:
// the node is a descriptor on the board's state file, mapping a window is an mmap of the file's
// bus window, and the interrupt wait sleeps on the board's interrupt count (a futex on the shared
// state file), so an interrupt raised by any process completes it. The node is exclusive across
// processes: while one handle is open, another open fails with EBUSY.

#include <bit>
#include <cstdint>
#include <string_view>

// Control codes of the driver.
inline constexpr std::uint32_t OXDRV_IOCTL_MAP = 0x42408;
inline constexpr std::uint32_t OXDRV_IOCTL_UNMAP = 0x4240C;
inline constexpr std::uint32_t OXDRV_IOCTL_ENABLE_INTERRUPTS = 0x42410;
inline constexpr std::uint32_t OXDRV_IOCTL_DISABLE_INTERRUPTS = 0x42414;
inline constexpr std::uint32_t OXDRV_IOCTL_GET_VERSION = 0x4242C;
inline constexpr std::uint32_t OXDRV_IOCTL_ACK_INTERRUPT = 0x42430;
inline constexpr std::uint32_t OXDRV_IOCTL_GET_BOARD_ADDRESS = 0x42434;

// The board's physical address: bus address 0 of its window.
inline constexpr std::uint32_t kDrvBoardPhysicalAddress = 0xC0000000;
// The bytes of the board's window that the board uses (its bus map rounded up to 64 KiB), which
// GET_BOARD_ADDRESS reports as the window's size.
inline constexpr std::uint32_t kDrvBoardExtent = 0x70000;

static_assert(std::endian::native == std::endian::little, "the driver's records are little-endian");

// MAP's input; its output is the mapping's linear address (8 bytes), UNMAP's input the same.
struct DrvMapRequest {
    std::uint32_t Physical; // page-aligned, the mapping inside the board's window
    std::uint32_t Size;     // bytes to map
    std::uint32_t Reserved; // 0
};
static_assert(sizeof(DrvMapRequest) == 12);

// GET_BOARD_ADDRESS's output (its input is the u32 slot).
struct DrvBoardAddress {
    std::uint64_t Linear; // where the board's window is mapped in the caller
    std::uint32_t Unused;
    std::uint32_t Size; // the window's size
};
static_assert(sizeof(DrvBoardAddress) == 16);

// The interrupt record of ENABLE_INTERRUPTS and DISABLE_INTERRUPTS: the caller's process id and
// up to 8 entries of five words each, whose meaning is the driver's (the fifth is 0 or 1).
inline constexpr std::uint32_t kDrvMaxInterruptEntries = 8;
struct DrvInterruptEntry {
    std::uint32_t Words[5];
};
struct DrvInterruptRecord {
    std::uint32_t ProcessId;
    std::uint32_t Count;
    DrvInterruptEntry Entries[kDrvMaxInterruptEntries];
};
static_assert(sizeof(DrvInterruptRecord) == 168);

// A node handle; 0 is no handle.
using DrvDeviceHandle = int;
inline constexpr DrvDeviceHandle DRV_NO_HANDLE = 0;

// The error of an interrupt wait that was started and completes later.
inline constexpr int kDrvIoPending = 997;

// Opens the node. Returns DRV_NO_HANDLE on failure: not the driver's name (ENOENT), the board is
// absent (ENODEV), the node is open already (EBUSY), or the state file cannot be had (the
// system's error).
DrvDeviceHandle DrvDeviceOpen(std::string_view name);

// Closes a handle: a pending interrupt wait completes as failed (before this returns), the
// handle's remaining mappings are unmapped and the node is free for the next open.
bool DrvDeviceClose(DrvDeviceHandle handle);

// A device I/O control request. *returnedOut receives the bytes of the answer. False (and
// DrvDeviceLastError) for an unknown code, a bad handle, too small a buffer or a refused request
// (EINVAL).
bool DrvDeviceIoControl(DrvDeviceHandle handle, std::uint32_t code, const void* in,
                        std::uint32_t inLength, void* outBuffer, std::uint32_t outLength,
                        std::uint32_t* returnedOut);

// Called once when a pending interrupt wait ends: completed is true for an interrupt, false when
// interrupts were disabled or the handle closed. It runs on the driver's thread: keep it short.
using DrvCompletion = void (*)(void* context, bool completed);

// The interrupt wait: a 4-byte write. True at once (4 bytes) when an interrupt came since the
// handle's last completed wait (or since interrupts were enabled); several count as one.
// Otherwise false with kDrvIoPending, and completion(context, ...) is called later. False with an
// errno value when it cannot start: interrupts are not enabled (ECANCELED), a wait is pending
// already (EBUSY), a bad handle or length.
bool DrvDeviceWrite(DrvDeviceHandle handle, const void* data, std::uint32_t length,
                    DrvCompletion completion, void* context, std::uint32_t* returnedOut);

// The error of the calling thread's last failed request (errno values, or kDrvIoPending).
int DrvDeviceLastError();

// The kernel-driver transport: opening the driver, mapping and unmapping board windows, the
// driver's version and the exit clean-up.

#include "hcl/KernelDriverState.h"

#include "hcl/ServicesAffinity.h"

#include <cstdlib>

constinit KernelDriverState g_KernelDriver;

namespace {

constexpr const char* kNodeName = "\\\\.\\Q3V47xxx";

void UnmapSlot(std::uint32_t slot) {
    const std::uint64_t linear = g_KernelDriver.Slots[slot];
    oxDrvRequest(OXDRV_IOCTL_UNMAP, &linear, sizeof linear, nullptr, 0);
    g_KernelDriver.Slots[slot] = 0;
}

// MAP of 2 MiB at the physical address; the mapping's size is what was mapped.
bool MapPhysical(std::uint32_t physical, std::uintptr_t* linear, std::uint32_t* size) {
    const DrvMapRequest request{physical, oxDRV_MAP_SIZE, 0};
    std::uint64_t reply = 0;
    std::uint32_t returned = 0;
    if (!oxDrvRequest(OXDRV_IOCTL_MAP, &request, sizeof request, &reply, sizeof reply, &returned) ||
        returned < sizeof reply) {
        return false;
    }
    *linear = static_cast<std::uintptr_t>(reply);
    *size = oxDRV_MAP_SIZE;
    return true;
}

// The board's own window of a slot; the size only when the answer holds the whole size word.
bool BoardWindow(std::uint32_t slot, std::uintptr_t* linear, std::uint32_t* size) {
    DrvBoardAddress reply{};
    std::uint32_t returned = 0;
    if (!oxDrvRequest(OXDRV_IOCTL_GET_BOARD_ADDRESS, &slot, sizeof slot, &reply, sizeof reply,
                      &returned) ||
        returned < sizeof reply.Linear) {
        return false;
    }
    *linear = static_cast<std::uintptr_t>(reply.Linear);
    *size = returned >= sizeof reply ? reply.Size : oxDRV_DEFAULT_SIZE;
    return true;
}

} // namespace

bool oxDrvRequest(std::uint32_t code, const void* in, std::uint32_t inLength, void* out,
                  std::uint32_t outLength, std::uint32_t* returned) {
    const DrvDeviceHandle handle = g_KernelDriver.Handle.load();
    return handle != DRV_NO_HANDLE &&
           DrvDeviceIoControl(handle, code, in, inLength, out, outLength, returned);
}

bool oxOpenBoardMemory(std::uint32_t physical, std::uintptr_t* linear, std::uint32_t* size) {
    if (!g_KernelDriver.CleanupRegistered) {
        g_KernelDriver.CleanupRegistered = true;
        std::atexit(oxDrvExitCleanup);
    }
    g_KernelDriver.OpenResult = oxDrvMapBoard(physical, linear, size);
    return g_KernelDriver.OpenResult;
}

bool oxDrvMapBoard(std::uint32_t physical, std::uintptr_t* linear, std::uint32_t* size) {
    return oxDrvOpen(physical, linear, size, 0);
}

bool oxDrvOpen(std::uint32_t physical, std::uintptr_t* linear, std::uint32_t* size,
               std::uint32_t slot) {
    if (slot >= oxDRV_SLOTS) {
        return false;
    }
    oxSetProcessAffinityMask(1);
    // An open driver is used again: the node is exclusive, so a second open would fail.
    if (g_KernelDriver.Handle.load() == DRV_NO_HANDLE) {
        g_KernelDriver.Handle = DrvDeviceOpen(kNodeName);
        if (g_KernelDriver.Handle.load() == DRV_NO_HANDLE) {
            return false;
        }
    }
    oxDrvGetVersion();
    if (g_KernelDriver.Slots[slot] != 0) {
        UnmapSlot(slot);
    }
    std::uintptr_t mapped = 0;
    std::uint32_t mappedSize = 0;
    const bool ok = physical != 0 ? MapPhysical(physical, &mapped, &mappedSize)
                                  : BoardWindow(slot, &mapped, &mappedSize);
    g_KernelDriver.Slots[slot] = ok ? mapped : 0;
    if (!ok) {
        return false;
    }
    if (linear != nullptr) {
        *linear = mapped;
    }
    if (size != nullptr) {
        *size = mappedSize;
    }
    return true;
}

void oxDrvClose() {
    oxDrvDisableInterrupts();
    const DrvDeviceHandle handle = g_KernelDriver.Handle.load();
    if (handle == DRV_NO_HANDLE) {
        return;
    }
    for (std::uint32_t slot = 0; slot < oxDRV_SLOTS; ++slot) {
        UnmapSlot(slot);
    }
    g_KernelDriver.Handle = DRV_NO_HANDLE;
    DrvDeviceClose(handle);
}

void oxDrvExitCleanup() {
    g_KernelDriver.OpenResult = false;
    oxDrvClose();
}

oxDrvVersion oxDrvGetVersion() {
    const std::uint32_t in = 0;
    std::uint32_t reply = 0;
    std::uint32_t returned = 0;
    if (!oxDrvRequest(OXDRV_IOCTL_GET_VERSION, &in, sizeof in, &reply, sizeof reply, &returned) ||
        returned < sizeof reply) {
        reply = 0;
    }
    g_KernelDriver.Major = reply >> 16;
    g_KernelDriver.Minor = reply & 0xFFFF;
    return oxDrvVersion{g_KernelDriver.Major.load(), g_KernelDriver.Minor.load()};
}

void oxDrvResetForTesting() {
    oxDrvClose();
    std::lock_guard lock(g_KernelDriver.RecordMutex);
    g_KernelDriver.Record = DrvInterruptRecord{};
    g_KernelDriver.Major = 0;
    g_KernelDriver.Minor = 0;
}

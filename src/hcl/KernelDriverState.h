#pragma once
// The kernel-driver transport's process-wide state, shared by its mapping half
// (KernelDriverOpen.cpp) and its interrupt half (KernelDriverInterrupts.cpp). Internal to the
// layer.

#include "devices/DrvDevice.h"
#include "hcl/KernelDriver.h"
#include "hcl/Services.h"

#include <atomic>
#include <cstdint>
#include <mutex>

struct KernelDriverState {
    std::atomic<DrvDeviceHandle> Handle{DRV_NO_HANDLE};
    std::atomic<std::uint32_t> Major{0};
    std::atomic<std::uint32_t> Minor{0};
    std::uintptr_t Slots[oxDRV_SLOTS] = {}; // linear address of each mapped window, 0 = none
    std::mutex RecordMutex;                 // guards Record
    DrvInterruptRecord Record{};
    std::atomic<bool> Enabled{false};
    std::atomic<oxDrvInterruptCallback> Callback{nullptr};
    std::atomic<oxHandle> Thread{nullptr}; // the interrupt thread, until it is waited for
    bool OpenResult = false;               // the last result of oxOpenBoardMemory
    bool CleanupRegistered = false;
};

extern constinit KernelDriverState g_KernelDriver;

// A control request to the open driver; false when it is not open or the request failed.
bool oxDrvRequest(std::uint32_t code, const void* in, std::uint32_t inLength, void* out,
                  std::uint32_t outLength, std::uint32_t* returned = nullptr);

// The kernel-driver transport's interrupts: the interrupt record, enabling and disabling, and the
// time-critical thread that waits for each interrupt and calls the callback.

#include "hcl/KernelDriverState.h"

#include "hcl/ServicesInternal.h"

#include <atomic>
#include <unistd.h>

namespace {

// The driver version that wants every pending wait acknowledged.
constexpr std::uint32_t kAckMajor = 5355;
constexpr std::uint32_t kAckMinor = 48;

// Whether this thread is the interrupt thread (so the callback is running when it disables).
thread_local bool t_OnInterruptThread = false;

// What the driver's completion of a pending wait tells the interrupt thread.
struct PendingWait {
    oxHandle Event;
    std::atomic<bool> Completed{false};
};

void WaitEnded(void* context, bool completed) {
    auto* wait = static_cast<PendingWait*>(context);
    wait->Completed = completed;
    oxSetEvent(wait->Event);
}

// ENABLE or DISABLE with the record as it stands.
bool SendRecord(std::uint32_t code) {
    DrvInterruptRecord record{};
    {
        std::lock_guard lock(g_KernelDriver.RecordMutex);
        record = g_KernelDriver.Record;
    }
    std::uint32_t reply = 0;
    return oxDrvRequest(code, &record, sizeof record, &reply, sizeof reply);
}

// Marks interrupts disabled; tells the driver when they were enabled.
void EndInterrupts() {
    if (g_KernelDriver.Enabled.exchange(false)) {
        SendRecord(OXDRV_IOCTL_DISABLE_INTERRUPTS);
    }
}

// Waits for (or, from the interrupt thread itself, lets go of) an interrupt thread that has ended
// or is ending.
void ForgetThread() {
    const oxHandle thread = g_KernelDriver.Thread.exchange(nullptr);
    if (thread == nullptr) {
        return;
    }
    if (t_OnInterruptThread) {
        oxCloseHandle(thread); // it ends when the callback returns
    } else {
        oxWaitThread(thread, oxINFINITE);
    }
}

} // namespace

void oxDrvAckInterrupt() {
    const std::uint32_t in = 0;
    std::uint32_t reply = 0;
    oxDrvRequest(OXDRV_IOCTL_ACK_INTERRUPT, &in, sizeof in, &reply, sizeof reply);
}

bool oxDrvAddInterrupt(std::uint32_t word1, std::uint32_t word2, std::uint32_t word3,
                       std::uint32_t word4, std::uint32_t word5) {
    std::lock_guard lock(g_KernelDriver.RecordMutex);
    DrvInterruptRecord& record = g_KernelDriver.Record;
    if (record.Count >= oxDRV_MAX_INTERRUPTS) {
        return false;
    }
    if (record.Count == 0) {
        record.ProcessId = static_cast<std::uint32_t>(getpid());
    }
    record.Entries[record.Count] = DrvInterruptEntry{{word1, word2, word3, word4, word5 != 0}};
    ++record.Count;
    return true;
}

bool oxDrvSetInterruptCallback(oxDrvInterruptCallback callback) {
    if (g_KernelDriver.Handle.load() == DRV_NO_HANDLE) {
        return false;
    }
    if (callback == nullptr) {
        oxDrvDisableInterrupts();
        return true;
    }
    if (g_KernelDriver.Enabled.load()) {
        g_KernelDriver.Callback = callback;
        return true;
    }
    ForgetThread(); // one that ended by itself after a failed wait
    if (SendRecord(OXDRV_IOCTL_ENABLE_INTERRUPTS)) {
        const oxHandle event = oxCreateEventEx(true);
        g_KernelDriver.Callback = callback;
        g_KernelDriver.Enabled = true;
        const oxHandle thread = oxCreateThread(oxDrvInterruptThread, event);
        if (thread != nullptr) {
            oxSetThreadPriority(thread, 2);
            g_KernelDriver.Thread = thread;
            return true;
        }
        oxCloseHandle(event);
    }
    oxDrvDisableInterrupts();
    return false;
}

void oxDrvDisableInterrupts() {
    g_KernelDriver.Callback = nullptr;
    EndInterrupts(); // the driver completes the pending wait, so the thread ends
    ForgetThread();
}

std::uint32_t oxDrvInterruptThread(void* eventIn) {
    t_OnInterruptThread = true;
    const auto event = static_cast<oxHandle>(eventIn);
    PendingWait wait{event};
    const std::uint8_t bytes[4] = {};
    while (g_KernelDriver.Enabled.load()) {
        std::uint32_t written = 0;
        bool completed = DrvDeviceWrite(g_KernelDriver.Handle.load(), bytes, sizeof bytes,
                                        WaitEnded, &wait, &written);
        if (!completed && DrvDeviceLastError() == kDrvIoPending) {
            if (g_KernelDriver.Major.load() == kAckMajor &&
                g_KernelDriver.Minor.load() == kAckMinor) {
                oxDrvAckInterrupt();
            }
            oxWaitEvent(event, oxINFINITE);
            oxResetEvent(event);
            completed = wait.Completed.load();
        }
        if (!completed) {
            // Starting the wait again at once would spin at time-critical priority on the one
            // processor the process is pinned to: interrupts end instead.
            EndInterrupts();
            break;
        }
        if (!g_KernelDriver.Enabled.load()) {
            break;
        }
        if (const oxDrvInterruptCallback callback = g_KernelDriver.Callback.load()) {
            callback();
        }
    }
    oxCloseHandle(event);
    return 0;
}

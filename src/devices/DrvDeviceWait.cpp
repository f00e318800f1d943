// The kernel driver's interrupt wait: the 4-byte write that completes at an interrupt, and the
// thread that completes the waits that pend.

#include "devices/DrvDeviceNode.h"

#include "board/BoardControl.h"

#include <cerrno>

namespace drvdevice {

void RunCompleter(std::shared_ptr<OpenNode> nodeKept) {
    OpenNode& node = *nodeKept;
    board::SimBoard& simBoard = *node.Board;
    std::unique_lock lock(node.Mutex);
    for (;;) {
        node.Changed.wait(lock, [&node] { return node.Closed || node.WaitPending; });
        if (!node.WaitPending) {
            return; // closed with nothing pending
        }
        bool completed = false;
        for (;;) {
            // The sequence is read before looking, so a wake-up in between is not lost.
            const std::uint32_t sequence = simBoard.DriverWakeSequence();
            if (node.Closed || !node.Enabled) {
                break;
            }
            const std::uint32_t count = simBoard.InterruptCount();
            if (count != node.Seen) {
                node.Seen = count;
                completed = true;
                break;
            }
            lock.unlock();
            simBoard.DriverWaitWake(sequence);
            lock.lock();
        }
        const DrvCompletion completion = node.Completion;
        void* const context = node.Context;
        node.WaitPending = false;
        node.Completion = nullptr;
        node.Context = nullptr;
        lock.unlock();
        if (completion != nullptr) {
            completion(context, completed);
        }
        lock.lock();
    }
}

void StopWaiting(OpenNode& node, bool closing) {
    {
        std::lock_guard lock(node.Mutex);
        node.Enabled = false;
        node.Closed = node.Closed || closing;
    }
    node.Changed.notify_all();
    node.Board->DriverWake();
}

} // namespace drvdevice

using namespace drvdevice;

bool DrvDeviceWrite(DrvDeviceHandle handle, const void* data, std::uint32_t length,
                    DrvCompletion completion, void* context, std::uint32_t* returnedOut) {
    std::uint32_t& returned = ReturnedCount(returnedOut);
    const std::shared_ptr<OpenNode> node = Find(handle);
    if (!node) {
        return Fail(EBADF);
    }
    if (!node->Board->Present()) {
        return Fail(ENODEV); // its state file is gone: unplugged
    }
    node->Board->CountDriverWrite();
    if (data == nullptr || length != 4) {
        return Fail(EINVAL);
    }
    if (board::TakeDriverFault(board::Fault::DrvWriteFail)) {
        return Fail(EIO);
    }
    {
        std::lock_guard lock(node->Mutex);
        if (!node->Enabled || node->Closed) {
            return Fail(ECANCELED);
        }
        if (node->WaitPending) {
            return Fail(EBUSY);
        }
        const std::uint32_t count = node->Board->InterruptCount();
        if (count != node->Seen) {
            node->Seen = count; // several interrupts since the last wait count as one
            returned = length;
            return true;
        }
        node->WaitPending = true;
        node->Completion = completion;
        node->Context = context;
    }
    node->Changed.notify_all();
    return Fail(kDrvIoPending);
}

#pragma once
// One open node of the kernel driver and the table of handles, shared between the driver's
// control requests (DrvDeviceNode.cpp) and its interrupt wait (DrvDeviceWait.cpp). Internal to the
// devices library.

#include "devices/DrvDevice.h"

#include "board/SimBoard.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace drvdevice {

// A window mapped into the caller.
struct Mapping {
    void* Address;
    std::size_t Length;
};

struct OpenNode {
    std::shared_ptr<board::SimBoard> Board;
    int StateFd = -1; // the board's state file, which the windows map
    int LockFd = -1;  // holds the node's exclusive lock
    std::mutex Mutex; // guards what follows
    std::vector<Mapping> Mappings;
    bool Enabled = false;     // interrupts enabled on this handle
    std::uint32_t Seen = 0;   // interrupt count at the last completed wait (or at ENABLE)
    bool Closed = false;      // the handle is closing
    bool WaitPending = false; // a wait is pending; Completion is called when it ends
    DrvCompletion Completion = nullptr;
    void* Context = nullptr;
    std::condition_variable Changed; // a wait was started, or the handle is closing
    std::thread Completer;           // completes the pending waits
};

// The open node of a handle (nullptr when the handle is not open).
std::shared_ptr<OpenNode> Find(DrvDeviceHandle handle);

// Records the calling thread's error; returns false.
bool Fail(int error);

// Where a request's byte count goes: the caller's word, or a scratch word when none is given;
// zeroed.
std::uint32_t& ReturnedCount(std::uint32_t* returnedOut);

// The completer's body: waits for an interrupt, or for the end of interrupts, for each pending
// wait of the node and completes it. Ends when the node closes. It keeps the node alive, since a
// completion may close the handle.
void RunCompleter(std::shared_ptr<OpenNode> node);

// Ends interrupts on the node: a pending wait completes as failed.
void StopWaiting(OpenNode& node, bool closing);

} // namespace drvdevice

// oxLockBoard: the lock of the board that Q3VBOARD selects.

#include "hcl/ServicesInternal.h"

#include "hcl/HclBoard.h"
#include "platform/BoardLock.h"

#include <mutex>

namespace {

constexpr unsigned kBoards = 8;

// One lock per board, opened at its first use and kept for the life of the process (threads
// may still hold one while the program ends, so they are never destroyed).
constinit BoardLock* g_Locks[kBoards] = {};
constinit std::mutex g_LocksGuard;

// The lock this thread holds and how deep; a nested lock stays on the same board even when
// Q3VBOARD changed in between.
thread_local BoardLock* t_Held = nullptr;
thread_local unsigned t_Depth = 0;

BoardLock& LockOfBoard(unsigned i_Board) {
    std::lock_guard<std::mutex> guard(g_LocksGuard);
    if (g_Locks[i_Board] == nullptr) {
        g_Locks[i_Board] = new BoardLock(i_Board);
    }
    return *g_Locks[i_Board];
}

} // namespace

void oxLockBoard(int i_Lock) {
    if (i_Lock != 0) {
        if (t_Depth == 0) {
            t_Held = &LockOfBoard(oxHclBoardNumber() % kBoards);
        }
        t_Held->Lock();
        ++t_Depth;
    } else if (t_Depth != 0) {
        t_Held->Unlock();
        if (--t_Depth == 0) {
            t_Held = nullptr;
        }
    }
}

std::string oxHeldBoardLockPath() {
    return t_Held != nullptr ? t_Held->Path() : std::string();
}

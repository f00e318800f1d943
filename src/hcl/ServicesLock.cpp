// oxLockBoard: the lock of the board that Q3VBOARD selects.

#include "hcl/ServicesInternal.h"

#include "common/BoardFileNames.h"
#include "hcl/HclBoard.h"
#include "platform/BoardLock.h"

#include <atomic>
#include <cerrno>
#include <mutex>

namespace {

// One lock per board, opened at its first use and kept for the life of the process (threads
// may still hold one while the program ends, so they are never destroyed). Once opened a lock is
// found without taking s_LocksGuard, which only serialises the opening.
constinit std::atomic<BoardLock*> s_Locks[kSimBoards] = {};
constinit std::mutex s_LocksGuard;

// The lock this thread holds and how deep; a nested lock stays on the same board even when
// Q3VBOARD changed in between.
thread_local BoardLock* s_Held = nullptr;
thread_local unsigned s_Depth = 0;
// The error of a lock that could not be had; its levels are counted but nothing is held.
thread_local int s_LockError = 0;

BoardLock& LockOfBoard(unsigned board) {
    if (BoardLock* lock = s_Locks[board].load(std::memory_order_acquire); lock != nullptr) {
        return *lock;
    }
    std::lock_guard<std::mutex> guard(s_LocksGuard);
    BoardLock* lock = s_Locks[board].load(std::memory_order_relaxed);
    if (lock == nullptr) {
        lock = new BoardLock(board);
        s_Locks[board].store(lock, std::memory_order_release);
    }
    return *lock;
}

} // namespace

void oxLockBoard(int lock) {
    if (lock != 0) {
        if (s_Depth == 0) {
            s_Held = &LockOfBoard(oxHclBoardNumber() % kSimBoards);
            s_LockError = s_Held->Lock() ? 0 : (errno != 0 ? errno : ENOLCK);
        } else if (s_LockError == 0) {
            s_Held->Lock();
        }
        ++s_Depth;
    } else if (s_Depth != 0) {
        if (s_LockError == 0) {
            s_Held->Unlock();
        }
        if (--s_Depth == 0) {
            s_Held = nullptr;
            s_LockError = 0;
        }
    }
}

std::string oxHeldBoardLockPath() {
    return s_Held != nullptr && s_LockError == 0 ? s_Held->Path() : std::string();
}

int oxBoardLockError() {
    return s_LockError;
}

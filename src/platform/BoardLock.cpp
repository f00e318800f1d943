// The per-board lock: a recursive mutex within the process, an flock between processes.

#include "platform/BoardLock.h"

#include "platform/SimFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

BoardLock::BoardLock(unsigned i_Board)
    : m_Board(i_Board), m_Path(SimFolder() + "/" + LockName(i_Board)) {
    m_Fd = ::open(m_Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
}

BoardLock::~BoardLock() {
    if (m_Fd >= 0) {
        ::close(m_Fd); // also drops a file lock still held
    }
}

std::string BoardLock::LockName(unsigned i_Board) {
    return "47264MGEMutex" + std::to_string(i_Board);
}

void BoardLock::Lock() {
    m_Mutex.lock();
    m_Owner.store(std::this_thread::get_id(), std::memory_order_relaxed);
    if (m_Depth++ == 0 && m_Fd >= 0) {
        while (::flock(m_Fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

void BoardLock::Unlock() {
    if (m_Owner.load(std::memory_order_relaxed) != std::this_thread::get_id() || m_Depth == 0) {
        return; // not held by this thread: nothing to release
    }
    if (--m_Depth == 0) {
        m_Owner.store(std::thread::id(), std::memory_order_relaxed);
        if (m_Fd >= 0) {
            ::flock(m_Fd, LOCK_UN);
        }
    }
    m_Mutex.unlock();
}

// The per-board lock: a robust process-shared mutex in the mapped lock file for threads and
// processes (an flock on the file plus a process mutex when it cannot be mapped).

#include "platform/BoardLock.h"

#include "platform/SimFolder.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

// What the lock file holds: the mutex, valid once the mark is set.
struct BoardLock::Shared {
    std::uint32_t Mark;
    std::uint32_t Size;
    pthread_mutex_t Mutex;
};

namespace {

constexpr std::uint32_t kSharedMark = 0x4B434C42; // "BLCK"

void FileLock(int fd, int operation) {
    while (::flock(fd, operation) != 0 && errno == EINTR) {
    }
}

// Maps the lock file's mutex, setting it up when the file is new. The flock keeps a second
// process from using or setting up the mutex while the first sets it up. The file gets its disk
// space first: a mapped page with none behind it would end the process by a signal; without
// it the lock works on the file's flock alone.
BoardLock::Shared* MapShared(int fd) {
    using Shared = BoardLock::Shared;
    FileLock(fd, LOCK_EX);
    Shared* shared = nullptr;
    if (::posix_fallocate(fd, 0, sizeof(Shared)) == 0) {
        void* memory = ::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (memory != MAP_FAILED) {
            shared = static_cast<Shared*>(memory);
            if (shared->Mark != kSharedMark || shared->Size != sizeof(Shared)) {
                pthread_mutexattr_t attributes;
                pthread_mutexattr_init(&attributes);
                pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
                pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
                const bool made = pthread_mutex_init(&shared->Mutex, &attributes) == 0;
                pthread_mutexattr_destroy(&attributes);
                if (made) {
                    shared->Size = sizeof(Shared);
                    __atomic_store_n(&shared->Mark, kSharedMark, __ATOMIC_RELEASE);
                } else {
                    ::munmap(memory, sizeof(Shared));
                    shared = nullptr;
                }
            }
        }
    }
    FileLock(fd, LOCK_UN);
    return shared;
}

// Takes the shared mutex; the lock of a holder that died is taken over (its transaction is
// lost, as with any released lock).
bool LockShared(pthread_mutex_t& mutex, bool wait) {
    const int result = wait ? pthread_mutex_lock(&mutex) : pthread_mutex_trylock(&mutex);
    if (result == EOWNERDEAD) {
        pthread_mutex_consistent(&mutex);
        return true;
    }
    return result == 0;
}

} // namespace

BoardLock::BoardLock(unsigned board) : m_Board(board), m_Path(SimFolder() + "/" + LockName(board)) {
    m_Fd = ::open(m_Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_Fd >= 0) {
        m_Shared = MapShared(m_Fd);
    }
}

BoardLock::~BoardLock() {
    if (m_Shared != nullptr) {
        ::munmap(m_Shared, sizeof(Shared));
    }
    if (m_Fd >= 0) {
        ::close(m_Fd); // also drops a file lock still held
    }
}

std::string BoardLock::LockName(unsigned board) {
    return "47264MGEMutex" + std::to_string(board);
}

void BoardLock::Lock() {
    const std::thread::id self = std::this_thread::get_id();
    if (m_Owner.load(std::memory_order_relaxed) == self) {
        ++m_Depth; // nested on the thread that holds it
        return;
    }
    // The shared mutex also serialises this process's threads; only when it is missing (or
    // cannot be taken) does the process mutex do that.
    if (m_Shared == nullptr || !LockShared(m_Shared->Mutex, true)) {
        m_Mutex.lock();
        m_HeldByMutex = true;
        if (m_Shared == nullptr && m_Fd >= 0) {
            FileLock(m_Fd, LOCK_EX);
        }
    }
    m_Owner.store(self, std::memory_order_relaxed);
    m_Depth = 1;
}

void BoardLock::Unlock() {
    if (m_Owner.load(std::memory_order_relaxed) != std::this_thread::get_id() || m_Depth == 0) {
        return; // not held by this thread: nothing to release
    }
    if (--m_Depth != 0) {
        return;
    }
    m_Owner.store(std::thread::id(), std::memory_order_relaxed);
    if (!m_HeldByMutex) {
        pthread_mutex_unlock(&m_Shared->Mutex);
        return;
    }
    m_HeldByMutex = false;
    if (m_Shared == nullptr && m_Fd >= 0) {
        FileLock(m_Fd, LOCK_UN);
    }
    m_Mutex.unlock();
}

bool BoardLock::IsFreeAt(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool free = false;
    if (Shared* shared = MapShared(fd); shared != nullptr) {
        free = LockShared(shared->Mutex, false);
        if (free) {
            pthread_mutex_unlock(&shared->Mutex);
        }
        ::munmap(shared, sizeof(Shared));
    } else {
        free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    }
    ::close(fd);
    return free;
}

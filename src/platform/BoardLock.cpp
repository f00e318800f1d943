// The per-board lock: a robust process-shared mutex in the mapped lock file for threads and
// processes (an flock on the file plus a process mutex when it cannot be mapped), never split:
// a lock file removed or replaced is given up for the file at its name, and a lock that cannot
// be had is not taken.

#include "platform/BoardLock.h"

#include "common/BoardFileNames.h"
#include "platform/SimFolder.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
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

// Sets up the mutex of a mapped lock file when the file is new (or was cut short, which took its
// mutex with it). The flock keeps a second process from using or setting up the mutex while the
// first sets it up. The file gets its disk space first: a mapped page with none behind it would
// end the process by a signal.
bool SetUpShared(int fd, BoardLock::Shared* shared) {
    using Shared = BoardLock::Shared;
    FileLock(fd, LOCK_EX);
    bool ready = ::posix_fallocate(fd, 0, sizeof(Shared)) == 0;
    if (ready && (shared->Mark != kSharedMark || shared->Size != sizeof(Shared))) {
        pthread_mutexattr_t attributes;
        pthread_mutexattr_init(&attributes);
        pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
        pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
        ready = pthread_mutex_init(&shared->Mutex, &attributes) == 0;
        pthread_mutexattr_destroy(&attributes);
        if (ready) {
            shared->Size = sizeof(Shared);
            __atomic_store_n(&shared->Mark, kSharedMark, __ATOMIC_RELEASE);
        }
    }
    FileLock(fd, LOCK_UN);
    return ready;
}

// Maps the lock file's mutex, setting it up when the file is new; nullptr when it cannot be
// (the lock then works on the file's flock alone).
BoardLock::Shared* MapShared(int fd) {
    using Shared = BoardLock::Shared;
    void* memory = ::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        return nullptr;
    }
    if (!SetUpShared(fd, static_cast<Shared*>(memory))) {
        ::munmap(memory, sizeof(Shared));
        return nullptr;
    }
    return static_cast<Shared*>(memory);
}

// Whether the open lock file is shorter than its mutex: cut short by another program.
bool CutShort(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 &&
           static_cast<std::uint64_t>(info.st_size) < sizeof(BoardLock::Shared);
}

// Takes the shared mutex; the lock of a holder that died is taken over (its transaction is
// lost, as with any released lock). The mutex must be marked consistent then, or it could never
// be taken again.
int LockShared(pthread_mutex_t& mutex, bool wait) {
    int result = wait ? pthread_mutex_lock(&mutex) : pthread_mutex_trylock(&mutex);
    if (result == EOWNERDEAD) {
        result = pthread_mutex_consistent(&mutex);
    }
    return result;
}

// Opens (creating when missing) a lock file: a regular file, writable.
int OpenLockFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

// A lock the holder no longer uses is tried this many times in a row at most.
constexpr int kLockTries = 16;

} // namespace

BoardLock::BoardLock(unsigned board) : m_Board(board), m_Path(SimFolder() + "/" + LockName(board)) {
    const int fd = OpenLockFile(m_Path);
    if (fd >= 0) {
        m_Shared = MapShared(fd);
        m_Names.push_back(std::make_unique<NamedFile>(m_Path, fd));
        m_Named = m_Names.back().get();
        m_Fd = fd;
    }
}

BoardLock::~BoardLock() {
    if (Shared* shared = m_Shared.load(); shared != nullptr) {
        ::munmap(shared, sizeof(Shared));
    }
    if (const int fd = m_Fd.load(); fd >= 0) {
        ::close(fd); // also drops a file lock still held
    }
}

std::string BoardLock::LockName(unsigned board) {
    return BoardLockFileName(board);
}

bool BoardLock::Take(Taken* taken) {
    if (Shared* shared = m_Shared.load(); shared != nullptr) {
        // One look at the open file before its mutex is touched: a mutex past the file's end
        // would end the process by a signal, so a file cut short gets its mutex back first (one
        // thread of the process at a time). When the file is whole and the mutex free at once,
        // that look stands for the one after taking it. A file cut short while this thread
        // waits or holds the lock is not caught.
        NamedFile* named = m_Named.load();
        const bool whole = named != nullptr && named->StillAtName(sizeof(Shared));
        if (const int fd = m_Fd.load(); !whole && CutShort(fd)) {
            std::lock_guard setUp(m_Mutex);
            if (CutShort(fd) && !SetUpShared(fd, shared)) {
                errno = ENOLCK;
                return false;
            }
        }
        const bool atOnce = whole && LockShared(shared->Mutex, false) == 0;
        if (!atOnce) {
            if (const int result = LockShared(shared->Mutex, true); result != 0) {
                errno = result;
                return false;
            }
        }
        *taken = {shared, -1, atOnce};
        return true;
    }
    // No shared mutex: the process mutex serialises the threads, the file's flock the processes.
    m_Mutex.lock();
    if (m_Shared.load() != nullptr) {
        *taken = {}; // the file was replaced by one with a mutex while this thread waited
        return true;
    }
    if (m_Fd.load() < 0) {
        bool opened = false;
        Reopen(&opened);
        if (!opened) {
            const int error = errno;
            m_Mutex.unlock();
            errno = error;
            return false;
        }
        if (m_Shared.load() != nullptr) {
            *taken = {};
            return true;
        }
    }
    *taken = {nullptr, m_Fd.load()};
    FileLock(taken->Fd, LOCK_EX);
    return true;
}

void BoardLock::Release(const Taken& taken) {
    if (taken.SharedLock != nullptr) {
        pthread_mutex_unlock(&taken.SharedLock->Mutex);
        return;
    }
    if (taken.Fd >= 0) {
        FileLock(taken.Fd, LOCK_UN);
    }
    m_Mutex.unlock();
}

bool BoardLock::IsCurrent(const Taken& taken) const {
    return taken.SharedLock != nullptr ? m_Shared.load() == taken.SharedLock : taken.Fd >= 0;
}

bool BoardLock::StillNamed() const {
    NamedFile* named = m_Named.load();
    return named != nullptr && named->StillAtName(0);
}

int BoardLock::Reopen(bool* opened) {
    const int old = m_Fd.load();
    const int fd = OpenLockFile(m_Path);
    *opened = fd >= 0;
    const int error = errno;
    // The mapping is published last: a thread that takes the new mutex finds the file's name
    // and descriptor already set.
    Shared* shared = fd >= 0 ? MapShared(fd) : nullptr;
    // The name of the file replaced is kept: a thread may still look at it before it waits.
    if (fd >= 0) {
        m_Names.push_back(std::make_unique<NamedFile>(m_Path, fd));
    }
    m_Named = fd >= 0 ? m_Names.back().get() : nullptr;
    m_Fd = fd;
    m_Shared = shared;
    errno = error;
    return old;
}

bool BoardLock::Lock() {
    const std::thread::id self = std::this_thread::get_id();
    if (m_Owner.load(std::memory_order_relaxed) == self) {
        ++m_Depth; // nested on the thread that holds it
        return true;
    }
    for (int tries = 0; tries < kLockTries; ++tries) {
        Taken taken;
        if (!Take(&taken)) {
            return false;
        }
        if (!IsCurrent(taken)) {
            Release(taken); // the file was replaced while this thread waited: take the new one
            continue;
        }
        if (taken.Checked || StillNamed()) {
            m_Held = taken;
            m_Owner.store(self, std::memory_order_relaxed);
            m_Depth = 1;
            return true;
        }
        // Removed or replaced: a new program would use the file now at the name, so this one
        // does too. The old descriptor is closed once its lock is released.
        bool opened = false;
        const int old = Reopen(&opened);
        const int error = errno;
        Release(taken);
        ::close(old);
        if (!opened) {
            errno = error;
            return false;
        }
    }
    errno = EAGAIN;
    return false;
}

void BoardLock::Unlock() {
    if (m_Owner.load(std::memory_order_relaxed) != std::this_thread::get_id() || m_Depth == 0) {
        return; // not held by this thread: nothing to release
    }
    if (--m_Depth != 0) {
        return;
    }
    m_Owner.store(std::thread::id(), std::memory_order_relaxed);
    Release(m_Held);
}

bool BoardLock::IsFreeAt(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool free = false;
    if (Shared* shared = MapShared(fd); shared != nullptr) {
        free = LockShared(shared->Mutex, false) == 0;
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

#pragma once
// The lock of one board, shared by every thread and process that uses the board: a process-local
// recursive mutex plus an advisory lock (flock) on the lock file "47264MGEMutex<board digit>" in
// the simulated board's folder. The system releases the file lock when a process dies.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class BoardLock {
public:
    // Opens (creating when missing) the lock file of the given board, 0 .. 7.
    explicit BoardLock(unsigned i_Board);
    ~BoardLock();
    BoardLock(const BoardLock&) = delete;
    BoardLock& operator=(const BoardLock&) = delete;

    // The lock file's name without folder, "47264MGEMutex<digit>".
    static std::string LockName(unsigned i_Board);

    // Takes the lock; may be nested on one thread. The wait has no time-out.
    void Lock();
    // Releases one level; the file lock goes when the outermost level is released. A thread
    // that does not hold the lock releases nothing.
    void Unlock();

    // Whether the lock file could be opened (without it only threads of this process are
    // serialised).
    bool IsOpen() const { return m_Fd >= 0; }
    unsigned Board() const { return m_Board; }
    const std::string& Path() const { return m_Path; }
    // Levels held by the thread that holds the lock (0 when not held by anyone here).
    unsigned Depth() const { return m_Depth; }

private:
    unsigned m_Board;
    std::string m_Path;
    int m_Fd = -1;
    std::recursive_mutex m_Mutex;
    unsigned m_Depth = 0; // changed only while m_Mutex is held
    std::atomic<std::thread::id> m_Owner{};
};

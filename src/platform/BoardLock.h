#pragma once
// The lock of one board, shared by every thread and process that uses the board, kept in the lock
// file "47264MGEMutex<board digit>" in the simulated board's folder: a robust process-shared
// mutex that lives in the mapped lock file, taken and released without a system call when
// nobody else wants it, and freed by the system when its holder dies. It serialises threads and
// processes alike; the holding thread nests by counting. The file is set up under an advisory
// lock (flock) on it; when it cannot be mapped, that flock is the lock between processes instead
// and a process-local mutex serialises the threads.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class BoardLock {
public:
    // Opens (creating when missing) the lock file of the given board, 0 .. 7.
    explicit BoardLock(unsigned board);
    ~BoardLock();
    BoardLock(const BoardLock&) = delete;
    BoardLock& operator=(const BoardLock&) = delete;

    // The lock file's name without folder, "47264MGEMutex<digit>".
    static std::string LockName(unsigned board);

    // Takes the lock; may be nested on one thread. The wait has no time-out.
    void Lock();
    // Releases one level; the file lock goes when the outermost level is released. A thread
    // that does not hold the lock releases nothing.
    void Unlock();

    // Whether the lock file could be opened (without it only threads of this process are
    // serialised).
    bool IsOpen() const { return m_Fd >= 0; }
    // Whether another holder could take the lock of this lock file right now: it is not held by
    // a living process (this one included). Takes and releases it when free.
    static bool IsFreeAt(const std::string& path);
    unsigned Board() const { return m_Board; }
    const std::string& Path() const { return m_Path; }
    // Levels held by the thread that holds the lock (0 when not held by anyone here).
    unsigned Depth() const { return m_Depth; }

    struct Shared; // the mapped part of the lock file

private:
    unsigned m_Board;
    std::string m_Path;
    int m_Fd = -1;
    Shared* m_Shared = nullptr; // nullptr: the flock is the lock between processes
    // Serialises this process's threads when there is no shared mutex (or it cannot be taken);
    // otherwise the shared mutex alone serialises threads and processes.
    std::mutex m_Mutex;
    bool m_HeldByMutex = false; // the holder took m_Mutex instead of the shared mutex
    unsigned m_Depth = 0;       // changed only by the thread that holds the lock
    std::atomic<std::thread::id> m_Owner{};
};

#pragma once
// The lock of one board, shared by every thread and process that uses the board, kept in the lock
// file "47264MGEMutex<board digit>" in the simulated board's folder: a robust process-shared
// mutex that lives in the mapped lock file, taken and released without a system call when
// nobody else wants it, and freed by the system when its holder dies. It serialises threads and
// processes alike; the holding thread nests by counting. The file is set up under an advisory
// lock (flock) on it; when it cannot be mapped, that flock is the lock between processes instead
// and a process-local mutex serialises the threads.
//
// The lock is never split: a lock that cannot be had is not taken at all. When the lock file was
// removed, replaced or moved away since it was opened, the file now at its name is
// opened in its place, so that every holder uses the file a new program would find; when no file
// can be opened there (a folder in its place, no right to write), Lock fails. A lock file cut
// short by another program (its mutex gone with it) gets its mutex set up again at the next Lock.

#include "common/NamedFile.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class BoardLock {
public:
    // Opens (creating when missing) the lock file of the given board, 0 .. 7.
    explicit BoardLock(unsigned board);
    ~BoardLock();
    BoardLock(const BoardLock&) = delete;
    BoardLock& operator=(const BoardLock&) = delete;

    // The lock file's name without folder, "47264MGEMutex<digit>".
    static std::string LockName(unsigned board);

    // Takes the lock; may be nested on one thread. The wait has no time-out. False (errno set,
    // nothing held) when the lock cannot be had.
    bool Lock();
    // Releases one level; the file lock goes when the outermost level is released. A thread
    // that does not hold the lock releases nothing.
    void Unlock();

    // Whether the lock file is open (it is opened again at the next Lock when not).
    bool IsOpen() const { return m_Fd.load() >= 0; }
    // Whether another holder could take the lock of this lock file right now: it is not held by
    // a living process (this one included). Takes and releases it when free.
    static bool IsFreeAt(const std::string& path);
    unsigned Board() const { return m_Board; }
    const std::string& Path() const { return m_Path; }
    // Levels held by the thread that holds the lock (0 when not held by anyone here).
    unsigned Depth() const { return m_Depth; }

    struct Shared; // the mapped part of the lock file

private:
    // The lock a holder took: the file's mutex, or (when it has none) the process mutex and the
    // file's flock on that descriptor.
    struct Taken {
        Shared* SharedLock = nullptr;
        int Fd = -1;
        bool Checked = false; // the file was found at its name just before its mutex was taken
    };
    // Takes the lock of the file open now (opening it first when none is); false when it cannot
    // be had.
    bool Take(Taken* taken);
    void Release(const Taken& taken);
    // Whether taken is still the lock of the open file (not one replaced while it was awaited).
    bool IsCurrent(const Taken& taken) const;
    // With the open file's lock held: whether that file is still the one at its name (it was not
    // removed, replaced or moved away since it was opened).
    bool StillNamed() const;
    // With the open file's lock held (or none open): opens the file now at m_Path in its place.
    // Returns the descriptor it replaced (to be closed once its lock is released); false in
    // *opened (errno set, no file open) when none can be opened.
    int Reopen(bool* opened);

    unsigned m_Board;
    std::string m_Path;
    // The open lock file and its mutex, replaced only by the holder of their lock. A mapping
    // replaced is kept, as a thread may still wait on its mutex.
    std::atomic<int> m_Fd{-1};
    std::atomic<Shared*> m_Shared{nullptr};   // nullptr: the flock is the lock between processes
    std::atomic<NamedFile*> m_Named{nullptr}; // the open file and its name
    // Every name the lock has had, so that m_Named can be looked at without the lock; added to
    // only by the holder of the lock (or in the constructor).
    std::vector<std::unique_ptr<NamedFile>> m_Names;
    // Serialises this process's threads when there is no shared mutex; otherwise the shared
    // mutex alone serialises threads and processes.
    std::mutex m_Mutex;
    Taken m_Held;         // what the holder took
    unsigned m_Depth = 0; // changed only by the thread that holds the lock
    std::atomic<std::thread::id> m_Owner{};
};

// The board lock between threads and processes, its file's folder and name, and the board number.

#include "platform/BoardLock.h"
#include "hcl/HclBoard.h"
#include "hcl/ServicesInternal.h"
#include "platform/SimFolder.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <sched.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Sets (or with nullopt unsets) an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_Name(name) {
        if (const char* old = std::getenv(name)) {
            m_Old = old;
        }
        Set(value);
    }
    ~ScopedEnv() { Set(m_Old); }
    void Set(const std::optional<std::string>& value) {
        if (value) {
            setenv(m_Name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(m_Name.c_str());
        }
    }

private:
    std::string m_Name;
    std::optional<std::string> m_Old;
};

// The folder of this program's lock files. One for the whole program: the layer opens its lock
// of a board once per process, so the file must stay where it was made; removed at exit.
const std::string& LockFolder() {
    return q3vtest::ProgramTempFolder("q3v-boardlock");
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Whether another holder could take the lock of this lock file right now.
bool FileLockIsFree(const std::string& path) {
    if (access(path.c_str(), F_OK) != 0) {
        ADD_FAILURE() << "no lock file " << path;
        return false;
    }
    return BoardLock::IsFreeAt(path);
}

class BoardLockProcesses : public ::testing::Test {
protected:
    void SetUp() override {
        m_Folder = LockFolder();
        m_Env.emplace("Q3VSIM_DIR", m_Folder);
    }
    std::string m_Folder;
    std::optional<ScopedEnv> m_Env;
};

TEST_F(BoardLockProcesses, TwoProcessesNeverHoldTheLockTogether) {
    struct Shared {
        std::atomic<int> Inside;
        std::atomic<int> Overlaps;
        std::atomic<int> Entries;
    };
    void* memory =
        mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    auto* shared = new (memory) Shared{};
    constexpr int kRounds = 200;

    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // Each process opens the lock itself; two threads of it share one lock object.
            BoardLock lock(5);
            auto work = [&] {
                for (int i = 0; i < kRounds; ++i) {
                    lock.Lock();
                    lock.Lock(); // nested, as the layer does
                    if (shared->Inside.fetch_add(1) != 0) {
                        ++shared->Overlaps;
                    }
                    ++shared->Entries;
                    usleep(20);
                    shared->Inside.fetch_sub(1);
                    lock.Unlock();
                    lock.Unlock();
                }
            };
            std::thread second(work);
            work();
            second.join();
            _exit(lock.IsOpen() ? 0 : 2);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    EXPECT_EQ(shared->Overlaps.load(), 0);
    EXPECT_EQ(shared->Entries.load(), 2 * 2 * kRounds);
    munmap(memory, sizeof(Shared));
}

TEST_F(BoardLockProcesses, KilledHolderFreesTheLock) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        BoardLock lock(6);
        lock.Lock();
        const char held = 1;
        (void)!write(ready[1], &held, 1);
        for (;;) {
            pause(); // holds the lock until killed
        }
    }
    close(ready[1]);
    char held = 0;
    const bool childHolds = read(ready[0], &held, 1) == 1;
    close(ready[0]);
    const std::string path = m_Folder + "/47264MGEMutex6";
    const bool freeWhileHeld = childHolds && FileLockIsFree(path);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(childHolds);
    EXPECT_FALSE(freeWhileHeld);
    EXPECT_TRUE(FileLockIsFree(path));
}

// A child process that runs body and exits with its result (0 when it returns true).
template <typename Body> pid_t StartChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body() ? 0 : 1);
    }
    return pid;
}

// The exit code of a child (-1 when it did not exit by itself).
int ExitCodeOf(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Whether a process is asleep (in the lock's wait); false once it has ended.
bool IsAsleep(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'S';
}

// After a holder was killed while holding it, the lock is still a lock: whoever takes it over
// leaves it free, the next holder keeps it, and a third waits until that one lets go.
TEST_F(BoardLockProcesses, AfterAKilledHolderTheLockStillExcludes) {
    const std::string path = m_Folder + "/" + BoardLock::LockName(1);
    int held[2];
    ASSERT_EQ(pipe(held), 0);
    const pid_t killed = StartChild([&] {
        BoardLock lock(1);
        lock.Lock();
        const char byte = 1;
        (void)!write(held[1], &byte, 1);
        for (;;) {
            pause();
        }
        return false;
    });
    ASSERT_GT(killed, 0);
    char byte = 0;
    ASSERT_EQ(read(held[0], &byte, 1), 1);
    kill(killed, SIGKILL);
    EXPECT_EQ(ExitCodeOf(killed), -1);

    // A takes the lock over from the dead holder and releases it.
    EXPECT_EQ(ExitCodeOf(StartChild([] {
                  BoardLock lock(1);
                  if (!lock.Lock()) {
                      return false;
                  }
                  lock.Unlock();
                  return true;
              })),
              0);
    ASSERT_TRUE(FileLockIsFree(path)) << "the lock taken over must be usable again";

    // B takes it and keeps it until told; C's Lock must wait for B's release.
    struct Order {
        std::atomic<int> Released;
        std::atomic<int> SeenByC;
    };
    void* memory =
        mmap(nullptr, sizeof(Order), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    auto* order = new (memory) Order{};
    order->SeenByC = -1;
    int letGo[2];
    ASSERT_EQ(pipe(letGo), 0);
    const pid_t b = StartChild([&] {
        BoardLock lock(1);
        const bool locked = lock.Lock();
        const char answer = locked ? 1 : 0; // the parent waits for either
        (void)!write(held[1], &answer, 1);
        if (!locked) {
            return false;
        }
        char go = 0;
        (void)!read(letGo[0], &go, 1);
        order->Released = 1;
        lock.Unlock();
        return true;
    });
    ASSERT_GT(b, 0);
    ASSERT_EQ(read(held[0], &byte, 1), 1);
    if (byte != 1) {
        EXPECT_EQ(ExitCodeOf(b), 1);
        FAIL() << "B could not take the lock a killed holder left";
    }
    EXPECT_FALSE(FileLockIsFree(path)) << "B holds it";
    const pid_t c = StartChild([&] {
        BoardLock lock(1);
        const char one = 1;
        (void)!write(held[1], &one, 1);
        if (!lock.Lock()) {
            return false;
        }
        order->SeenByC = order->Released.load();
        lock.Unlock();
        return true;
    });
    ASSERT_GT(c, 0);
    ASSERT_EQ(read(held[0], &byte, 1), 1);
    // C is about to wait: let B go only once C sleeps in the lock (or has already got past it,
    // which the order below catches).
    for (int look = 0; look < 100000 && !IsAsleep(c) && order->SeenByC.load() < 0; ++look) {
        sched_yield();
    }
    const char go = 1;
    (void)!write(letGo[1], &go, 1);
    EXPECT_EQ(ExitCodeOf(b), 0);
    EXPECT_EQ(ExitCodeOf(c), 0);
    EXPECT_EQ(order->SeenByC.load(), 1) << "C took the lock while B held it";
    EXPECT_TRUE(FileLockIsFree(path));
    for (int fd : {held[0], held[1], letGo[0], letGo[1]}) {
        close(fd);
    }
    munmap(memory, sizeof(Order));
}

// A lock file removed or replaced is given up for the file a new program finds at its name; when
// no file can be had there (a folder in its place) the lock is not taken at all.
TEST_F(BoardLockProcesses, ALockFileGoneIsGivenUpForTheFileAtItsName) {
    BoardLock lock(2);
    const std::string& path = lock.Path();
    ASSERT_TRUE(lock.Lock());
    lock.Unlock();

    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_TRUE(lock.Lock());
    EXPECT_FALSE(FileLockIsFree(path)) << "the new file at the name is the one held";
    lock.Unlock();
    EXPECT_TRUE(FileLockIsFree(path));

    ASSERT_EQ(rename(path.c_str(), (path + ".old").c_str()), 0);
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    errno = 0;
    EXPECT_FALSE(lock.Lock()) << "a folder in its place: no lock";
    EXPECT_NE(errno, 0);
    EXPECT_EQ(lock.Depth(), 0u);
    lock.Unlock(); // releases nothing
    ASSERT_EQ(rmdir(path.c_str()), 0);
    ASSERT_EQ(rename((path + ".old").c_str(), path.c_str()), 0);
    ASSERT_TRUE(lock.Lock()) << "a file back at the name serves again";
    EXPECT_FALSE(FileLockIsFree(path));
    lock.Unlock();
}

// A lock file cut short by another program loses its mutex: the next Lock sets it up again
// instead of touching a page past the file's end (a signal), and the lock still excludes.
TEST_F(BoardLockProcesses, ALockFileCutShortGetsItsMutexBack) {
    BoardLock lock(3);
    const std::string& path = lock.Path();
    ASSERT_TRUE(lock.Lock());
    lock.Unlock();
    ASSERT_EQ(truncate(path.c_str(), 0), 0);
    ASSERT_TRUE(lock.Lock());
    EXPECT_FALSE(FileLockIsFree(path)) << "the mutex set up again is the one held";
    lock.Unlock();
    EXPECT_TRUE(FileLockIsFree(path));
}

TEST_F(BoardLockProcesses, LayerLockFollowsTheBoardNumber) {
    ScopedEnv board("Q3VBOARD", std::nullopt);
    oxLockBoard(1);
    const std::string unsetPath = oxHeldBoardLockPath();
    EXPECT_EQ(unsetPath.substr(unsetPath.rfind('/') + 1), "47264MGEMutex0");
    EXPECT_FALSE(FileLockIsFree(unsetPath));
    oxLockBoard(0);
    EXPECT_TRUE(FileLockIsFree(unsetPath));
    EXPECT_EQ(oxHeldBoardLockPath(), "");

    board.Set("0");
    oxLockBoard(1);
    EXPECT_EQ(oxHeldBoardLockPath(), unsetPath) << "unset and 0 are one board";
    oxLockBoard(0);

    // A board change takes the new name at the next lock; a nested lock stays on its board.
    board.Set("3");
    oxLockBoard(1);
    const std::string path3 = oxHeldBoardLockPath();
    EXPECT_EQ(path3.substr(path3.rfind('/') + 1), "47264MGEMutex3");
    board.Set("4");
    oxLockBoard(1);
    EXPECT_EQ(oxHeldBoardLockPath(), path3);
    oxLockBoard(0);
    EXPECT_FALSE(FileLockIsFree(path3)) << "still held once";
    oxLockBoard(0);
    EXPECT_TRUE(FileLockIsFree(path3));
    oxLockBoard(0); // an unlock too many changes nothing
    oxLockBoard(1);
    const std::string path4 = oxHeldBoardLockPath();
    EXPECT_EQ(path4.substr(path4.rfind('/') + 1), "47264MGEMutex4");
    oxLockBoard(0);
}

TEST(BoardLock, UnlockByAThreadThatDoesNotHoldItReleasesNothing) {
    ScopedEnv sim("Q3VSIM_DIR", LockFolder());
    BoardLock lock(7);
    lock.Lock();
    std::thread other([&] { lock.Unlock(); });
    other.join();
    EXPECT_EQ(lock.Depth(), 1u);
    EXPECT_FALSE(FileLockIsFree(lock.Path()));
    lock.Unlock();
    EXPECT_TRUE(FileLockIsFree(lock.Path()));
}

TEST(SimFolderTest, ChosenFromTheEnvironmentAndCreated) {
    const q3vtest::TempFolder folder("q3v-simfolder");
    const std::string& base = folder.Path();
    ASSERT_FALSE(base.empty());
    {
        ScopedEnv sim("Q3VSIM_DIR", base + "/a/b/");
        EXPECT_EQ(SimFolder(), base + "/a/b");
        EXPECT_TRUE(IsFolder(base + "/a/b"));
    }
    {
        ScopedEnv sim("Q3VSIM_DIR", std::nullopt);
        ScopedEnv run("XDG_RUNTIME_DIR", base);
        EXPECT_EQ(SimFolder(), base + "/q3vsim");
        EXPECT_TRUE(IsFolder(base + "/q3vsim"));
    }
    {
        // The user's own default folder: removed again when this test made it.
        const std::string fallback = "/tmp/q3vsim-" + std::to_string(getuid());
        const bool existed = IsFolder(fallback);
        ScopedEnv sim("Q3VSIM_DIR", "");
        ScopedEnv run("XDG_RUNTIME_DIR", std::nullopt);
        EXPECT_EQ(SimFolder(), fallback);
        if (!existed) {
            ::rmdir(fallback.c_str());
        }
    }
}

TEST(HclBoardNumber, FirstDigitZeroToSevenElseZero) {
    const std::pair<std::optional<std::string>, unsigned> cases[] = {
        {std::nullopt, 0}, {"", 0},  {"0", 0}, {"3", 3},  {"7", 7},
        {"8", 0},          {"9", 0}, {"x", 0}, {"35", 3}, {" 3", 0},
    };
    for (const auto& [value, expected] : cases) {
        ScopedEnv board("Q3VBOARD", value);
        EXPECT_EQ(oxHclBoardNumber(), expected) << value.value_or("(unset)");
    }
}

// A command's scope keeps the number for its own thread only, reads it again after a reported
// change, and forgets it at its end, so that a change between commands is seen.
TEST(HclBoardNumber, AScopeReadsAgainAfterAReportedChangeAndForgetsAtItsEnd) {
    ScopedEnv board("Q3VBOARD", "2");
    {
        const HclBoardScope command;
        EXPECT_EQ(oxHclBoardNumber(), 2u);
        board.Set("5");
        unsigned otherThread = 0;
        std::thread([&] { otherThread = oxHclBoardNumber(); }).join();
        EXPECT_EQ(otherThread, 5u) << "a thread without a scope reads the environment";
        {
            const HclBoardScope nested;
            oxHclBoardSelectionChanged();
            EXPECT_EQ(oxHclBoardNumber(), 5u);
        }
        EXPECT_EQ(oxHclBoardNumber(), 5u);
        board.Set("6");
    }
    EXPECT_EQ(oxHclBoardNumber(), 6u);
    board.Set(std::nullopt);
    const HclBoardScope next;
    EXPECT_EQ(oxHclBoardNumber(), 0u);
}

} // namespace

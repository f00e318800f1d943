// An open file checked against its name: removed, replaced, moved away or cut short it is no
// longer the file at its name; written through, it still is. Just made or settled (its name then
// looked up only after a change of its status).
#include "common/NamedFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct NamedFileCase {
    const char* Name;
    std::function<void(const std::string& path, int fd)> Change;
    bool StillAtName;
};

// Waits until the file's last status change lies further back than the file system's clock tick,
// so that a look at the file stands for the name from then on (as in a long session).
void Settle(int fd) {
    for (;;) {
        struct stat info {};
        timespec now{};
        if (fstat(fd, &info) != 0 || clock_gettime(CLOCK_REALTIME_COARSE, &now) != 0) {
            return;
        }
        const auto since = (now.tv_sec - info.st_ctim.tv_sec) * 1'000'000'000LL +
                           (now.tv_nsec - info.st_ctim.tv_nsec);
        if (since > 100'000'000) {
            return;
        }
        usleep(20'000);
    }
}

TEST(NamedFile, ChangesOfTheFileAndItsName) {
    const NamedFileCase cases[] = {
        {"unchanged", [](const std::string&, int) {}, true},
        {"written through", [](const std::string&, int fd) { (void)!pwrite(fd, "x", 1, 10); },
         true},
        {"removed", [](const std::string& path, int) { fs::remove(path); }, false},
        {"moved away", [](const std::string& path, int) { fs::rename(path, path + ".kept"); },
         false},
        {"replaced by a rename",
         [](const std::string& path, int) {
             fs::copy_file(path, path + ".new");
             fs::rename(path + ".new", path);
         },
         false},
        {"replaced by a new file",
         [](const std::string& path, int) {
             fs::remove(path);
             const int fd = open(path.c_str(), O_RDWR | O_CREAT, 0600);
             (void)!ftruncate(fd, 4096);
             close(fd);
         },
         false},
        {"cut short", [](const std::string&, int fd) { (void)!ftruncate(fd, 100); }, false},
    };
    for (const bool settled : {false, true}) {
        for (const NamedFileCase& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (settled ? ", settled" : ", just made"));
            const q3vtest::TempFolder folder("q3v-namedfile");
            const std::string path = folder.Path() + "/file";
            const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(ftruncate(fd, 4096), 0);
            if (settled) {
                Settle(fd);
            }
            NamedFile file(path, fd);
            EXPECT_TRUE(file.StillAtName(4096));
            EXPECT_FALSE(file.StillAtName(4097)) << "shorter than asked";
            c.Change(path, fd);
            EXPECT_EQ(file.StillAtName(4096), c.StillAtName);
            close(fd);
        }
    }
}

} // namespace

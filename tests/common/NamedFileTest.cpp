// An open file checked against its name: removed, replaced, moved away or cut short it is no
// longer the file at its name; written through, it still is.
#include "common/NamedFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct NamedFileCase {
    const char* Name;
    std::function<void(const std::string& path, int fd)> Change;
    bool StillAtName;
};

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
    for (const NamedFileCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const q3vtest::TempFolder folder("q3v-namedfile");
        const std::string path = folder.Path() + "/file";
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, 4096), 0);
        NamedFile file(path, fd);
        EXPECT_TRUE(file.StillAtName(4096));
        EXPECT_FALSE(file.StillAtName(4097)) << "shorter than asked";
        c.Change(path, fd);
        EXPECT_EQ(file.StillAtName(4096), c.StillAtName);
        close(fd);
    }
}

} // namespace

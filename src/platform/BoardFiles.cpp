// Whether a path names one of the simulated boards' own files, by file identity.

#include "platform/BoardFiles.h"

#include "platform/BoardLock.h"
#include "platform/SimFolder.h"

#include <sys/stat.h>

namespace {

constexpr unsigned kBoards = 8;

bool SameFile(const struct stat& file, const std::string& path) {
    struct stat other {};
    return ::stat(path.c_str(), &other) == 0 && other.st_dev == file.st_dev &&
           other.st_ino == file.st_ino;
}

} // namespace

bool IsBoardFile(const std::string& path) {
    struct stat file {};
    if (path.empty() || ::stat(path.c_str(), &file) != 0 || S_ISDIR(file.st_mode)) {
        return false;
    }
    const std::string folder = SimFolder() + "/";
    for (unsigned board = 0; board < kBoards; ++board) {
        const std::string digit = std::to_string(board);
        if (SameFile(file, folder + "board-" + digit + ".state") ||
            SameFile(file, folder + BoardLock::LockName(board)) ||
            SameFile(file, folder + "Q3V47xxx-" + digit + ".lock")) {
            return true;
        }
    }
    return false;
}

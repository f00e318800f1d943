// Whether a path names one of the simulated boards' own files, by file identity.

#include "platform/BoardFiles.h"

#include "common/BoardFileNames.h"
#include "platform/SimFolder.h"

#include <sys/stat.h>

namespace {

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
    for (unsigned board = 0; board < kSimBoards; ++board) {
        if (SameFile(file, folder + BoardStateFileName(board)) ||
            SameFile(file, folder + BoardLockFileName(board)) ||
            SameFile(file, folder + DriverNodeLockFileName(board))) {
            return true;
        }
    }
    return false;
}

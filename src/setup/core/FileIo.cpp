// The file-call table and its POSIX row.
#include "setup/core/FileIo.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileIo& Installed() {
    static FileIo s_Io = PosixFileIo();
    return s_Io;
}

} // namespace

FileIo PosixFileIo() {
    FileIo io;
    io.Open = [](const char* path, int flags) { return ::open(path, flags | O_CLOEXEC); };
    io.Read = [](int fd, void* buffer, size_t size) { return ::read(fd, buffer, size); };
    io.Mkstemp = [](char* pathTemplate) { return ::mkostemp(pathTemplate, O_CLOEXEC); };
    io.Write = [](int fd, const void* buffer, size_t size) { return ::write(fd, buffer, size); };
    io.Fchmod = [](int fd, mode_t mode) { return ::fchmod(fd, mode); };
    io.Fchown = [](int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); };
    io.Fsync = [](int fd) { return ::fsync(fd); };
    io.FsyncFolder = [](int fd) { return ::fsync(fd); };
    io.Rename = [](const char* from, const char* to) { return std::rename(from, to); };
    io.Unlink = [](const char* path) { return ::unlink(path); };
    return io;
}

void SetFileIo(const FileIo& io) {
    Installed() = io;
}

const FileIo& GetFileIo() {
    return Installed();
}

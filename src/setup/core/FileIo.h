#pragma once
// The file calls through which Setup reads and writes configurable files. Every call goes
// through this table so that a test can make any one of them fail (with the errno it chooses)
// and check that the file on disk is left as it was. The program runs on the plain POSIX calls.
//
//     FileIo io = PosixFileIo();
//     io.Rename = [](const char*, const char*) { errno = EXDEV; return -1; };
//     SetFileIo(io);          // the next save fails at the rename
//     SetFileIo(PosixFileIo());
#include <functional>
#include <sys/types.h>

struct FileIo {
    std::function<int(const char* path, int flags)> Open;
    std::function<ssize_t(int fd, void* buffer, size_t size)> Read;
    std::function<int(char* pathTemplate)> Mkstemp;
    std::function<ssize_t(int fd, const void* buffer, size_t size)> Write;
    std::function<int(int fd, mode_t mode)> Fchmod;
    std::function<int(int fd, uid_t owner, gid_t group)> Fchown;
    std::function<int(int fd)> Fsync;       // the written file
    std::function<int(int fd)> FsyncFolder; // the folder that holds it, after the rename
    std::function<int(const char* from, const char* to)> Rename;
    std::function<int(const char* path)> Unlink;
};

// The plain POSIX calls.
FileIo PosixFileIo();
void SetFileIo(const FileIo& io);
const FileIo& GetFileIo();

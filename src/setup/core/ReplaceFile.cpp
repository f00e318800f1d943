// A new file beside the target, renamed over it once every byte is written and synced.
#include "setup/core/ReplaceFile.h"

#include "setup/core/FileIo.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const std::uint8_t* at, std::size_t size) {
    while (size > 0) {
        const ssize_t put = GetFileIo().Write(fd, at, size);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            if (put == 0) {
                errno = EIO;
            }
            return false;
        }
        at += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

// The folder part of a path ("." when it has none).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// How many links are followed to a file before the chain is taken for a loop.
constexpr int kMostLinks = 40;

// The mode a new file gets from open(2) with 0666.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

int Descriptor::Close() {
    const int result = m_Fd >= 0 ? ::close(m_Fd) : 0;
    m_Fd = -1;
    return result;
}

std::string ResolveDestination(const char* destination) {
    // Each link is read in turn rather than the whole path resolved at once, so that a link
    // to a file not made yet is written through as well: the file is made at the link's end.
    std::string path = destination;
    for (int hops = 0; hops < kMostLinks; ++hops) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            return path;
        }
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
        if (length <= 0) {
            return path;
        }
        target[length] = '\0';
        path = target[0] == '/' ? std::string(target) : FolderOf(path) + "/" + target;
    }
    return destination; // a loop of links names no file: the name itself is replaced
}

bool MayReplace(const std::string& path, const struct stat& status) {
    return ::access(path.c_str(), W_OK) == 0 && (status.st_mode & 0222) != 0;
}

bool ReplaceFile(const std::string& target, const std::uint8_t* bytes, std::size_t size,
                 mode_t mode, const struct stat* owner, std::string& error) {
    const FileIo& io = GetFileIo();
    const std::string folder = FolderOf(target);
    Descriptor folderFd(io.Open(folder.c_str(), O_RDONLY | O_DIRECTORY));
    if (folderFd.Get() < 0) {
        error = std::strerror(errno);
        return false;
    }
    std::string temporary = folder + "/." + NameOf(target) + ".XXXXXX";
    Descriptor fileFd(io.Mkstemp(temporary.data()));
    if (fileFd.Get() < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = WriteAll(fileFd.Get(), bytes, size);
    // A user who is not the owner may save a file of a group he writes in: the new file is
    // then his, with the same mode. That is not an error.
    if (ok && owner != nullptr) {
        (void)io.Fchown(fileFd.Get(), owner->st_uid, owner->st_gid);
    }
    ok = ok && io.Fchmod(fileFd.Get(), mode & 07777) == 0;
    ok = ok && io.Fsync(fileFd.Get()) == 0;
    if (ok && fileFd.Close() != 0) {
        ok = false;
    }
    ok = ok && io.Rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        error = std::strerror(errno);
        const int saved = errno;
        fileFd.Close();
        io.Unlink(temporary.c_str());
        errno = saved;
        return false;
    }
    // The rename is done; a folder that cannot be synced leaves the new file in place but not
    // known to be on disk, which is reported.
    if (io.FsyncFolder(folderFd.Get()) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool WriteInto(const std::string& target, const std::uint8_t* bytes, std::size_t size,
               std::string& error) {
    // Opened without waiting, so that a pipe that nobody reads is refused (ENXIO) instead of
    // holding the window; the writes then wait for the reader as usual.
    Descriptor fd(GetFileIo().Open(target.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK));
    const bool opened =
        fd.Get() >= 0 && ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK) == 0;
    if (!opened || !WriteAll(fd.Get(), bytes, size) || fd.Close() != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool ReplaceFileKeepingMode(const std::string& path, const std::uint8_t* bytes, std::size_t size,
                            std::string& error) {
    const std::string target = ResolveDestination(path.c_str());
    struct stat status {};
    const bool exists = ::stat(target.c_str(), &status) == 0;
    if (exists && !MayReplace(target, status)) {
        error = std::strerror(EACCES);
        return false;
    }
    if (exists && !S_ISREG(status.st_mode)) {
        return WriteInto(target, bytes, size, error);
    }
    return ReplaceFile(target, bytes, size, exists ? status.st_mode : NewFileMode(),
                       exists ? &status : nullptr, error);
}

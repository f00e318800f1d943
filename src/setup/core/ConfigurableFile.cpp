// Reading a configurable file whole, and replacing it safely with the stored block.
#include "setup/core/ConfigurableFile.h"
#include "setup/core/RegistersPage.h"

#include "setup/core/FileIo.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/core/TextFormat.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kStoreRoom = 65536; // room after the image for a store that grows it
constexpr std::uint64_t kLargestImage = 0xFFFFFFFFull;

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_Fd(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_Fd; }
    int Close() {
        const int result = m_Fd >= 0 ? ::close(m_Fd) : 0;
        m_Fd = -1;
        return result;
    }

private:
    int m_Fd;
};

std::string ErrnoText(int error) {
    return std::strerror(error);
}

bool ReadAll(int fd, std::uint8_t* at, std::size_t size) {
    while (size > 0) {
        const ssize_t got = GetFileIo().Read(fd, at, size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            if (got == 0) {
                errno = EIO; // the file shrank while it was read
            }
            return false;
        }
        at += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

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

// Where the bytes go: a symbolic link is followed to the file it names.
std::string ResolveDestination(const char* destination) {
    char resolved[PATH_MAX];
    struct stat link {};
    if (::lstat(destination, &link) == 0 && S_ISLNK(link.st_mode) &&
        ::realpath(destination, resolved) != nullptr) {
        return resolved;
    }
    return destination;
}

// Writes bytes into a new file beside target and renames it over target. The new file takes
// mode, owner and group; a failure removes it and leaves target as it was.
bool ReplaceFile(const std::string& target, const std::uint8_t* bytes, std::size_t size,
                 mode_t mode, const struct stat* owner, std::string& error) {
    const FileIo& io = GetFileIo();
    const std::string folder = FolderOf(target);
    Descriptor folderFd(io.Open(folder.c_str(), O_RDONLY | O_DIRECTORY));
    if (folderFd.Get() < 0) {
        error = ErrnoText(errno);
        return false;
    }
    std::string temporary = folder + "/." + NameOf(target) + ".XXXXXX";
    Descriptor fileFd(io.Mkstemp(temporary.data()));
    if (fileFd.Get() < 0) {
        error = ErrnoText(errno);
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
        error = ErrnoText(errno);
        const int saved = errno;
        fileFd.Close();
        io.Unlink(temporary.c_str());
        errno = saved;
        return false;
    }
    // The rename is done; a folder that cannot be synced leaves the new file in place but not
    // known to be on disk, which is reported.
    if (io.FsyncFolder(folderFd.Get()) != 0) {
        error = ErrnoText(errno);
        return false;
    }
    return true;
}

// Whether the user may replace an existing file: he must be allowed to write it, and the file
// must carry a write bit (root too is refused a read-only file, which a rename would bypass).
bool MayReplace(const std::string& path, const struct stat& status) {
    return ::access(path.c_str(), W_OK) == 0 && (status.st_mode & 0222) != 0;
}

void ReportSaveFailure(const char* destination, const std::string& reason) {
    ShowMessage(MessageKind::Warning, FormatText("File \"%s\" could not be saved because:\n\n%s",
                                                 destination, reason.c_str()));
}

} // namespace

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes, std::size_t room,
                   std::string& error) {
    Descriptor fd(GetFileIo().Open(path, O_RDONLY));
    if (fd.Get() < 0) {
        error = ErrnoText(errno);
        return false;
    }
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0) {
        error = ErrnoText(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        error = ErrnoText(EISDIR);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = ErrnoText(EINVAL);
        return false;
    }
    if (static_cast<std::uint64_t>(status.st_size) > kLargestImage) {
        error = ErrnoText(EFBIG);
        return false;
    }
    const std::size_t size = static_cast<std::size_t>(status.st_size);
    bytes.assign(size + room, 0);
    if (!ReadAll(fd.Get(), bytes.data(), size)) {
        error = ErrnoText(errno);
        return false;
    }
    return true;
}

bool LoadConfigurableFile(const char* path) {
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (ReadWholeFile(path, bytes, 0, reason)) {
        const char* text = kTextLoadDefault;
        if (bytes.empty()) {
            text = kTextZeroLength;
        } else if (g_ChipDef.LoadFromImage(bytes.data(), static_cast<std::uint32_t>(bytes.size()),
                                           &text)) {
            // Marks of the last file's rows, and its notice of an imported list, mean nothing here.
            g_RegistersPage.ClearMarks();
            g_ChipDef.SetRegListImported(false);
            return true;
        }
        reason = text;
    }
    ShowMessage(MessageKind::Warning,
                FormatText("File \"%s\" could not be opened because:\n\n%s", path, reason.c_str()));
    return false;
}

bool SaveConfigurableFile(const char* source, const char* destination,
                          bool preservePhysicalAddresses) {
    const char* shownDestination = destination != nullptr ? destination : source;
    const std::string target = ResolveDestination(shownDestination);

    struct stat sourceStatus {};
    if (::stat(source, &sourceStatus) != 0) {
        ReportSaveFailure(shownDestination, ErrnoText(errno));
        return false;
    }
    struct stat targetStatus {};
    const bool targetExists = ::stat(target.c_str(), &targetStatus) == 0;
    if (targetExists && !MayReplace(target, targetStatus)) {
        ReportSaveFailure(shownDestination, ErrnoText(EACCES));
        return false;
    }

    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(source, bytes, kStoreRoom, reason)) {
        ReportSaveFailure(shownDestination, reason);
        return false;
    }
    std::uint32_t size = static_cast<std::uint32_t>(bytes.size() - kStoreRoom);
    if (size == 0) {
        ReportSaveFailure(shownDestination, kTextZeroLength);
        return false;
    }
    const char* text = kTextNoConfigData;
    if (!g_ChipDef.StoreToImage(bytes.data(), &size, preservePhysicalAddresses, &text)) {
        ReportSaveFailure(shownDestination, text);
        return false;
    }
    if (size > bytes.size()) {
        size = static_cast<std::uint32_t>(bytes.size());
    }

    // An existing file keeps its mode, owner and group; a new name gets the source's mode with
    // the owner's write bit (a copy is writable by whoever made it).
    const mode_t mode = targetExists ? targetStatus.st_mode : (sourceStatus.st_mode | S_IWUSR);
    if (!ReplaceFile(target, bytes.data(), size, mode, targetExists ? &targetStatus : nullptr,
                     reason)) {
        ReportSaveFailure(shownDestination, reason);
        return false;
    }
    return true;
}

// Reading a configurable file whole, and replacing it safely with the stored block.
#include "setup/core/ConfigurableFile.h"
#include "setup/core/RegistersPage.h"

#include "setup/core/FileIo.h"
#include "setup/core/ReplaceFile.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/core/TextFormat.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kStoreRoom = 65536; // room after the image for a store that grows it
constexpr std::uint64_t kLargestImage = 0xFFFFFFFFull;

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

    if (targetExists && !S_ISREG(targetStatus.st_mode)) {
        if (!WriteInto(target, bytes.data(), size, reason)) {
            ReportSaveFailure(shownDestination, reason);
            return false;
        }
        return true;
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

#pragma once
// Replacing a file safely: the new bytes go into a new file beside the target, which is synced
// and then renamed over the target. A failure at any step removes the new file and leaves the
// target as it was; a reader never sees a file cut short. Save, Save As and Export As write
// their files this way; a pipe, a terminal or a device, which cannot be replaced, is written
// into (WriteInto). Every file call goes through the FileIo table.
//
//     const std::string target = ResolveDestination(path);      // a link is written through
//     std::string error;
//     if (!ReplaceFile(target, bytes.data(), bytes.size(), 0644, nullptr, error)) { ... }
#include <cstdint>
#include <string>
#include <sys/stat.h>

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_Fd(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_Fd; }
    int Close();

private:
    int m_Fd;
};

// Where the bytes for a path go: a symbolic link is followed to the file it names, which may
// not exist yet.
std::string ResolveDestination(const char* destination);

// Whether the user may replace an existing file: he must be allowed to write it, and the file
// must carry a write bit (root too is refused a read-only file, which a rename would bypass).
bool MayReplace(const std::string& path, const struct stat& status);

// Writes bytes into a new file beside target and renames it over target. The new file takes
// mode, and owner's owner and group when owner is given; on failure error holds the system's
// text and target is as it was.
bool ReplaceFile(const std::string& target, const std::uint8_t* bytes, std::size_t size,
                 mode_t mode, const struct stat* owner, std::string& error);

// Writes bytes into an existing file that is no regular file (a pipe, a terminal, a device),
// which a rename would replace by a plain file. A pipe that nobody reads is refused. False with
// the system's text in error when the bytes were not all written.
bool WriteInto(const std::string& target, const std::uint8_t* bytes, std::size_t size,
               std::string& error);

// Replaces the file at path (a link written through) with bytes: an existing file keeps its
// mode, owner and group, a new one gets 0666 less the umask. A file the user may not write is
// refused. An existing target that is no regular file (a pipe, a terminal, a device) is written
// into instead, so that it stays what it is. False with the system's text in error when the
// bytes were not all written.
bool ReplaceFileKeepingMode(const std::string& path, const std::uint8_t* bytes, std::size_t size,
                            std::string& error);

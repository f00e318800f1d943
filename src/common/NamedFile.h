#pragma once
// Whether a file opened by name is still the file at that name, asked at every use and cheaply:
// one fstat of the open descriptor. The file is not the one at its name once it has no name left
// (removed, or replaced by a rename or a new file) or is shorter than the caller needs. A rename
// of the file itself leaves it a name and changes its status-change time: only while that time
// is new (or recent) is the name looked up and compared by identity.

#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>

class NamedFile {
public:
    NamedFile(std::string path, int fd) : m_Path(std::move(path)), m_Fd(fd) {}

    // Whether the descriptor is still the file at the path and at least minSize bytes long. Safe
    // to ask from several threads.
    bool StillAtName(std::uint64_t minSize);

private:
    std::string m_Path;
    int m_Fd;
    std::mutex m_Mutex; // guards m_Checked
    // The status-change time at the last look-up that found the file at its name (0: none yet).
    std::timespec m_Checked{};
};

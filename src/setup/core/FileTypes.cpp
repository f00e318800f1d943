// The configurable file kinds and their filters.
#include "setup/core/FileTypes.h"

#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const FileFilter kAllFiles = {"All Files (*.*)", {"*.*"}};

// The name part of a path.
std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The extension without the dot; empty when the name has none.
std::string ExtensionOf(const std::string& path) {
    const std::string name = NameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot + 1);
}

} // namespace

const std::vector<FileFilter>& OpenFilters() {
    static const std::vector<FileFilter> s_Filters = {
        {"All Configurable Files (.exe;.s9;.s19;.idp;.elf;.lvb;.prc;.out)",
         {"*.exe", "*.s9", "*.s19", "*.idp", "*.elf", "*.lvb", "*.prc", "*.out"}},
        {"EXE Files", {"*.EXE"}},
        {"ELF Files", {"*.ELF"}},
        {"S9 Files", {"*.S9", "*.S19"}},
        {"IDP Files", {"*.IDP"}},
        {"QBRD-SH3 Files", {"*.LVB"}},
        {"PRC Files", {"*.PRC"}},
        {"V850E Files", {"*.OUT"}},
        kAllFiles,
    };
    return s_Filters;
}

bool EndsWithNoCase(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           strcasecmp(text.c_str() + text.size() - ending.size(), ending.c_str()) == 0;
}

bool IsElfExecutable(const std::string& path) {
    if (!ExtensionOf(path).empty()) {
        return false;
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    unsigned char magic[4] = {};
    const bool read = ::read(fd, magic, sizeof magic) == sizeof magic;
    ::close(fd);
    return read && std::memcmp(magic,
                               "\x7F"
                               "ELF",
                               4) == 0;
}

bool MatchesPattern(const std::string& path, const std::string& pattern) {
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    const std::string ending = pattern.substr(1); // ".exe"
    if (EndsWithNoCase(NameOf(path), ending)) {
        return true;
    }
    return strcasecmp(ending.c_str(), ".exe") == 0 && IsElfExecutable(path);
}

bool IsSetupFile(const std::string& path) {
    for (const std::string& pattern : OpenFilters()[0].Patterns) {
        if (MatchesPattern(path, pattern)) {
            return true;
        }
    }
    return false;
}

SaveAsChoice SaveAsFilters(const std::string& openPath) {
    SaveAsChoice choice;
    const std::string extension = ExtensionOf(openPath);
    const std::vector<FileFilter>& filters = OpenFilters();
    // Rows 1 .. 7 of the table are the single kinds.
    for (std::size_t row = 1; row + 1 < filters.size(); ++row) {
        bool matches = false;
        for (const std::string& pattern : filters[row].Patterns) {
            if (extension.empty() ? (row == 1 && IsElfExecutable(openPath))
                                  : strcasecmp(pattern.c_str() + 2, extension.c_str()) == 0) {
                matches = true;
            }
        }
        if (matches) {
            choice.Filters.push_back(filters[row]);
            break;
        }
    }
    choice.Filters.push_back(kAllFiles);
    choice.DefaultExtension = extension;
    return choice;
}

#pragma once
// The folder of the simulated board's state files and of the board lock files:
// $Q3VSIM_DIR, else $XDG_RUNTIME_DIR/q3vsim, else /tmp/q3vsim-<uid>. It is created (with its
// parents) when missing.

#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

inline std::string SimFolder() {
    std::string folder;
    if (const char* dir = std::getenv("Q3VSIM_DIR"); dir != nullptr && dir[0] != '\0') {
        folder = dir;
    } else if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run != nullptr && run[0] != '\0') {
        folder = std::string(run) + "/q3vsim";
    } else {
        folder = "/tmp/q3vsim-" + std::to_string(static_cast<unsigned long>(getuid()));
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    // Create each missing component; an existing one is fine.
    for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos == folder.size() || folder[pos] == '/') {
            const std::string part = folder.substr(0, pos);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                break;
            }
        }
    }
    return folder;
}

#include "platform/PathCase.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The entries of folder ("" is the current one) that match name ignoring case.
std::vector<std::string> MatchesInFolder(const std::string& folder, const std::string& name) {
    std::vector<std::string> matches;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return matches;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (EqualIgnoringCase(entry->d_name, name)) {
            matches.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    return matches;
}

// The entry of folder that matches name ignoring case, or name itself when none does.
std::string MatchInFolder(const std::string& folder, const std::string& name) {
    const std::vector<std::string> matches = MatchesInFolder(folder, name);
    if (matches.empty()) {
        return name;
    }
    return *std::min_element(matches.begin(), matches.end());
}

} // namespace

std::string ResolvePathIgnoringCase(const std::string& path) {
    if (path.empty() || Exists(path)) {
        return path;
    }
    std::string resolved;
    size_t pos = 0;
    if (path[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos) {
            slash = path.size();
        }
        const std::string part = path.substr(pos, slash - pos);
        if (!part.empty()) {
            const std::string folder = resolved;
            std::string candidate = folder + part;
            if (part != "." && part != ".." && !Exists(candidate)) {
                candidate = folder + MatchInFolder(folder, part);
            }
            resolved = candidate;
        }
        if (slash < path.size()) {
            resolved += '/';
        }
        pos = slash + 1;
    }
    return resolved;
}

std::string FindRegularFileIgnoringCase(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    if (IsRegularFile(path)) {
        return path;
    }
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        return {};
    }
    // The folder with its separator: "" for the current one, "/" for the root.
    const std::string folder =
        slash == std::string::npos
            ? std::string()
            : (slash == 0 ? std::string("/")
                          : ResolvePathIgnoringCase(path.substr(0, slash)) + "/");
    std::vector<std::string> matches = MatchesInFolder(folder, name);
    std::sort(matches.begin(), matches.end());
    for (const std::string& match : matches) {
        if (IsRegularFile(folder + match)) {
            return folder + match;
        }
    }
    return {};
}

// Finding and reading script files along the search path.
#include "play/ScriptFiles.h"

#include "platform/PathCase.h"
#include "play/ScriptState.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The path as given when it is a regular file, else the same path looked up ignoring case.
bool FindRegularFile(const std::string& path, std::string* found) {
    if (IsRegularFile(path)) {
        *found = path;
        return true;
    }
    const std::string resolved = ResolvePathIgnoringCase(path);
    if (resolved != path && IsRegularFile(resolved)) {
        *found = resolved;
        return true;
    }
    return false;
}

} // namespace

bool FindScriptFile(const std::string& name, std::string* path) {
    for (const char* entry : g_RunPath) {
        const std::string base = std::string(entry) + name;
        for (const std::string& tried : {base, base + ".txt"}) {
            *path = tried;
            std::string found;
            if (FindRegularFile(tried, &found)) {
                *path = found;
                return true;
            }
        }
    }
    return false;
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

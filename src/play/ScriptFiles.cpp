// Finding and reading script files along the search path.
#include "play/ScriptFiles.h"

#include "platform/PathCase.h"
#include "play/ScriptState.h"

#include <fstream>
#include <iterator>

namespace {

// The name itself, then with ".txt": as given when it is a regular file, else its first case
// variant that is one.
bool FindAsNamed(const std::string& base, std::string* path) {
    for (const std::string& tried : {base, base + ".txt"}) {
        *path = tried;
        const std::string found = FindRegularFileIgnoringCase(tried);
        if (!found.empty()) {
            *path = found;
            return true;
        }
    }
    return false;
}

} // namespace

bool FindScriptFile(const std::string& name, std::string* path) {
    // An empty name names no script (not the folder of an entry, nor its ".txt").
    if (name.empty()) {
        *path = name;
        return false;
    }
    // An absolute path names one file: joined to an entry it would name another.
    if (name[0] == '/') {
        return FindAsNamed(name, path);
    }
    for (const char* entry : g_RunPath) {
        if (FindAsNamed(std::string(entry) + name, path)) {
            return true;
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

// Finding and reading script files along the search path.
#include "play/ScriptFiles.h"

#include "platform/PathCase.h"
#include "play/ScriptState.h"

#include <fstream>
#include <iterator>

bool FindScriptFile(const std::string& name, std::string* path) {
    for (const char* entry : g_RunPath) {
        const std::string base = std::string(entry) + name;
        for (const std::string& tried : {base, base + ".txt"}) {
            *path = tried;
            // As given when it is a regular file, else its first case variant that is one.
            const std::string found = FindRegularFileIgnoringCase(tried);
            if (!found.empty()) {
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

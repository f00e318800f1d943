// Reading Setup's command line.
#include "setup/core/SetupStart.h"

#include <strings.h>
#include <sys/stat.h>

namespace {

bool Exists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

} // namespace

SetupStart ParseCommandLine(const std::vector<std::string>& words) {
    SetupStart start;
    if (words.empty()) {
        return start;
    }
    if (strncasecmp(words[0].c_str(), "/test", 5) == 0 && !Exists(words[0])) {
        return start;
    }
    for (const std::string& word : words) {
        if (!word.empty() && word[0] == '-') {
            break;
        }
        start.Files.push_back(word);
    }
    start.MainWindow = start.Files.empty();
    return start;
}

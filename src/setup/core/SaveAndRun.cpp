// Saving the open file and starting it in a terminal.
#include "setup/core/SaveAndRun.h"

#include "setup/core/ConfigurableFile.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"

#include <cstdlib>
#include <unistd.h>

std::vector<std::string> SplitArguments(const std::string& arguments) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : arguments) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

std::vector<std::string> RunArgv(const std::string& terminal, const std::string& path,
                                 const std::string& arguments) {
    std::vector<std::string> argv = {
        terminal, "-e", "/bin/sh", "-c", "\"$@\"; exec \"${SHELL:-/bin/sh}\"", "sh", path};
    for (std::string& word : SplitArguments(arguments)) {
        argv.push_back(std::move(word));
    }
    return argv;
}

std::optional<std::string> FindTerminal() {
    const char* terminal = std::getenv("TERMINAL");
    if (terminal != nullptr && *terminal != '\0') {
        return std::string(terminal);
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/x-terminal-emulator";
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

bool SaveAndRun() {
    if (g_OpenPath.empty()) {
        return false;
    }
    const std::optional<std::string> terminal = FindTerminal();
    if (!terminal || !SaveConfigurableFile(g_OpenPath.c_str(), nullptr, false)) {
        return false;
    }
    // A bare name would be looked up along PATH by the shell: it names the file here.
    const std::string path =
        g_OpenPath.find('/') == std::string::npos ? "./" + g_OpenPath : g_OpenPath;
    return LaunchProgram(RunArgv(*terminal, path, g_ProgramArguments));
}

#pragma once
// Runs the built `play` (Q3V_BINARY_DIR/play) as a separate process on a simulated board
// folder, as a user would from a shell.

#include "BoardControls.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace q3vtest {

// The text as one word for /bin/sh: in single quotes, each quote in it as '\''.
inline std::string ShellWord(std::string_view text) {
    std::string word = "'";
    for (const char c : text) {
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return word + "'";
}

inline std::string PlayPath() {
    return std::string(Q3V_BINARY_DIR) + "/play";
}

inline bool PlayIsBuilt() {
    return access(PlayPath().c_str(), X_OK) == 0;
}

struct PlayRun {
    int Code = -1;      // exit code; -1 when play could not be run or did not exit
    std::string Output; // standard output and standard error, in the order written
};

// Runs the program program (a copy of play, say) with the command-line words (split by the
// shell: give them quoted) on the board folder board ($Q3VSIM_DIR), standard input read from
// the file input (/dev/null when ""), in the current directory workDir ("" keeps the
// test's own), with the variables of environment ("NAME=value" each) set as well.
inline PlayRun RunProgramOnBoard(const std::string& program, const std::string& board,
                                 const std::string& words, const std::string& input = "",
                                 const std::string& workDir = "",
                                 const std::vector<std::string>& environment = {}) {
    std::string line;
    if (!workDir.empty()) {
        line += "cd " + ShellWord(workDir) + " && ";
    }
    // Board 0 of the folder at the board's defaults, whatever controls the test's own
    // environment holds.
    line += "env";
    for (const std::string& name : BoardControlNames()) {
        line += " -u " + name;
    }
    line += " Q3VSIM_DIR=" + ShellWord(board);
    for (const std::string& variable : environment) {
        line += " " + ShellWord(variable);
    }
    line += " " + ShellWord(program) + " " + words + " <" +
            (input.empty() ? std::string("/dev/null") : ShellWord(input)) + " 2>&1";
    PlayRun run;
    FILE* pipe = popen(line.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.Output.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.Code = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Runs the built play so (see RunProgramOnBoard).
inline PlayRun RunPlay(const std::string& board, const std::string& words,
                       const std::string& input = "", const std::string& workDir = "",
                       const std::vector<std::string>& environment = {}) {
    return RunProgramOnBoard(PlayPath(), board, words, input, workDir, environment);
}

} // namespace q3vtest

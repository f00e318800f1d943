#pragma once
// Save and Run: the open file is saved in place and then started in a terminal window that
// stays open after it ends. The terminal is $TERMINAL, else x-terminal-emulator from PATH; the
// file and its arguments are handed over as separate words, never inside a shell text, and
// the shell that runs them execs the user's shell afterwards to keep the window open.
//
//     RunArgv("xterm", "/tmp/play", "calc \"1 + 2\"");
//     // {"xterm", "-e", "/bin/sh", "-c", "\"$@\"; exec \"${SHELL:-/bin/sh}\"", "sh",
//     //  "/tmp/play", "calc", "1 + 2"}
#include <optional>
#include <string>
#include <vector>

// The arguments split on blanks, double quotes grouping (the quotes themselves dropped).
std::vector<std::string> SplitArguments(const std::string& arguments);

// The words that start the file in the terminal.
std::vector<std::string> RunArgv(const std::string& terminal, const std::string& path,
                                 const std::string& arguments);

// The terminal to use: $TERMINAL when set, else x-terminal-emulator when PATH holds it.
std::optional<std::string> FindTerminal();

// Saves the open file in place and starts it; nothing runs without a terminal or when the
// save fails. True when it started.
bool SaveAndRun();

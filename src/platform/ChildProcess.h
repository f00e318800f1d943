#pragma once
// Runs a program as a child and waits for it, as the C library's system() does: the child
// inherits standard input and output, and this process ignores SIGINT and SIGQUIT while it
// waits (the child gets them with their default handling, so Ctrl+C stops the child only).
#include <string>
#include <vector>

struct ChildResult {
    bool Started;          // false when the program could not be started
    int Status;            // the exit code, or 128 + the signal that ended the child
    std::string ErrorText; // why it could not start
};

// Starts words[0] (looked up as a path, not along PATH) with the words as its argument vector
// and waits for it to end.
ChildResult RunChildAndWait(const std::vector<std::string>& words);

#pragma once
// Setup's command line: no words, or a first word beginning "/test" (any case) that names no
// existing file, open the main window; otherwise the words are file names (one name per word,
// blanks kept) up to a word that begins with '-', and a non-empty list opens Configure
// Multiple with them instead of the main window.
//
//     SetupStart start = ParseCommandLine({"a.exe", "b.exe"});   // Configure Multiple
#include <string>
#include <vector>

struct SetupStart {
    bool MainWindow = true;
    std::vector<std::string> Files; // for Configure Multiple when MainWindow is false
};

SetupStart ParseCommandLine(const std::vector<std::string>& words);

#pragma once
// The kinds of configurable file: the Open dialog's filter table, the filter Save As offers
// for the open file's kind, and the test that a name is a configurable file. An executable
// here has no extension: a regular file without one that starts with the ELF magic counts as
// an EXE file.
//
//     OpenFilters()[0].Label;        // "All Configurable Files (...)"
//     IsSetupFile("/tmp/play");      // true for the built play
#include "setup/core/SetupServices.h"

#include <string>
#include <vector>

// The Open dialog's filters, in order.
const std::vector<FileFilter>& OpenFilters();

// Whether a text ends with another, ignoring case.
bool EndsWithNoCase(const std::string& text, const std::string& ending);

// Whether the file is an extensionless regular file that starts with the ELF magic.
bool IsElfExecutable(const std::string& path);

// Whether a file name matches a filter pattern ("*.exe" ignoring case, "*.*" anything);
// path is the file's path, for the ELF test of "*.EXE".
bool MatchesPattern(const std::string& path, const std::string& pattern);

// Whether a file is one Setup configures (the configurable extensions or an ELF executable).
bool IsSetupFile(const std::string& path);

// The Save As dialog's filters and default extension for the open file.
struct SaveAsChoice {
    std::vector<FileFilter> Filters;
    std::string DefaultExtension;
};
SaveAsChoice SaveAsFilters(const std::string& openPath);

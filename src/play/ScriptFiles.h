#pragma once
// Finding and reading script files along the search path (RUNPATH).
#include <string>

// Looks for the script along the search path: for each entry in order (an empty entry is the
// current directory) the entry + name, then entry + name + ".txt"; each as given, then ignoring
// case. A name beginning with "/" is tried as it stands (then with ".txt"), never joined to an
// entry; an empty name finds nothing. Only regular files count. True with *path = the file found;
// false with *path = the last path tried, as given.
bool FindScriptFile(const std::string& name, std::string* path);

// The whole content of a file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* text);

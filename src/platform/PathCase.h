#pragma once
// Names of files that the programs took in lower case (command-line words are lower-cased)
// are looked up again ignoring case when they are not found as given.
#include <string>

// The path itself when it exists; otherwise the same path with each component that does not
// exist replaced by an entry of its folder that matches it ignoring ASCII case (the first such
// entry in name order). Components that match nothing stay as given, so a file about to be
// created keeps its name in a folder that was found.
std::string ResolvePathIgnoringCase(const std::string& path);

// The path itself when it is a regular file (or a link to one); otherwise, in the folder found as
// ResolvePathIgnoringCase finds it, the first entry in byte order of its name that matches the
// last component ignoring ASCII case and is a regular file. Empty when there is none: a folder
// or a device of the name never hides a file of another case.
std::string FindRegularFileIgnoringCase(const std::string& path);

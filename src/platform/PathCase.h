#pragma once
// Names of files that the programs took in lower case (command-line words are lower-cased)
// are looked up again ignoring case when they are not found as given.
#include <string>

// The path itself when it exists; otherwise the same path with each component that does not
// exist replaced by an entry of its folder that matches it ignoring ASCII case (the first such
// entry in name order). Components that match nothing stay as given, so a file about to be
// created keeps its name in a folder that was found.
std::string ResolvePathIgnoringCase(const std::string& path);

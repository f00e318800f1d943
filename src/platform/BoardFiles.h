#pragma once
// The simulated boards' own files in the board folder (SimFolder): each board's state file
// "board-N.state", its lock file "47264MGEMutexN" and the kernel driver node's lock
// "Q3V47xxx-N.lock". Running programs map the first two: a file written over them would end
// those programs or split the board. Every route that opens a file by name for writing asks here
// first, before any open that could truncate it.

#include <string>

// Whether path names one of those files, compared by identity (device and inode) so that any
// other name of the same file (a link, a path through another folder) is found too. False when
// nothing exists at path.
bool IsBoardFile(const std::string& path);

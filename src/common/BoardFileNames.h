#pragma once
// The simulated boards' own files in the board folder, by board number (0 to kSimBoards - 1):
// the board's state file, the board lock's file and the kernel driver node's lock. The board,
// the driver node and the lock make them under these names, and every route that opens a file
// by name for writing refuses them: one place, so that the two never name different files.
#include <string>

inline constexpr unsigned kSimBoards = 8;

inline std::string BoardStateFileName(unsigned board) {
    return "board-" + std::to_string(board) + ".state";
}

inline std::string BoardLockFileName(unsigned board) {
    return "47264MGEMutex" + std::to_string(board);
}

inline std::string DriverNodeLockFileName(unsigned board) {
    return "Q3V47xxx-" + std::to_string(board) + ".lock";
}

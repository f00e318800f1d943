#pragma once
// The board number 0 .. 7 that the environment variable Q3VBOARD selects. Both the bridge
// device name ("ezusb-N") and the board lock name derive from it, so an unset variable and "0"
// are the same board.

#include <cstdlib>

// The first character of Q3VBOARD when it is '0' .. '7'; 0 otherwise (unset, empty, other).
inline unsigned oxHclBoardNumber() {
    const char* text = std::getenv("Q3VBOARD");
    if (text != nullptr && text[0] >= '0' && text[0] <= '7') {
        return static_cast<unsigned>(text[0] - '0');
    }
    return 0;
}

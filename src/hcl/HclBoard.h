#pragma once
// The board number 0 .. 7 that the environment variable Q3VBOARD selects. Both the bridge
// device name ("ezusb-N") and the board lock name derive from it, so an unset variable and "0"
// are the same board.
//
// The board lock asks for it at every outermost lock, so once per request to the board, and
// searching the environment was a large share of a request's cost. A program whose own code is
// the only one to change Q3VBOARD (Play: only its RESET command does) opens an HclBoardScope
// around each command: within it the thread reads the variable once and keeps the number until
// the scope ends or oxHclBoardSelectionChanged() reports a change. Without a scope every call
// reads the environment, so a caller that changes it with setenv or unsetenv between requests
// is seen at the next request.

// The first character of Q3VBOARD when it is '0' .. '7'; 0 otherwise (unset, empty, other).
unsigned oxHclBoardNumber();

// To be called after the program changed Q3VBOARD: every thread's open scope reads it again.
void oxHclBoardSelectionChanged();

// While one lives on a thread, oxHclBoardNumber() on that thread reads the environment once and
// keeps the number (until oxHclBoardSelectionChanged()). Scopes may nest; the outermost one's
// end forgets the number.
class HclBoardScope {
public:
    HclBoardScope();
    ~HclBoardScope();
    HclBoardScope(const HclBoardScope&) = delete;
    HclBoardScope& operator=(const HclBoardScope&) = delete;
};

#pragma once
// The console layer: single keys without echo, key polls and character output, in the shape
// the programs expect of a console (_getch, _kbhit, _putch).
//
// Keys come back as the console gives them: a plain key is its character code; an extended key
// (arrows, Home, End, Ins, Del, PgUp, PgDn, F1..F12) is the prefix 0 or 224 followed, on the next
// read, by its second code. At end of input every read returns kConsoleEndOfInput and every poll
// reports a key, so no loop waits for a key that cannot come.
//
// When standard input is a terminal it is switched to raw keys and escape sequences are decoded;
// otherwise (plain mode) bytes are read from it as they come, and CR LF counts as one Enter.
// All output goes through stdout, the same stdio stream as every printf of the programs.

#include <string>

constexpr int kConsoleEndOfInput = -1;

// Extended key second codes (after the prefix 224, or 0 for function keys).
enum ConsoleKeyCode : int {
    kConsolePrefixFunction = 0,
    kConsolePrefixExtended = 224,
    kConsoleKeyHome = 71,
    kConsoleKeyUp = 72,
    kConsoleKeyPgUp = 73,
    kConsoleKeyLeft = 75,
    kConsoleKeyRight = 77,
    kConsoleKeyEnd = 79,
    kConsoleKeyDown = 80,
    kConsoleKeyPgDn = 81,
    kConsoleKeyIns = 82,
    kConsoleKeyDel = 83,
    kConsoleKeyF1 = 59, // F1..F10 are 59..68 after the prefix 0
    kConsoleKeyF11 = 133,
    kConsoleKeyF12 = 134,
    kConsoleKeyAltF7 = 110,
};

// An editing key (Home .. Del above) held with Ctrl, Alt or Shift is a key of its own, never the
// plain key: Ctrl's second codes come after the prefix 224 and Alt's after the prefix 0, as the
// console gives them; Shift's are codes of this layer's own that no other key has, after the
// prefix 224. With several held, Alt counts before Ctrl and Ctrl before Shift, as for the
// function keys.
struct ConsoleModifiedKey {
    int Plain, Ctrl, Alt, Shift;
};
inline constexpr ConsoleModifiedKey kConsoleModifiedKeys[] = {
    {kConsoleKeyHome, 119, 151, 200},  {kConsoleKeyUp, 141, 152, 201},
    {kConsoleKeyPgUp, 132, 153, 202},  {kConsoleKeyLeft, 115, 155, 203},
    {kConsoleKeyRight, 116, 157, 204}, {kConsoleKeyEnd, 117, 159, 205},
    {kConsoleKeyDown, 145, 160, 206},  {kConsoleKeyPgDn, 118, 161, 207},
    {kConsoleKeyIns, 146, 162, 208},   {kConsoleKeyDel, 147, 163, 209},
};

// Whether standard input is a terminal (raw-key mode) rather than a file or pipe.
bool ConsoleIsTerminal();

// One key without echo (see above); blocks until a key or the end of input.
int ConsoleGetch();

// True when a key is waiting or the input has ended.
bool ConsoleKbhit();

// Writes one character to the console.
void ConsolePutch(int ch);

// Writes a text to the console.
void ConsoleWrite(const char* text);

// Whether the input has ended: every further read gives kConsoleEndOfInput.
bool ConsoleInputEnded();

// Whether the output is a screen that understands cursor escapes (standard input and output
// are terminals). Without one the cursor functions below write nothing.
bool ConsoleHasScreen();

// The cursor's column (from 0) as the terminal reports it; -1 when it cannot be told.
int ConsoleCursorColumn();

// Moves the cursor by rows (negative: up) and columns (negative: left) without writing.
void ConsoleMoveCursor(int rows, int columns);

// Erases from the cursor to the end of the screen.
void ConsoleEraseToEnd();

// Writes the character of the cell under the cursor, inverted or plain, and leaves the
// cursor where it was: the caret cell of the line editor.
void ConsoleCaretCell(int ch, bool inverted);

// Makes the terminal's cursor visible.
void ConsoleShowCursor();

// The console's width in columns (80 when it cannot be told).
int ConsoleWidth();

// Puts back the terminal's own settings (before a child program runs, and at exit).
void ConsoleRestore();

// Takes raw keys again after ConsoleRestore.
void ConsoleResume();

// Called, outside any signal handler, when the program was stopped (Ctrl+Z) and continued
// while it waited for a key, or before the next key read when the stop came at another time:
// the shell has written on the screen meanwhile. Raw keys are taken again by the layer itself.
// nullptr: nothing is called.
using ConsoleContinueHook = void (*)();
void ConsoleSetContinueHook(ConsoleContinueHook hook);

// Called, outside any signal handler, when the terminal changed its size while the program
// waited for a key (or before the next wait for a key when the change came at another time).
// nullptr: the change is not told. A change may be told when only the height changed.
using ConsoleResizeHook = void (*)();
void ConsoleSetResizeHook(ConsoleResizeHook hook);

// Test support: reads keys from the given bytes instead of standard input (plain mode rules);
// an empty view returns to standard input.
void ConsoleSetInputForTesting(const char* bytes, unsigned length);

// Test support: reads keys from the given bytes with the terminal's rules (escape sequences
// decoded; the end of the bytes counts as a pause, then as the end of the input).
void ConsoleSetTerminalInputForTesting(const char* bytes, unsigned length);

// Test support: sends all console output to *sink instead of stdout (nullptr: stdout
// again). width > 0 makes it a screen of that width whose cursor starts at column;
// 0 makes it plain output.
void ConsoleSetScreenForTesting(std::string* sink, int width, int column);

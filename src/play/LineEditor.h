#pragma once
// The console line editor: reads a line key by key, draws it with characters, backspaces and
// (on a terminal) cursor escapes, at the terminal's width even when that changes while the line
// is edited, shows the cursor as one inverted cell, keeps the history of the last 32 lines
// (recall, prefix search, listing, selection by number) and completes the word after the last
// blank with Tab from the active keyword dictionary.
#include <cstdint>

#include "platform/Console.h"

// Keys as GetKey gives them: a plain key is its code, an extended key its second code * 256.
constexpr int32_t kKeyBell = 7;
constexpr int32_t kKeyBackspace = 8;
constexpr int32_t kKeyTab = 9;
constexpr int32_t kKeyLineFeed = 10;
constexpr int32_t kKeyEnter = 13;
constexpr int32_t kKeyCtrlR = 18;
constexpr int32_t kKeyEsc = 27;
constexpr int32_t kKeyCtrlBackspace = 127;
constexpr int32_t kKeyHome = kConsoleKeyHome * 256;
constexpr int32_t kKeyUp = kConsoleKeyUp * 256;
constexpr int32_t kKeyPageUp = kConsoleKeyPgUp * 256;
constexpr int32_t kKeyLeft = kConsoleKeyLeft * 256;
constexpr int32_t kKeyRight = kConsoleKeyRight * 256;
constexpr int32_t kKeyEnd = kConsoleKeyEnd * 256;
constexpr int32_t kKeyDown = kConsoleKeyDown * 256;
constexpr int32_t kKeyPageDown = kConsoleKeyPgDn * 256;
constexpr int32_t kKeyInsert = kConsoleKeyIns * 256;
constexpr int32_t kKeyDelete = kConsoleKeyDel * 256;
constexpr int32_t kKeyF1 = kConsoleKeyF1 * 256;
constexpr int32_t kKeyF3 = (kConsoleKeyF1 + 2) * 256;
constexpr int32_t kKeyF7 = (kConsoleKeyF1 + 6) * 256;
constexpr int32_t kKeyF8 = (kConsoleKeyF1 + 7) * 256;
constexpr int32_t kKeyF9 = (kConsoleKeyF1 + 8) * 256;
constexpr int32_t kKeyAltF7 = kConsoleKeyAltF7 * 256;
// The end of the input (no key can come any more): kConsoleEndOfInput.
constexpr int32_t kKeyEndOfInput = kConsoleEndOfInput;

constexpr uint32_t kHistorySize = 32;

// Recall modes of HistoryRecall.
enum HistoryMode : int {
    kHistoryLast = 0,     // the line added last (Ctrl+R)
    kHistoryCurrent = 1,  // the current entry (F3)
    kHistoryNext = 2,     // the next newer entry (Down)
    kHistoryPrevious = 3, // the next older entry (Up)
    kHistoryFirst = 4,    // the oldest entry (PgUp)
    kHistoryNewest = 5,   // the newest entry (PgDn)
};

// Makes the cursor visible, removes the argument parsers' expression hook and empties the
// history.
void ConsoleInit();

// ReadLine with history: the prompt's reader.
char* ReadCommandLine(char* buffer, uint32_t size);

// ReadLine without the history keys and without adding to the history.
char* ReadPlainLine(char* buffer, uint32_t size);

// Edits a line of at most size - 1 characters until Enter (or F7's listing, or the end of the
// input); returns buffer, or nullptr when the line is empty. With history a non-empty line is
// added to it.
char* ReadLine(char* buffer, uint32_t size, bool withHistory);

// One key without echo: a key read as the prefix 0 or 224 is read again and returned as its
// second code * 256; kConsoleEndOfInput when no key can come any more.
int32_t GetKey();

// Whether the input has ended (every further key read gives kConsoleEndOfInput): the prompt loop
// stops instead of reading empty lines forever.
bool LineInputEnded();

// The history. Entries are numbered from 0 (the oldest).
void HistoryAdd(const char* line);
// Copies the entry that mode selects into buffer (at most size - 1 characters); false when the
// history is empty or there is no such entry.
bool HistoryRecall(char* buffer, uint32_t size, int mode);
// Replaces buffer by the next entry (older to newer, wrapping round once from the last found
// one) that begins with its first length characters; false when none does.
bool HistorySearchPrefix(char* buffer, uint32_t size, uint32_t length);
// Takes one more character of the current entry (F1); false when there is nothing to take.
bool HistoryComplete(char* buffer, uint32_t size);
// Prints the numbered history straight to the console; false when it is empty.
bool HistoryList();
// Empties the history (Alt+F7).
void HistoryClear();
// Copies entry n into buffer (at most size - 1 characters); false when there is no entry n.
bool HistoryEntry(char* buffer, uint32_t size, uint32_t n);
// Number of entries (0..32).
uint32_t HistoryCount();

// The Tab listing: every keyword of the active dictionary that begins with prefix, asking
// "display? [y/N]" first when there are more than 10 (count).
void ListCompletions(const char* prefix, int count);

// Console drawing: erases the shown line of length characters with the cursor at cursor and
// leaves the cursor at its start; shows and hides the caret cell (the character under it).
void EraseShownLine(uint32_t cursor, uint32_t length);
void CaretShow(char under);
void CaretHide();

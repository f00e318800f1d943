#pragma once
// Play's output: one print function with output categories (VERBOSE silences them, FLOG copies
// them to a log file), line-by-line paging with a "more" prompt (H), and caret errors. The mask
// in effect follows the running script level (ScriptState.h).
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

// Output categories (bits, combinable into masks).
constexpr uint32_t CAT_CMD = 1; // the prompt, echoed script lines, caret lines (word CMD)
constexpr uint32_t CAT_OUT = 2; // ordinary command output (word OUT)
constexpr uint32_t CAT_SET = 4; // reports of assignments and settings (word SET)
constexpr uint32_t CAT_ERR = 8; // errors (no word: only a mask of 0 silences them)
constexpr uint32_t CAT_ALL = 15;

extern uint32_t g_Verbose;       // the top-level console mask (15)
extern FILE* g_FlogFile;         // the log file, nullptr when none is open
extern std::string g_FlogName;   // the log file's name as FLOG was given it
extern uint32_t g_FlogMask;      // the categories copied to the log file (15)
extern uint32_t g_HaltLines;     // lines per page, 0 = no paging
extern uint32_t g_LinesPrinted;  // lines shown since the last prompt
extern uint32_t g_ScreenWidth;   // console width used to wrap long texts (80)
extern const char* g_MorePrompt; // "-- more [ESC to exit] --"
extern const char* g_Prompt;     // "=", which caret lines are placed after

// Sets the masks, the page length, the line count and the screen width to their start values
// (the log file stays as it is).
void ResetOutput();

// The console mask in effect: g_Verbose at the prompt; g_Verbose AND the innermost running
// script level's mask while a script runs.
uint32_t EffectiveVerbose();

// Formats like printf and outputs the text: to the log when its category is logged, then to the
// console line by line with paging. A log write that fails closes the log with an error. False when
// category is CAT_ERR or the user pressed ESC at a paging prompt (the rest of the text is then not
// shown); true otherwise. category is one bit, or CAT_ALL.
bool PlayPrint(uint32_t category, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A usage text, one piece after another (CAT_OUT); ESC at the pager ends it. Always true:
// asking for the usage succeeds.
bool PrintUsageLines(std::span<const char* const> lines);

// Counts one shown line; when a page is full, shows the "more" prompt and waits for a key. True
// when the user asked to stop (ESC).
bool PagePause();

// Prints the caret line (CAT_CMD) under the given column of a line echoed after the prompt,
// then the message straight to the console (neither logged nor silenced). Always false.
bool PrintCaretError(uint32_t column, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

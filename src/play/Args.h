#pragma once
// The argument vector: the fixed-size word buffers that a statement is split into, the splitter
// itself, and the program's own vector (g_Argv) that the one-command mode fills from the command
// line. A leaf: it knows nothing of commands, output or scripts.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Words of one statement, and the size of each word buffer (255 characters and the zero).
constexpr int32_t kMaxArgs = 128;
constexpr size_t kArgSize = 256;

// The command line's argument vector (one-command mode), allocated by ResetArgv.
extern char* g_Argv[kMaxArgs];
extern int32_t g_Argc;

// Allocates kMaxArgs buffers of kArgSize bytes, each emptied; false when any allocation failed
// (the others stay allocated).
bool ArgvAlloc(char** argv);
// Frees every non-null buffer and sets it to nullptr.
void ArgvFree(char** argv);

// Frees and allocates g_Argv again, empty, with g_Argc 0; false when an allocation failed.
bool ResetArgv();

// An argument vector of its own (kMaxArgs empty words of kArgSize bytes), freed with it. Every
// dispatch splits into a vector of its own, so that nested execution (WHILE, RUN, HELP) never
// overwrites the words of the statement that started it.
class ArgVector {
public:
    ArgVector();
    ArgVector(const ArgVector&) = delete;
    ArgVector& operator=(const ArgVector&) = delete;

    char** Words() { return m_Words.data(); }
    char* operator[](size_t i) { return m_Words[i]; }

private:
    std::unique_ptr<char[]> m_Storage;
    std::array<char*, kMaxArgs> m_Words{};
};

// What a word may hold: at most 255 characters, and a quoted run in it at most 254 (its opening
// quote and 253 more, so that a word of one quoted run keeps its closing quote). Nothing longer
// is cut: the word is refused with one of these texts.
inline constexpr const char* kWordTooLongText = "Word is longer than 255 characters.";
inline constexpr const char* kQuotedTooLongText = "Quoted text is longer than 253 characters.";

// The refusal of one word as the splitter would refuse it (blanks inside it are its own), or
// nullptr: the check of a command-line word in one-command mode.
const char* WordRefusal(std::string_view word);

// Why a statement was not split: the text and the offset of the word in the statement.
struct SplitRefusal {
    const char* Text = nullptr;
    size_t Column = 0;
};
inline constexpr int32_t kSplitRefused = -1;

// Splits length characters of text into words (blanks, tabs, CR, LF separate; "quoted runs"
// with \" kept, (groups) and [groups] kept whole; at most kMaxArgs words are stored, the rest is
// ignored). Returns the number of words stored, or kSplitRefused when a word is longer than a
// word may be (*refusal says which, when given); nothing is cut.
int32_t SplitArgs(const char* text, size_t length, char** argv, SplitRefusal* refusal = nullptr);

// The sum over the first n words of the word's length plus one: the column of word n in an
// echoed command (for PrintCaretError).
uint32_t ArgsTextLength(char* const* argv, int32_t n);

// Words first .. argc - 1 joined with single blanks, without a bound on the length: the
// statements that IF, ELSE and WHILE run, the command line of SHELL.
std::string JoinWords(char* const* argv, int32_t first, int32_t argc);

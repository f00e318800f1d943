#pragma once
// The shape of Play's command handlers and of the rows of the command table, and the look-up of
// a command word in a table.
//
// A handler takes the statement's words and gives back whether the command succeeded:
//   argc   number of words (at least 1)
//   argv   kMaxArgs word buffers of kArgSize bytes; argv[0] is the command word in lower case,
//          the other words keep their case and quotes; words past argc are empty strings
//   result the value the command gives back for an assignment ("$x = r16 0"); it starts as the
//          number 0, and a handler that gives back nothing leaves it alone
// Conventions every handler keeps: argv[1] beginning with "?" prints the usage text (CAT_OUT)
// and returns true; errors are printed with CAT_ERR through PlayPrint, whose result for that
// category is false, so a handler fails by returning what PlayPrint gave back.
#include "expr/Expr.h"
#include "play/Args.h"

#include <cstddef>
#include <cstdint>
#include <span>

using CommandHandler = bool (*)(int32_t argc, char** argv, ExprValue* result);

// Whether the command's first argument asks for its usage text ("?").
inline bool WantsUsage(int32_t argc, char** argv) {
    return argc > 1 && argv[1][0] == '?';
}

// Help sections of the table's rows (HELP lists each section in table order).
enum CommandSection : int32_t {
    SEC_HIDDEN = -1,
    SEC_BASIC = 0,
    SEC_ADVANCED = 1,
    SEC_SCRIPT = 2,
};

// One row of the command table.
struct CommandEntry {
    int32_t m_Section;        // CommandSection
    const char* m_Aliases;    // the command's names in lower case, separated by ";"
    CommandHandler m_Handler; // nullptr = "not implemented yet"
    uint32_t m_NoCardOk;      // 1 = may run when the controller is not acquired
    const char* m_Help;       // HELP's line: syntax padded to 41 columns, " - ", description
};

// True when word equals one of the ";"-separated names of aliases exactly (same case): "r16"
// matches "r;r8;r16;r32", "r1" and "r160" do not. length = the length of aliases.
bool MatchAlias(const char* aliases, size_t length, const char* word);

// Linear search in table order; true with *row = the index of the first matching row.
bool FindCommand(std::span<const CommandEntry> table, const char* word, uint32_t* row);

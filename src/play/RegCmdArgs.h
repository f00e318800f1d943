#pragma once
// Argument handling and line forms shared by the register commands: the unit of the command
// word, the index, cycle and data words of the fill and re-read commands (each stored into the
// command's state as it is accepted, each printing its error when refused), the read and write
// lines of X and BAR, and the usage texts.
#include "play/ArgParsers.h"
#include "play/RegCommands.h"

#include <cstdint>
#include <span>

namespace regcmd {

// The index of X or BAR: when indexWord is given it is parsed (hexadecimal) into *index and
// the unit restarts at g_DefaultRegUnit; the command word's digits apply after that. False
// (nothing stored) when a number or the unit is refused.
bool TakeIndexAndUnit(const char* commandWord, const char* indexWord, RegCmdState& state,
                      uint32_t* index, uint32_t* unit);

// The read line: prefix, "[index] > value", the binary digits (in groups of four joined by "-"
// above 8 bits), then the decimal value (CAT_SET). False when the output was stopped.
bool PrintRegReadLine(const char* prefix, uint32_t index, uint32_t value, uint32_t unit);

// The write echo: prefix, "[index] < value" (CAT_SET).
bool PrintRegWriteLine(const char* prefix, uint32_t index, uint32_t value, uint32_t unit);

// " %02X", " %04X" or " %08X" by unit: one value of a fill line.
const char* RegValueFormat(uint32_t unit);

// Which of the pair of commands is parsing: the plain one or its burst form, whose cycle and
// data errors read differently.
enum class RegLoopKind { kPlain, kBurst };

// XF and XFB: at least four words; the index, the unit, the cycles and the data from word 3.
bool TakeFillArgs(int32_t argc, char** argv, RegLoopKind kind, uint32_t* values, uint32_t* count);

// XR and XRB: at least two words; the index, the unit and the cycles from word 2 when given.
bool TakeRereadArgs(int32_t argc, char** argv, RegLoopKind kind);

// The usage of a fill or re-read command: the synopsis in its four unit forms with the stem of
// word, then the lines.
bool PrintRegUsage(const char* word, const char* synopsis, std::span<const char* const> lines);

} // namespace regcmd

#pragma once
// The command table of Play and the look-up of a command word in it.
#include "play/CommandHandlers.h"

#include <cstddef>
#include <cstdint>

constexpr uint32_t COMMAND_COUNT = 44;

// The rows in HELP's order; look-up takes the first row whose alias matches. Not const, so
// that a row's handler can be filled in (and tests can stand in a handler of their own).
extern CommandEntry g_Commands[COMMAND_COUNT];

// True when word equals one of the ";"-separated names of aliases exactly (same case): "r16"
// matches "r;r8;r16;r32", "r1" and "r160" do not. length = the length of aliases.
bool MatchAlias(const char* aliases, size_t length, const char* word);

// Linear search in table order; true with *row = the index of the first matching row.
bool FindCommand(const char* word, uint32_t* row);

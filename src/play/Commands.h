#pragma once
// The command table of Play and the look-up of a command word in it. The executor is handed this
// table at start (SetCommandTable) and never includes it, so that commands may call the executor.
#include "play/CommandHandlers.h"

#include <cstdint>

constexpr uint32_t kCommandCount = 44;

// The rows in HELP's order; look-up takes the first row whose alias matches. Not const, so
// that a row's handler can be filled in (and tests can stand in a handler of their own).
extern CommandEntry g_Commands[kCommandCount];

// Linear search of g_Commands in table order; true with *row = the index of the first matching
// row.
bool FindCommand(const char* word, uint32_t* row);

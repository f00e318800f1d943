#pragma once
// Register and raw accesses checked before they are made, the way the bridge's interface checks
// them: what the interface would report (and then stop at its Abort prompt) a command refuses
// with an error line, and a token with its caret error, and nothing is read or written.
//   if (RefusalReported(RegAccessRefusal(RegAccess::Write, 16, index))) { return false; }
#include <cstdint>

enum class RegAccess { Read, Write, BurstRead, BurstWrite };

// The interface's text for a register access of bits (8, 16 or 32) at index, or nullptr when the
// interface takes it: single 8-bit accesses take any index, and 32-bit ones never reach its
// checks (the layer answers them itself).
const char* RegAccessRefusal(RegAccess access, uint32_t bits, uint32_t index);

// The interface's text for a raw (BAR) read or write in base space, or nullptr for base 0.
const char* RawAccessRefusal(bool write, uint32_t space);

// Prints "ERROR: <text>\n" (CAT_ERR) and gives true when there is a refusal; false otherwise.
bool RefusalReported(const char* refusal);

#pragma once
// The fixed lines of HELP's script language and editing-key sections.
#include <cstdint>
#include <span>

// The lines (each ending in "\n", printed as they are) that section adds after its command
// rows; empty for the command sections.
std::span<const char* const> HelpSectionLines(int32_t section);

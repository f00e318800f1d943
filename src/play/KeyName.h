#pragma once
// The name of one key read from the console without echo, as INPUT KEY gives it back: "BS",
// "TAB", "RETURN", "ESC", "SPACE", any other single code as that character, and after the
// prefix 224 (or 0, which function keys are sent with) the second code: "HOME", "UP", "PGUP",
// "LEFT", "RIGHT", "END", "DOWN", "PGDN", "INS", "DEL", or "UNKNOWN".
#include <cstddef>

// Room for the longest name and its zero.
constexpr size_t kKeyNameSize = 8;

// Waits for one key (ConsoleGetch) and writes its name into buffer. False at the end of the
// input, when no key can come.
bool ReadKeyName(char (&buffer)[kKeyNameSize]);

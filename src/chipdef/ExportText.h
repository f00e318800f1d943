#pragma once
// Text building for the configuration export: printf-style appending to a growing text, the
// column padding of the generated sources, C string literals of the block's byte fields, and
// the hand-over of a finished text into a caller's buffer. Only the export files use it.
#include <cstdint>
#include <string>

namespace exporttext {

void Appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The formatted text followed by suffix, left-justified in width columns; a longer text is kept
// whole and followed by two blanks.
std::string Pad(int width, const char* suffix, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The letter of C's simple escape of a byte: a, b, t, n, v, f, r for BEL, BS, TAB, LF, VT, FF,
// CR, and the double quote and the backslash for themselves; 0 for every other byte.
char CEscapeLetter(uint8_t byte);

// The bytes of a field of width bytes as a C string literal with its double quotes: every byte
// up to the last non-zero one (the zeros after it are the array's implicit rest), so a field
// without NUL stays within its width and inner NULs survive. Bytes that C cannot hold plainly
// become escapes, "?" too (no trigraph can form); a hexadecimal escape followed by a hex digit
// closes and reopens the literal.
std::string CLiteral(const void* field, size_t width);

// The bytes of a text field up to its first NUL, at most width of them.
std::string FieldText(const void* field, size_t width);

// Copies text into buffer (size bytes, NUL-terminated) and returns its length; 0 without a
// buffer. A text that does not fit raises the assertion named by check and is cut.
uint32_t Deliver(const std::string& text, char* buffer, uint32_t size, const char* check);

} // namespace exporttext

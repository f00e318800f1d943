#pragma once
// The shared parsers of command arguments: the unit size carried by a command word ("r16"),
// start and end operands of address ranges, numbers with radix letters and an expression
// fallback, data value lists and colours. Each parser works on one word (or a run of words of
// the argument vector) and reports failure by its result; the command prints the message.
// All are plain functions without state, except the expression hook installed once at start.
#include <cstdint>

// Evaluates text[0..length) to a number: 0 on success with *value set, -1 otherwise.
using ParseExprHook = int (*)(const char* text, uint32_t length, uint32_t* value);

// Number of characters before the first NUL, tab, blank or decimal digit ("r16" gives 1,
// "fdump32" gives 5, "xbs" gives 3).
uint32_t CommandStemLength(const char* word);

// The unit size in bytes named by the digits after the command's stem: 8 gives 1, 16 gives 2,
// 32 gives 4; no digits give defaultBytes. 0 on success, -1 when the digits are no multiple of
// 8 (or 0), or the stem is followed by anything but digits.
int UnitFromCommand(const char* word, uint32_t defaultBytes, uint32_t* bytes);

// A start address: empty text = current; "." = current - length, ".." = current - 2 * length
// (both clamped at 0); else a number, hexadecimal by default. 0 / -1.
int ParseStartOperand(const char* text, uint32_t current, uint32_t length, uint32_t* start);

// A length in bytes: empty text or "." = defaultLength; "L" count (hexadecimal by default)
// = count * unit; else the address of the last unit (not below start), giving
// end - start + unit. Computed in 64 bits: a length that does not fit in 32 bits is refused.
// 0 / -1.
int ParseEndOperand(const char* text, uint32_t start, uint32_t unit, uint32_t defaultLength,
                    uint32_t* length);

// A number in the given default radix or the radix of its closing letter ("_" groups digits;
// an empty text is 0); otherwise the installed expression hook's result for the whole text;
// -1 without a hook.
int ParseNumber(const char* text, uint32_t radix, uint32_t* value);

// Installs the expression hook of ParseNumber (nullptr removes it).
void SetExprHook(ParseExprHook hook);

// Play's hook: evaluates the text in the running script's scope (none at the prompt); a text
// result or an evaluation error gives -1 and leaves no error text behind.
int EvalArgHook(const char* text, uint32_t length, uint32_t* value);

// Converts argv[first] .. argv[argc - 1] into at most 128 values: a number word gives one
// value, a quoted word ('"' or '\'') one value per character with the escapes \0 \a \b \n \r
// \t and \x for any other x. 0 on success, kParseListTooLong when the words hold more than 128
// values (nothing is cut), else the index of the word that failed.
constexpr uint32_t kParseMaxValues = 128;
constexpr int kParseListTooLong = -1;
int ParseByteList(uint32_t* values, uint32_t* count, uint32_t radix, int first, int argc,
                  const char* const* argv);

// A colour: an optional letter Y (YCbCr) or R (RGB), then one number or a comma list of at
// least 3 parts (8 bits each, shifted in from the right). The text is left as it is.
// kind: 0 plain RGB (alpha 0xFF added), 1 RGB with alpha (more than 6 hexadecimal digits),
// 2 YCbCr. 0 / -1.
constexpr uint32_t kColorRgb = 0;
constexpr uint32_t kColorArgb = 1;
constexpr uint32_t kColorYcbcr = 2;
int ParseColor(const char* text, uint32_t radix, uint32_t* value, uint32_t* kind);

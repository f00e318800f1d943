#pragma once
// Number text in radix 2, 8, 10 and 16, number formatting, frequency text, masks and swaps.
//
// Number text: digits of the radix with "_" ignored anywhere, optionally closed by one radix
// letter (H/h 16, T/t 10, O/o 8, I/i 2). No sign, no 0x prefix. Values are unsigned 32-bit and
// wrap modulo 2^32.
#include <cstddef>
#include <cstdint>

// The radix that a radix letter names (H/h 16, T/t 10, O/o 8, I/i 2), or 0 for any other
// character.
uint32_t RadixOfLetter(char c);

// Whether the first len characters form a number text in radix. len 0, or a text starting with
// NUL, is valid. A null text asserts and gives false.
bool IsNumberInRadix(const char* text, size_t len, uint32_t radix);

// Settles the radix of a number text: defaultRadix when the text is valid in it, else the radix
// of a closing radix letter when the text is valid in that radix. radix may be nullptr.
bool GetNumberRadix(const char* text, size_t len, uint32_t defaultRadix, uint32_t* radix);

// Converts the first len characters (0 = up to the NUL) in radix 2, 8, 10 or 16; "_" is
// skipped, any other character ends the conversion. Null text gives 0; another radix asserts
// and gives 0.
uint32_t StrToNumN(const char* text, size_t len, uint32_t radix);

// StrToNumN over the whole text.
uint32_t StrToNum(const char* text, uint32_t radix);

// Formats value into buf and returns buf. buf needs 40 bytes, or SigDigits + 12 when that is
// more (radix 8, 10 and 16 pad to any width).
//  radix 2: from the highest 1 bit or bit SigDigits - 1, whichever is higher; separator puts
//           "_" after every bit 4, 8, ..., 28. SigDigits outside 0..32 asserts.
//  radix 8: "%0*o", radix 10: "%0*d" (isSigned) or "%0*u", with width SigDigits.
//  radix 16: "%0*X" when SigDigits <= 4 and value <= 0xFFFF; else the high 16 bits at width
//           SigDigits - 4, "_" when separator, then the low 16 bits as 4 digits.
//  another radix asserts and leaves buf as it is.
char* NumToStr(char* buf, uint32_t value, uint32_t radix, int32_t SigDigits, bool isSigned,
               bool separator);

// NumToStr (unsigned, no separator) appended to the text in buf; returns the appended digits.
char* AppendNum(char* buf, uint32_t value, uint32_t radix, int32_t SigDigits);

// "%u.%03u MHz" above 100000 Hz, "%u.%03u KHz" above 1000 Hz, else "%u Hz" (default pool).
char* FreqToStr(uint32_t hz);

// Reads a frequency such as "12.5", "27 MHz", "32768 Hz" or "33.333 khz"; a bare number counts
// in defaultUnit Hz. Up to three fraction digits count.
uint32_t StrToFreq(const char* text, uint32_t defaultUnit);

// lowBit = the lowest set bit, highBit = the top of the unbroken run of ones from there; -1 for
// both when mask is 0. Either pointer may be nullptr.
void MaskBitRange(uint32_t mask, int32_t* highBit, int32_t* lowBit);

// value shifted down by the number of its lowest set bit (0 gives 0).
uint32_t MaskShiftDown(uint32_t value);

uint16_t Swap16(uint16_t value);
uint32_t Swap32(uint32_t value);

#pragma once
// The register dialog's number texts: a value written in radix 2, 10 or 16 (no padding, no
// radix letter), and the edit's text read back in that radix. Reading is strict: a text that
// is not wholly a number of the radix is refused instead of taking the digits before the
// first stray character. "_" may separate digits and blanks may surround the number.
//
//     ReadRegisterValue("3C", 16) == 0x3C; ReadRegisterValue("3G", 16) == std::nullopt
#include <cstdint>
#include <optional>
#include <string>

// value in radix (2, 10 or 16; any other radix counts as 16).
std::string RegisterValueText(uint64_t value, uint32_t radix);

// The edit's number in radix: blanks only (or nothing) read as 0; nullopt when any other
// character is not a digit of the radix. Numbers beyond 64 bits read as UINT64_MAX, which no
// register holds.
std::optional<uint64_t> ReadRegisterValue(const std::string& text, uint32_t radix);

// Why text is refused: "\"12G\" is not a hexadecimal number."
std::string NotANumberText(const std::string& text, uint32_t radix);

#pragma once
// Numbers typed into dialog fields: a decimal with an optional fraction, read as the whole
// part and as thousandths. Blanks are skipped anywhere; an empty text is 0. Any other
// character, or a value beyond 32 bits, fails and leaves the outputs unchanged.
//
//     uint32_t whole, milli;
//     GetDlgItemMilli("12.3456", &whole, &milli);   // 12 and 12345
#include <cstdint>
#include <string_view>

bool GetDlgItemMilli(std::string_view text, std::uint32_t* whole, std::uint32_t* thousandths);

// The first character of text that is not a blank.
const char* SkipSpaces(const char* text);

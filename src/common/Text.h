#pragma once
// Text functions: case-insensitive comparison and search (ASCII letters only, independent of
// the locale), in-place helpers, word wrapping and padded formatting.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// ASCII case folding of one character, independent of the locale.
inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
inline char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Lower-cases the ASCII letters of text in place; returns text.
char* LowerAsciiInPlace(char* text);

// A copy of text with its ASCII letters in upper case (a command word in a usage text).
std::string UpperAsciiCopy(std::string_view text);

// Compares at most n characters, A-Z equal to a-z. a ending first gives -1, b ending first or a
// difference gives 1, n equal characters give 0. Callers test for 0 only.
int32_t CompareNoCase(const char* a, const char* b, size_t n);

// Whether a and b have the same length and are equal ignoring case (CompareNoCase over it).
bool EqualsNoCase(std::string_view a, std::string_view b);

// The first position where needle (needleLen characters) matches text (textLen characters)
// ignoring case; nullptr when none. An empty needle is found at the start.
const char* FindNoCaseN(const char* text, size_t textLen, const char* needle, size_t needleLen);
char* FindNoCaseN(char* text, size_t textLen, const char* needle, size_t needleLen);

// FindNoCaseN with both lengths taken from the texts.
const char* FindNoCase(const char* text, const char* needle);
char* FindNoCase(char* text, const char* needle);

// Copies len characters of src into dst (stopping at a NUL, filling the rest of len with NUL)
// and ends dst with NUL; when len is above size, copies size - 3 characters and appends "...",
// so the result is exactly size characters. dst needs size + 1 bytes.
char* CopyEllipsis(char* dst, const char* src, size_t len, size_t size);

// In place, puts a CR before every LF that has none; returns the new length, which must stay
// below size (the buffer size).
size_t LfToCrLf(char* text, size_t size);

// In place, resolves backslash escapes (\0 \a \b \n \r \t; any other character stands for
// itself); returns the new length, counting embedded NULs. Null gives 0.
size_t UnescapeStr(char* text);

// The character that the escape letter after a backslash stands for (0 a b n r t as above;
// any other character stands for itself).
char EscapedChar(char letter);

// Number of characters of the first line when text is wrapped at width columns; the caller then
// skips the LF or blank found there.
size_t LineBreakPos(const char* text, size_t width);

// Formats fmt, appends suffix and left-justifies the result in a field of width characters
// (a longer text is kept whole and followed by two blanks). The result is a pooled text.
char* PadFormat(int32_t width, const char* suffix, const char* fmt, ...)
    __attribute__((format(printf, 3, 4)));

// Inserts prefix in front of the text in dst, in place; dst must have room for both.
char* PrependStr(char* dst, const char* prefix);

// The runtime's strstr, strchr and strrchr under the system's names.
const char* StrStr(const char* text, const char* needle);
char* StrStr(char* text, const char* needle);
const char* StrChr(const char* text, int ch);
char* StrChr(char* text, int ch);
const char* StrRChr(const char* text, int ch);
char* StrRChr(char* text, int ch);

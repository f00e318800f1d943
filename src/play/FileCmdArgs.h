#pragma once
// What FDUMP and FLOAD share: the area word, option words ("N=10", "b:off"), the F= colour
// format, file extensions, opening a named file (again ignoring case when the name was
// lower-cased), and units moved between a file and a value least significant byte first.
#include <cstdint>
#include <cstdio>
#include <string>

namespace filecmd {

enum class FileArea { kNone, kMem, kReg, kSys, kMain, kPip };

// "MEM" or "M", "REG" or "R", "SYS" or "S", and with windows also "MAIN" and "PIP" (any case).
FileArea ParseFileArea(const char* word, bool windows);

// Takes the start word: a number, and for display memory an address inside its 24-bit space
// (a start outside it is the start word's fault, whatever the length). False, with "ERROR: '%s'
// isn't a valid start address." printed, when it is not.
bool TakeStartWord(const char* word, FileArea area, uint32_t* start);

// Whether a word is an option: its second character is ":" or "=".
bool IsOptionWord(const char* word);

// The value text of an option word named name (any case, then ":" or "="), else nullptr.
const char* OptionValue(const char* word, const char* name);

// "ON" or "OFF" (any case).
bool ParseOnOff(const char* text, bool* on);

// The converter row of an F= value: 0, 1, 2 and 6, and with alsoAliases 4 and 5 (as 0 and 1).
bool ParseFileFormat(const char* text, bool alsoAliases, int32_t* row);

// Whether the name's extension (from its last ".") is ext (with its ".", any case).
bool HasExtension(const std::string& name, const char* ext);

// Opens a file to read; when it is not found as named, or the name is a folder, the first of
// the name's case variants that is a regular file (as a script is looked up). NULL when none
// opens: a folder is never opened.
FILE* OpenExistingFile(const std::string& name, const char* mode);

// Appends the unit's bytes (1, 2 or 4), least significant first. False when writing failed.
bool AppendUnit(FILE* file, uint32_t value, uint32_t unit);

// Reads one unit, least significant byte first: false when not even its first byte exists;
// missing later bytes are 0.
bool ReadUnit(FILE* file, uint32_t unit, uint32_t* value);

// The length of an open file in bytes (its position is kept).
uint64_t FileLength(FILE* file);

// Reports a collected code: "ERROR: %s '%s'\n" with the word for an entry error, nothing for
// a code already reported, "ERROR: %s\n" otherwise. True for FILE_ERROR_NONE.
bool ReportFileError(uint32_t code, const char* word);

} // namespace filecmd

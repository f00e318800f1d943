#pragma once
// Argument handling shared by the memory commands: the unit from the command word, the start,
// the end or length and the data list, each stored into the command's state as it is accepted
// and each printing the command's error when refused. Also R's line form and the usage texts.
#include "play/ArgParsers.h"
#include "play/MemCommands.h"

#include <cstdint>
#include <span>

namespace memcmd {

// The unit of argv[0] becomes state.m_Unit; refused: "isn't a valid command".
bool TakeUnit(const char* word, MemCmdState& state);

// The start operand becomes state.m_Addr and *start; refused: "isn't a valid start address".
bool TakeStart(const char* word, MemCmdState& state, uint32_t* start);

// The end or length operand becomes state.m_Len and *length. The area start .. start + length
// is computed in 64 bits and refused when it reaches past kMemAddressSpace (the start word's
// error when the start itself lies outside or no end word was given, else the end word's, or
// the start itself in hexadecimal when both words are missing). Refused: "isn't a valid end
// address or length".
bool TakeLength(const char* startWord, const char* word, uint32_t start, MemCmdState& state,
                uint32_t* length);

// The data words argv[first] .. argv[argc - 1] into values (at most kParseMaxValues);
// refused: "isn't a valid data parameter" with the offending word, or the error of
// PrintListTooLong when they hold more values.
bool TakeData(int32_t first, int32_t argc, char** argv, uint32_t* values, uint32_t* count);

// The error of a data list holding more than kParseMaxValues values (refused before anything
// is written, like every other limit of a line). Always false.
bool PrintListTooLong();

// The operands of F and S: the unit, the area from Start (Length bytes) and the data list.
struct AreaAndData {
    uint32_t Unit = 0;
    uint32_t Start = 0;
    uint32_t Length = 0;
    uint32_t Values[kParseMaxValues] = {};
    uint32_t Count = 0;
};

// F and S: "?" prints the usage (the synopsis of an area and data, then lines) and returns
// its result. Otherwise at least four words are needed ("Not enough parameters"), then the
// unit, the start, the end or length and the data from word 3 are taken, each as above, and
// body runs over them; when it succeeds, the command's next call starts at the end of the
// area. False when an operand is refused or the body fails.
bool RunAreaCommand(int32_t argc, char** argv, std::span<const char* const> usage,
                    MemCmdState& state, bool (*body)(const AreaAndData& area, char** argv));

// Whether the area of bytes from address lies inside the address space.
inline bool InAddressSpace(uint64_t address, uint64_t bytes) {
    return address + bytes <= kMemAddressSpace;
}

// R's line: address, value (cut to the unit) and its ASCII column between apostrophes, then ending
// ("\n" for R and W, ">" for the MODIFY prompt). False when the output was stopped.
bool PrintUnitLine(uint32_t address, uint32_t value, uint32_t unit, const char* ending);

// The usage text of a command: the four synopsis lines with the stem of word, then the lines.
struct UsageText {
    const char* m_Synopsis; // operands after the stem and its unit digits
    std::span<const char* const> m_Lines;
};
bool PrintUsage(const char* word, const UsageText& text);

} // namespace memcmd

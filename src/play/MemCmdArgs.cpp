// Argument handling, line form and usage texts shared by the memory commands.
#include "play/MemCmdArgs.h"

#include "play/CommandHandlers.h"
#include "play/MemWidth.h"
#include "play/Output.h"

#include <cstdio>

namespace memcmd {

bool TakeUnit(const char* word, MemCmdState& state) {
    uint32_t unit = 0;
    if (UnitFromCommand(word, state.m_Unit, &unit) != 0 || (unit != 1 && unit != 2 && unit != 4)) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid command.\n", word);
    }
    state.m_Unit = unit;
    return true;
}

bool TakeStart(const char* word, MemCmdState& state, uint32_t* start) {
    uint32_t value = 0;
    if (ParseStartOperand(word, state.m_Addr, state.m_Len, &value) != 0) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid start address.\n", word);
    }
    state.m_Addr = value;
    *start = value;
    return true;
}

bool TakeLength(const char* startWord, const char* word, uint32_t start, MemCmdState& state,
                uint32_t* length) {
    uint32_t wide = 0;
    if (ParseEndOperand(word, start, state.m_Unit, state.m_Len, &wide) != 0) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid end address or length.\n", word);
    }
    if (!InAddressSpace(start, wide)) {
        // A start outside the address space is the start word's fault, whatever the length.
        const bool startOutside = start >= kMemAddressSpace;
        if ((word[0] == 0 || startOutside) && startWord[0] != 0) {
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid start address.\n", startWord);
        }
        if (word[0] == 0) {
            // A bare command that would continue past the end: name the start it used.
            return PlayPrint(CAT_ERR, "ERROR: '%lX' isn't a valid start address.\n",
                             static_cast<unsigned long>(start));
        }
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid end address or length.\n", word);
    }
    state.m_Len = wide;
    *length = state.m_Len;
    return true;
}

bool PrintListTooLong() {
    return PlayPrint(CAT_ERR, "ERROR: Too many data values (at most %u).\n",
                     static_cast<unsigned>(kParseMaxValues));
}

bool TakeData(int32_t first, int32_t argc, char** argv, uint32_t* values, uint32_t* count) {
    const int failed = ParseByteList(values, count, 16, first, argc, argv);
    if (failed == kParseListTooLong) {
        return PrintListTooLong();
    }
    if (failed != 0) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid data parameter.\n", argv[failed]);
    }
    return true;
}

bool RunAreaCommand(int32_t argc, char** argv, std::span<const char* const> usage,
                    MemCmdState& state, bool (*body)(const AreaAndData& area, char** argv)) {
    if (WantsUsage(argc, argv)) {
        return PrintUsage(argv[0], {"StartAddr EndAddr|Len Data1 [Data2 Data3 Data4 ...]", usage});
    }
    if (argc < 4) {
        return PlayPrint(CAT_ERR, "ERROR: Not enough parameters.\n");
    }
    AreaAndData area;
    if (!TakeUnit(argv[0], state) || !TakeStart(argv[1], state, &area.Start) ||
        !TakeLength(argv[1], argv[2], area.Start, state, &area.Length) ||
        !TakeData(3, argc, argv, area.Values, &area.Count)) {
        return false;
    }
    area.Unit = state.m_Unit;
    if (!body(area, argv)) {
        return false;
    }
    state.m_Addr = area.Start + area.Length;
    return true;
}

bool PrintUnitLine(uint32_t address, uint32_t value, uint32_t unit, const char* ending) {
    // The value as the unit holds it (W shows the values it wrote, cut to the unit).
    value = unit >= 4 ? value : value & ((1u << (8 * unit)) - 1);
    const char* format = unit == 2   ? "%08lX:  %04lX  '"
                         : unit == 4 ? "%08lX:  %08lX  '"
                                     : "%08lX:  %02lX  '";
    // One text per line: the log and the pager see the line whole.
    char line[64];
    int n = std::snprintf(line, sizeof line, format, static_cast<unsigned long>(address),
                          static_cast<unsigned long>(value));
    for (uint32_t i = 0; i < unit && n < static_cast<int>(sizeof line) - 8; ++i) {
        line[n++] = AsciiColumnChar((value >> (8 * i)) & 0xFFu);
    }
    line[n++] = '\'';
    line[n] = 0;
    return PlayPrint(CAT_OUT, "%s%s", line, ending);
}

bool PrintUsage(const char* word, const UsageText& text) {
    const int stem = static_cast<int>(CommandStemLength(word));
    static const char* const units[] = {"  ", "8 ", "16", "32"};
    PlayPrint(CAT_OUT, "\n");
    for (uint32_t u = 0; u < 4; ++u) {
        PlayPrint(CAT_OUT, " %*.*s%s %s\n%s", stem, stem, word, units[u], text.m_Synopsis,
                  u == 3 ? "\n" : "");
    }
    return PrintUsageLines(text.m_Lines);
}

} // namespace memcmd

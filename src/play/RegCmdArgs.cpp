// Arguments and line forms of the register commands.
#include "play/RegCmdArgs.h"

#include "common/Numbers.h"
#include "play/MemCmdArgs.h"
#include "play/Output.h"
#include "play/WindowHelpers.h"

namespace regcmd {

namespace {

// The binary digits of value's low bits: 8 digits for one byte, else groups of four joined by
// "-".
void BinaryText(uint32_t value, uint32_t bits, char* text) {
    if (bits == 8) {
        NumToStr(text, value & 0xFF, 2, 8, false, false);
        return;
    }
    char* out = text;
    for (int32_t bit = static_cast<int32_t>(bits) - 1; bit >= 0; --bit) {
        *out++ = (value >> bit) & 1 ? '1' : '0';
        if (bit % 4 == 0 && bit != 0) {
            *out++ = '-';
        }
    }
    *out = '\0';
}

bool TakeCommandUnit(const char* word, RegCmdState& state) {
    uint32_t unit = 0;
    if (UnitFromCommand(word, state.m_Unit, &unit) != 0 || unit > 4 || unit == 3) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid command.\n", word);
    }
    state.m_Unit = unit;
    return true;
}

bool TakeIndex(const char* word, RegCmdState& state) {
    uint32_t index = 0;
    if (ParseNumber(word, 16, &index) != 0) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid register index.\n", word);
    }
    state.m_Index = index;
    return true;
}

bool TakeCycles(const char* word, RegLoopKind kind, RegCmdState& state) {
    uint32_t cycles = 0;
    if (ParseNumber(word, 16, &cycles) != 0) {
        return PlayPrint(CAT_ERR,
                         kind == RegLoopKind::kBurst ? "ERROR: '%s' isn't a valid cycle count.\n"
                                                     : "ERROR: '%s' isn't a valid length.\n",
                         word);
    }
    state.m_Cycles = cycles;
    return true;
}

} // namespace

bool TakeIndexAndUnit(const char* commandWord, const char* indexWord, RegCmdState& state,
                      uint32_t* index, uint32_t* unit) {
    uint32_t start = state.m_Unit;
    *index = state.m_Index;
    if (indexWord != nullptr && indexWord[0] != '\0') {
        if (ParseNumber(indexWord, 16, index) != 0) {
            return false;
        }
        start = g_DefaultRegUnit;
    }
    if (UnitFromCommand(commandWord, start, unit) != 0 || *unit > 4 || *unit == 3) {
        return false;
    }
    return true;
}

bool PrintRegReadLine(const char* prefix, uint32_t index, uint32_t value, uint32_t unit) {
    char binary[48];
    switch (unit) {
    case 2:
        BinaryText(value, 16, binary);
        return PlayPrint(CAT_SET, "%s[%02X] > %04X  %sb %3ut\n", prefix, index, value & 0xFFFF,
                         binary, value & 0xFFFF);
    case 4:
        BinaryText(value, 32, binary);
        return PlayPrint(CAT_SET, "%s[%02X] > %08X  %sb %ut\n", prefix, index, value, binary,
                         value);
    default:
        BinaryText(value, 8, binary);
        return PlayPrint(CAT_SET, "%s[%02X] > %02X  %sb %3ut\n", prefix, index, value & 0xFF,
                         binary, value & 0xFF);
    }
}

bool PrintRegWriteLine(const char* prefix, uint32_t index, uint32_t value, uint32_t unit) {
    switch (unit) {
    case 2:
        return PlayPrint(CAT_SET, "%s[%02X] < %04X\n", prefix, index, value & 0xFFFF);
    case 4:
        return PlayPrint(CAT_SET, "%s[%02X] < %08X\n", prefix, index, value);
    default:
        return PlayPrint(CAT_SET, "%s[%02X] < %02X\n", prefix, index, value & 0xFF);
    }
}

const char* RegValueFormat(uint32_t unit) {
    return unit == 4 ? " %08X" : unit == 2 ? " %04X" : " %02X";
}

bool TakeFillArgs(int32_t argc, char** argv, RegLoopKind kind, uint32_t* values, uint32_t* count) {
    if (argc < 4) {
        return PlayPrint(CAT_ERR, "ERROR: Not enough arguments.\n");
    }
    RegCmdState& state = g_RegFillState;
    if (!TakeIndex(argv[1], state) || !TakeCommandUnit(argv[0], state) ||
        !TakeCycles(argv[2], kind, state)) {
        return false;
    }
    const int bad = ParseByteList(values, count, 16, 3, argc, argv);
    if (bad == kParseListTooLong) {
        return memcmd::PrintListTooLong();
    }
    if (bad != 0) {
        if (kind == RegLoopKind::kBurst) {
            return PlayPrint(CAT_ERR, "ERROR: %s '%s'\n", FileErrorText(FILE_ERROR_ENTRY),
                             argv[bad]);
        }
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid data parameter.\n", argv[bad]);
    }
    return true;
}

bool TakeRereadArgs(int32_t argc, char** argv, RegLoopKind kind) {
    if (argc < 2) {
        return PlayPrint(CAT_ERR, "ERROR: Not enough arguments.\n");
    }
    RegCmdState& state = g_RegRereadState;
    if (!TakeIndex(argv[1], state) || !TakeCommandUnit(argv[0], state)) {
        return false;
    }
    return argc < 3 || TakeCycles(argv[2], kind, state);
}

bool PrintRegUsage(const char* word, const char* synopsis, std::span<const char* const> lines) {
    const int stem = static_cast<int>(CommandStemLength(word));
    static const char* const units[] = {"  ", "8 ", "16", "32"};
    PlayPrint(CAT_OUT, "\n");
    for (const char* unit : units) {
        PlayPrint(CAT_OUT, " %*.*s%s %s\n", stem, stem, word, unit, synopsis);
    }
    PlayPrint(CAT_OUT, "\n");
    return PrintUsageLines(lines);
}

} // namespace regcmd

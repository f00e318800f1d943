// D: dumps display memory in lines of 16 bytes with an ASCII column, unit by unit.
#include "common/ByteOrder.h"
#include "play/MemCmdArgs.h"
#include "play/MemCommands.h"
#include "play/MemWidth.h"
#include "play/Output.h"

#include <algorithm>

namespace {

const char* const kDumpUsage[] = {
    " Shows a memory dump starting at StartAddr.\n",
    " 8|16|32     - Unit size (8-bit|16-bit|32-bit). If the number is missing, this\n",
    "               command uses the unit size it used last (default:8-bit).\n",
    " StartAddr   - Start address. A period (.) repeats the last dump, two periods\n",
    "               (..) the one before it. Without it the dump continues.\n",
    " EndAddr|Len - Address of the last unit or, if this term starts with 'L',\n",
    "               the length in units (default: the last length).\n",
};

// Writes value as digits upper-case hexadecimal digits (the value must fit); returns the end.
char* PutHex(char* out, uint32_t value, uint32_t digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (uint32_t d = digits; d-- > 0;) {
        *out++ = kDigits[(value >> (4 * d)) & 0xFu];
    }
    return out;
}

// One line of the dump: the units of the 16 bytes from lineAddr that overlap the area
// [start, start + length), "--" fillers for the others, then the ASCII column. The line is
// built by hand and printed as one text: this runs for every unit of the dump.
bool DumpLine(uint32_t lineAddr, int64_t offset, uint32_t length, uint32_t unit) {
    unsigned char bytes[16] = {};
    bool read[16] = {};
    char line[128];
    char* out = PutHex(line, lineAddr, 8);
    out = std::copy_n(":  ", 3, out);
    for (uint32_t i = 0; i < 16; i += unit) {
        if (i == 8) {
            *out++ = ' ';
        }
        const int64_t at = offset + i;
        if (at > -static_cast<int64_t>(unit) && at < static_cast<int64_t>(length)) {
            const uint32_t value = ReadMemByWidth(lineAddr + i, unit);
            StoreLe(bytes + i, unit, value);
            std::fill_n(read + i, unit, true);
            out = PutHex(out, value, 2 * unit);
        } else {
            out = std::fill_n(out, 2 * unit, '-');
        }
        *out++ = ' ';
    }
    *out++ = ' ';
    *out++ = '\'';
    for (uint32_t i = 0; i < 16; ++i) {
        const bool shown = read[i] && offset + i < static_cast<int64_t>(length);
        *out++ = shown ? AsciiColumnChar(bytes[i]) : '-';
    }
    *out++ = '\'';
    *out++ = '\n';
    *out = 0;
    return PlayPrint(CAT_OUT, "%s", line);
}

} // namespace

bool CmdDump(int32_t argc, char** argv, ExprValue*) {
    using namespace memcmd;
    if (WantsUsage(argc, argv)) {
        return PrintUsage(argv[0], {"[StartAddr [EndAddr|Len]]", kDumpUsage});
    }
    MemCmdState& state = g_DumpState;
    uint32_t start = 0;
    uint32_t length = 0;
    if (!TakeUnit(argv[0], state) || !TakeStart(argv[1], state, &start) ||
        !TakeLength(argv[1], argv[2], start, state, &length)) {
        return false;
    }
    const uint32_t unit = state.m_Unit;
    uint32_t lineAddr = start & ~0xFu;
    for (int64_t offset = int64_t{lineAddr} - start; offset < int64_t{length}; offset += 16) {
        if (!DumpLine(lineAddr, offset, length, unit)) {
            return false;
        }
        lineAddr += 16;
    }
    state.m_Addr = start + length;
    return true;
}

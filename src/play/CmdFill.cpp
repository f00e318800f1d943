// F: fills an area of display memory with a repeating list of values, unit by unit.
#include "play/MemCmdArgs.h"
#include "play/MemCommands.h"
#include "play/MemWidth.h"
#include "play/Output.h"

namespace {

const char* const kFillUsage[] = {
    " Fills window with the given data using the current color format.\n",
    " 8|16|32     - Unit size (8-bit|16-bit|32-bit). If the number is missing, this\n",
    "               command uses the unit size it used last (default:8-bit).\n",
    " StartAddr   - Start address. A period (.) repeats the last start address.\n",
    " EndAddr|Len - Address of the last unit or, if this term starts with 'L',\n",
    "               the length in units.\n",
    " Data        - The values, repeated through the area: any\n",
    "               combinations of 'text' or numbers (BINi, OCTo, DECt, HEXh).\n",
};

} // namespace

bool CmdFill(int32_t argc, char** argv, ExprValue*) {
    using namespace memcmd;
    if (WantsUsage(argc, argv)) {
        return PrintUsage(argv[0],
                          {"StartAddr EndAddr|Len Data1 [Data2 Data3 Data4 ...]", kFillUsage});
    }
    MemCmdState& state = g_FillState;
    uint32_t start = 0;
    uint32_t length = 0;
    uint32_t values[kParseMaxValues];
    uint32_t count = 0;
    if (!TakeAreaAndData(argc, argv, state, &start, &length, values, &count)) {
        return false;
    }
    // Only empty quoted words: there is no value to repeat.
    if (count == 0) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid data parameter.\n", argv[3]);
    }
    const uint32_t unit = state.m_Unit;
    const uint32_t units = length / unit;
    for (uint32_t k = 0, v = 0; k < units; ++k) {
        WriteMemByWidth(start + k * unit, values[v], unit);
        if (++v == count) {
            v = 0;
        }
    }
    state.m_Addr = start + length;
    return true;
}

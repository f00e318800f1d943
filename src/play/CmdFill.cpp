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

// Writes the values over the area unit by unit, repeating them to its end.
bool FillArea(const memcmd::AreaAndData& area, char** argv) {
    // Only empty quoted words: there is no value to repeat.
    if (area.Count == 0) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid data parameter.\n", argv[3]);
    }
    const uint32_t units = area.Length / area.Unit;
    for (uint32_t k = 0, v = 0; k < units; ++k) {
        WriteMemByWidth(area.Start + k * area.Unit, area.Values[v], area.Unit);
        if (++v == area.Count) {
            v = 0;
        }
    }
    return true;
}

} // namespace

bool CmdFill(int32_t argc, char** argv, ExprValue*) {
    return memcmd::RunAreaCommand(argc, argv, kFillUsage, g_FillState, &FillArea);
}

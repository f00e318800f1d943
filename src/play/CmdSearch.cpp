// S: searches an area of display memory for a sequence of values, unit by unit.
#include "play/MemCmdArgs.h"
#include "play/MemCommands.h"
#include "play/MemWidth.h"
#include "play/Output.h"

namespace {

const char* const kSearchUsage[] = {
    " Search memory for the given data.\n",
    " 8|16|32     - Unit size (8-bit|16-bit|32-bit). If the number is missing, this\n",
    "               command uses the unit size it used last (default:8-bit).\n",
    " StartAddr   - Start address. A period (.) repeats the last start address.\n",
    " EndAddr|Len - Address of the last unit or, if this term starts with 'L',\n",
    "               the length in units.\n",
    " Data        - The sequence to find (it may run past the end of the area): any\n",
    "               combinations of 'text' or numbers (BINi, OCTo, DECt, HEXh).\n",
};

// Whether values[0 .. count) follow each other in memory from address on. Units past the end
// of the address space never match.
bool MatchesAt(uint64_t address, uint32_t unit, const uint32_t* values, uint32_t count) {
    for (uint32_t k = 0; k < count; ++k) {
        const uint64_t at = address + uint64_t{k} * unit;
        if (!memcmd::InAddressSpace(at, unit) ||
            ReadMemByWidth(static_cast<uint32_t>(at), unit) != values[k]) {
            return false;
        }
    }
    return true;
}

// Prints each address where the values begin, then the number of matches.
bool SearchArea(const memcmd::AreaAndData& area, char**) {
    const uint32_t positions = area.Length / area.Unit;
    unsigned long matches = 0;
    for (uint32_t p = 0; p < positions; ++p) {
        const uint64_t address = uint64_t{area.Start} + uint64_t{p} * area.Unit;
        if (MatchesAt(address, area.Unit, area.Values, area.Count)) {
            ++matches;
            if (!PlayPrint(CAT_OUT, "Found: %08lX\n", static_cast<unsigned long>(address))) {
                return false;
            }
        }
    }
    return PlayPrint(CAT_OUT, "%lu match%s found.\n", matches, matches != 0 ? "es" : "");
}

} // namespace

bool CmdSearch(int32_t argc, char** argv, ExprValue*) {
    return memcmd::RunAreaCommand(argc, argv, kSearchUsage, g_SearchState, &SearchArea);
}

// R: reads units of display memory at the addresses given.
#include "play/ArgParsers.h"
#include "play/MemCmdArgs.h"
#include "play/MemCommands.h"
#include "play/MemWidth.h"
#include "play/Output.h"

namespace {

const char* const kReadUsage[] = {
    " Reads memory at the Addr locations given.\n",
    " 8|16|32     - Unit size (8-bit|16-bit|32-bit). If the number is missing, this\n",
    "               command uses the unit size it used last (default:8-bit).\n",
    " Addr        - Address to read. Without one, or with a period (.), the last\n",
    "               address read is read again.\n",
};

// Reads one unit and prints its line; the value is also the command's result.
bool ReadOne(uint32_t address, uint32_t unit, ExprValue* result) {
    const uint32_t value = ReadMemByWidth(address, unit);
    if (result != nullptr) {
        result->IsString = 0;
        result->Number = value;
    }
    return memcmd::PrintUnitLine(address, value, unit, "\n");
}

} // namespace

bool CmdRead(int32_t argc, char** argv, ExprValue* result) {
    using namespace memcmd;
    if (WantsUsage(argc, argv)) {
        return PrintUsage(argv[0], {"[Addr1 Addr2 Addr3 ...]", kReadUsage});
    }
    MemCmdState& state = g_ReadState;
    if (!TakeUnit(argv[0], state)) {
        return false;
    }
    const uint32_t unit = state.m_Unit;
    if (argc < 2 || argv[1][0] == '.') {
        if (!InAddressSpace(state.m_Addr, unit)) {
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid address.\n", argv[1]);
        }
        return ReadOne(state.m_Addr, unit, result);
    }
    for (int32_t i = 1; i < argc; ++i) {
        uint32_t address = 0;
        if (ParseNumber(argv[i], 16, &address) != 0 || !InAddressSpace(address, unit)) {
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid address.\n", argv[i]);
        }
        if (i == 1) {
            state.m_Addr = address;
        }
        if (!ReadOne(address, unit, result)) {
            return false;
        }
    }
    return true;
}

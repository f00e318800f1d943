// BAR: reads or writes one unit through a base address register. This interface has only base
// 0, raw access to display memory at the given offset; bases 1 to 5 are refused before the
// layer is called, with the interface's own report, and so is a unit past display memory's
// 24-bit address space.
#include "hcl/HclApi.h"
#include "play/AccessRefusals.h"
#include "play/MemCommands.h"
#include "play/Output.h"
#include "play/RegCmdArgs.h"

#include <cstdio>

namespace {

const char* const kBarUsage[] = {
    "\n",
    " BAR8  n [Index [Data]]\n",
    " BAR16 n [Index [Data]]\n",
    " BAR32 n [Index [Data]]\n",
    "\n",
    " Read/write to registers through PCI BAR (Base Address Register).\n",
    " n       - PCI base address register where n=0..5.\n",
    " Index   - Offset (hex). Without one, the offset used last.\n",
    " Data    - Value to write at the offset.\n",
};

constexpr uint32_t kMaxBar = 5;

} // namespace

bool CmdBar(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        return PrintUsageLines(kBarUsage);
    }
    uint32_t bar = 0;
    if (argc < 2 || ParseNumber(argv[1], 10, &bar) != 0 || bar > kMaxBar) {
        return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
    }
    RegCmdState& state = g_BarState;
    uint32_t index = 0;
    uint32_t unit = 0;
    if (!regcmd::TakeIndexAndUnit(argv[0], argc > 2 ? argv[2] : nullptr, state, &index, &unit)) {
        return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
    }
    const bool write = argc > 3;
    uint32_t data = 0;
    if (write && ParseNumber(argv[3], 16, &data) != 0) {
        return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
    }
    if (RefusalReported(RawAccessRefusal(write, bar))) {
        return false;
    }
    // The unit must lie wholly inside the bridge's 24-bit address space, which would wrap an
    // offset past it round to another one. Without an index word the offset used last is
    // named, in hexadecimal.
    if (uint64_t{index} + unit > kMemAddressSpace) {
        if (argc > 2 && argv[2][0] != '\0') {
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid index.\n", argv[2]);
        }
        return PlayPrint(CAT_ERR, "ERROR: '%X' isn't a valid index.\n", index);
    }
    state.m_Unit = unit;
    char prefix[16];
    std::snprintf(prefix, sizeof(prefix), "BAR%u ", bar);
    bool printed = false;
    if (write) {
        if (unit < 4) {
            data &= (1u << (unit * 8)) - 1;
        }
        oxHclWriteRaw(bar, index, unit, data);
        printed = regcmd::PrintRegWriteLine(prefix, index, data, unit);
    } else {
        printed = regcmd::PrintRegReadLine(prefix, index, oxHclReadRaw(bar, index, unit), unit);
    }
    if (!printed) {
        return false;
    }
    state.m_Index = index;
    return true;
}

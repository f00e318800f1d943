// XF: writes a pattern of values to one register, cycle after cycle.
#include "play/AccessRefusals.h"
#include "play/KeyName.h"
#include "play/KeyPoll.h"
#include "play/MemWidth.h"
#include "play/Output.h"
#include "play/RegCmdArgs.h"

namespace {

const char* const kRegFillUsage[] = {
    " Fills register with the given data.\n",
    " Index   - Register index (hex).\n",
    " Cycles  - Number of cycles to repeat data pattern (hex).\n",
    "           To cycle forever, set Cycles to 0.\n",
    " Data    - Values written in order in every cycle.\n",
};

// Cycles without end look for a key after every 256th cycle.
constexpr uint32_t kPollEvery = 256;

} // namespace

bool CmdRegFill(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        return regcmd::PrintRegUsage(argv[0], "Index Cycles Data1 [Data2 Data3 Data4 ...]",
                                     kRegFillUsage);
    }
    uint32_t values[kParseMaxValues];
    uint32_t count = 0;
    if (!regcmd::TakeFillArgs(argc, argv, regcmd::RegLoopKind::kPlain, values, &count)) {
        return false;
    }
    const RegCmdState& state = g_RegFillState;
    if (RefusalReported(RegAccessRefusal(RegAccess::Write, state.m_Unit * 8, state.m_Index))) {
        return false;
    }
    const char* format = regcmd::RegValueFormat(state.m_Unit);
    PlayPrint(CAT_SET, "\n");
    const bool endless = state.m_Cycles == 0;
    for (uint64_t cycle = 1; endless || cycle <= state.m_Cycles; ++cycle) {
        if (endless && cycle % kPollEvery == 1 && LoopKeyWaiting(kLoopUntilKey, cycle - 1)) {
            char key[kKeyNameSize];
            ReadKeyName(key);
            break;
        }
        if (!PlayPrint(CAT_SET, "\rCycle:%08X   REG[%04X] <", static_cast<uint32_t>(cycle),
                       state.m_Index)) {
            return false;
        }
        for (uint32_t i = 0; i < count; ++i) {
            WriteRegByBits(state.m_Unit * 8, state.m_Index, values[i]);
            PlayPrint(CAT_SET, format, values[i]);
        }
    }
    return PlayPrint(CAT_SET, "\n");
}

// XR: reads one register again and again, one numbered line a read.
#include "play/AccessRefusals.h"
#include "play/KeyName.h"
#include "play/KeyPoll.h"
#include "play/MemWidth.h"
#include "play/Output.h"
#include "play/RegCmdArgs.h"

namespace {

const char* const kRegRereadUsage[] = {
    " Read specified register for specified amount of times.\n",
    " Index   - Register index (hex).\n",
    " Cycles  - Number of reads (hex); without it, the last count.\n",
    "           To read forever, set Cycles to 0.\n",
};

// Reads without end look for a key after every 256th read.
constexpr uint32_t kPollEvery = 256;

} // namespace

bool CmdRegReread(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        return regcmd::PrintRegUsage(argv[0], "Index [Cycles]", kRegRereadUsage);
    }
    if (!regcmd::TakeRereadArgs(argc, argv, regcmd::RegLoopKind::kPlain)) {
        return false;
    }
    const RegCmdState& state = g_RegRereadState;
    if (RefusalReported(RegAccessRefusal(RegAccess::Read, state.m_Unit * 8, state.m_Index))) {
        return false;
    }
    const bool shown = (EffectiveVerbose() & CAT_OUT) != 0;
    const bool endless = state.m_Cycles == 0;
    for (uint64_t i = 1; endless || i <= state.m_Cycles; ++i) {
        if (endless && i % kPollEvery == 1 && LoopKeyWaiting(kLoopUntilKey, i - 1)) {
            char key[kKeyNameSize];
            ReadKeyName(key);
            break;
        }
        const uint32_t value = ReadRegByBits(state.m_Unit * 8, state.m_Index);
        if (shown && !PlayPrint(CAT_SET, "\n%10u: REG[%04Xh]=%2Xh", static_cast<uint32_t>(i),
                                state.m_Index, value)) {
            return false;
        }
    }
    return PlayPrint(CAT_SET, "\n");
}

// XRB: reads one register many times in a single burst read, then lists the values.
#include "hcl/HclApi.h"
#include "play/AccessRefusals.h"
#include "play/KeyName.h"
#include "play/KeyPoll.h"
#include "play/Output.h"
#include "play/RegCmdArgs.h"
#include "play/WindowHelpers.h"

#include <cstdint>
#include <cstdlib>

namespace {

const char* const kRegRereadBurstUsage[] = {
    " Read specified register for specified amount of times, in one burst transfer.\n",
    " Index   - Register index (hex).\n",
    " Cycles  - Number of reads (hex); without it, the last count.\n",
    "           Cycles 0 reads FFFFFF times.\n",
};

// Cycles 0 stands for this many.
constexpr uint32_t kEndlessCycles = 0xFFFFFF;
// The listing looks for a key after every 256th line.
constexpr uint32_t kPollEvery = 256;

// Reads units of the register into buffer. The layer has no 32-bit register bursts: it reports
// that itself, and there is nothing to list.
bool ReceiveBurst(uint32_t index, void* buffer, uint32_t unit, uint32_t units) {
    if (unit == 4) {
        oxHclBurstReadReg32(index, static_cast<uint32_t*>(buffer), units);
        return false;
    }
    if (unit == 2) {
        oxHclBurstReadReg16(index, static_cast<uint16_t*>(buffer), units);
    } else {
        oxHclBurstReadReg8(index, static_cast<uint8_t*>(buffer), units);
    }
    return true;
}

uint32_t UnitAt(const void* buffer, uint64_t i, uint32_t unit) {
    if (unit == 2) {
        return static_cast<const uint16_t*>(buffer)[i];
    }
    return static_cast<const uint8_t*>(buffer)[i];
}

// The numbered lines of the values read; false when the output was stopped.
bool ListValues(const void* buffer, uint32_t index, uint32_t unit, uint32_t units) {
    const char* format = unit == 2 ? "\n%8X: REG[%04X]=%04X" : "\n%8X: REG[%04X]=%02X";
    for (uint32_t i = 1; i <= units; ++i) {
        if (!PlayPrint(CAT_SET, format, i, index, UnitAt(buffer, i - 1, unit))) {
            return false;
        }
        if (i % kPollEvery == 0 && LoopKeyWaiting(kLoopEndsItself, i / kPollEvery)) {
            char key[kKeyNameSize];
            ReadKeyName(key);
            break;
        }
    }
    return true;
}

} // namespace

bool CmdRegRereadBurst(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        return regcmd::PrintRegUsage(argv[0], "Index [Cycles]", kRegRereadBurstUsage);
    }
    if (!regcmd::TakeRereadArgs(argc, argv, regcmd::RegLoopKind::kBurst)) {
        return false;
    }
    RegCmdState& state = g_RegRereadState;
    if (RefusalReported(RegAccessRefusal(RegAccess::BurstRead, state.m_Unit * 8, state.m_Index))) {
        return false;
    }
    if (state.m_Cycles == 0) {
        state.m_Cycles = kEndlessCycles;
    }
    const uint32_t unit = state.m_Unit;
    // Sized in 64 bits: a burst is counted in 32 bits of bytes, so anything larger is refused.
    const uint64_t bytes = static_cast<uint64_t>(state.m_Cycles) * unit;
    void* buffer = bytes <= UINT32_MAX ? std::malloc(bytes) : nullptr;
    if (buffer == nullptr) {
        return PlayPrint(CAT_ERR, "ERROR: %s\n", FileErrorText(FILE_ERROR_MEMORY));
    }
    bool ok = ReceiveBurst(state.m_Index, buffer, unit, state.m_Cycles);
    if (ok && (EffectiveVerbose() & CAT_OUT) != 0) {
        ok = ListValues(buffer, state.m_Index, unit, state.m_Cycles);
    }
    std::free(buffer);
    return PlayPrint(CAT_SET, "\n") && ok;
}

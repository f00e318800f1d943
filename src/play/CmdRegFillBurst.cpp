// XFB: prepares a pattern of values for many cycles in one buffer and sends it to one register
// in a single burst write.
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

const char* const kRegFillBurstUsage[] = {
    " Fills register with the given data, in one burst transfer.\n",
    " Index   - Register index (hex).\n",
    " Cycles  - Number of cycles to repeat data pattern (hex).\n",
    "           To cycle forever, set Cycles to 0.\n",
    " Data    - Values written in order in every cycle.\n",
};

// Cycles 0 stands for this many.
constexpr uint32_t kEndlessCycles = 0xFFFFF;
// The preparation looks for a key after every 256th cycle.
constexpr uint32_t kPollEvery = 256;

// Stores value at position i of a buffer of units.
void StoreUnit(void* buffer, uint64_t i, uint32_t unit, uint32_t value) {
    if (unit == 4) {
        static_cast<uint32_t*>(buffer)[i] = value;
    } else if (unit == 2) {
        static_cast<uint16_t*>(buffer)[i] = static_cast<uint16_t>(value);
    } else {
        static_cast<uint8_t*>(buffer)[i] = static_cast<uint8_t>(value);
    }
}

// Sends units of buffer to the register. The layer has no 32-bit register bursts: it reports
// that itself, and the command fails.
bool SendBurst(uint32_t index, const void* buffer, uint32_t unit, uint32_t units) {
    if (unit == 4) {
        oxHclBurstWriteReg32(index, static_cast<const uint32_t*>(buffer), units);
        PlayPrint(CAT_SET, "\n");
        return false;
    }
    if (unit == 2) {
        oxHclBurstWriteReg16(index, static_cast<const uint16_t*>(buffer), units);
    } else {
        oxHclBurstWriteReg8(index, static_cast<const uint8_t*>(buffer), units);
    }
    return true;
}

} // namespace

bool CmdRegFillBurst(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        return regcmd::PrintRegUsage(argv[0], "Index Cycles Data1 [Data2 Data3 Data4 ...]",
                                     kRegFillBurstUsage);
    }
    uint32_t values[kParseMaxValues];
    uint32_t count = 0;
    if (!regcmd::TakeFillArgs(argc, argv, regcmd::RegLoopKind::kBurst, values, &count)) {
        return false;
    }
    RegCmdState& state = g_RegFillState;
    if (RefusalReported(RegAccessRefusal(RegAccess::BurstWrite, state.m_Unit * 8, state.m_Index))) {
        return false;
    }
    if (state.m_Cycles == 0) {
        state.m_Cycles = kEndlessCycles;
    }
    const uint32_t unit = state.m_Unit;
    // Sized in 64 bits: a burst is counted in 32 bits of bytes, so anything larger is refused.
    const uint64_t units = static_cast<uint64_t>(count) * state.m_Cycles;
    const uint64_t bytes = units * unit;
    void* buffer = bytes <= UINT32_MAX ? std::malloc(bytes) : nullptr;
    if (buffer == nullptr) {
        return PlayPrint(CAT_ERR, "ERROR: %s\n", FileErrorText(FILE_ERROR_MEMORY));
    }
    const char* format = regcmd::RegValueFormat(unit);
    PlayPrint(CAT_SET, "\n");
    uint64_t stored = 0;
    for (uint32_t cycle = 1; cycle <= state.m_Cycles; ++cycle) {
        bool shown = PlayPrint(CAT_SET, "\rCycle:%08X   REG[%04X] <", cycle, state.m_Index);
        for (uint32_t i = 0; i < count && shown; ++i) {
            StoreUnit(buffer, stored++, unit, values[i]);
            shown = PlayPrint(CAT_SET, format, values[i]);
        }
        if (!shown) {
            std::free(buffer);
            return false;
        }
        if ((cycle & 0xFF) == 0 && LoopKeyWaiting(kLoopEndsItself, cycle / kPollEvery)) {
            char key[kKeyNameSize];
            ReadKeyName(key);
            break;
        }
    }
    PlayPrint(CAT_SET, "\n");
    // Only the prepared cycles are sent when a key ended the preparation early.
    const bool sent = SendBurst(state.m_Index, buffer, unit, static_cast<uint32_t>(stored));
    std::free(buffer);
    return sent;
}

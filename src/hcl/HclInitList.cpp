// The register initialisation list walk.

#include "hcl/HclInitList.h"

#include "hcl/HclApi.h"
#include "hcl/HclError.h"
#include "hcl/Services.h"

namespace {

// Waits for the PLL lock bit unless the PLL is bypassed. False when it never locked in time.
bool WaitPllLock(const oxInitListAccess& access) {
    if ((access.ReadReg16(oxHCL_REG_PLL_0) & oxHCL_PLL_BYPASS) != 0) {
        return true;
    }
    const std::uint32_t start = access.GetMsCount();
    for (;;) {
        if ((access.ReadReg16(oxHCL_REG_PLL_0) & oxHCL_PLL_LOCK) != 0) {
            return true;
        }
        // Unsigned difference: correct across a wrap of the millisecond count.
        if (access.GetMsCount() - start >= oxHCL_PLL_LOCK_TIMEOUT_MS) {
            return false;
        }
    }
}

} // namespace

bool oxRunInitList(const oxHclData& block, const oxInitListAccess& access) {
    // A list that fills all pairs has no end marker: stop at the list's capacity.
    for (std::size_t i = 0; i < oxHCL_REGSIZE; ++i) {
        const oxHclRegEntry entry = oxHclGetReg(block, i);
        if (entry.Index < oxHCL_REG_PLL_WAIT) {
            access.WriteReg16(entry.Index, entry.Value);
        } else if (entry.Index == oxHCL_REG_PLL_WAIT) {
            if (!WaitPllLock(access)) {
                oxHclSetLastError(oxERR_UNSPECIFIED);
                return false;
            }
        } else if (entry.Index == oxHCL_REG_OFF_DELAY || entry.Index == oxHCL_REG_ON_DELAY) {
            access.DelayUs(entry.Value);
        } else if (entry.Index == oxHCL_REG_END) {
            break;
        }
        // Indices above 255 are skipped.
    }
    return true;
}

bool oxProgramInitRegisters() {
    // Through the front, so tracing, breakpoints and the write echo apply.
    const oxInitListAccess access{oxHclWriteReg16, oxHclReadReg16, oxDelayUs, oxGetMsCount};
    return oxRunInitList(oxgHclInfo, access);
}

// Start-up of the hardware control layer: acquiring the controller and initialising its
// registers, look-up tables and display memory, all through the front.

#include "hcl/HclStart.h"

#include "hcl/HclApi.h"
#include "hcl/HclData.h"
#include "hcl/HclError.h"
#include "hcl/Lcd.h"
#include "hcl/UsbInterface.h"

#include <atomic>
#include <cstddef>
#include <cstdio>

namespace {

// Whether oxHclInitialize has acquired the controller (a copy of the transport's table is live).
constinit std::atomic<bool> s_ControllerAcquired{false};
// Whether the first start of the run, which takes the write echo from the configuration, is done.
constinit bool s_FirstStartDone = false;
constinit const oxHclInterface* s_TransportOverride = nullptr;

} // namespace

bool oxHclInitialize() {
    oxHclSetLastError(oxERR_NONE);
    if (!s_FirstStartDone) {
        s_FirstStartDone = true;
        oxHclSetDebugWrites((oxHclGetFlags(oxgHclInfo) & oxfDEBUG_REG_WRITES) != 0 ? 1 : 0);
    }
    if (!s_ControllerAcquired && (oxHclGetFlags(oxgHclInfo) & oxfADAPTER_USB) != 0) {
        oxgHclInterface = s_TransportOverride != nullptr ? *s_TransportOverride : oxgUsbInterface;
        if (!oxgHclInterface.AcquireController()) {
            // The live table holds operations that cannot reach a controller.
            oxgHclInterface = oxgHclUnacquiredInterface;
            oxHclSetLastError(oxERR_NO_USB_ADAPTER);
            return false;
        }
        s_ControllerAcquired = true;
    }
    return true;
}

bool oxHclReinitialize() {
    s_ControllerAcquired = false;
    return oxHclInitialize();
}

bool oxHclIsAcquired() {
    return s_ControllerAcquired;
}

bool oxHclInitRegisters(std::uint32_t flags) {
    oxHclSetLastError(oxERR_NONE);
    const std::uint32_t no = oxHclEffectiveInitFlags(flags);
    if ((no & oxHCL_INIT_NOCRC) == 0) {
        const std::uint16_t stored = oxHclLoadU16(oxgHclInfo, offsetof(oxHclData, HclCRC));
        if (stored == 0) {
            oxHclSetLastError(oxERR_NOT_CONFIGURED);
            return false;
        }
        if (stored != oxHclCalcCrc(oxgHclInfo)) {
            oxHclSetLastError(oxERR_CRC_MISMATCH);
            return false;
        }
    }
    if (!s_ControllerAcquired) {
        oxHclSetLastError(oxERR_NOT_ACQUIRED);
        return false;
    }
    oxHclHoldWriteEcho(true);
    std::printf("   List of HCL Initialization Events:\n");
    // The list walk fails only when it gave up (the PLL never locked): the rest of the list was
    // not written, so the registers are not said to be initialised, the operation fails and the
    // walk's error code stays.
    bool registersDone = true;
    if ((no & oxHCL_INIT_NOREGS) == 0) {
        registersDone = oxgHclInterface.InitializeController();
        std::printf(registersDone ? "   - Registers initialized as per configured settings.\n"
                                  : "   - Registers NOT initialized!\n");
    } else {
        std::printf("   - Registers NOT initialized!\n");
    }
    if ((no & oxHCL_INIT_NOLUT) == 0) {
        oxLcdLoadDefaultLut(0);
        oxLcdLoadDefaultLut(1);
        std::printf("   - LUT initialized.\n");
    } else {
        std::printf("   - LUT NOT initialized!\n");
    }
    if ((no & oxHCL_INIT_NOVRAM) == 0) {
        oxHclClearVideoMemory();
        std::printf("   - All video memory cleared to 00h.\n");
    } else {
        std::printf("   - Video memory NOT cleared!\n");
    }
    oxHclHoldWriteEcho(false);
    return registersDone;
}

void oxHclClearVideoMemory() {
    oxHclFillMemory32(0, 0, oxHCL_VIDEO_MEMORY_BYTES / 4);
}

// --- Test support -------------------------------------------------------------------------

void oxHclSetTransportForTesting(const oxHclInterface* table) {
    s_TransportOverride = table;
}

void oxHclResetFrontForTesting() {
    s_ControllerAcquired = false;
    s_FirstStartDone = false;
    oxHclSetDebugWrites(0);
    oxgHclInterface = oxgHclUnacquiredInterface;
}

// Accesses refused before they reach the interface's own checks.
#include "play/AccessRefusals.h"

#include "hcl/UsbInterface.h"
#include "play/Output.h"

const char* RegAccessRefusal(RegAccess access, uint32_t bits, uint32_t index) {
    using Checked = oxUsbCheckedAccess;
    if (bits == 16) {
        switch (access) {
        case RegAccess::Read:
            return oxUsbMisuseText(Checked::ReadReg16, index);
        case RegAccess::Write:
            return oxUsbMisuseText(Checked::WriteReg16, index);
        case RegAccess::BurstRead:
            return oxUsbMisuseText(Checked::BurstReadReg16, index);
        case RegAccess::BurstWrite:
            return oxUsbMisuseText(Checked::BurstWriteReg16, index);
        }
    }
    if (bits == 8 && access == RegAccess::BurstRead) {
        return oxUsbMisuseText(Checked::BurstReadReg8, index);
    }
    if (bits == 8 && access == RegAccess::BurstWrite) {
        return oxUsbMisuseText(Checked::BurstWriteReg8, index);
    }
    return nullptr;
}

const char* RawAccessRefusal(bool write, uint32_t space) {
    return oxUsbMisuseText(write ? oxUsbCheckedAccess::WriteRaw : oxUsbCheckedAccess::ReadRaw,
                           space);
}

bool RefusalReported(const char* refusal) {
    if (refusal == nullptr) {
        return false;
    }
    PlayPrint(CAT_ERR, "ERROR: %s\n", refusal);
    return true;
}

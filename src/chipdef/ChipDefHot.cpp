// ChipDef: register access to the live chip (hot mode) through the layer's front API, and the
// start of the chip from the object's configuration block (Initialize).
#include "chipdef/ChipDef.h"

#include "common/Assert.h"
#include "common/StrPool.h"
#include "hcl/HclApi.h"
#include "hcl/HclError.h"
#include "hcl/HclStart.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

// Register indices from here on are pseudo-registers of the register list (delays, the end
// mark): the layer would send them to display memory, so hot access leaves them alone.
constexpr uint32_t kFirstPseudoRegister = oxHCL_REG_PLL_WAIT;

} // namespace

bool ChipDef::HotAccessWidth(uint32_t index, uint32_t* width) {
    if (!Q3V_ASSERT_TEXT(m_fHotHotHot != 0, "m_fHotHotHot") || index >= kFirstPseudoRegister) {
        return false;
    }
    uint32_t row = 0;
    // An index that the database lacks is reached at the default value width, as the register
    // commands reach it.
    const uint32_t bits = FindRegister(index, false, &row, nullptr) ? m_Registers[row].BitWidth
                                                                    : m_DefaultValueWidth * 4;
    if (bits != 8 && bits != 16 && bits != 32) {
        return false;
    }
    *width = bits;
    return true;
}

uint32_t ChipDef::ReadRegisterHot(uint32_t index) {
    uint32_t width = 0;
    if (!HotAccessWidth(index, &width)) {
        return 0;
    }
    if (width == 8) {
        return oxHclReadReg8(index);
    }
    if (width == 16) {
        return oxHclReadReg16(index);
    }
    return oxHclReadReg32(index);
}

bool ChipDef::WriteRegisterHot(uint32_t index, uint32_t value) {
    uint32_t width = 0;
    if (!HotAccessWidth(index, &width)) {
        return false;
    }
    if (width == 8) {
        oxHclWriteReg8(index, static_cast<uint8_t>(value));
    } else if (width == 16) {
        oxHclWriteReg16(index, static_cast<uint16_t>(value));
    } else {
        oxHclWriteReg32(index, value);
    }
    if (m_fAutoRedraw && m_fInitialized) {
        for (const ChipFeature& feature : m_Features) {
            if (feature.Reg == index && feature.RedrawPattern) {
                m_RedrawPending = 1;
                break;
            }
        }
    }
    return true;
}

bool ChipDef::Initialize(uint32_t initFlags, const char** errorText) {
    std::memcpy(&oxgHclInfo, &m_HclData, sizeof oxgHclInfo);
    oxHclStoreU16(oxgHclInfo, offsetof(oxHclData, HclCRC), ComputeBlockCrc(oxgHclInfo));

    if (!m_fHclAcquired) {
        // Start-up succeeds without acquiring anything when the block names no USB adapter:
        // only an acquired controller counts.
        oxHclInitialize();
        m_fHclAcquired = oxHclIsAcquired() ? 1 : 0;
        if (!m_fHclAcquired && oxHclGetLastError(nullptr, 0) == oxERR_NONE) {
            oxHclSetLastError(oxERR_NOT_ACQUIRED);
        }
    }
    if (m_fHclAcquired && oxHclInitRegisters(initFlags)) {
        m_fInitialized = 1;
        if (m_fAutoRedraw) {
            m_RedrawPending = 1;
        }
        return true;
    }
    m_fHotHotHot = 0;
    m_fInitialized = 0;
    if (errorText) {
        char* layerText = NextText();
        char* message = NextText();
        if (layerText && message) {
            oxHclGetLastError(layerText, 1024);
            std::snprintf(message, kTextSize, "Cannot Initialize: %s.\n", layerText);
            *errorText = message;
        } else {
            *errorText = "";
        }
    }
    return false;
}

// The window helpers over the chip features of g_ChipDef, and the error texts of the display,
// file and burst register commands.
#include "play/WindowHelpers.h"

#include "hcl/HclApi.h"
#include "imaging/Conv.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/PlayConv.h"

#include <cstdio>
#include <cstring>

const char* FileErrorText(uint32_t code) {
    static const char* const kTexts[] = {
        "No error",  "File open",    "Invalid entry", "Unspecified/unsupported color format",
        "No memory", "Test pattern", "File read",     "File write",
    };
    if (code < sizeof kTexts / sizeof kTexts[0]) {
        return kTexts[code];
    }
    return code == FILE_ERROR_REPORTED ? "" : "Unknown error";
}

uint32_t GetWindowStartAddr(uint32_t pip) {
    return g_ChipDef.GetFeatureRawValue(pip == 1 ? "pipsaddr" : "saddr");
}

bool WindowFormatRow(uint32_t windowFormat, int32_t* row) {
    static const char* const kRowNames[] = {"R888.B-G-R", "R565.RGB", "M8.n0",   nullptr,
                                            "R888.B-G-R", "R565.RGB", "R332.RGB"};
    if (windowFormat >= sizeof kRowNames / sizeof kRowNames[0] ||
        kRowNames[windowFormat] == nullptr) {
        return false;
    }
    *row = QueryConv().FindFormat(kRowNames[windowFormat]);
    return *row >= 0;
}

bool GetWindowFormatRow(uint32_t pip, int32_t* row) {
    return WindowFormatRow(g_ChipDef.GetFeatureRawValue(pip == 1 ? "pipformat" : "format"), row);
}

bool ReadWindowSettings(WindowSettings* settings, uint32_t pip) {
    std::memset(settings, 0, sizeof *settings);
    const bool isPip = pip == 1;
    auto value = [](const char* name) { return g_ChipDef.GetFeatureValue(name); };
    settings->m_StartAddr = value(isPip ? "pipsaddr" : "saddr");
    settings->m_Format = static_cast<uint8_t>(value(isPip ? "pipformat" : "format"));
    settings->m_Width = static_cast<uint16_t>(value(isPip ? "pipwidth" : "width"));
    settings->m_Height = static_cast<uint16_t>(value(isPip ? "pipheight" : "height"));
    settings->m_X = static_cast<uint16_t>(value("pipx"));
    settings->m_Y = static_cast<uint16_t>(value("pipy"));
    settings->m_BlinkPeriod = static_cast<uint8_t>(value("blinkperiod"));
    settings->m_BlinkEffect = static_cast<uint8_t>(value("blinkeffect"));
    settings->m_Alpha = static_cast<uint8_t>(value("alpha"));
    if (value("trans") != 0) {
        settings->m_Flags |= kWindowTransparent;
    }
    settings->m_KeyR = static_cast<uint8_t>(value("keyr"));
    settings->m_KeyG = static_cast<uint8_t>(value("keyg"));
    settings->m_KeyB = static_cast<uint8_t>(value("keyb"));
    settings->m_Rotation =
        static_cast<uint8_t>(g_ChipDef.GetFeatureRawValue(isPip ? "piprot" : "rot"));
    if (settings->m_Rotation != 0) {
        settings->m_Flags |= kWindowRotated;
    }
    return true;
}

void FormatWindowLine(const WindowSettings* s, char* text, uint32_t pip) {
    int used = std::snprintf(text, kWindowLineSize, "%s %06xh %4d %4d %d %3d ",
                             pip == 1 ? "  PIP" : " Main", s->m_StartAddr, s->m_Width, s->m_Height,
                             s->m_Format, s->m_Rotation * 90);
    if (pip != 1 || used < 0 || used >= static_cast<int>(kWindowLineSize)) {
        return;
    }
    std::snprintf(text + used, kWindowLineSize - used, "%4d %4d %3d  %d %3d  %s %02X%02X%02X ",
                  s->m_X, s->m_Y, s->m_BlinkPeriod, s->m_BlinkEffect, s->m_Alpha,
                  (s->m_Flags & kWindowTransparent) != 0 ? "Y" : "N", s->m_KeyR, s->m_KeyG,
                  s->m_KeyB);
}

void WaitTeStatus() {
    if (!oxHclWaitRegBitsSet16(34, 0x80, 0, 3000)) {
        PlayPrint(CAT_ERR, "ERROR: Polling for TE status bit has reached timeout.\n");
    }
}

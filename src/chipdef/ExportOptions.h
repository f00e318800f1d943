#pragma once
// The options that the configuration export hands to every generator of ChipDef: the build
// number of the title line, the WinCE mode number and the mode flags of the two driver headers.
#include <cstdint>

struct ExportOptions {
    uint32_t Build = 0;      // printed in the title line
    uint32_t ModeNumber = 0; // the WinCE mode number (mode%u.h)
    uint32_t WinCeFlags =
        0; // MF_LCD 0x1, MF_SWCURSOR 0x20000, MF_SWEMUL 0x100000, MF_HWBLT 0x40000
    uint32_t GenericFlags = 0; // hardware BitBLT 0x40000, software BitBLT 0x100000, cursor 0x20000
};

#pragma once
// The fields of the configuration block as the INI export writes them and the import reads
// them: name (the key or section name), offset, width of one element, element count and kind.
// Scalars stand in the chip's section; the other kinds have a section each.
#include "hcl/HclData.h"

#include <cstdint>

enum class IniFieldKind : uint8_t { Scalar, StringPool, Bytes, LcdSequence, RegisterList };

struct IniField {
    const char* Name;
    uint32_t Offset;
    uint32_t Width;
    uint32_t Count;
    IniFieldKind Kind;
    bool IsText; // a scalar text field (NUL-padded)
};

inline constexpr IniField kIniFields[] = {
    {"szIdString", 0, 16, 1, IniFieldKind::Scalar, true},
    {"szConfigString", 16, 256, 1, IniFieldKind::Scalar, true},
    {"sLCD1StringPool", 272, 1, 256, IniFieldKind::StringPool, false},
    {"Size", 528, 2, 1, IniFieldKind::Scalar, false},
    {"HclCRC", 530, 2, 1, IniFieldKind::Scalar, false},
    {"szChipId", 532, 8, 1, IniFieldKind::Scalar, true},
    {"DetectEndian", 540, 2, 1, IniFieldKind::Scalar, false},
    {"Reserved1", 542, 2, 1, IniFieldKind::Scalar, false},
    {"ClkI", 544, 4, 1, IniFieldKind::Scalar, false},
    {"BaseAddress", 554, 4, 1, IniFieldKind::Scalar, false},
    {"RegisterOffset", 558, 4, 1, IniFieldKind::Scalar, false},
    {"MemoryOffset", 562, 4, 1, IniFieldKind::Scalar, false},
    {"Flags", 566, 4, 1, IniFieldKind::Scalar, false},
    {"USBConfig", 548, 1, 6, IniFieldKind::Bytes, false},
    {"LCD1Regs", 570, 4, 768, IniFieldKind::LcdSequence, false},
    {"Regs", 3642, 4, 593, IniFieldKind::RegisterList, false},
};

// A number field of 1, 2 or 4 bytes at a block offset.
inline uint32_t IniFieldLoad(const oxHclData& block, uint32_t offset, uint32_t width) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&block) + offset;
    uint32_t value = 0;
    std::memcpy(&value, bytes, width);
    return value;
}
inline void IniFieldStore(oxHclData& block, uint32_t offset, uint32_t width, uint32_t value) {
    std::memcpy(reinterpret_cast<uint8_t*>(&block) + offset, &value, width);
}

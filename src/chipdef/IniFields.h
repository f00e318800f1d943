#pragma once
// The fields of the configuration block as the INI export writes them and the import reads
// them: name (the key or section name), offset, width of one element, element count and kind.
// Scalars stand in the chip's section; the other kinds have a section each. Offsets and widths
// come from the block's record, whose layout hcl/HclData.h checks.
#include "hcl/HclData.h"

#include <cstddef>
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
    {"szIdString", offsetof(oxHclData, szIdString), sizeof(oxHclData::szIdString), 1,
     IniFieldKind::Scalar, true},
    {"szConfigString", offsetof(oxHclData, szConfigString), sizeof(oxHclData::szConfigString), 1,
     IniFieldKind::Scalar, true},
    {"sLCD1StringPool", offsetof(oxHclData, sLCD1StringPool), 1, sizeof(oxHclData::sLCD1StringPool),
     IniFieldKind::StringPool, false},
    {"Size", offsetof(oxHclData, Size), sizeof(oxHclData::Size), 1, IniFieldKind::Scalar, false},
    {"HclCRC", offsetof(oxHclData, HclCRC), sizeof(oxHclData::HclCRC), 1, IniFieldKind::Scalar,
     false},
    {"szChipId", offsetof(oxHclData, szChipId), sizeof(oxHclData::szChipId), 1,
     IniFieldKind::Scalar, true},
    {"DetectEndian", offsetof(oxHclData, DetectEndian), sizeof(oxHclData::DetectEndian), 1,
     IniFieldKind::Scalar, false},
    {"Reserved1", offsetof(oxHclData, Reserved1), sizeof(oxHclData::Reserved1), 1,
     IniFieldKind::Scalar, false},
    {"ClkI", offsetof(oxHclData, ClkI), sizeof(oxHclData::ClkI), 1, IniFieldKind::Scalar, false},
    {"BaseAddress", offsetof(oxHclData, BaseAddress), sizeof(oxHclData::BaseAddress), 1,
     IniFieldKind::Scalar, false},
    {"RegisterOffset", offsetof(oxHclData, RegisterOffset), sizeof(oxHclData::RegisterOffset), 1,
     IniFieldKind::Scalar, false},
    {"MemoryOffset", offsetof(oxHclData, MemoryOffset), sizeof(oxHclData::MemoryOffset), 1,
     IniFieldKind::Scalar, false},
    {"Flags", offsetof(oxHclData, Flags), sizeof(oxHclData::Flags), 1, IniFieldKind::Scalar, false},
    {"USBConfig", offsetof(oxHclData, USBConfig), sizeof(oxHclData::USBConfig[0]),
     sizeof(oxHclData::USBConfig) / sizeof(oxHclData::USBConfig[0]), IniFieldKind::Bytes, false},
    {"LCD1Regs", offsetof(oxHclData, LCD1Regs), sizeof(oxHclData::LCD1Regs[0]), oxHCL_LCD1SIZE,
     IniFieldKind::LcdSequence, false},
    {"Regs", offsetof(oxHclData, Regs), sizeof(oxHclRegEntry), oxHCL_REGSIZE,
     IniFieldKind::RegisterList, false},
};

// A number field of 1, 2 or 4 bytes at a block offset, in the machine's order as the block
// holds it (any other width reads 0 and stores nothing).
inline uint32_t IniFieldLoad(const oxHclData& block, uint32_t offset, uint32_t width) {
    switch (width) {
    case 1:
        return reinterpret_cast<const uint8_t*>(&block)[offset];
    case 2:
        return oxHclLoadU16(block, offset);
    case 4:
        return oxHclLoadU32(block, offset);
    default:
        return 0;
    }
}
inline void IniFieldStore(oxHclData& block, uint32_t offset, uint32_t width, uint32_t value) {
    switch (width) {
    case 1:
        reinterpret_cast<uint8_t*>(&block)[offset] = static_cast<uint8_t>(value);
        break;
    case 2:
        oxHclStoreU16(block, offset, static_cast<uint16_t>(value));
        break;
    case 4:
        oxHclStoreU32(block, offset, value);
        break;
    default:
        break;
    }
}

// The LCD functions: rotation, colour depth, start address, size, stride and the look-up tables
// of the controller, all through the front.
#include "hcl/Lcd.h"

#include "hcl/HclApi.h"
#include "hcl/Services.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t LutBase(std::uint32_t lut) {
    return lut == 0 ? oxLCD_LUT0_ADDRESS : oxLCD_LUT1_ADDRESS;
}

std::uint32_t EntryAddress(std::uint32_t index, std::uint32_t lut) {
    return LutBase(lut) + 4 * index;
}

// Checks an entry index. After the report an index outside the table is not used: a table
// access never reaches the memory behind the tables (the register window).
bool CheckIndex(std::uint32_t index, const char* function) {
    if (index < oxLCD_LUT_ENTRIES) {
        return true;
    }
    oxAssert("%s() Index must be between 0 and 255.", function);
    return false;
}

// Checks a range and returns how many of its entries, from the start, lie inside the table;
// after the reports only those are accessed.
std::uint32_t CheckRange(std::uint32_t start, std::uint32_t count, const char* function) {
    if (start >= oxLCD_LUT_ENTRIES) {
        oxAssert("%s() StartIndex must be between 0 and 255.", function);
    }
    if (std::uint64_t{start} + count > oxLCD_LUT_ENTRIES) {
        oxAssert("%s() StartIndex+Count exceeds table size.", function);
    }
    if (start >= oxLCD_LUT_ENTRIES) {
        return 0;
    }
    return std::min(count, oxLCD_LUT_ENTRIES - start);
}

// The 3-3-2 expansion of an 8-bit index into red, green and blue.
void Expand332(std::uint32_t i, std::uint32_t& r, std::uint32_t& g, std::uint32_t& b) {
    r = i & 0xE0;
    r = r | r >> 3 | r >> 6;
    g = (i & 0x1C) * 8;
    g = g | g >> 3 | g >> 6;
    b = (i & 3) * 64;
    b = b | b >> 2 | b >> 4 | b >> 6;
}

// Changes one field of MAIN_SET in a single modify through the front; bits of value that do not
// fit the field are dropped.
void ModifyMainSet(BitField field, std::uint32_t value) {
    oxHclModifyReg16(oxLCD_REG_MAIN_SET, static_cast<std::uint16_t>(field.Mask()),
                     static_cast<std::uint16_t>(field.Deposit(0, value)));
}

std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF);
}

} // namespace

std::uint32_t oxLcdBytesPerPixelOfDepth(std::uint32_t code) {
    switch (code) {
    case 0:
    case 4:
        return 3;
    case 1:
    case 5:
        return 2;
    case 6:
        return 1;
    default:
        return 0;
    }
}

std::uint32_t oxLcdBuildDefaultLut(std::uint32_t code, bool colourPanel, std::uint32_t* table) {
    switch (code) {
    case 1:
    case 5:
        // 16 bits per pixel: 5-6-5 expansion of the entry number.
        for (std::uint32_t i = 0; i < 64; ++i) {
            std::uint32_t rb = (i & 31) * 8;
            rb |= rb >> 5;
            std::uint32_t g = i * 4;
            g |= g >> 6;
            table[i] = Rgb(rb, g, rb);
        }
        return 64;
    case 6:
        for (std::uint32_t i = 0; i < oxLCD_LUT_ENTRIES; ++i) {
            std::uint32_t r, g, b;
            Expand332(i, r, g, b);
            table[i] = colourPanel ? Rgb(r, g, b) : (299 * r + 587 * g + 114 * b) / 1000;
        }
        return oxLCD_LUT_ENTRIES;
    case 2:
        return 0;
    default:
        for (std::uint32_t i = 0; i < oxLCD_LUT_ENTRIES; ++i) {
            table[i] = i * 0x010101;
        }
        return oxLCD_LUT_ENTRIES;
    }
}

void oxLcdSetRotation(std::uint32_t degrees) {
    if (degrees != 0 && degrees != 90 && degrees != 180 && degrees != 270) {
        oxAssert("oxLcdSetRotation(): RotationDegrees must be 0, 90, 180, or 270.");
    }
    // The quotient is kept to the two rotation bits, so an angle of 360 or more cannot set
    // other bits of MAIN_SET.
    ModifyMainSet(kMainSetRotation, degrees / 90);
}

std::uint32_t oxLcdGetRotation() {
    return kMainSetRotation.Extract(oxHclReadReg16(oxLCD_REG_MAIN_SET)) * 90;
}

void oxLcdSetColorDepth(std::uint32_t code) {
    if (code != 0 && code != 1 && code != 4 && code != 5 && code != 6) {
        oxAssert("oxLcdSetColorDepth(): BitsPerPixel must be one of the values specified in "
                 "oxFormatData.");
    }
    ModifyMainSet(kMainSetDepth, code);
}

std::uint32_t oxLcdGetColorDepth() {
    return kMainSetDepth.Extract(oxHclReadReg16(oxLCD_REG_MAIN_SET));
}

std::uint32_t oxLcdGetBytesPerPixel() {
    return oxLcdBytesPerPixelOfDepth(oxLcdGetColorDepth());
}

void oxLcdSetStartAddress(std::uint32_t address) {
    if ((address & 3) != 0) {
        oxAssert("oxLcdSetStartAddress(): Must be 32bit aligned.");
    }
    if (address >= oxLCD_START_ADDRESS_LIMIT) {
        oxAssert("oxLcdSetStartAddress(): StartAddress is too big.");
    }
    oxHclWriteReg16(oxLCD_REG_MAIN_SADDR_0, static_cast<std::uint16_t>(address & 0xFFFF));
    oxHclWriteReg16(oxLCD_REG_MAIN_SADDR_1, static_cast<std::uint16_t>(address >> 16));
}

std::uint32_t oxLcdGetStartAddress() {
    return oxHclReadReg16(oxLCD_REG_MAIN_SADDR_0) |
           (std::uint32_t{oxHclReadReg16(oxLCD_REG_MAIN_SADDR_1)} << 16);
}

void oxLcdSetWidth(std::uint32_t pixels) {
    oxHclWriteReg16(oxLCD_REG_HDISP, static_cast<std::uint16_t>(pixels / 8));
}

std::uint32_t oxLcdGetWidth() {
    return oxHclReadReg16(oxLCD_REG_MAIN_WIDTH);
}

void oxLcdSetHeight(std::uint32_t lines) {
    oxHclWriteReg16(oxLCD_REG_VDISP, static_cast<std::uint16_t>(lines));
}

std::uint32_t oxLcdGetHeight() {
    return oxHclReadReg16(oxLCD_REG_MAIN_HEIGHT);
}

std::uint32_t oxLcdGetStride() {
    return oxLcdGetWidth() * oxLcdGetBytesPerPixel();
}

std::uint32_t oxLcdGetLutEntry(std::uint32_t index, std::uint32_t lut) {
    if (!CheckIndex(index, "oxLcdGetLutEntry")) {
        return 0;
    }
    return oxHclReadMemory32(EntryAddress(index, lut));
}

void oxLcdSetLutEntry(std::uint32_t index, const std::uint32_t* entry, std::uint32_t lut) {
    if (!CheckIndex(index, "oxLcdSetLutEntry")) {
        return;
    }
    if (entry != nullptr) {
        oxHclWriteMemory32(EntryAddress(index, lut), *entry);
    }
}

void oxLcdGetLut(std::uint32_t start, std::uint32_t* buffer, std::uint32_t count,
                 std::uint32_t lut) {
    const std::uint32_t inside = CheckRange(start, count, "oxLcdGetLut");
    if (buffer == nullptr) {
        return;
    }
    // Entries asked for beyond the table read as 0.
    std::fill(buffer + inside, buffer + count, 0u);
    oxHclBurstReadMemory32(EntryAddress(start, lut), buffer, inside);
}

void oxLcdSetLut(std::uint32_t start, const std::uint32_t* buffer, std::uint32_t count,
                 std::uint32_t lut) {
    const std::uint32_t inside = CheckRange(start, count, "oxLcdSetLut");
    if (buffer != nullptr) {
        oxHclBurstWriteMemory32(EntryAddress(start, lut), buffer, inside);
    }
}

void oxLcdLoadDefaultLut(std::uint32_t layer) {
    const std::uint32_t code =
        kMainSetDepth.Extract(oxHclReadReg16(layer == 0 ? oxLCD_REG_MAIN_SET : oxLCD_REG_PIP_SET));
    const bool colourPanel =
        code == 6 && kPanelSetColour.Extract(oxHclReadReg16(oxLCD_REG_PANEL_SET)) != 0;
    std::uint32_t table[oxLCD_LUT_ENTRIES];
    const std::uint32_t count = oxLcdBuildDefaultLut(code, colourPanel, table);
    if (count != 0) {
        oxLcdSetLut(0, table, count, layer);
    }
}

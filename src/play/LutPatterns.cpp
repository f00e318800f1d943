// The keyword operations of L on whole tables: default contents, clearing, and one step of
// cycling the entries.
#include "hcl/HclApi.h"
#include "hcl/Lcd.h"
#include "play/LutCommands.h"

#include <cstring>

namespace {

constexpr uint32_t kLutEntries = oxLCD_LUT_ENTRIES;
// While cycling, a window whose depth code is 1 or 5 has a 64-entry table.
constexpr uint32_t kShortLutEntries = 64;

// The bits of one component in an entry (component 1 red, 2 green, 3 blue).
uint32_t ComponentMask(uint32_t component) {
    static constexpr BitField kComponents[] = {kLutRed, kLutGreen, kLutBlue};
    return kComponents[component - 1].Mask();
}

// Entries that cycle: 64 when the window's depth code is 1 or 5, else 256.
uint32_t CyclingEntries(uint32_t lut) {
    const uint32_t set = oxHclReadReg16(lut == 0 ? oxLCD_REG_MAIN_SET : oxLCD_REG_PIP_SET);
    const uint32_t code = kMainSetDepth.Extract(set);
    return code == 1 || code == 5 ? kShortLutEntries : kLutEntries;
}

} // namespace

void DrawLutPattern(uint32_t lut, uint32_t operation) {
    uint32_t kept[kLutEntries];
    uint32_t table[kLutEntries];
    if (operation == LUT_INIT) {
        oxLcdLoadDefaultLut(lut);
        return;
    }
    if (operation == LUT_ZERO) {
        std::memset(table, 0, sizeof(table));
        oxLcdSetLut(0, table, kLutEntries, lut);
        return;
    }
    oxLcdGetLut(0, kept, kLutEntries, lut);
    if (operation >= LUT_INITRED && operation <= LUT_INITBLUE) {
        // The default table for one component, the kept entries for the two others.
        const uint32_t mask = ComponentMask(operation - LUT_INIT);
        oxLcdLoadDefaultLut(lut);
        oxLcdGetLut(0, table, kLutEntries, lut);
        for (uint32_t i = 0; i < kLutEntries; ++i) {
            table[i] = (table[i] & mask) | (kept[i] & ~mask);
        }
    } else if (operation >= LUT_ZERORED && operation <= LUT_ZEROBLUE) {
        const uint32_t mask = ComponentMask(operation - LUT_ZERO);
        for (uint32_t i = 0; i < kLutEntries; ++i) {
            table[i] = kept[i] & ~mask;
        }
    } else {
        return;
    }
    oxLcdSetLut(0, table, kLutEntries, lut);
}

void EditLutInteractive(uint32_t lut, uint32_t component, const char* key, uint32_t* direction) {
    if (std::strcmp(key, "RIGHT") == 0) {
        *direction = 1;
    } else if (std::strcmp(key, "LEFT") == 0) {
        *direction = 0;
    } else if (std::strcmp(key, "RETURN") != 0) {
        return;
    }
    const uint32_t count = CyclingEntries(lut);
    uint32_t old[kLutEntries];
    uint32_t rotated[kLutEntries];
    oxLcdGetLut(0, old, count, lut);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t from = *direction == 1 ? (i + count - 1) % count : (i + 1) % count;
        rotated[i] = old[from];
    }
    if (component != kLutWhole) {
        // Only that component moves; the others stay at their index.
        const uint32_t mask = ComponentMask(component);
        for (uint32_t i = 0; i < count; ++i) {
            rotated[i] = (old[i] & ~mask) | (rotated[i] & mask);
        }
    }
    oxLcdSetLut(0, rotated, count, lut);
}

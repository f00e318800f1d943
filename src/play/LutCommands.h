#pragma once
// The look-up table command L: reads, writes and lists the entries of the main window's table
// (LUT 1) and the PIP window's table (LUT 2), loads their defaults, clears them, and cycles
// their entries step by step with the arrow keys.
#include "common/BitField.h"
#include "play/CommandHandlers.h"

#include <cstdint>

// The row "l;l1;l2;l1a;l2a". Entry lines go to CAT_SET, the cycling prompt and the usage text
// to CAT_OUT, errors to CAT_ERR; false on an error or a stopped output.
bool CmdLut(int32_t argc, char** argv, ExprValue* result);

// The keyword operations, in the order of their keywords.
enum LutOperation : uint32_t {
    LUT_INIT = 0,
    LUT_INITRED = 1,
    LUT_INITGREEN = 2,
    LUT_INITBLUE = 3,
    LUT_ZERO = 4,
    LUT_ZERORED = 5,
    LUT_ZEROGREEN = 6,
    LUT_ZEROBLUE = 7,
    LUT_CYCLE = 8,
    LUT_CYCLERED = 9,
    LUT_CYCLEGREEN = 10,
    LUT_CYCLEBLUE = 11,
};

// The components of a table entry (printed red, green, blue).
inline constexpr BitField kLutRed{16, 8};
inline constexpr BitField kLutGreen{8, 8};
inline constexpr BitField kLutBlue{0, 8};

// What a cycling step moves: 0 the whole entry, 1 red, 2 green, 3 blue.
constexpr uint32_t kLutWhole = 0;

// The INIT and ZERO operations (LUT_INIT .. LUT_ZEROBLUE) on one table (0 main, 1 PIP).
void DrawLutPattern(uint32_t lut, uint32_t operation);

// One cycling step of a table (0 main, 1 PIP) for the key name read: RIGHT rotates the entries
// up by one index, LEFT down, RETURN in the remembered direction (1 up, 0 down, updated);
// component chooses what moves (kLutWhole or one colour). Any other key does nothing.
void EditLutInteractive(uint32_t lut, uint32_t component, const char* key, uint32_t* direction);

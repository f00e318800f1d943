// Display-level operations of the controller on top of the front: the main layer's rotation,
// colour depth, start address and size, its line length, and the two colour look-up tables.
// Every access goes through the front, so tracing, breakpoints and the write echo apply.
#pragma once

#include "common/BitField.h"

#include <cstdint>

// Registers used by the LCD functions (16-bit).
inline constexpr std::uint32_t oxLCD_REG_PANEL_SET = 0x20;
inline constexpr std::uint32_t oxLCD_REG_HDISP = 0x24;
inline constexpr std::uint32_t oxLCD_REG_VDISP = 0x28;
inline constexpr std::uint32_t oxLCD_REG_MAIN_SET = 0x40;
inline constexpr std::uint32_t oxLCD_REG_MAIN_SADDR_0 = 0x42;
inline constexpr std::uint32_t oxLCD_REG_MAIN_SADDR_1 = 0x44;
inline constexpr std::uint32_t oxLCD_REG_MAIN_WIDTH = 0x46;
inline constexpr std::uint32_t oxLCD_REG_MAIN_HEIGHT = 0x48;
inline constexpr std::uint32_t oxLCD_REG_PIP_SET = 0x50;

// Fields of MAIN_SET: the colour depth code (PIP_SET keeps its own in the same bits) and the
// rotation in quarter turns.
inline constexpr BitField kMainSetDepth{0, 3};
inline constexpr BitField kMainSetRotation{3, 2};
// Field of PANEL_SET: set for a colour panel, clear for a monochrome one.
inline constexpr BitField kPanelSetColour{3, 1};

// Look-up tables in display memory: 256 entries of 32 bits (red 16-23, green 8-15, blue 0-7).
inline constexpr std::uint32_t oxLCD_LUT_ENTRIES = 256;
inline constexpr std::uint32_t oxLCD_LUT0_ADDRESS = 0x60000;
inline constexpr std::uint32_t oxLCD_LUT1_ADDRESS = 0x60400;

// Start addresses must lie below the look-up tables.
inline constexpr std::uint32_t oxLCD_START_ADDRESS_LIMIT = 0x60000;

// Bytes per pixel of a colour depth code: 0, 4 -> 3; 1, 5 -> 2; 6 -> 1; others 0.
std::uint32_t oxLcdBytesPerPixelOfDepth(std::uint32_t code);

// Builds the default look-up table for a depth code into table (256 entries) and returns the
// number of entries to write (0 for code 2). colourPanel is kPanelSetColour of PANEL_SET.
std::uint32_t oxLcdBuildDefaultLut(std::uint32_t code, bool colourPanel, std::uint32_t* table);

void oxLcdSetRotation(std::uint32_t degrees);
std::uint32_t oxLcdGetRotation();
void oxLcdSetColorDepth(std::uint32_t code);
std::uint32_t oxLcdGetColorDepth();
std::uint32_t oxLcdGetBytesPerPixel();
void oxLcdSetStartAddress(std::uint32_t address);
std::uint32_t oxLcdGetStartAddress();
void oxLcdSetWidth(std::uint32_t pixels);
std::uint32_t oxLcdGetWidth();
void oxLcdSetHeight(std::uint32_t lines);
std::uint32_t oxLcdGetHeight();
std::uint32_t oxLcdGetStride();

// lut: 0 main layer, 1 picture-in-picture layer.
std::uint32_t oxLcdGetLutEntry(std::uint32_t index, std::uint32_t lut);
void oxLcdSetLutEntry(std::uint32_t index, const std::uint32_t* entry, std::uint32_t lut);
void oxLcdGetLut(std::uint32_t startIndex, std::uint32_t* buffer, std::uint32_t count,
                 std::uint32_t lut);
void oxLcdSetLut(std::uint32_t startIndex, const std::uint32_t* buffer, std::uint32_t count,
                 std::uint32_t lut);
// layer: 0 main, 1 picture-in-picture; the table follows the layer's depth code.
void oxLcdLoadDefaultLut(std::uint32_t layer);

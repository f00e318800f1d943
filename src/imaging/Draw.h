#pragma once
// The drawing primitives: a pixel, a line and text in the built-in 8x8 font, drawn through a
// converter of their own onto the current drawing target (any Surface the converter can write).
//
//     DrawSetTarget(&surface);
//     DrawLine(0, 0, 99, 49, 0xFFFFFFFF);
//     DrawText(2, 2, "RGB 5:6:5", 0xFFFFFFFF, 0xFF000000);
//     DrawSetTarget(nullptr);
//
// Every primitive clips to the target's width and height; without a target nothing is drawn.
#include "imaging/Conv.h"

#include <cstdint>

// Makes surface the current drawing target (nullptr: none); gives the previous one back.
Surface* DrawSetTarget(Surface* surface);

// Writes colour 0xAARRGGBB at (x, y) of the target when the point lies on it.
void DrawPixel(int32_t x, int32_t y, uint32_t colour);

// Bresenham's line between the two end points, both included.
void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);

// Draws the characters 32 to 127 as 8x8 glyphs from (x, y), x advancing by 8: set bits in fg,
// clear bits in bg unless bg equals fg (then they are left as they are). LF returns x to its
// start and moves y down 8; any other character is skipped without advancing.
void DrawText(int32_t x, int32_t y, const char* text, uint32_t fg, uint32_t bg);

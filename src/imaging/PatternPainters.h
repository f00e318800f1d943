#pragma once
// The painters of the test-pattern generator, each a plain function over the work buffer of the
// request (PatternCanvas): the full-picture patterns, the frame family and the pieces the UBER
// mosaic is made of. TestPatternDraw picks one by the request's kind.
#include "imaging/PatternCanvas.h"

#include <cstdint>

// FILL: a ramp over all pixels in memory order from a start level chosen by Shift.
void PatFill(PatternCanvas& canvas);
// BARS, N075R, N100R: seven colour bars of Width / 8 pixels at level (0xFF or 0xBF), then black.
void PatBars(PatternCanvas& canvas, uint32_t level);
// OLD: a white-edged picture of four ramp bands (red, green, blue, grey) with an inverted box.
void PatOld(PatternCanvas& canvas);
// GRID: border, grid lines, ticks and dots in Fg on Bg, an optional moving cross.
void PatGrid(PatternCanvas& canvas);
// UBER (and kind 0): a mosaic of the frame family's contents on the frame background.
void PatUber(PatternCanvas& canvas);
// Kinds 8 to 29: background, frame and one content in the area inset by 2.
void PatQuad(PatternCanvas& canvas, uint32_t kind);

// The frame family's pieces.
void PatBackground(PatternCanvas& canvas, PatternArea area, int32_t cx, int32_t cy);
void PatFrame(PatternCanvas& canvas, PatternArea area);
// Draws content number content (0 to 29; others nothing) into area.
void PatQuadContent(PatternCanvas& canvas, PatternArea area, uint32_t content);
// The hue at pos of range (0 to range - 1) with the given alpha; 0 outside.
uint32_t PatHueColor(int64_t pos, int64_t range, uint32_t alpha);

// Content numbers of PatQuadContent.
enum PatternContent : uint32_t {
    kContentGreyBits = 0,
    kContentColourBits = 1,
    kContentRedQuad = 2, // 2 to 7: red, green, blue, cyan, magenta, yellow
    kContentXQuad = 8,
    kContentWheel = 9,
    kContentSmear = 10,
    kContentFruit = 11, // 11 to 15: FRUIT tiles, variants 0 to 4
    kContentChild = 16, // 16 to 20: CHILD tiles, variants 0 to 4
    kContentDots = 21,
    kContentHatchFine = 22,
    kContentHatchCoarse = 23,
    kContentColumns = 24,
    kContentRows = 25,
    kContentColumnsRows = 26,
    kContentAlpha = 27,
    kContentRainbow = 28,
    kContentGrays = 29,
};

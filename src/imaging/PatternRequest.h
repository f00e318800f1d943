#pragma once
// What the test-pattern generator is asked to draw: the pattern kinds (SHOW's names), the
// destination's flags, and the request record that SHOW fills and the painters read.
#include <cstdint>

// Pattern kinds (SHOW's names).
enum PatternKind : uint32_t {
    kPatternNone = 0, // drawn as UBER
    kPatternUber = 1,
    kPatternFill = 2,
    kPatternGrid = 3,
    kPatternBars = 4,
    kPatternN075R = 5,
    kPatternN100R = 6,
    kPatternOld = 7,
    kPatternFirstQuad = 8, // FQUAD; kinds 8 to 29 are the frame family
    kPatternChild = 20,
    kPatternLastQuad = 29, // GRAYS
    kPatternKinds = 30,
};

// Flags of a request's destination.
constexpr uint32_t kPatternVideoRange = 1;   // Y 16..235, Cb and Cr 16..240
constexpr uint32_t kPatternChromaOffset = 2; // Cb and Cr held +128

// What to draw and where: 16 words, filled by SHOW.
struct PatternRequest {
    uint32_t Kind;        // 0 to 29; 30 and above paint nothing
    uint32_t Shift;       // animation offset in pixels (0 = still)
    int32_t Format;       // destination row of the converter
    uint32_t Colorimetry; // converter colorimetry 0 to 4
    uint32_t Flags;       // kPatternVideoRange | kPatternChromaOffset
    uint32_t Width;       // pixels
    uint32_t Height;      // lines
    uint32_t LineWidth;   // GRID's border width
    uint8_t* Buffer;      // destination (the painters' copy: the work buffer)
    uint32_t Fg;          // 0xAARRGGBB foreground of GRID
    uint32_t Bg;          // background of GRID
    uint32_t AlphaMask;   // OR-ed into the painted pixels (GRID excepted)
    uint32_t GridWidth;   // GRID's cell size
    uint32_t GridHeight;
    const char* Text; // GRID's labels (nullptr from SHOW)
    uint8_t ShowText; // draw the labels (OLD: format and size; GRID: Text)
};

#pragma once
// The test-pattern generator: paints one of 30 pattern kinds (colour bars, ramps, a grid, the
// frame family of quadrant pictures, colour wheels, hatches, alpha ramps and photographs) into a
// zeroed 32-bit ARGB work buffer and converts it into the caller's buffer in the caller's pixel
// format, colorimetry and range.
//
//     PatternRequest request{};
//     request.Kind = kPatternBars;
//     request.Format = conv.FindFormat("R565.RGB");
//     request.Colorimetry = COLORIMETRY_BT601;
//     request.Width = 480;
//     request.Height = 272;
//     request.Buffer = destination;          // Conv::GetImageSize bytes of R565.RGB
//     request.AlphaMask = 0xFF000000;
//     if (!TestPatternDraw(&request)) { /* too large, out of memory or not convertible */ }
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

// The work buffer of width x height 32-bit pixels in bytes, computed in 64 bits.
[[nodiscard]] uint64_t PatternWorkBytes(uint32_t width, uint32_t height);

// Paints the request's pattern and converts it into request->Buffer. False when the work buffer
// is larger than a surface can describe, cannot be allocated, or the conversion fails (unknown
// format, size 0); the destination is then unspecified.
bool TestPatternDraw(const PatternRequest* request);

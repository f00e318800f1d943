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
#include "imaging/PatternRequest.h"

#include <cstdint>

// The work buffer of width x height 32-bit pixels in bytes, computed in 64 bits.
[[nodiscard]] uint64_t PatternWorkBytes(uint32_t width, uint32_t height);

// Paints the request's pattern and converts it into request->Buffer. False when the work buffer
// is larger than a surface can describe, cannot be allocated, or the conversion fails (unknown
// format, size 0); the destination is then unspecified.
bool TestPatternDraw(const PatternRequest* request);

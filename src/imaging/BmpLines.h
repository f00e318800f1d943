#pragma once
// The stored lines of a BMP file turned into the natural lines of a caller's buffer: the 24-bit
// reorder of B, G, R to R, G, B, and a read of many stored lines at once straight into their
// image lines, for pictures whose natural lines are their stored samples as they are (32-bit,
// 16-bit) or reordered in place (24-bit).
//
//     BgrLineReorder reorder(width);
//     reorder.Run(stored, lineSize, out, count);             // count lines, one after another
//     if (ReadsBmpLinesInPlace(file, layout)) { code = ReadBmpLinesInPlace(file, layout, buf); }
#include "imaging/BmpLayout.h"
#include "imaging/Conv.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace imagefile {

// B, G, R lines to R, G, B through the converter's row kernels; the same lines may be given as
// source and destination.
class BgrLineReorder {
public:
    explicit BgrLineReorder(int32_t width);
    // count lines, inStep bytes apart in in, to lines packed one after the other in out.
    bool Run(const uint8_t* in, size_t inStep, uint8_t* out, int32_t count);

private:
    int32_t m_Width;
    int32_t m_BgrRow;
    int32_t m_RgbRow;
    Conv m_Conv;
};

// Whether the lines of layout go straight into place: a file with a descriptor of its own (not a
// stream in memory) of 16, 24 or 32 bits per pixel; the caller reads into the natural row.
bool ReadsBmpLinesInPlace(FILE* file, const BmpLayout& layout);
// Reads every stored line into its image line of buffer (lines of layout.NaturalRow, width x
// bytes per pixel, one after the other from the top), 24-bit lines reordered for "R888.R-G-B";
// kImageFileRead when the file holds fewer bytes than its lines, kImageDataConvert when the
// reorder fails.
IMAGE_ERROR ReadBmpLinesInPlace(FILE* file, const BmpLayout& layout, uint8_t* buffer);

} // namespace imagefile

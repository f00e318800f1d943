#pragma once
// The layout of a BMP file as the readers take it: the 14-byte file header and an information
// header of 40 bytes or more (V4, V5), checked field by field before any pixel is read.
//
//     BmpLayout layout;
//     if (const IMAGE_ERROR code = ReadBmpGeometry(file, &layout)) { return code; }
//     if (const IMAGE_ERROR code = ResolveBmpPixels(file, &layout)) { return code; }
//     // layout.NaturalRow, layout.LineSize, layout.Palette ...
//
// Accepted: BI_RGB at 8 (palette), 16 (5:5:5), 24 and 32 bits; BI_BITFIELDS (masks at offset
// 54) at 16 bits with 5:5:5 or 5:6:5 masks and at 32 bits with 8:8:8 masks in the ARGB places.
// The 12-byte OS/2 header, other compressions, masks and depths: kImageUnsupportedFormat; an
// information header below 40 bytes, a width <= 0, a height of 0 or INT32_MIN, or a natural
// image above INT32_MAX bytes: kImageInvalidHeader.
#include "imaging/ImageFile.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace imagefile {

inline constexpr uint32_t kBmpFileHeaderSize = 14;
inline constexpr uint32_t kBmpInfoHeaderSize = 40;
inline constexpr uint32_t kBmpOs2HeaderSize = 12;
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiBitfields = 3;

struct BmpLayout {
    int32_t Width = 0;         // pixels, > 0
    int32_t Height = 0;        // lines, > 0 (|height field|)
    bool TopDown = false;      // the height field was negative
    uint32_t BitsPerPixel = 0; // the field as stored
    uint32_t InfoSize = 0;     // the information header's size field
    uint32_t Compression = 0;
    uint64_t PixelOffset = 0; // where line 0 of the file starts
    uint64_t LineSize = 0;    // bytes of one stored line, padded to 4
    int32_t NaturalRow = -1;  // the row the pixels are read into
    uint32_t PaletteEntries = 0;
    std::array<uint8_t, 4 * 256> Palette{}; // B, G, R, unused; entries never filled are black
};

// Reads both headers and checks the sizes; leaves the file after the 40 bytes of information.
IMAGE_ERROR ReadBmpGeometry(FILE* file, BmpLayout* layout);
// Checks depth, compression and masks, sets NaturalRow and LineSize, reads an 8-bit palette.
IMAGE_ERROR ResolveBmpPixels(FILE* file, BmpLayout* layout);

} // namespace imagefile

#pragma once
// The header of a portable pixmap or graymap: a magic ("P6" or "P3" for PPM, "P5" or "P2" for
// PGM), width, height and maximum value as unsigned decimals separated by white space, where
// '#' starts a comment that runs to the end of its line, then one white-space character before
// the samples.
//
//     PnmHeader header;
//     if (const IMAGE_ERROR code = ReadPnmHeader(file, /*gray=*/false, &header)) { return code; }
//     // header.Width, header.Height, header.MaxValue, header.Plain
//
// A wrong magic, a width or height of 0 or above INT32_MAX, anything but digits where a number
// belongs, a maximum value outside 1..65535 or a natural image above INT32_MAX bytes:
// kImageInvalidHeader.
#include "imaging/ImageFile.h"

#include <cstdint>
#include <cstdio>

namespace imagefile {

struct PnmHeader {
    int32_t Width = 0;
    int32_t Height = 0;
    uint32_t MaxValue = 0;
    uint32_t Channels = 0; // 3 for PPM, 1 for PGM
    bool Plain = false;    // samples as decimal text ("P3", "P2")
};

// Leaves the file at the first sample.
IMAGE_ERROR ReadPnmHeader(FILE* file, bool gray, PnmHeader* header);

// Reads the next unsigned decimal after white space (and, when comments is set, '#' comments):
// false when none is there, when it has a sign or other character, or when it passes limit.
bool ReadPnmNumber(FILE* file, bool comments, uint32_t limit, uint32_t* value);

} // namespace imagefile

#pragma once
// Image files: the size of a BMP, PPM, PGM or AVI file from its header, readers of BMP, PPM and
// PGM files (and of a run of AVI frames) into a buffer in any row of the pixel-format table,
// writers of PPM, PGM and BMP files from a buffer in any row, and the texts of the result codes.
//
//     unsigned width = 0, height = 0;
//     if (ImageProbe("logo.bmp", &width, &height, nullptr) == kImageOk) {
//         Conv conv;
//         std::vector<uint8_t> pixels(conv.GetImageSize(5, width, height));
//         const IMAGE_ERROR code = ImageReadBmp("logo.bmp", pixels.data(), 5, 0);  // R565.RGB
//         if (code != kImageOk) { std::printf("ERROR: %s\n", ImageErrorText(code)); }
//     }
//
// Each path function opens and closes its file; the ...File forms work on a FILE* opened by the
// caller (left open), so tests and fuzzers can hand in bytes through fmemopen. Every byte of a
// file is distrusted: sizes are computed in 64 bits, a width or height of 0 (or out of range) and
// an image whose natural size passes INT32_MAX give kImageInvalidHeader, anything the readers do
// not understand kImageUnsupportedFormat, short data kImageFileRead.
//
// A reader's buffer must hold GetImageSize(row, width, height) bytes for the probed size (the
// natural row's size when row is negative). Every conversion goes through a Conv of its own.
#include "imaging/Conv.h"

#include <cstdint>
#include <cstdio>

// Result codes: the image-file codes below; an AVI code (AviWin.h) is kImageAviBase + its number.
using IMAGE_ERROR = int32_t;
inline constexpr IMAGE_ERROR kImageOk = 0;
inline constexpr IMAGE_ERROR kImageFileOpen = 1;
inline constexpr IMAGE_ERROR kImageInvalidHeader = 2;
inline constexpr IMAGE_ERROR kImageUnsupportedFormat = 3;
inline constexpr IMAGE_ERROR kImageNoMemory = 4;
inline constexpr IMAGE_ERROR kImageFileRead = 5;
inline constexpr IMAGE_ERROR kImageFileWrite = 6;
inline constexpr IMAGE_ERROR kImageDataConvert = 7;
inline constexpr IMAGE_ERROR kImageAviBase = 0x10000;

// Flags of a caller's buffer; they become its Surface's VideoRange and ChromaOffset.
inline constexpr uint32_t kImageVideoRange = 1;
inline constexpr uint32_t kImageChromaOffset = 2;

// The optional third result of ImageProbe.
struct ImageInfo {
    uint32_t Frames; // AVI: the video's length; BMP: bits per pixel in the low 16 bits
    char Codec[5];   // AVI: the video stream's handler code, lowest byte first, and a NUL
};

// The text of a code; the AVI texts when any of the upper 16 bits is set.
const char* ImageErrorText(IMAGE_ERROR code);

// Width and height (always positive) from the header, chosen by the extension after the last
// '.' (BMP, PPM, PGM or AVI, any case). Another extension reads nothing and leaves both as they
// were; a path without '.' is an assertion.
IMAGE_ERROR ImageProbe(const char* path, unsigned* width, unsigned* height, ImageInfo* info);
IMAGE_ERROR ImageProbeBmpFile(FILE* file, unsigned* width, unsigned* height, ImageInfo* info);
// gray: the file must be a PGM ("P2", "P5"), else a PPM ("P3", "P6").
IMAGE_ERROR ImageProbePnmFile(FILE* file, bool gray, unsigned* width, unsigned* height);

// Read the whole image into buffer in row (negative, or the file's natural row: no conversion).
// Natural rows: PPM "R888.R-G-B", PGM "M8.n0"; BMP 8- and 24-bit "R888.R-G-B", 32-bit
// "ARGB8888.ARGB", 16-bit "R555.xRGB" (5:6:5 bit fields "R565.RGB").
IMAGE_ERROR ImageReadBmp(const char* path, uint8_t* buffer, int32_t row, uint32_t flags);
IMAGE_ERROR ImageReadPpm(const char* path, uint8_t* buffer, int32_t row, uint32_t flags);
IMAGE_ERROR ImageReadPgm(const char* path, uint8_t* buffer, int32_t row, uint32_t flags);
IMAGE_ERROR ImageReadBmpFile(FILE* file, uint8_t* buffer, int32_t row, uint32_t flags);
IMAGE_ERROR ImageReadPnmFile(FILE* file, bool gray, uint8_t* buffer, int32_t row, uint32_t flags);

// Write the image held in buffer in row (negative: buffer holds the file's natural row). PPM
// and PGM are written in the binary form with maximum value 255; BMP with a 40-byte header as
// "R555.xRGB", "R888.B-G-R" or "ARGB8888.ARGB" when row is one of them, else "R888.B-G-R"; a
// negative BMP height stores the lines top-down. A failed conversion creates no file.
IMAGE_ERROR ImageWritePpm(const char* path, const uint8_t* buffer, int32_t row, uint32_t flags,
                          unsigned width, unsigned height);
IMAGE_ERROR ImageWritePgm(const char* path, const uint8_t* buffer, int32_t row, uint32_t flags,
                          unsigned width, unsigned height);
IMAGE_ERROR ImageWriteBmp(const char* path, const uint8_t* buffer, int32_t row, uint32_t flags,
                          unsigned width, int32_t height);

// Fills the source iDat and the destination oDat of a whole-image conversion of w x h pixels.
void ImageSetupSurfaces(Surface* iDat, uint8_t* iBuf, int32_t iFmt, uint32_t iFlags, Surface* oDat,
                        uint8_t* oBuf, int32_t oFmt, uint32_t oFlags, int32_t w, int32_t h);

// Reads count frames of an AVI video from frame position into buffer, frame k at
// buffer + k * GetImageSize(row, width, height). count is cut to the video's length; a run that
// would pass the end starts at frame 0 instead.
IMAGE_ERROR ImageReadAvi(const char* path, uint8_t* buffer, int32_t row, uint32_t flags,
                         int32_t position, int32_t count);
IMAGE_ERROR ImageReadAviFile(FILE* file, uint8_t* buffer, int32_t row, uint32_t flags,
                             int32_t position, int32_t count);

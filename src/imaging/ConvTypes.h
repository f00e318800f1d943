#pragma once
// The plain types of the pixel-format converter, with no code of their own: the intermediate
// Pixel, the Surface a caller fills, its access function, the colour standards, the row
// operation types, one PixelFormat row and the table's declaration, and the path and kernel
// build a converter can be told to take. The colour maths, the geometry, the byte access and
// the row kernels need only these; the converter class itself lives in imaging/Conv.h, which
// includes this header, so its users see everything here too.
//
//     Surface dst{out, outSize, "R565.RGB", 0, 640, 480, 0, 0, 0, 0, 0, nullptr};
//     const PixelFormat& row = g_PixelFormats[5]; // "R565.RGB"
#include <cstdint>

// The converter itself (imaging/Conv.h); the row operations of the table take it.
class Conv;

// The converter's intermediate record. Cb and Cr hold signed (-128..127) or offset (0..255)
// values according to the ChromaOffset flag of the surface they come from or go to.
struct Pixel {
    uint8_t A;
    uint8_t R;
    uint8_t G;
    uint8_t B;
    uint8_t Y;
    uint8_t Cb;
    uint8_t Cr;
};
static_assert(sizeof(Pixel) == 7);

// A surface's access function: op is "RD" (read 8 bits into *out), "WR" (write the low bits of
// value), "AND" or "OR" (combine the stored byte with value); address is the byte's (or unit's)
// address computed from Buffer. The result is not used.
using AccessFn = uint32_t (*)(uint32_t address, uint32_t value, uint32_t bits, const char* op,
                              uint8_t* out);

// An image descriptor that callers fill and hand to the converter.
struct Surface {
    uint8_t* Buffer;        // line 0, pixel 0
    int32_t BufSize;        // bytes of Buffer
    const char* FormatName; // when set, Convert looks it up and overwrites Format
    int32_t Format;         // row index of the format
    int32_t Width;          // pixels; Convert may narrow a destination (clipping)
    int32_t Height;         // lines; likewise
    int32_t Stride;         // bytes from line to line; 0: the row's own stride of Width
    int32_t OriginX;        // source: top-left of its valid area; destination: the source
    int32_t OriginY;        //   pixel that lands at the destination's (0, 0)
    uint8_t ChromaOffset;   // Cb and Cr stored +128 (0..255) instead of signed
    uint8_t VideoRange;     // Y 16..235, Cb and Cr 16..240 instead of full range
    AccessFn Access;        // when set, the row operations that use it go through it
};

// The colour standard of RGB<->YCbCr conversion.
enum COLORIMETRY : uint32_t {
    COLORIMETRY_BT709 = 0,
    COLORIMETRY_BT470 = 1,
    COLORIMETRY_BT601 = 2,
    COLORIMETRY_SMPTE170M = 3,
    COLORIMETRY_SMPTE240M = 4,
    COLORIMETRY_COUNT = 5,
};

using ReadFn = bool (*)(Conv& conv, int32_t x, int32_t y, Pixel* out);
using WriteFn = void (*)(Conv& conv, const Pixel* in, int32_t x, int32_t y);
using LoopFn = void (*)(Conv& conv);
using ImageSizeFn = int32_t (*)(int32_t width, int32_t height);
using StrideFn = int32_t (*)(int32_t width);

// One row of the format table.
struct PixelFormat {
    uint32_t BusWidth;    // access unit in bytes (1, 2 or 4); 0 in the end row
    int32_t YuvLayout;    // -1 for RGB, ARGB and mono; else the arrangement inside its family
    int32_t Bpp;          // bits per pixel as shown; negative for YUV rows
    uint32_t StorageBits; // bits one pixel occupies in memory
    char Desc[40];
    char Order[40];
    char Name[40];
    WriteFn Write;
    ReadFn Read;
    LoopFn Loop;
    ImageSizeFn ImageSize;
    StrideFn Stride;
};

inline constexpr int32_t kPixelFormatRows = 54;

// The static table: rows 0 to 53, then the all-zero end row.
extern const PixelFormat g_PixelFormats[kPixelFormatRows + 1];

// Which path Convert takes where a row kernel exists for the pair.
enum class ConvPath { Fast, Reference };

// Which build of the row kernels the fast path runs: the best one this processor supports, or
// one named (a variant the processor lacks falls back to the baseline).
enum class KernelVariant { Best, Baseline, Avx2 };

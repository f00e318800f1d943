#pragma once
// The row kernels of one build (baseline or AVX2): for every RGB, ARGB and mono row a line
// decoder to ARGB words and an encoder from them, for the YCbCr families a line decoder to
// luma and chroma bytes and encoders, and the colour conversions of a line.
//
//     const KernelSet& k = SelectKernels(KernelVariant::Best);
//     k.UnpackArgb[20](src, x, y, count, argb);          // "R888.B-G-R" to ARGB words
//     k.PackArgb[5](argb, count, dst, i, j);             // ... to "R565.RGB"
//
// Each kernel gives exactly the bytes of the per-pixel readers and writers (and of the family
// loops for YCbCr destinations); a test holds every build to that.
#include "imaging/ConvTypes.h"

#include <cstdint>

// Pixels x .. x + count - 1 of line y of an RGB, ARGB or mono source as 0xAARRGGBB words,
// stored little-endian (A 0 for rows without alpha): the layout of "ARGB8888.ARGB" itself, so a
// destination in that row is written in place.
using UnpackArgbFn = void (*)(const Surface& src, int32_t x, int32_t y, int32_t count,
                              uint8_t* argb);
// Stores count pixels at i .. i + count - 1 of line j of an RGB, ARGB or mono destination.
using PackArgbFn = void (*)(const uint8_t* argb, int32_t count, const Surface& dst, int32_t i,
                            int32_t j);
// Pixels x .. x + count - 1 of line y of a YCbCr source: luma and the group's chroma bytes as
// stored.
using UnpackYuvFn = void (*)(const Surface& src, int32_t x, int32_t y, int32_t count, uint8_t* luma,
                             uint8_t* cb, uint8_t* cr);
// Stores pixels i .. i + count - 1 of line j (a 4:2:0 line pair from even j) of a YCbCr
// destination; a group reaching past the destination's Width repeats its last pixel, so count
// is a multiple of 4 except at the end of the line.
struct YuvLinePixels {
    const uint8_t* Luma;
    const uint8_t* Cb;
    const uint8_t* Cr;
};
using PackYuvFn = void (*)(const Surface& dst, int32_t j, int32_t i, int32_t count,
                           YuvLinePixels line);
using PackYuv420Fn = void (*)(const Surface& dst, int32_t j, int32_t i, int32_t count,
                              YuvLinePixels even, YuvLinePixels odd);
// Colour conversions of count pixels, as the per-pixel colour maths.
using RgbToYuvRowFn = void (*)(const uint8_t* argb, int32_t count, uint32_t colorimetry, bool video,
                               bool offset, uint8_t* luma, uint8_t* cb, uint8_t* cr);
using YuvToRgbRowFn = void (*)(YuvLinePixels in, int32_t count, uint32_t colorimetry, bool video,
                               bool offset, uint8_t* argb);
// Pixels x .. x + n - 1 of line y of a YCbCr source as ARGB words straight from its bytes (the
// source's range and offset, the colour standard given), for the longest n <= count that this
// build converts so: a multiple of 16, 0 from an odd x or for a layout it has no such step for.
// Returns n; the rest of the run takes UnpackYuv and YuvToRgbRow.
using YuvToArgbFn = int32_t (*)(const Surface& src, int32_t x, int32_t y, int32_t count,
                                uint32_t colorimetry, uint8_t* argb);
// Lines y (even) and y + 1 of a 4:2:0 source at once, as YuvToArgbFn does each: into argbEven
// and argbOdd, for the longest n <= count (a multiple of 16; 0 from an odd x or y, or for a
// layout it has no such step for). Returns n.
using YuvToArgbPairFn = int32_t (*)(const Surface& src, int32_t x, int32_t y, int32_t count,
                                    uint32_t colorimetry, uint8_t* argbEven, uint8_t* argbOdd);
// Pixels i .. i + n - 1 of the 4:2:0 line pair from even line j of dst, from the ARGB words of
// its two source lines (even, odd), for the longest n <= count that this build stores so in one
// step: a multiple of 16 of whole pixel pairs before any padding, 0 for a layout it has no such
// step for. Returns n; the rest takes RgbToYuvRow and PackYuv420.
using RgbToYuv420Fn = int32_t (*)(const uint8_t* even, const uint8_t* odd, int32_t count,
                                  const Surface& dst, int32_t j, int32_t i, uint32_t colorimetry);

// Pixels x .. x + count - 1 of line y of src stored straight as pixels i .. i + count - 1 of
// line j of dst, without ARGB words between: for the pairs of 24-bit sources this build moves in
// one step, as Pack(Unpack) would.
using ConvertRunFn = void (*)(const Surface& src, int32_t x, int32_t y, int32_t count,
                              const Surface& dst, int32_t i, int32_t j);
// Lines a and b of count 24-bit pixels exchanged, each pixel's first and third bytes swapped on
// the way ("R888.R-G-B" to "R888.B-G-R" and back); a == b swaps one line in place.
using SwapLinesFn = void (*)(uint8_t* a, uint8_t* b, int32_t count);
inline constexpr int32_t kDirectSources = 2; // "R888.R-G-B" (row 19) and "R888.B-G-R" (row 20)
inline constexpr int32_t kFirstDirectSource = 19;

struct KernelSet {
    const char* Name;
    UnpackArgbFn UnpackArgb[28];
    PackArgbFn PackArgb[28];
    UnpackYuvFn UnpackYuv411;
    UnpackYuvFn UnpackYuv422;
    UnpackYuvFn UnpackYuv420;
    PackYuvFn PackYuv411;
    PackYuvFn PackYuv422;
    PackYuv420Fn PackYuv420;
    RgbToYuvRowFn RgbToYuvRow;
    YuvToRgbRowFn YuvToRgbRow;
    YuvToArgbFn YuvToArgb422; // nullptr where the build has none
    YuvToArgbFn YuvToArgb420;
    YuvToArgbPairFn YuvToArgb420Pair;
    RgbToYuv420Fn RgbToYuv420;
    // By source (row 19 + index) and destination row; nullptr where the pair takes ARGB words.
    ConvertRunFn Direct[kDirectSources][28];
    SwapLinesFn SwapLinesRgb24;
};

#define Q3V_KERNEL_DECLARE(variant)                                                                \
    namespace variant {                                                                            \
    const KernelSet& Kernels();                                                                    \
    }
Q3V_KERNEL_DECLARE(kernels_baseline)
Q3V_KERNEL_DECLARE(kernels_avx2)
#undef Q3V_KERNEL_DECLARE

#pragma once
// Strides, image sizes and the bytes a conversion touches, per format row, computed in 64 bits.
//
//     const int64_t stride = RowStride64(5, 640);           // 1280 bytes of "R565.RGB"
//     const int32_t size = ToSize32(RowImageSize64(5, 640, 480));
//
// The row formulas of the format table; a width or height <= 0 gives 0, and ToSize32 turns a
// value above INT32_MAX into 0 (the converter's "no such image").
#include <cstdint>

struct Surface;

// The row's own stride of width, or 0 for width <= 0.
int64_t RowStride64(int32_t row, int32_t width);
// The row's image size, or 0 for a width or height <= 0.
int64_t RowImageSize64(int32_t row, int32_t width, int32_t height);
// value when it lies in 1..INT32_MAX, else 0.
int32_t ToSize32(int64_t value);
// The bytes from Buffer up to the end of the last byte that converting into dst (format, width,
// height and stride already settled) touches.
int64_t BytesTouched(const Surface& dst);

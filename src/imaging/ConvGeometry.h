#pragma once
// Strides, image sizes and the bytes a conversion touches, per format row, computed in 64 bits,
// and the YCbCr family of a row.
//
//     const int64_t stride = RowStride64(5, 640);           // 1280 bytes of "R565.RGB"
//     const int32_t size = ToSize32(RowImageSize64(5, 640, 480));
//     if (YuvFamilyOfRow(row) == YuvFamily::Yuv420) { /* line pairs */ }
//
// The row formulas of the format table; a width or height <= 0 gives 0, and ToSize32 turns a
// value above INT32_MAX into 0 (the converter's "no such image").
#include <cstdint>

struct Surface;

enum class YuvFamily { None, Yuv411, Yuv422, Yuv420 };

// The family of a row by its description; None for RGB, ARGB and mono rows.
YuvFamily YuvFamilyOfRow(int32_t row);
// Rows whose chroma lies in a plane of its own after the luma plane ("Y422.Y1Y0@VU",
// "Y420.Y1Y0-Y3Y2@VU"): written by Convert, never read.
bool IsPlanarRow(int32_t row);

// The row's own stride of width, or 0 for width <= 0.
int64_t RowStride64(int32_t row, int32_t width);
// The row's image size, or 0 for a width or height <= 0.
int64_t RowImageSize64(int32_t row, int32_t width, int32_t height);
// value when it lies in 1..INT32_MAX, else 0.
int32_t ToSize32(int64_t value);
// The bytes from Buffer up to the end of the last byte that converting into dst (format, width,
// height and stride already settled) touches.
int64_t BytesTouched(const Surface& dst);

#include "imaging/ConvGeometry.h"

#include "imaging/ConvTypes.h"

#include <cstring>
#include <limits>

namespace {

// a * b, or INT64_MAX when the product does not fit in 64 bits: a size that large is one that
// fits nowhere, and every caller refuses it as such.
int64_t MulSaturated(int64_t a, int64_t b) {
    int64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) {
        return std::numeric_limits<int64_t>::max();
    }
    return product;
}

int64_t EvenUp(int64_t v) {
    return v + (v % 2);
}

} // namespace

YuvFamily YuvFamilyOfRow(int32_t row) {
    const PixelFormat& format = g_PixelFormats[row];
    if (format.YuvLayout < 0) {
        return YuvFamily::None;
    }
    if (std::strcmp(format.Desc, "YUV 4:1:1") == 0) {
        return YuvFamily::Yuv411;
    }
    return std::strcmp(format.Desc, "YUV 4:2:2") == 0 ? YuvFamily::Yuv422 : YuvFamily::Yuv420;
}

bool IsPlanarRow(int32_t row) {
    const int32_t layout = g_PixelFormats[row].YuvLayout;
    const YuvFamily family = YuvFamilyOfRow(row);
    return (family == YuvFamily::Yuv422 && layout == 4) ||
           (family == YuvFamily::Yuv420 && layout == 10);
}

int64_t RowStride64(int32_t row, int32_t width) {
    if (width <= 0) {
        return 0;
    }
    const int64_t w = width;
    switch (row) {
    case 0:
    case 27:
        return w;
    case 1:
        return (3 * w + 1) / 2;
    case 8:
        return (9 * w + 3) / 4;
    case 9:
    case 11:
    case 19:
    case 20:
        return 3 * w;
    case 10:
    case 21:
        return EvenUp(3 * w);
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 22:
    case 23:
        return 2 * w;
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
    case 24:
    case 25:
    case 26:
        return 4 * w;
    default:
        break;
    }
    if (IsPlanarRow(row)) {
        return EvenUp(w); // the luma plane's
    }
    switch (YuvFamilyOfRow(row)) {
    case YuvFamily::Yuv411:
        return 6 * ((w + 3) / 4);
    case YuvFamily::Yuv422:
        return 2 * EvenUp(w);
    case YuvFamily::Yuv420:
        return 3 * EvenUp(w) / 2;
    default:
        return 0;
    }
}

int64_t RowImageSize64(int32_t row, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        return 0;
    }
    const int64_t h = height;
    if (row == 8) {
        // 9/4 bytes a pixel, rounded up.
        const int64_t nibbles = MulSaturated(MulSaturated(9, width), h);
        return nibbles / 4 + (nibbles % 4 != 0 ? 1 : 0);
    }
    switch (YuvFamilyOfRow(row)) {
    case YuvFamily::Yuv422:
        return MulSaturated(2 * EvenUp(width), h); // also the planar row: two planes of half that
    case YuvFamily::Yuv420:
        return MulSaturated(3 * EvenUp(width) / 2, EvenUp(h));
    default:
        return MulSaturated(RowStride64(row, width), h);
    }
}

int32_t ToSize32(int64_t value) {
    if (value <= 0 || value > std::numeric_limits<int32_t>::max()) {
        return 0;
    }
    return static_cast<int32_t>(value);
}

int64_t BytesTouched(const Surface& dst) {
    const int32_t row = dst.Format;
    const int64_t w = dst.Width;
    const int64_t h = dst.Height;
    const int64_t stride = dst.Stride;
    if (w <= 0 || h <= 0) {
        return 0;
    }
    const PixelFormat& format = g_PixelFormats[row];
    if (row == 8) {
        return RowImageSize64(row, dst.Width, dst.Height); // a stream: no stride
    }
    if (format.YuvLayout < 0) {
        const int64_t end = (h - 1) * stride + (w * format.StorageBits + 7) / 8;
        if (row == 10 || row == 21) {
            // The lane swap pairs bytes from Buffer on: a last byte on an even offset lands one
            // further on, whatever the line's own start.
            return EvenUp(end);
        }
        return end;
    }
    switch (YuvFamilyOfRow(row)) {
    case YuvFamily::Yuv411:
        return (h - 1) * stride + 6 * ((w + 3) / 4);
    case YuvFamily::Yuv422:
        if (IsPlanarRow(row)) {
            // Luma lines at Stride, the chroma plane Stride x Height further on.
            return stride * h + (h - 1) * stride + EvenUp(w);
        }
        return (h - 1) * stride + 2 * EvenUp(w);
    default:
        // 4:2:0: the loop runs a pointer through the row's own geometry, whatever Stride says.
        return RowImageSize64(row, dst.Width, dst.Height);
    }
}

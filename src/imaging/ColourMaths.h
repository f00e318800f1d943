#pragma once
// RGB<->YCbCr conversion of one Pixel in the five colour standards, full and video range, the
// adaptation of YCbCr values between two surfaces' conventions, and the clamps.
//
//     Pixel p{0, 255, 0, 0, 0, 0, 0};
//     RgbToYuv(p, COLORIMETRY_BT601, YuvConvention{false, true}); // p.Cr == 255
//
// Integer arithmetic only, every quotient truncated toward zero. A colorimetry outside 0-4 is a
// programming error: it is reported as an assertion and the pixel is left as it was.
#include "imaging/ConvTypes.h"

#include <cstdint>

// How a surface stores YCbCr: video or full range, chroma offset by +128 or signed.
struct YuvConvention {
    bool VideoRange;
    bool ChromaOffset;
};

inline YuvConvention ConventionOf(const Surface& surface) {
    return YuvConvention{surface.VideoRange != 0, surface.ChromaOffset != 0};
}

// 0 below 0, 255 above 255.
[[gnu::always_inline]] inline int32_t ClampU8(int32_t v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}
// The low 16 bits of v taken as signed, limited to -128..127.
[[gnu::always_inline]] inline int32_t ClampS8(int32_t v) {
    const int32_t low = static_cast<int16_t>(static_cast<uint16_t>(v));
    return low < -128 ? -128 : (low > 127 ? 127 : low);
}

// Y, Cb, Cr from R, G, B in the destination's conventions.
void RgbToYuv(Pixel& pixel, uint32_t colorimetry, YuvConvention dst);
void RgbToYuvVideo(Pixel& pixel, uint32_t colorimetry, YuvConvention dst);
// R, G, B from Y, Cb, Cr stored in the source's conventions.
void YuvToRgb(Pixel& pixel, uint32_t colorimetry, YuvConvention src);
void YuvToRgbVideo(Pixel& pixel, uint32_t colorimetry, YuvConvention src);
// Y, Cb, Cr of a full-range source (Out) or a video-range source (In) in the destination's
// conventions.
void AdaptYuvOut(Pixel& pixel, YuvConvention src, YuvConvention dst);
void AdaptYuvIn(Pixel& pixel, YuvConvention src, YuvConvention dst);

#include "imaging/ColourMaths.h"

#include "common/Assert.h"
#include "imaging/ColourCoefficients.h"

namespace {

int32_t Apply(const LinearRow& row, int32_t first, int32_t second, int32_t third) {
    return (row.A * first + row.B * second + row.C * third) / row.Divisor;
}

bool ValidColorimetry(uint32_t colorimetry) {
    return Q3V_ASSERT_TEXT(colorimetry < COLORIMETRY_COUNT, "false");
}

uint8_t Byte(int32_t v) {
    return static_cast<uint8_t>(v);
}

// A stored chroma byte as a signed value, by the convention it was stored in.
int32_t SignedChroma(uint8_t stored, bool offset) {
    return offset ? int32_t{stored} - 128 : int32_t{static_cast<int8_t>(stored)};
}

} // namespace

void RgbToYuv(Pixel& pixel, uint32_t colorimetry, YuvConvention dst) {
    if (dst.VideoRange) {
        RgbToYuvVideo(pixel, colorimetry, dst);
        return;
    }
    if (!ValidColorimetry(colorimetry)) {
        return;
    }
    const RgbToYuvCoefficients& k = kFullRangeRgbToYuv[colorimetry];
    pixel.Y = Byte(ClampU8(Apply(k.Y, pixel.R, pixel.G, pixel.B)));
    pixel.Cb = Byte(ClampS8(Apply(k.Cb, pixel.R, pixel.G, pixel.B)));
    pixel.Cr = Byte(ClampS8(Apply(k.Cr, pixel.R, pixel.G, pixel.B)));
    if (dst.ChromaOffset) {
        pixel.Cb = Byte(pixel.Cb + 128);
        pixel.Cr = Byte(pixel.Cr + 128);
    }
}

void RgbToYuvVideo(Pixel& pixel, uint32_t colorimetry, YuvConvention dst) {
    if (!ValidColorimetry(colorimetry)) {
        return;
    }
    const RgbToYuvCoefficients& k = kVideoRangeRgbToYuv[colorimetry];
    pixel.Y = Byte(ClampU8(Apply(k.Y, pixel.R, pixel.G, pixel.B) + 16));
    pixel.Cb = Byte(ClampU8(Apply(k.Cb, pixel.R, pixel.G, pixel.B) + 128));
    pixel.Cr = Byte(ClampU8(Apply(k.Cr, pixel.R, pixel.G, pixel.B) + 128));
    if (!dst.ChromaOffset) {
        pixel.Cb = Byte(pixel.Cb - 128);
        pixel.Cr = Byte(pixel.Cr - 128);
    }
}

void YuvToRgb(Pixel& pixel, uint32_t colorimetry, YuvConvention src) {
    if (src.VideoRange) {
        YuvToRgbVideo(pixel, colorimetry, src);
        return;
    }
    if (!ValidColorimetry(colorimetry)) {
        return;
    }
    const YuvToRgbCoefficients& k = kFullRangeYuvToRgb[colorimetry];
    const int32_t y = pixel.Y;
    const int32_t cb = SignedChroma(pixel.Cb, src.ChromaOffset);
    const int32_t cr = SignedChroma(pixel.Cr, src.ChromaOffset);
    pixel.R = Byte(ClampU8(Apply(k.R, y, cb, cr)));
    pixel.G = Byte(ClampU8(Apply(k.G, y, cb, cr)));
    pixel.B = Byte(ClampU8(Apply(k.B, y, cb, cr)));
}

void YuvToRgbVideo(Pixel& pixel, uint32_t colorimetry, YuvConvention src) {
    if (!ValidColorimetry(colorimetry)) {
        return;
    }
    const YuvToRgbCoefficients& k = kVideoRangeYuvToRgb[colorimetry];
    const int32_t y = int32_t{pixel.Y} - 16;
    const int32_t cb = SignedChroma(pixel.Cb, src.ChromaOffset);
    const int32_t cr = SignedChroma(pixel.Cr, src.ChromaOffset);
    pixel.R = Byte(ClampU8(Apply(k.R, y, cb, cr)));
    pixel.G = Byte(ClampU8(Apply(k.G, y, cb, cr)));
    pixel.B = Byte(ClampU8(Apply(k.B, y, cb, cr)));
}

void AdaptYuvOut(Pixel& pixel, YuvConvention src, YuvConvention dst) {
    if (src.ChromaOffset) {
        pixel.Cb = Byte(pixel.Cb - 128);
        pixel.Cr = Byte(pixel.Cr - 128);
    }
    if (dst.VideoRange) {
        pixel.Y = Byte(ClampU8(int32_t{pixel.Y} * 219 / 255 + 16));
        pixel.Cb = Byte(ClampU8(int32_t{static_cast<int8_t>(pixel.Cb)} * 224 / 255 + 128));
        pixel.Cr = Byte(ClampU8(int32_t{static_cast<int8_t>(pixel.Cr)} * 224 / 255 + 128));
        if (!dst.ChromaOffset) {
            pixel.Cb = Byte(pixel.Cb - 128);
            pixel.Cr = Byte(pixel.Cr - 128);
        }
    } else if (dst.ChromaOffset) {
        pixel.Cb = Byte(pixel.Cb + 128);
        pixel.Cr = Byte(pixel.Cr + 128);
    }
}

void AdaptYuvIn(Pixel& pixel, YuvConvention src, YuvConvention dst) {
    if (!src.ChromaOffset) {
        pixel.Cb = Byte(pixel.Cb + 128);
        pixel.Cr = Byte(pixel.Cr + 128);
    }
    if (!dst.VideoRange) {
        pixel.Y = Byte(ClampU8((int32_t{pixel.Y} - 16) * 255 / 219));
        pixel.Cb = Byte(ClampS8((int32_t{pixel.Cb} - 128) * 255 / 224));
        pixel.Cr = Byte(ClampS8((int32_t{pixel.Cr} - 128) * 255 / 224));
        if (dst.ChromaOffset) {
            pixel.Cb = Byte(pixel.Cb + 128);
            pixel.Cr = Byte(pixel.Cr + 128);
        }
    } else if (!dst.ChromaOffset) {
        pixel.Cb = Byte(pixel.Cb - 128);
        pixel.Cr = Byte(pixel.Cr - 128);
    }
}

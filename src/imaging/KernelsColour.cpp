// Row kernels of the colour maths: RGB to YCbCr and back over a run of pixels, exact to the
// per-pixel formulas (integer products, quotients truncated toward zero, the same clamps). The
// divisors are compile-time constants so that the quotients become multiplications.
#include "imaging/ColourCoefficients.h"
#include "imaging/KernelsCommon.h"
#include "imaging/LittleEndian.h"

#include <algorithm>

namespace Q3V_KERNEL_VARIANT {
namespace {

template <int32_t kLumaDivisor, int32_t kChromaDivisor>
void RgbToYuvRun(const uint8_t* argb, int32_t count, const RgbToYuvCoefficients& k, int32_t lumaAdd,
                 int32_t chromaAdd, uint8_t* luma, uint8_t* cb, uint8_t* cr) {
    const int32_t yr = k.Y.A, yg = k.Y.B, yb = k.Y.C;
    const int32_t br = k.Cb.A, bg = k.Cb.B, bb = k.Cb.C;
    const int32_t rr = k.Cr.A, rg = k.Cr.B, rb = k.Cr.C;
    for (int32_t n = 0; n < count; ++n) {
        const int32_t r = argb[4 * n + 2];
        const int32_t g = argb[4 * n + 1];
        const int32_t b = argb[4 * n];
        const int32_t y = (yr * r + yg * g + yb * b) / kLumaDivisor + lumaAdd;
        const int32_t u = (br * r + bg * g + bb * b) / kChromaDivisor;
        const int32_t v = (rr * r + rg * g + rb * b) / kChromaDivisor;
        luma[n] = static_cast<uint8_t>(std::clamp(y, 0, 255));
        cb[n] = static_cast<uint8_t>(std::clamp(u, -128, 127) + chromaAdd);
        cr[n] = static_cast<uint8_t>(std::clamp(v, -128, 127) + chromaAdd);
    }
}

// Full range: Y clamped to 0..255, chroma to -128..127 then +128 with offset. Video range: the
// same with 16 added to Y before its clamp (Cb + 128 clamped to 0..255 and 128 taken off again
// without offset is the signed clamp).
void RgbToYuvRow(const uint8_t* argb, int32_t count, uint32_t colorimetry, bool video, bool offset,
                 uint8_t* luma, uint8_t* cb, uint8_t* cr) {
    const RgbToYuvCoefficients& k =
        video ? kVideoRangeRgbToYuv[colorimetry] : kFullRangeRgbToYuv[colorimetry];
    const int32_t lumaAdd = video ? 16 : 0;
    const int32_t chromaAdd = offset ? 128 : 0;
    if (k.Y.Divisor == 1000 && k.Cb.Divisor == 1000) {
        RgbToYuvRun<1000, 1000>(argb, count, k, lumaAdd, chromaAdd, luma, cb, cr);
    } else if (k.Y.Divisor == 10000 && k.Cb.Divisor == 1000) {
        RgbToYuvRun<10000, 1000>(argb, count, k, lumaAdd, chromaAdd, luma, cb, cr);
    } else {
        RgbToYuvRun<10000, 10000>(argb, count, k, lumaAdd, chromaAdd, luma, cb, cr);
    }
}

template <int32_t kDivisor>
void YuvToRgbRun(YuvLinePixels in, int32_t count, const YuvToRgbCoefficients& k, int32_t lumaOffset,
                 uint32_t signFlip, uint8_t* argb) {
    const int32_t ry = k.R.A, rb = k.R.B, rr = k.R.C;
    const int32_t gy = k.G.A, gb = k.G.B, gr = k.G.C;
    const int32_t by = k.B.A, bb = k.B.B, br = k.B.C;
    for (int32_t n = 0; n < count; ++n) {
        const int32_t y = int32_t{in.Luma[n]} - lumaOffset;
        const int32_t u = static_cast<int32_t>(in.Cb[n] ^ signFlip) - 128;
        const int32_t v = static_cast<int32_t>(in.Cr[n] ^ signFlip) - 128;
        const int32_t r = std::clamp((ry * y + rb * u + rr * v) / kDivisor, 0, 255);
        const int32_t g = std::clamp((gy * y + gb * u + gr * v) / kDivisor, 0, 255);
        const int32_t b = std::clamp((by * y + bb * u + br * v) / kDivisor, 0, 255);
        StoreLe32(argb + 4 * n, (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
                                    static_cast<uint32_t>(b));
    }
}

// Chroma as a signed value: stored - 128 with offset, the byte as signed without ((b ^ 0x80) -
// 128).
void YuvToRgbRow(YuvLinePixels in, int32_t count, uint32_t colorimetry, bool video, bool offset,
                 uint8_t* argb) {
    const uint32_t signFlip = offset ? 0u : 0x80u;
    if (video) {
        YuvToRgbRun<10000>(in, count, kVideoRangeYuvToRgb[colorimetry], 16, signFlip, argb);
    } else {
        YuvToRgbRun<1000>(in, count, kFullRangeYuvToRgb[colorimetry], 0, signFlip, argb);
    }
}

} // namespace

void FillColourKernels(KernelSet& k) {
    k.RgbToYuvRow = &RgbToYuvRow;
    k.YuvToRgbRow = &YuvToRgbRow;
}

} // namespace Q3V_KERNEL_VARIANT

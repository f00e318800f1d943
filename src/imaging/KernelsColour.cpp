// Row kernels of the colour maths: RGB to YCbCr and back over a run of pixels, exact to the
// per-pixel formulas (integer products, quotients truncated toward zero, the same clamps). The
// divisors are compile-time constants so that the quotients become multiplications.
#include "imaging/ColourCoefficients.h"
#include "imaging/KernelsCommon.h"
#include "common/ByteOrder.h"
#include "imaging/RgbYuvLanes.h"
#include "imaging/YuvArgbLanes.h"

namespace Q3V_KERNEL_VARIANT {
namespace {

// (Helpers of this file's own rather than std::clamp: each build of the kernels keeps its
// instructions to itself.)
int32_t Clamp(int32_t v, int32_t low, int32_t high) {
    return v < low ? low : (v > high ? high : v);
}

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
        luma[n] = static_cast<uint8_t>(Clamp(y, 0, 255));
        cb[n] = static_cast<uint8_t>(Clamp(u, -128, 127) + chromaAdd);
        cr[n] = static_cast<uint8_t>(Clamp(v, -128, 127) + chromaAdd);
    }
}

#ifdef __AVX2__
int32_t PairsToArgb(const uint8_t* pairs, const uint8_t* luma, bool lumaSwapped,
                    const GroupBytes& g, int32_t count, const YuvArgbLanes& k, uint8_t* argb) {
    PairShuffles shuffles = MakePairShuffles(g);
    if (luma != nullptr) {
        MakeLumaShuffles(lumaSwapped, &shuffles.Luma0, &shuffles.Luma1);
        return k.SameLuma ? PairsToArgbLanes<true, true>(pairs, luma, shuffles, count, k, argb)
                          : PairsToArgbLanes<false, true>(pairs, luma, shuffles, count, k, argb);
    }
    return k.SameLuma ? PairsToArgbLanes<true, false>(pairs, luma, shuffles, count, k, argb)
                      : PairsToArgbLanes<false, false>(pairs, luma, shuffles, count, k, argb);
}

YuvArgbLanes SourceLanes(const Surface& src, uint32_t colorimetry) {
    return MakeYuvArgbLanes(colorimetry, src.VideoRange != 0, src.ChromaOffset != 0);
}

// 4:2:2 layouts 0-3: a line of pixel pairs.
int32_t YuvToArgb422(const Surface& src, int32_t x, int32_t y, int32_t count, uint32_t colorimetry,
                     uint8_t* argb) {
    const int32_t layout = g_PixelFormats[src.Format].YuvLayout;
    if (x % 2 != 0 || layout > 3) {
        return 0;
    }
    const uint8_t* pairs = src.Buffer + int64_t{y} * src.Stride + int64_t{x / 2} * 4;
    return PairsToArgb(pairs, nullptr, false, kYuv422Bytes[layout], count,
                       SourceLanes(src, colorimetry), argb);
}

// 4:2:0 layouts 0-7: line pairs of 3 x W2 bytes from Buffer; the even line's pixel pairs carry
// the chroma of both lines, the odd line's luma follows them (pair-swapped in odd layouts).
int32_t YuvToArgb420(const Surface& src, int32_t x, int32_t y, int32_t count, uint32_t colorimetry,
                     uint8_t* argb) {
    const int32_t layout = g_PixelFormats[src.Format].YuvLayout;
    if (x % 2 != 0 || layout > 7) {
        return 0;
    }
    const int64_t w2 = int64_t{src.Width} + src.Width % 2;
    const uint8_t* base = src.Buffer + int64_t{y / 2} * 3 * w2;
    const uint8_t* luma = y % 2 == 0 ? nullptr : base + 2 * w2 + x;
    return PairsToArgb(base + int64_t{x / 2} * 4, luma, layout % 2 != 0, kYuv420EvenBytes[layout],
                       count, SourceLanes(src, colorimetry), argb);
}

int32_t YuvToArgb420Pair(const Surface& src, int32_t x, int32_t y, int32_t count,
                         uint32_t colorimetry, uint8_t* argbEven, uint8_t* argbOdd) {
    const int32_t layout = g_PixelFormats[src.Format].YuvLayout;
    if (x % 2 != 0 || y % 2 != 0 || layout > 7) {
        return 0;
    }
    const int64_t w2 = int64_t{src.Width} + src.Width % 2;
    const uint8_t* base = src.Buffer + int64_t{y / 2} * 3 * w2;
    const PairShuffles even = MakePairShuffles(kYuv420EvenBytes[layout]);
    PairShuffles odd = even;
    MakeLumaShuffles(layout % 2 != 0, &odd.Luma0, &odd.Luma1);
    const YuvArgbLanes k = SourceLanes(src, colorimetry);
    const uint8_t* pairs = base + int64_t{x / 2} * 4;
    const uint8_t* oddLuma = base + 2 * w2 + x;
    return k.SameLuma
               ? LinePairToArgbLanes<true>(pairs, oddLuma, even, odd, count, k, argbEven, argbOdd)
               : LinePairToArgbLanes<false>(pairs, oddLuma, even, odd, count, k, argbEven, argbOdd);
}
#endif

// Full range: Y clamped to 0..255, chroma to -128..127 then +128 with offset. Video range: the
// same with 16 added to Y before its clamp (Cb + 128 clamped to 0..255 and 128 taken off again
// without offset is the signed clamp).
void RgbToYuvRow(const uint8_t* argb, int32_t count, uint32_t colorimetry, bool video, bool offset,
                 uint8_t* luma, uint8_t* cb, uint8_t* cr) {
    const RgbToYuvCoefficients& k =
        video ? kVideoRangeRgbToYuv[colorimetry] : kFullRangeRgbToYuv[colorimetry];
    const int32_t lumaAdd = video ? 16 : 0;
    const int32_t chromaAdd = offset ? 128 : 0;
#ifdef __AVX2__
    const int32_t done =
        RgbToYuvLanes(argb, count, MakeRgbYuvLanes(k, lumaAdd, chromaAdd), luma, cb, cr);
    argb += 4 * done;
    luma += done;
    cb += done;
    cr += done;
    count -= done;
#endif
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
        const int32_t r = Clamp((ry * y + rb * u + rr * v) / kDivisor, 0, 255);
        const int32_t g = Clamp((gy * y + gb * u + gr * v) / kDivisor, 0, 255);
        const int32_t b = Clamp((by * y + bb * u + br * v) / kDivisor, 0, 255);
        StoreLe32(argb + 4 * n, (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
                                    static_cast<uint32_t>(b));
    }
}

// Chroma as a signed value: stored - 128 with offset, the byte as signed without ((b ^ 0x80) -
// 128).
void YuvToRgbRow(YuvLinePixels in, int32_t count, uint32_t colorimetry, bool video, bool offset,
                 uint8_t* argb) {
    const uint32_t signFlip = offset ? 0u : 0x80u;
#ifdef __AVX2__
    const YuvArgbLanes lanes = MakeYuvArgbLanes(colorimetry, video, offset);
    const int32_t done = lanes.SameLuma ? YuvToRgbLanes<true>(in, count, lanes, argb)
                                        : YuvToRgbLanes<false>(in, count, lanes, argb);
    in = YuvLinePixels{in.Luma + done, in.Cb + done, in.Cr + done};
    argb += 4 * done;
    count -= done;
#endif
    if (video) {
        YuvToRgbRun<10000>(in, count, kVideoRangeYuvToRgb[colorimetry], 16, signFlip, argb);
    } else {
        YuvToRgbRun<1000>(in, count, kFullRangeYuvToRgb[colorimetry], 0, signFlip, argb);
    }
}

#ifdef __AVX2__
// Whole pixel pairs of a 4:2:0 line pair from even line j of the destination, from the ARGB
// words of its two source lines: the planar row only.
int32_t RgbToYuv420(const uint8_t* even, const uint8_t* odd, int32_t count, const Surface& d,
                    int32_t j, int32_t i, uint32_t colorimetry) {
    if (g_PixelFormats[d.Format].YuvLayout != 10) {
        return 0;
    }
    const bool video = d.VideoRange != 0;
    const bool offset = d.ChromaOffset != 0;
    const RgbYuvLanes k =
        MakeRgbYuvLanes(video ? kVideoRangeRgbToYuv[colorimetry] : kFullRangeRgbToYuv[colorimetry],
                        video ? 16 : 0, offset ? 128 : 0);
    const int64_t w2 = int64_t{d.Width} + d.Width % 2;
    const int64_t h2 = int64_t{d.Height} + d.Height % 2;
    uint8_t* lumaEven = d.Buffer + int64_t{j} * w2 + i;
    uint8_t* chroma = d.Buffer + w2 * h2 + int64_t{j} * w2 / 2 + i;
    const int32_t real = count < d.Width - i ? count : d.Width - i; // before the padding
    return offset ? RgbToPlanar420Lanes<true>(even, odd, real, k, lumaEven, lumaEven + w2, chroma)
                  : RgbToPlanar420Lanes<false>(even, odd, real, k, lumaEven, lumaEven + w2, chroma);
}
#endif

} // namespace

void FillColourKernels(KernelSet& k) {
    k.RgbToYuvRow = &RgbToYuvRow;
    k.YuvToRgbRow = &YuvToRgbRow;
#ifdef __AVX2__
    k.YuvToArgb422 = &YuvToArgb422;
    k.YuvToArgb420 = &YuvToArgb420;
    k.YuvToArgb420Pair = &YuvToArgb420Pair;
    k.RgbToYuv420 = &RgbToYuv420;
#endif
}

} // namespace Q3V_KERNEL_VARIANT

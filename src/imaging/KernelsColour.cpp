// Row kernels of the colour maths: RGB to YCbCr and back over a run of pixels, exact to the
// per-pixel formulas (integer products, quotients truncated toward zero, the same clamps). The
// divisors are compile-time constants so that the quotients become multiplications.
#include "imaging/ColourCoefficients.h"
#include "imaging/ExactQuotient16.h"
#include "imaging/KernelsCommon.h"
#include "imaging/LittleEndian.h"

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
// One output of RGB to YCbCr over eight ARGB words: the sum by pairwise multiply-add of the
// 16-bit pairs (B, R) and (G, 0), the quotient of its magnitude as (|N| + 0.5) / divisor in
// single precision, given N's sign. |N| is below 2^23, so |N| + 0.5 is exact; the quotient's
// fractional part stays 0.5 / divisor or more away from an integer, while the two roundings
// (of 1 / divisor and of the product) move a quotient below 256 by less than 256 * 2^-23 (3.1e-5,
// under 0.5 / 10000); so the truncation is exact (checked over all colours by a test).
struct RgbLaneRow {
    __m256i BlueRed;
    __m256i Green;
    __m256 Reciprocal;
};

RgbLaneRow MakeRgbLaneRow(const LinearRow& row) {
    return RgbLaneRow{
        _mm256_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(row.A) << 16) |
                                               (static_cast<uint32_t>(row.C) & 0xFFFFu))),
        _mm256_set1_epi32(row.B & 0xFFFF), _mm256_set1_ps(1.0f / static_cast<float>(row.Divisor))};
}

[[gnu::always_inline]] inline __m256i QuotientOfWords(const RgbLaneRow& row, __m256i blueRed,
                                                      __m256i green) {
    const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(blueRed, row.BlueRed),
                                         _mm256_madd_epi16(green, row.Green));
    const __m256 magnitude =
        _mm256_add_ps(_mm256_cvtepi32_ps(_mm256_abs_epi32(sum)), _mm256_set1_ps(0.5f));
    return _mm256_sign_epi32(_mm256_cvttps_epi32(_mm256_mul_ps(magnitude, row.Reciprocal)), sum);
}

// Sixteen pixels at a time; returns how many pixels it converted.
int32_t RgbToYuvLanes(const uint8_t* argb, int32_t count, const RgbToYuvCoefficients& k,
                      int32_t lumaAdd, int32_t chromaAdd, uint8_t* luma, uint8_t* cb, uint8_t* cr) {
    const RgbLaneRow y = MakeRgbLaneRow(k.Y);
    const RgbLaneRow u = MakeRgbLaneRow(k.Cb);
    const RgbLaneRow v = MakeRgbLaneRow(k.Cr);
    const __m256i lumaBias = _mm256_set1_epi16(static_cast<int16_t>(lumaAdd));
    const __m128i chromaBias = _mm_set1_epi8(static_cast<char>(chromaAdd));
    const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
    const __m256i lowByte = _mm256_set1_epi32(0xFF);
    int32_t n = 0;
    for (; n + 16 <= count; n += 16) {
        const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(argb + 4 * n));
        const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(argb + 4 * n + 32));
        const __m256i blueRedLo = _mm256_and_si256(lo, lowBytes);
        const __m256i blueRedHi = _mm256_and_si256(hi, lowBytes);
        const __m256i greenLo = _mm256_and_si256(_mm256_srli_epi32(lo, 8), lowByte);
        const __m256i greenHi = _mm256_and_si256(_mm256_srli_epi32(hi, 8), lowByte);
        // Sixteen 16-bit results in pixel order (the pack interleaves 64-bit halves).
        const auto lanes16 = [&](const RgbLaneRow& row) {
            return _mm256_permute4x64_epi64(
                _mm256_packs_epi32(QuotientOfWords(row, blueRedLo, greenLo),
                                   QuotientOfWords(row, blueRedHi, greenHi)),
                0xD8);
        };
        const __m256i y16 = _mm256_add_epi16(lanes16(y), lumaBias);
        const __m256i uvBytes =
            _mm256_permute4x64_epi64(_mm256_packs_epi16(lanes16(u), lanes16(v)), 0xD8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(luma + n), ClampToBytes16(y16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cb + n),
                         _mm_add_epi8(_mm256_castsi256_si128(uvBytes), chromaBias));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cr + n),
                         _mm_add_epi8(_mm256_extracti128_si256(uvBytes, 1), chromaBias));
    }
    return n;
}

// kFull: R takes Cb and B takes Cr (only BT 470 has those coefficients).
template <bool kFull>
int32_t YuvToRgbLanes(YuvLinePixels in, int32_t count, const YuvToRgbCoefficients& k,
                      int32_t lumaOffset, uint32_t signFlip, uint8_t* argb) {
    const LaneCombination red = MakeLaneCombination(k.R);
    const LaneCombination green = MakeLaneCombination(k.G);
    const LaneCombination blue = MakeLaneCombination(k.B);
    const __m256i lumaBias = _mm256_set1_epi16(static_cast<int16_t>(lumaOffset));
    const __m256i chromaBias = _mm256_set1_epi16(128);
    const __m128i flip = _mm_set1_epi8(static_cast<char>(signFlip));
    const __m128i zero = _mm_setzero_si128();
    int32_t n = 0;
    for (; n + 16 <= count; n += 16) {
        const auto load = [&](const uint8_t* p) {
            return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n)));
        };
        const __m256i y = _mm256_sub_epi16(load(in.Luma), lumaBias);
        const __m256i u = _mm256_sub_epi16(
            _mm256_cvtepu8_epi16(
                _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in.Cb + n)), flip)),
            chromaBias);
        const __m256i v = _mm256_sub_epi16(
            _mm256_cvtepu8_epi16(
                _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in.Cr + n)), flip)),
            chromaBias);
        const __m256i r16 = ExactQuotient<kFull, true>(red, y, u, v, false);
        const __m256i g16 = ExactQuotient(green, y, u, v, false);
        const __m256i b16 = ExactQuotient<true, kFull>(blue, y, u, v, false);
        // Clamped to bytes in pixel order: B and G, then R.
        const __m256i bg = _mm256_permute4x64_epi64(_mm256_packus_epi16(b16, g16), 0xD8);
        const __m256i rr = _mm256_permute4x64_epi64(_mm256_packus_epi16(r16, r16), 0xD8);
        const __m128i bBytes = _mm256_castsi256_si128(bg);
        const __m128i gBytes = _mm256_extracti128_si256(bg, 1);
        const __m128i rBytes = _mm256_castsi256_si128(rr);
        const __m128i bgLo = _mm_unpacklo_epi8(bBytes, gBytes);
        const __m128i bgHi = _mm_unpackhi_epi8(bBytes, gBytes);
        const __m128i r0Lo = _mm_unpacklo_epi8(rBytes, zero);
        const __m128i r0Hi = _mm_unpackhi_epi8(rBytes, zero);
        __m128i* out = reinterpret_cast<__m128i*>(argb + 4 * n);
        _mm_storeu_si128(out, _mm_unpacklo_epi16(bgLo, r0Lo));
        _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(bgLo, r0Lo));
        _mm_storeu_si128(out + 2, _mm_unpacklo_epi16(bgHi, r0Hi));
        _mm_storeu_si128(out + 3, _mm_unpackhi_epi16(bgHi, r0Hi));
    }
    return n;
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
    const int32_t done = RgbToYuvLanes(argb, count, k, lumaAdd, chromaAdd, luma, cb, cr);
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
    const YuvToRgbCoefficients& lanes =
        video ? kVideoRangeYuvToRgb[colorimetry] : kFullRangeYuvToRgb[colorimetry];
    const int32_t lumaOffset = video ? 16 : 0;
    const int32_t done = lanes.R.B == 0 && lanes.B.C == 0
                             ? YuvToRgbLanes<false>(in, count, lanes, lumaOffset, signFlip, argb)
                             : YuvToRgbLanes<true>(in, count, lanes, lumaOffset, signFlip, argb);
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

} // namespace

void FillColourKernels(KernelSet& k) {
    k.RgbToYuvRow = &RgbToYuvRow;
    k.YuvToRgbRow = &YuvToRgbRow;
}

} // namespace Q3V_KERNEL_VARIANT

#pragma once
// Exact integer quotients of small linear combinations in 16-bit AVX2 lanes, sixteen at a time:
// q = (a * x + b * y + c * z) / divisor for x, y, z in -256..255 and the colour maths'
// coefficients (|coefficient| / divisor < 4, divisor up to 16383), truncated toward zero or
// floored, exactly as 32-bit integer arithmetic would give it.
//
//     const LaneCombination luma = MakeLaneCombination(kFullRangeRgbToYuv[2].Y);
//     const __m256i y = ExactQuotient(luma, r, g, b, /*truncate=*/false);
//
// The quotient is first estimated in fixed point (each term (x << 7) * round(coefficient *
// 2^13 / divisor) >> 16, in sixteenths, less a quarter), which gives the floor or one less; the
// remainder of that estimate, computed modulo 2^16 from the exact products' low halves, lies in
// 0..2 * divisor - 1 and so is exact as a signed 16-bit value, and corrects the estimate by
// one. For AVX2 builds of the row kernels only.
#include "imaging/ColourCoefficients.h"

#include <immintrin.h>

#include <cmath>
#include <cstdint>

#ifdef __AVX2__

struct LaneCombination {
    __m256i Exact[3];    // the coefficients, for the low halves of the products
    __m256i Estimate[3]; // coefficient * 2^13 / divisor, rounded
    __m256i Divisor;
    __m256i DivisorLess1;
};

inline LaneCombination MakeLaneCombination(const LinearRow& row) {
    const int32_t coefficients[3] = {row.A, row.B, row.C};
    LaneCombination c{};
    for (int k = 0; k < 3; ++k) {
        c.Exact[k] = _mm256_set1_epi16(static_cast<int16_t>(coefficients[k]));
        const double scaled = std::round(coefficients[k] * 8192.0 / row.Divisor);
        c.Estimate[k] = _mm256_set1_epi16(static_cast<int16_t>(scaled));
    }
    c.Divisor = _mm256_set1_epi16(static_cast<int16_t>(row.Divisor));
    c.DivisorLess1 = _mm256_set1_epi16(static_cast<int16_t>(row.Divisor - 1));
    return c;
}

// x, y, z: sixteen signed 16-bit inputs each, in -256..255.
// kMiddle, kLast: false when that coefficient is zero, to skip its term.
template <bool kMiddle = true, bool kLast = true>
[[gnu::always_inline]] inline __m256i ExactQuotient(const LaneCombination& c, __m256i x, __m256i y,
                                                    __m256i z, bool truncate) {
    // Each fixed-point term is off by less than 1/16 + 1/64, so the sum of three lies within
    // 0.24 of 16 * N / divisor; taking a quarter off makes the estimate the floor or one below.
    __m256i sixteenths = _mm256_sub_epi16(
        _mm256_mulhi_epi16(_mm256_slli_epi16(x, 7), c.Estimate[0]), _mm256_set1_epi16(4));
    __m256i low = _mm256_mullo_epi16(x, c.Exact[0]);
    if constexpr (kMiddle) {
        sixteenths = _mm256_add_epi16(sixteenths,
                                      _mm256_mulhi_epi16(_mm256_slli_epi16(y, 7), c.Estimate[1]));
        low = _mm256_add_epi16(low, _mm256_mullo_epi16(y, c.Exact[1]));
    }
    if constexpr (kLast) {
        sixteenths = _mm256_add_epi16(sixteenths,
                                      _mm256_mulhi_epi16(_mm256_slli_epi16(z, 7), c.Estimate[2]));
        low = _mm256_add_epi16(low, _mm256_mullo_epi16(z, c.Exact[2]));
    }
    __m256i q = _mm256_srai_epi16(sixteenths, 4);
    // The remainder lies in 0..2 * divisor - 1: exact as a signed 16-bit value.
    __m256i r = _mm256_sub_epi16(low, _mm256_mullo_epi16(q, c.Divisor));
    const __m256i low1 = _mm256_cmpgt_epi16(r, c.DivisorLess1); // the estimate was one low
    q = _mm256_sub_epi16(q, low1);
    if (truncate) {
        r = _mm256_sub_epi16(r, _mm256_and_si256(low1, c.Divisor));
        // A negative quotient with a remainder rounds toward zero: one up.
        const __m256i zero = _mm256_setzero_si256();
        const __m256i inexactNegative =
            _mm256_andnot_si256(_mm256_cmpeq_epi16(r, zero), _mm256_cmpgt_epi16(zero, q));
        q = _mm256_sub_epi16(q, inexactNegative);
    }
    return q;
}

// The R, G and B channels of sixteen ARGB words (64 bytes at argb) as 16-bit lanes in pixel
// order.
struct ArgbChannels16 {
    __m256i R;
    __m256i G;
    __m256i B;
};

[[gnu::always_inline]] inline ArgbChannels16 LoadArgbChannels16(const uint8_t* argb) {
    const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(argb));
    const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(argb + 32));
    const __m256i byteMask = _mm256_set1_epi32(0xFF);
    // The pack interleaves 64-bit halves of its two sources; the permutation restores the order.
    const auto channel = [&](int shift) {
        const __m256i a = _mm256_and_si256(_mm256_srli_epi32(lo, shift), byteMask);
        const __m256i b = _mm256_and_si256(_mm256_srli_epi32(hi, shift), byteMask);
        return _mm256_permute4x64_epi64(_mm256_packus_epi32(a, b), 0xD8);
    };
    return ArgbChannels16{channel(16), channel(8), channel(0)};
}

// Sixteen 16-bit lanes in 0..255 (or clamped to it) as sixteen bytes in order.
[[gnu::always_inline]] inline __m128i ClampToBytes16(__m256i lanes) {
    return _mm256_castsi256_si128(
        _mm256_permute4x64_epi64(_mm256_packus_epi16(lanes, lanes), 0xD8));
}

#endif

#pragma once
// Exact integer quotients in 32-bit AVX2 lanes, eight at a time: q = N / divisor truncated
// toward zero, for any integer N below 2^24 in magnitude and a divisor up to 10000, as the
// colour maths' 32-bit integer arithmetic gives it wherever |q| < 2^22 / divisor (419 for
// 10000); a larger quotient comes out no smaller in magnitude, which every clamp of the colour
// maths (to 0..255 or -128..127) turns into the same byte.
//
//     const __m256 reciprocal = _mm256_set1_ps(ReciprocalRoundedUp(1000));
//     const __m256i q = TruncatedQuotient(sums, reciprocal); // sums: eight exact 32-bit sums
//
// Why it is exact: r, the least float >= 1 / divisor, is below (1 / divisor)(1 + 2^-23); N is a
// float as it stands, so N * r rounds once. Its magnitude is at least |N / divisor| and so at
// least the integer k = trunc(|N / divisor|), which is a float itself, and rounding to nearest
// cannot fall below it. It is also below |N / divisor|(1 + 2^-22), which stays under k + 1: the
// gap from |N / divisor| to k + 1 is at least 1 / divisor, and |N / divisor| * 2^-22 is less.
// The conversion then truncates toward zero, as the integer division does.
// For AVX2 builds of the row kernels only; ReciprocalRoundedUp serves any build.
#include <cmath>
#include <cstdint>
#include <immintrin.h>

// The least float that is not below 1 / divisor (divisor 1..2^24).
[[gnu::always_inline]] inline float ReciprocalRoundedUp(int32_t divisor) {
    float r = 1.0f / static_cast<float>(divisor);
    // r * divisor is exact in double (24 + 24 significant bits at most).
    while (static_cast<double>(r) * divisor < 1.0) {
        r = std::nextafter(r, 2.0f);
    }
    return r;
}

#ifdef __AVX2__

[[gnu::always_inline]] inline __m256i TruncatedQuotient(__m256i sums, __m256 reciprocalUp) {
    return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(sums), reciprocalUp));
}

// Sixteen 16-bit lanes clamped to 0..255, as sixteen bytes in order.
[[gnu::always_inline]] inline __m128i ClampToBytes16(__m256i lanes) {
    return _mm256_castsi256_si128(
        _mm256_permute4x64_epi64(_mm256_packus_epi16(lanes, lanes), 0xD8));
}

// Sixteen 32-bit lanes (two vectors, pixels in order) as sixteen 16-bit lanes in order, each
// limited to -32768..32767.
[[gnu::always_inline]] inline __m256i PackInOrder32(__m256i low, __m256i high) {
    return _mm256_permute4x64_epi64(_mm256_packs_epi32(low, high), 0xD8);
}

#endif

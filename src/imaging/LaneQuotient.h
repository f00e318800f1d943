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
#include <bit>
#include <cstdint>
#include <immintrin.h>

// The least float that is not below 1 / divisor (divisor 1..2^24).
[[gnu::always_inline]] constexpr float ReciprocalRoundedUp(int32_t divisor) {
    float r = 1.0f / static_cast<float>(divisor);
    // r * divisor is exact in double (24 + 24 significant bits at most); the next float up from
    // a positive one has the next bit pattern.
    while (static_cast<double>(r) * divisor < 1.0) {
        r = std::bit_cast<float>(std::bit_cast<uint32_t>(r) + 1u);
    }
    return r;
}
static_assert(static_cast<double>(ReciprocalRoundedUp(1000)) * 1000 >= 1.0);
static_assert(static_cast<double>(ReciprocalRoundedUp(10000)) * 10000 >= 1.0);

#ifdef __AVX2__

[[gnu::always_inline]] inline __m256i TruncatedQuotient(__m256i sums, __m256 reciprocalUp) {
    return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(sums), reciprocalUp));
}

// The packs of two vectors of pixels 0-7 and 8-15 leave groups of four in the order 0-3, 8-11 |
// 4-7, 12-15 (in 16-bit lanes; in bytes after a second pack, 32-bit groups 0, 1 | 4, 5 of the
// same order). This permutation of 32-bit groups puts such bytes back in pixel order: groups
// 0, 4, 1, 5 hold pixels 0-15 of the first pack's operand, 2, 6, 3, 7 those of the second.
[[gnu::always_inline]] inline __m256i PackedBytesInOrder(__m256i bytes) {
    return _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

#endif

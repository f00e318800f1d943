#pragma once
// The AVX2 lanes of RGB to YCbCr for the colour kernels: each output's exact sum of products
// over eight ARGB words and its quotient, sixteen pixels' Y, Cb and Cr as stored bytes, and the
// 2 x 2 chroma average of the 4:2:0 rows.
//
//     const RgbYuvLanes k = MakeRgbYuvLanes(kVideoRangeRgbToYuv[2], 16, 128);
//     const YuvBytes16 yuv = RgbToYuv16(k, argb);   // luma in order, chroma in the packs' order
//
// Included by the kernel sources of the AVX2 build only (namespace Q3V_KERNEL_VARIANT).
#include "imaging/ColourCoefficients.h"
#include "imaging/KernelsCommon.h"
#include "imaging/LaneQuotient.h"

#ifdef __AVX2__
namespace Q3V_KERNEL_VARIANT {

// One output of RGB to YCbCr over eight ARGB words: the exact sum by pairwise multiply-add of
// the 16-bit pairs (B, R) and (G, A), with A's coefficient 0, then the quotient as
// TruncatedQuotient gives it (|sum| < 2^23).
struct RgbLaneRow {
    __m256i BlueRed;
    __m256i GreenAlpha;
    __m256 Reciprocal;
};

inline RgbLaneRow MakeRgbLaneRow(const LinearRow& row) {
    return RgbLaneRow{
        _mm256_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(row.A) << 16) |
                                               (static_cast<uint32_t>(row.C) & 0xFFFFu))),
        _mm256_set1_epi32(row.B & 0xFFFF), _mm256_set1_ps(ReciprocalRoundedUp(row.Divisor))};
}

[[gnu::always_inline]] inline __m256i QuotientOfWords(const RgbLaneRow& row, __m256i blueRed,
                                                      __m256i greenAlpha) {
    const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(blueRed, row.BlueRed),
                                         _mm256_madd_epi16(greenAlpha, row.GreenAlpha));
    return TruncatedQuotient(sum, row.Reciprocal);
}

// The three rows of one destination's conventions, with the additions after the quotients.
struct RgbYuvLanes {
    RgbLaneRow Y;
    RgbLaneRow Cb;
    RgbLaneRow Cr;
    __m256i LumaBias;   // 16-bit: 16 in video range
    __m256i ChromaBias; // bytes: 128 with ChromaOffset
};

inline RgbYuvLanes MakeRgbYuvLanes(const RgbToYuvCoefficients& k, int32_t lumaAdd,
                                   int32_t chromaAdd) {
    return RgbYuvLanes{MakeRgbLaneRow(k.Y), MakeRgbLaneRow(k.Cb), MakeRgbLaneRow(k.Cr),
                       _mm256_set1_epi16(static_cast<int16_t>(lumaAdd)),
                       _mm256_set1_epi8(static_cast<char>(chromaAdd))};
}

// Y, Cb and Cr of sixteen ARGB words as stored: the luma bytes in pixel order (low half), and
// the chroma bytes in the packs' order, Cb in the first eight bytes of each lane and Cr in the
// last (see PackedBytesInOrder), so that neighbouring pixels stay neighbours.
struct YuvBytes16 {
    __m256i Luma;
    __m256i Chroma;
};

[[gnu::always_inline]] inline YuvBytes16 RgbToYuv16(const RgbYuvLanes& k, const uint8_t* argb) {
    const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
    const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(argb));
    const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(argb + 32));
    const __m256i blueRedLo = _mm256_and_si256(lo, lowBytes);
    const __m256i blueRedHi = _mm256_and_si256(hi, lowBytes);
    const __m256i greenAlphaLo = _mm256_srli_epi16(lo, 8);
    const __m256i greenAlphaHi = _mm256_srli_epi16(hi, 8);
    const auto lanes16 = [&](const RgbLaneRow& row) {
        return _mm256_packs_epi32(QuotientOfWords(row, blueRedLo, greenAlphaLo),
                                  QuotientOfWords(row, blueRedHi, greenAlphaHi));
    };
    const __m256i y16 = _mm256_add_epi16(lanes16(k.Y), k.LumaBias);
    return YuvBytes16{
        PackedBytesInOrder(_mm256_packus_epi16(y16, y16)),
        _mm256_add_epi8(_mm256_packs_epi16(lanes16(k.Cb), lanes16(k.Cr)), k.ChromaBias)};
}

// Sixteen pixels at a time; returns how many pixels it converted.
inline int32_t RgbToYuvLanes(const uint8_t* argb, int32_t count, const RgbYuvLanes& k,
                             uint8_t* luma, uint8_t* cb, uint8_t* cr) {
    int32_t n = 0;
    for (; n + 16 <= count; n += 16) {
        PrefetchAhead(argb + 4 * n);
        const YuvBytes16 yuv = RgbToYuv16(k, argb + 4 * n);
        const __m256i chroma = PackedBytesInOrder(yuv.Chroma);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(luma + n), _mm256_castsi256_si128(yuv.Luma));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cb + n), _mm256_castsi256_si128(chroma));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cr + n), _mm256_extracti128_si256(chroma, 1));
    }
    return n;
}

// The 2 x 2 chroma average of the 4:2:0 loop over the chroma bytes of two lines' sixteen
// pixels (both in the packs' order), as the bytes Cb Cr of eight pixel pairs in order: with
// ChromaOffset added unsigned and shifted, without it added signed and divided truncating
// toward zero.
template <bool kOffset>
[[gnu::always_inline]] inline __m128i BlockChroma16(__m256i even, __m256i odd) {
    const __m256i ones = _mm256_set1_epi8(1);
    const auto pairSums = [&](__m256i bytes) {
        return kOffset ? _mm256_maddubs_epi16(bytes, ones) : _mm256_maddubs_epi16(ones, bytes);
    };
    __m256i sum = _mm256_add_epi16(pairSums(even), pairSums(odd));
    if constexpr (kOffset) {
        sum = _mm256_srli_epi16(sum, 2);
    } else {
        const __m256i roundUp = _mm256_and_si256(_mm256_srai_epi16(sum, 15), _mm256_set1_epi16(3));
        sum = _mm256_srai_epi16(_mm256_add_epi16(sum, roundUp), 2);
    }
    // Words: Cb of pairs 0, 1, 4, 5 then Cr of them | the same for pairs 2, 3, 6, 7.
    const __m256i bytes = kOffset ? _mm256_packus_epi16(sum, sum) : _mm256_packs_epi16(sum, sum);
    const __m256i interleave =
        _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, -1, -1, -1, -1, -1, -1, -1, -1, 0, 4, 1, 5, 2, 6,
                         3, 7, -1, -1, -1, -1, -1, -1, -1, -1);
    return _mm256_castsi256_si128(PackedBytesInOrder(_mm256_shuffle_epi8(bytes, interleave)));
}

// The planar 4:2:0 row from an even and an odd line of ARGB words: both luma lines, and the
// chroma of each 2 x 2 block into its plane, sixteen pixels at a time.
template <bool kOffset>
int32_t RgbToPlanar420Lanes(const uint8_t* even, const uint8_t* odd, int32_t count,
                            const RgbYuvLanes& k, uint8_t* lumaEven, uint8_t* lumaOdd,
                            uint8_t* chroma) {
    int32_t n = 0;
    for (; n + 16 <= count; n += 16) {
        PrefetchAhead(even + 4 * n);
        PrefetchAhead(odd + 4 * n);
        const YuvBytes16 top = RgbToYuv16(k, even + 4 * n);
        const YuvBytes16 bottom = RgbToYuv16(k, odd + 4 * n);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lumaEven + n),
                         _mm256_castsi256_si128(top.Luma));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lumaOdd + n),
                         _mm256_castsi256_si128(bottom.Luma));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(chroma + n),
                         BlockChroma16<kOffset>(top.Chroma, bottom.Chroma));
    }
    return n;
}

} // namespace Q3V_KERNEL_VARIANT
#endif

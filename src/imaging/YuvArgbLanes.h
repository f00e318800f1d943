#pragma once
// The AVX2 lanes of YCbCr to RGB for the colour kernels: each channel's exact sum of a luma
// product and a chroma term over eight pixels and its quotient, sixteen pixels stored as ARGB
// words, and the byte shuffles that take the pixels of the packed 4:2:2 and 4:2:0 layouts.
//
//     const YuvArgbLanes k = MakeYuvArgbLanes(COLORIMETRY_BT601, true, true);
//     YuvToArgb16<true>(k, y0, y1, PairChroma(k, uv), argb);
//
// Included by the kernel sources of the AVX2 build only (namespace Q3V_KERNEL_VARIANT).
#include "imaging/ColourCoefficients.h"
#include "imaging/KernelsCommon.h"
#include "imaging/LaneQuotient.h"
#include "imaging/YuvLayouts.h"

#ifdef __AVX2__
namespace Q3V_KERNEL_VARIANT {

// YCbCr to RGB over eight pixels in 32-bit lanes: each channel's exact sum
// a * Y + b * U + c * V + K, where U and V are the chroma bytes with their sign bit flipped when
// the source stores them signed (so that U - 128 is the signed value), and K takes the luma and
// chroma offsets; |sum| < 2^23. The luma product comes from the 16-bit pairs (Y, 0), the chroma
// products from the pairs (U, V), each by pairwise multiply-add; the quotient as
// TruncatedQuotient gives it, and the packs clamp it to 0..255.
struct YuvArgbLanes {
    __m256i Luma[3];   // R, G, B: a in the low half, for the pairs (Y, 0)
    __m256i Chroma[3]; // b in the low half, c in the high half, for the pairs (U, V)
    __m256i Offset[3]; // K
    __m256i Flip;      // 0x80 in the low byte of each half, for signed chroma
    __m256 Reciprocal;
    bool SameLuma; // one luma coefficient for all three channels
};

inline YuvArgbLanes MakeYuvArgbLanes(uint32_t colorimetry, bool video, bool offset) {
    const YuvToRgbCoefficients& k =
        video ? kVideoRangeYuvToRgb[colorimetry] : kFullRangeYuvToRgb[colorimetry];
    const LinearRow* rows[3] = {&k.R, &k.G, &k.B};
    const int32_t lumaOffset = video ? 16 : 0;
    YuvArgbLanes lanes{};
    for (int c = 0; c < 3; ++c) {
        const LinearRow& row = *rows[c];
        lanes.Luma[c] = _mm256_set1_epi32(row.A);
        lanes.Chroma[c] = _mm256_set1_epi32(static_cast<int32_t>(
            (static_cast<uint32_t>(row.C) << 16) | (static_cast<uint32_t>(row.B) & 0xFFFFu)));
        lanes.Offset[c] = _mm256_set1_epi32(-row.A * lumaOffset - 128 * (row.B + row.C));
    }
    lanes.Flip = _mm256_set1_epi32(offset ? 0 : 0x00800080);
    lanes.Reciprocal = _mm256_set1_ps(ReciprocalRoundedUp(k.R.Divisor));
    lanes.SameLuma = k.R.A == k.G.A && k.G.A == k.B.A;
    return lanes;
}

// The chroma term b * U + c * V + K of channel c from the pairs (U, V) as stored.
[[gnu::always_inline]] inline __m256i ChromaTerm(const YuvArgbLanes& k, int c, __m256i uv) {
    return _mm256_add_epi32(_mm256_madd_epi16(_mm256_xor_si256(uv, k.Flip), k.Chroma[c]),
                            k.Offset[c]);
}

// One channel's quotients for sixteen pixels: from the luma products and the chroma terms of
// pixels 0-3 | 8-11 (first) and 4-7 | 12-15 (second).
struct Quotients16 {
    __m256i First;
    __m256i Second;
};

[[gnu::always_inline]] inline Quotients16
Channel16(const YuvArgbLanes& k, __m256i luma0, __m256i luma1, __m256i chroma0, __m256i chroma1) {
    return Quotients16{TruncatedQuotient(_mm256_add_epi32(luma0, chroma0), k.Reciprocal),
                       TruncatedQuotient(_mm256_add_epi32(luma1, chroma1), k.Reciprocal)};
}

// Sixteen pixels' channels clamped to bytes and stored as ARGB words, A 0: the packs give the
// bytes B, G and R of each group of four pixels side by side, and a shuffle interleaves them.
[[gnu::always_inline]] inline void StoreArgb16(const Quotients16& b, const Quotients16& g,
                                               const Quotients16& r, uint8_t* argb) {
    const __m256i red = _mm256_packs_epi32(r.First, r.Second); // R0-3 R4-7 | R8-11 R12-15
    // B0-3 G0-3 R0-3 R4-7 | the same for 8-15, and B4-7 G4-7 R0-3 R4-7 | ...
    const __m256i first = _mm256_packus_epi16(_mm256_packs_epi32(b.First, g.First), red);
    const __m256i second = _mm256_packus_epi16(_mm256_packs_epi32(b.Second, g.Second), red);
    const __m256i firstOrder =
        _mm256_setr_epi8(0, 4, 8, -1, 1, 5, 9, -1, 2, 6, 10, -1, 3, 7, 11, -1, 0, 4, 8, -1, 1, 5, 9,
                         -1, 2, 6, 10, -1, 3, 7, 11, -1);
    const __m256i secondOrder = _mm256_add_epi8(
        firstOrder, _mm256_setr_epi8(0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0,
                                     0, 4, 0, 0, 0, 4, 0, 0, 0, 4, 0));
    const __m256i w0 = _mm256_shuffle_epi8(first, firstOrder);   // pixels 0-3 | 8-11
    const __m256i w1 = _mm256_shuffle_epi8(second, secondOrder); // pixels 4-7 | 12-15
    // Four 16-byte stores rather than two lane permutations and two 32-byte stores: the stores
    // of the upper halves need no shuffle port.
    __m128i* out = reinterpret_cast<__m128i*>(argb);
    _mm_storeu_si128(out, _mm256_castsi256_si128(w0));
    _mm_storeu_si128(out + 1, _mm256_castsi256_si128(w1));
    _mm_storeu_si128(out + 2, _mm256_extracti128_si256(w0, 1));
    _mm_storeu_si128(out + 3, _mm256_extracti128_si256(w1, 1));
}

// Sixteen pixels from luma pairs (Y, 0) of pixels 0-3 | 8-11 and 4-7 | 12-15 and the chroma
// terms of each channel for the same pixels, given by chroma(c, first) for c = R, G, B.
// kSameLuma: the three channels share their luma coefficient.
template <bool kSameLuma, typename ChromaTerms>
[[gnu::always_inline]] inline void YuvToArgb16(const YuvArgbLanes& k, __m256i y0, __m256i y1,
                                               ChromaTerms&& chroma, uint8_t* argb) {
    Quotients16 channels[3];
    __m256i luma0 = _mm256_madd_epi16(y0, k.Luma[0]);
    __m256i luma1 = _mm256_madd_epi16(y1, k.Luma[0]);
    for (int c = 0; c < 3; ++c) {
        if (!kSameLuma && c > 0) {
            luma0 = _mm256_madd_epi16(y0, k.Luma[c]);
            luma1 = _mm256_madd_epi16(y1, k.Luma[c]);
        }
        const auto [chroma0, chroma1] = chroma(c);
        channels[c] = Channel16(k, luma0, luma1, chroma0, chroma1);
    }
    StoreArgb16(channels[2], channels[1], channels[0], argb);
}

struct ChromaPair {
    __m256i First;
    __m256i Second;
};

// Chroma pairs (U, V) for each pixel (first and second as the luma's).
[[gnu::always_inline]] inline auto PixelChroma(const YuvArgbLanes& k, __m256i uv0, __m256i uv1) {
    return [&k, uv0, uv1](int c) {
        return ChromaPair{ChromaTerm(k, c, uv0), ChromaTerm(k, c, uv1)};
    };
}

// Chroma pairs (U, V) of pixel pairs 0-3 | 4-7, each term computed once and given to both
// pixels of its pair.
[[gnu::always_inline]] inline auto PairChroma(const YuvArgbLanes& k, __m256i uv) {
    return [&k, uv](int c) {
        const __m256i term = ChromaTerm(k, c, uv);
        return ChromaPair{_mm256_unpacklo_epi32(term, term), _mm256_unpackhi_epi32(term, term)};
    };
}

// Runs of luma, Cb and Cr bytes, sixteen pixels at a time; returns how many it converted.
template <bool kSameLuma>
int32_t YuvToRgbLanes(YuvLinePixels in, int32_t count, const YuvArgbLanes& k, uint8_t* argb) {
    // Luma bytes 0-3 | 8-11 and 4-7 | 12-15 of a run held in both halves, to (Y, 0) pairs.
    const __m256i luma0 =
        _mm256_setr_epi8(0, -1, -1, -1, 1, -1, -1, -1, 2, -1, -1, -1, 3, -1, -1, -1, 8, -1, -1, -1,
                         9, -1, -1, -1, 10, -1, -1, -1, 11, -1, -1, -1);
    const __m256i luma1 =
        _mm256_setr_epi8(4, -1, -1, -1, 5, -1, -1, -1, 6, -1, -1, -1, 7, -1, -1, -1, 12, -1, -1, -1,
                         13, -1, -1, -1, 14, -1, -1, -1, 15, -1, -1, -1);
    // Interleaved chroma bytes U0 V0 U1 V1 ... of pixels 0-7 | 8-15, to (U, V) pairs.
    const __m256i chroma0 =
        _mm256_setr_epi8(0, -1, 1, -1, 2, -1, 3, -1, 4, -1, 5, -1, 6, -1, 7, -1, 0, -1, 1, -1, 2,
                         -1, 3, -1, 4, -1, 5, -1, 6, -1, 7, -1);
    const __m256i chroma1 = _mm256_add_epi8(chroma0, _mm256_set1_epi16(8));
    int32_t n = 0;
    for (; n + 16 <= count; n += 16) {
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in.Cb + n));
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in.Cr + n));
        const __m256i uv = _mm256_setr_m128i(_mm_unpacklo_epi8(u, v), _mm_unpackhi_epi8(u, v));
        const __m256i y = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(in.Luma + n)));
        YuvToArgb16<kSameLuma>(
            k, _mm256_shuffle_epi8(y, luma0), _mm256_shuffle_epi8(y, luma1),
            PixelChroma(k, _mm256_shuffle_epi8(uv, chroma0), _mm256_shuffle_epi8(uv, chroma1)),
            argb + 4 * n);
    }
    return n;
}

// Where the bytes of sixteen pixels lie in 32 bytes of eight four-byte pixel pairs (lanes: pairs
// 0-3 | 4-7), as byte shuffles: the luma pairs (Y, 0) of pixels 0-3 | 8-11 and 4-7 | 12-15, and
// the chroma pairs (U, V) of the eight pixel pairs.
struct PairShuffles {
    __m256i Luma0;
    __m256i Luma1;
    __m256i Chroma;
};

inline __m256i LoadShuffle(const int8_t (&bytes)[32]) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}

inline PairShuffles MakePairShuffles(const GroupBytes& g) {
    int8_t luma0[32];
    int8_t luma1[32];
    int8_t chroma[32];
    for (int at = 0; at < 32; ++at) {
        luma0[at] = luma1[at] = chroma[at] = -1;
    }
    for (int lane = 0; lane < 2; ++lane) {
        for (int p = 0; p < 4; ++p) {
            const int at = 16 * lane + 4 * p;
            luma0[at] = static_cast<int8_t>(4 * (p / 2) + g.Y[p % 2]);
            luma1[at] = static_cast<int8_t>(4 * (2 + p / 2) + g.Y[p % 2]);
            chroma[at] = static_cast<int8_t>(4 * p + g.Cb);
            chroma[at + 2] = static_cast<int8_t>(4 * p + g.Cr);
        }
    }
    return PairShuffles{LoadShuffle(luma0), LoadShuffle(luma1), LoadShuffle(chroma)};
}

// The luma pairs (Y, 0) of sixteen pixels from their sixteen luma bytes held in both lanes,
// the bytes of each pixel pair exchanged when swapped.
inline void MakeLumaShuffles(bool swapped, __m256i* luma0, __m256i* luma1) {
    int8_t first[32];
    int8_t second[32];
    for (int at = 0; at < 32; ++at) {
        first[at] = second[at] = -1;
    }
    const int flip = swapped ? 1 : 0;
    for (int lane = 0; lane < 2; ++lane) {
        for (int p = 0; p < 4; ++p) {
            first[16 * lane + 4 * p] = static_cast<int8_t>((8 * lane + p) ^ flip);
            second[16 * lane + 4 * p] = static_cast<int8_t>((8 * lane + 4 + p) ^ flip);
        }
    }
    *luma0 = LoadShuffle(first);
    *luma1 = LoadShuffle(second);
}

// Sixteen pixels at a time from pixel pairs at pairs, and their luma there too or, with
// kLumaApart, at luma (another line's pixels); returns how many it converted.
template <bool kSameLuma, bool kLumaApart>
int32_t PairsToArgbLanes(const uint8_t* pairs, const uint8_t* luma, const PairShuffles& shuffles,
                         int32_t count, const YuvArgbLanes& k, uint8_t* argb) {
    int32_t n = 0;
    for (; n + 16 <= count; n += 16) {
        PrefetchAhead(pairs + 2 * n);
        const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pairs + 2 * n));
        __m256i lumaBytes = raw;
        if constexpr (kLumaApart) {
            lumaBytes = _mm256_broadcastsi128_si256(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(luma + n)));
        }
        YuvToArgb16<kSameLuma>(k, _mm256_shuffle_epi8(lumaBytes, shuffles.Luma0),
                               _mm256_shuffle_epi8(lumaBytes, shuffles.Luma1),
                               PairChroma(k, _mm256_shuffle_epi8(raw, shuffles.Chroma)),
                               argb + 4 * n);
    }
    return n;
}

// Lines y (even) and y + 1 of 4:2:0 layouts 0-7 at once, sixteen pixels at a time: each pixel
// pair's chroma terms computed once for its four pixels.
template <bool kSameLuma>
int32_t LinePairToArgbLanes(const uint8_t* pairs, const uint8_t* oddLuma, const PairShuffles& even,
                            const PairShuffles& odd, int32_t count, const YuvArgbLanes& k,
                            uint8_t* argbEven, uint8_t* argbOdd) {
    int32_t n = 0;
    for (; n + 16 <= count; n += 16) {
        PrefetchAhead(pairs + 2 * n);
        PrefetchAhead(oddLuma + n);
        const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pairs + 2 * n));
        const __m256i uv = _mm256_shuffle_epi8(raw, even.Chroma);
        ChromaPair terms[3];
        for (int c = 0; c < 3; ++c) {
            const __m256i term = ChromaTerm(k, c, uv);
            terms[c] =
                ChromaPair{_mm256_unpacklo_epi32(term, term), _mm256_unpackhi_epi32(term, term)};
        }
        const auto shared = [&terms](int c) { return terms[c]; };
        YuvToArgb16<kSameLuma>(k, _mm256_shuffle_epi8(raw, even.Luma0),
                               _mm256_shuffle_epi8(raw, even.Luma1), shared, argbEven + 4 * n);
        const __m256i luma = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(oddLuma + n)));
        YuvToArgb16<kSameLuma>(k, _mm256_shuffle_epi8(luma, odd.Luma0),
                               _mm256_shuffle_epi8(luma, odd.Luma1), shared, argbOdd + 4 * n);
    }
    return n;
}

} // namespace Q3V_KERNEL_VARIANT
#endif

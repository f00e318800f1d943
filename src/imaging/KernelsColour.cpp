// Row kernels of the colour maths: RGB to YCbCr and back over a run of pixels, exact to the
// per-pixel formulas (integer products, quotients truncated toward zero, the same clamps). The
// divisors are compile-time constants so that the quotients become multiplications.
#include "imaging/ColourCoefficients.h"
#include "imaging/KernelsCommon.h"
#include "imaging/LaneQuotient.h"
#include "imaging/LittleEndian.h"
#include "imaging/YuvLayouts.h"

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
// One output of RGB to YCbCr over eight ARGB words: the exact sum by pairwise multiply-add of
// the 16-bit pairs (B, R) and (G, A), with A's coefficient 0, then the quotient as
// TruncatedQuotient gives it (|sum| < 2^23).
struct RgbLaneRow {
    __m256i BlueRed;
    __m256i GreenAlpha;
    __m256 Reciprocal;
};

RgbLaneRow MakeRgbLaneRow(const LinearRow& row) {
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

RgbYuvLanes MakeRgbYuvLanes(const RgbToYuvCoefficients& k, int32_t lumaAdd, int32_t chromaAdd) {
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
int32_t RgbToYuvLanes(const uint8_t* argb, int32_t count, const RgbYuvLanes& k, uint8_t* luma,
                      uint8_t* cb, uint8_t* cr) {
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

YuvArgbLanes MakeYuvArgbLanes(uint32_t colorimetry, bool video, bool offset) {
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

__m256i LoadShuffle(const int8_t (&bytes)[32]) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}

PairShuffles MakePairShuffles(const GroupBytes& g) {
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
void MakeLumaShuffles(bool swapped, __m256i* luma0, __m256i* luma1) {
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

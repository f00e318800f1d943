// Row kernels of the RGB, ARGB and mono rows: a decoder and an encoder per layout, applied to
// whole runs of pixels. Built once per instruction set (namespace Q3V_KERNEL_VARIANT).
#include "common/ByteOrder.h"
#include "imaging/KernelsCommon.h"
#include "imaging/LaneQuotient.h"

#include <cstring>
#include <initializer_list>
#include <type_traits>

namespace Q3V_KERNEL_VARIANT {
namespace {

// An n-bit channel widened to 8 bits (low bits set when the top bit is).
constexpr uint32_t Widen(uint32_t v, uint32_t bits) {
    return (v << (8 - bits)) | ((v >> (bits - 1)) * ((1u << (8 - bits)) - 1u));
}
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
}
constexpr uint32_t ChA(uint32_t v) {
    return v >> 24;
}
constexpr uint32_t ChR(uint32_t v) {
    return (v >> 16) & 255u;
}
constexpr uint32_t ChG(uint32_t v) {
    return (v >> 8) & 255u;
}
constexpr uint32_t ChB(uint32_t v) {
    return v & 255u;
}
constexpr uint8_t U8(uint32_t v) {
    return static_cast<uint8_t>(v);
}

// Each codec: Decode(line, x) -> 0xAARRGGBB, Encode(line, i, argb).
struct R332 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint32_t b = l[x];
        return Rgb(Widen(b >> 5, 3), Widen((b >> 2) & 7u, 3), Widen(b & 3u, 2));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        l[i] = U8(((ChR(v) >> 5) << 5) | ((ChG(v) >> 5) << 2) | (ChB(v) >> 6));
    }
};
struct R444GbxR {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint8_t* p = l + 2 * x;
        return Rgb(Widen(p[1] & 15u, 4), Widen(p[0] >> 4, 4), Widen(p[0] & 15u, 4));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        l[2 * i] = U8((ChG(v) & 0xF0u) | (ChB(v) >> 4));
        l[2 * i + 1] = U8(ChR(v) >> 4);
    }
};
struct R444GbRx {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint8_t* p = l + 2 * x;
        return Rgb(Widen(p[1] >> 4, 4), Widen(p[0] >> 4, 4), Widen(p[0] & 15u, 4));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        l[2 * i] = U8((ChG(v) & 0xF0u) | (ChB(v) >> 4));
        l[2 * i + 1] = U8(ChR(v) & 0xF0u);
    }
};
struct R555 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint32_t w = LoadLe16(l + 2 * x);
        return Rgb(Widen((w >> 10) & 31u, 5), Widen((w >> 5) & 31u, 5), Widen(w & 31u, 5));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        StoreLe16(l + 2 * i, static_cast<uint16_t>(((ChR(v) >> 3) << 10) | ((ChG(v) >> 3) << 5) |
                                                   (ChB(v) >> 3)));
    }
};
struct R565 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint32_t w = LoadLe16(l + 2 * x);
        return Rgb(Widen(w >> 11, 5), Widen((w >> 5) & 63u, 6), Widen(w & 31u, 5));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        StoreLe16(l + 2 * i, static_cast<uint16_t>(((ChR(v) >> 3) << 11) | ((ChG(v) >> 2) << 5) |
                                                   (ChB(v) >> 3)));
    }
};
struct R565Swapped {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint8_t* p = l + 2 * x;
        const uint32_t w = (uint32_t{p[0]} << 8) | p[1];
        return Rgb(Widen(w >> 11, 5), Widen((w >> 5) & 63u, 6), Widen(w & 31u, 5));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        const uint32_t w = ((ChR(v) >> 3) << 11) | ((ChG(v) >> 2) << 5) | (ChB(v) >> 3);
        l[2 * i] = U8(w >> 8);
        l[2 * i + 1] = U8(w);
    }
};
// Three bytes R<<2, G<<2, B<<2 at byte offsets o0, o1, o2 of a unit of size bytes.
template <int kSize, int kR, int kG, int kB> struct Bytes666 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint8_t* p = l + kSize * x;
        return Rgb(Widen(p[kR] >> 2, 6), Widen(p[kG] >> 2, 6), Widen(p[kB] >> 2, 6));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        uint8_t* p = l + kSize * i;
        if constexpr (kSize == 4) {
            std::memset(p, 0, 4);
        }
        p[kR] = U8(ChR(v) & 0xFCu);
        p[kG] = U8(ChG(v) & 0xFCu);
        p[kB] = U8(ChB(v) & 0xFCu);
    }
};
struct R666xRrGgB {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint8_t* p = l + 3 * x;
        return Rgb(Widen(((p[0] & 3u) << 4) | (p[1] >> 4), 6),
                   Widen(((p[1] & 15u) << 2) | (p[2] >> 6), 6), Widen(p[2] & 63u, 6));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        const uint32_t r = ChR(v) >> 2;
        const uint32_t g = ChG(v) >> 2;
        const uint32_t b = ChB(v) >> 2;
        uint8_t* p = l + 3 * i;
        p[0] = U8(r >> 4);
        p[1] = U8(((r & 15u) << 4) | (g >> 2));
        p[2] = U8(((g & 3u) << 6) | b);
    }
};
struct R666Word32 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint32_t w = LoadLe32(l + 4 * x);
        return Rgb(Widen((w >> 18) & 63u, 6), Widen((w >> 10) & 63u, 6), Widen((w >> 2) & 63u, 6));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        StoreLe32(l + 4 * i, ((ChR(v) >> 2) << 18) | ((ChG(v) >> 2) << 10) | ((ChB(v) >> 2) << 2));
    }
};
// Bytes R, G, B (and zero bytes) at fixed offsets of a unit.
template <int kSize, int kR, int kG, int kB> struct Bytes888 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint8_t* p = l + kSize * x;
        return Rgb(p[kR], p[kG], p[kB]);
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        uint8_t* p = l + kSize * i;
        if constexpr (kSize == 4) {
            std::memset(p, 0, 4);
        }
        p[kR] = U8(ChR(v));
        p[kG] = U8(ChG(v));
        p[kB] = U8(ChB(v));
    }
};
struct X888 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        return LoadLe32(l + 4 * x) & 0x00FFFFFFu;
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) { StoreLe32(l + 4 * i, v & 0x00FFFFFFu); }
};
struct A1555 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint32_t w = LoadLe16(l + 2 * x);
        return ((w >> 15) * 0xFF000000u) |
               Rgb(Widen((w >> 10) & 31u, 5), Widen((w >> 5) & 31u, 5), Widen(w & 31u, 5));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        StoreLe16(l + 2 * i, static_cast<uint16_t>(((ChA(v) >> 7) << 15) | ((ChR(v) >> 3) << 10) |
                                                   ((ChG(v) >> 3) << 5) | (ChB(v) >> 3)));
    }
};
struct A4444 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint32_t w = LoadLe16(l + 2 * x);
        return (Widen(w >> 12, 4) << 24) |
               Rgb(Widen((w >> 8) & 15u, 4), Widen((w >> 4) & 15u, 4), Widen(w & 15u, 4));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        StoreLe16(l + 2 * i, static_cast<uint16_t>(((ChA(v) >> 4) << 12) | ((ChR(v) >> 4) << 8) |
                                                   ((ChG(v) >> 4) << 4) | (ChB(v) >> 4)));
    }
};
struct A8565 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint32_t w = LoadLe32(l + 4 * x);
        return (w & 0xFF000000u) |
               Rgb(Widen((w >> 19) & 31u, 5), Widen((w >> 10) & 63u, 6), Widen((w >> 3) & 31u, 5));
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        StoreLe32(l + 4 * i, (v & 0xFF000000u) | ((ChR(v) >> 3) << 19) | ((ChG(v) >> 2) << 10) |
                                 ((ChB(v) >> 3) << 3));
    }
};
struct A8888 {
    static uint32_t Decode(const uint8_t* l, int64_t x) { return LoadLe32(l + 4 * x); }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) { StoreLe32(l + 4 * i, v); }
};
struct Rgba8888 {
    static uint32_t Decode(const uint8_t* l, int64_t x) {
        const uint32_t w = LoadLe32(l + 4 * x);
        return (w >> 8) | (w << 24);
    }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        StoreLe32(l + 4 * i, (v << 8) | (v >> 24));
    }
};
struct Mono {
    static uint32_t Decode(const uint8_t* l, int64_t x) { return uint32_t{l[x]} * 0x010101u; }
    static void Encode(uint8_t* l, int64_t i, uint32_t v) {
        l[i] = U8((299u * ChR(v) + 587u * ChG(v) + 114u * ChB(v)) / 1000u);
    }
};

#ifdef __AVX2__
// Bytes that each hold a channel in their top bits (the low bits 0), widened to 8 bits as Widen
// does: the low bits named in fill are set in the bytes whose top bit is.
[[gnu::always_inline]] inline __m256i WidenBytes(__m256i top, __m256i fill) {
    return _mm256_or_si256(top,
                           _mm256_and_si256(_mm256_cmpgt_epi8(_mm256_setzero_si256(), top), fill));
}

// 16-bit lanes of w shifted by kShift (left when positive) and masked.
template <int kShift, uint16_t kMask> [[gnu::always_inline]] inline __m256i Field(__m256i w) {
    const __m256i mask = _mm256_set1_epi16(static_cast<int16_t>(kMask));
    if constexpr (kShift >= 0) {
        return _mm256_and_si256(_mm256_slli_epi16(w, kShift), mask);
    } else {
        return _mm256_and_si256(_mm256_srli_epi16(w, -kShift), mask);
    }
}

// Sixteen 16-bit pixels to ARGB words: the codec moves each channel to the top of its byte of
// B | G << 8 and R | A << 8 per lane, with the fill of the bits each byte widens into.
template <typename Codec>
int32_t UnpackWordLanes(const uint8_t* line, int64_t x, int32_t count, uint8_t* out) {
    const __m256i fillBlueGreen = _mm256_set1_epi16(static_cast<int16_t>(Codec::kFillBlueGreen));
    const __m256i fillRedAlpha = _mm256_set1_epi16(static_cast<int16_t>(Codec::kFillRedAlpha));
    int32_t n = 0;
    for (; n + 16 <= count; n += 16) {
        PrefetchAhead(line + 2 * (x + n));
        const __m256i w = _mm256_permute4x64_epi64(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(line + 2 * (x + n))), 0xD8);
        const __m256i blueGreen = WidenBytes(Codec::BlueGreen(w), fillBlueGreen);
        const __m256i redAlpha = WidenBytes(Codec::RedAlpha(w), fillRedAlpha);
        __m256i* o = reinterpret_cast<__m256i*>(out + 4 * n);
        _mm256_storeu_si256(o, _mm256_unpacklo_epi16(blueGreen, redAlpha));
        _mm256_storeu_si256(o + 1, _mm256_unpackhi_epi16(blueGreen, redAlpha));
    }
    return n;
}

struct R565Lanes {
    static constexpr uint16_t kFillBlueGreen = 0x0307;
    static constexpr uint16_t kFillRedAlpha = 0x0007;
    static __m256i BlueGreen(__m256i w) {
        return _mm256_or_si256(Field<3, 0x00F8>(w), Field<5, 0xFC00>(w));
    }
    static __m256i RedAlpha(__m256i w) { return Field<-8, 0x00F8>(w); }
};
struct R555Lanes {
    static constexpr uint16_t kFillBlueGreen = 0x0707;
    static constexpr uint16_t kFillRedAlpha = 0x0007;
    static __m256i BlueGreen(__m256i w) {
        return _mm256_or_si256(Field<3, 0x00F8>(w), Field<6, 0xF800>(w));
    }
    static __m256i RedAlpha(__m256i w) { return Field<-7, 0x00F8>(w); }
};
struct A1555Lanes {
    static constexpr uint16_t kFillBlueGreen = 0x0707;
    static constexpr uint16_t kFillRedAlpha = 0x0707; // the alpha byte is 0 or all ones
    static __m256i BlueGreen(__m256i w) { return R555Lanes::BlueGreen(w); }
    static __m256i RedAlpha(__m256i w) {
        const __m256i alpha = _mm256_and_si256(_mm256_srai_epi16(w, 15), _mm256_set1_epi16(-256));
        return _mm256_or_si256(Field<-7, 0x00F8>(w), alpha);
    }
};
struct A4444Lanes {
    static constexpr uint16_t kFillBlueGreen = 0x0F0F;
    static constexpr uint16_t kFillRedAlpha = 0x0F0F;
    static __m256i BlueGreen(__m256i w) {
        return _mm256_or_si256(Field<4, 0x00F0>(w), Field<8, 0xF000>(w));
    }
    static __m256i RedAlpha(__m256i w) {
        return _mm256_or_si256(Field<-4, 0x00F0>(w), Field<0, 0xF000>(w));
    }
};

template <typename Codec> struct LanesOf { using Type = void; };
template <> struct LanesOf<R565> { using Type = R565Lanes; };
template <> struct LanesOf<R555> { using Type = R555Lanes; };
template <> struct LanesOf<A1555> { using Type = A1555Lanes; };
template <> struct LanesOf<A4444> { using Type = A4444Lanes; };
#endif

template <typename Codec>
void Unpack(const Surface& s, int32_t x, int32_t y, int32_t count, uint8_t* out) {
    const uint8_t* line = s.Buffer + int64_t{y} * s.Stride;
    int32_t n = 0;
#ifdef __AVX2__
    if constexpr (!std::is_void_v<typename LanesOf<Codec>::Type>) {
        n = UnpackWordLanes<typename LanesOf<Codec>::Type>(line, x, count, out);
    }
#endif
    for (; n < count; ++n) {
        StoreLe32(out + 4 * n, Codec::Decode(line, int64_t{x} + n));
    }
}

template <typename Codec>
void Pack(const uint8_t* in, int32_t count, const Surface& d, int32_t i, int32_t j) {
    uint8_t* line = d.Buffer + int64_t{j} * d.Stride;
    int32_t n = 0;
#ifdef __AVX2__
    if constexpr (std::is_same_v<Codec, Mono>) {
        // The level (299 R + 587 G + 114 B) / 1000, thirty-two pixels at a time: the exact sum by
        // pairwise multiply-add of the 16-bit pairs (B, R) and (G, A), then the quotient as
        // floor(floor(sum / 8) / 125), the inner one a shift, the outer one for sum / 8 <= 31875
        // a multiply-high by 33555 = ceil(2^22 / 125) and a shift by 6: the multiplier exceeds
        // 2^22 / 125 by 71 / 125, which adds less than 31875 * 71 / (125 * 2^22) < 1 / 125 to a
        // quotient whose fraction is at most 124 / 125 (checked over all colours by a test).
        const __m256i blueRed = _mm256_set1_epi32((299 << 16) | 114);
        const __m256i green = _mm256_set1_epi32(587);
        const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
        const __m256i magic = _mm256_set1_epi16(static_cast<int16_t>(33555));
        const auto eighths = [&](const uint8_t* p) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            const __m256i sum =
                _mm256_add_epi32(_mm256_madd_epi16(_mm256_and_si256(v, lowBytes), blueRed),
                                 _mm256_madd_epi16(_mm256_srli_epi16(v, 8), green));
            return _mm256_srli_epi32(sum, 3);
        };
        const auto levels16 = [&](const uint8_t* p) {
            const __m256i t = _mm256_packus_epi32(eighths(p), eighths(p + 32));
            return _mm256_srli_epi16(_mm256_mulhi_epu16(t, magic), 6);
        };
        for (; n + 32 <= count; n += 32) {
            const uint8_t* p = in + 4 * n;
            PrefetchAhead(p);
            PrefetchAhead(p + 64);
            _mm256_storeu_si256(
                reinterpret_cast<__m256i*>(line + i + n),
                PackedBytesInOrder(_mm256_packus_epi16(levels16(p), levels16(p + 64))));
        }
        for (; n + 16 <= count; n += 16) {
            const __m256i words = levels16(in + 4 * n);
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(line + i + n),
                _mm256_castsi256_si128(PackedBytesInOrder(_mm256_packus_epi16(words, words))));
        }
    }
    if constexpr (std::is_same_v<Codec, R565> || std::is_same_v<Codec, R555>) {
        // Sixteen pixels at a time: each field shifted into place within its 32-bit word, the
        // words narrowed to 16 bits.
        constexpr bool k565 = std::is_same_v<Codec, R565>;
        const __m256i redMask = _mm256_set1_epi32(k565 ? 0xF800 : 0x7C00);
        const __m256i greenMask = _mm256_set1_epi32(k565 ? 0x07E0 : 0x03E0);
        const __m256i blueMask = _mm256_set1_epi32(0x001F);
        const auto words = [&](const uint8_t* p) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            const __m256i red = _mm256_and_si256(_mm256_srli_epi32(v, k565 ? 8 : 9), redMask);
            const __m256i green = _mm256_and_si256(_mm256_srli_epi32(v, k565 ? 5 : 6), greenMask);
            const __m256i blue = _mm256_and_si256(_mm256_srli_epi32(v, 3), blueMask);
            return _mm256_or_si256(_mm256_or_si256(red, green), blue);
        };
        for (; n + 16 <= count; n += 16) {
            PrefetchAhead(in + 4 * n);
            const __m256i packed = _mm256_permute4x64_epi64(
                _mm256_packus_epi32(words(in + 4 * n), words(in + 4 * n + 32)), 0xD8);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(line + 2 * (int64_t{i} + n)), packed);
        }
    }
#endif
    for (; n < count; ++n) {
        Codec::Encode(line, int64_t{i} + n, LoadLe32(in + 4 * n));
    }
}

// ARGB words in and out are the layout itself: copies.
void UnpackArgb8888(const Surface& s, int32_t x, int32_t y, int32_t count, uint8_t* out) {
    std::memcpy(out, s.Buffer + int64_t{y} * s.Stride + int64_t{x} * 4, size_t(count) * 4);
}
void PackArgb8888(const uint8_t* in, int32_t count, const Surface& d, int32_t i, int32_t j) {
    std::memcpy(d.Buffer + int64_t{j} * d.Stride + int64_t{i} * 4, in, size_t(count) * 4);
}

// Row 1: two pixels in three bytes; an even pixel ends in the low nibble of the middle byte,
// an odd one starts in its high nibble.
void UnpackR444GbR(const Surface& s, int32_t x, int32_t y, int32_t count, uint8_t* out) {
    const uint8_t* line = s.Buffer + int64_t{y} * s.Stride;
    for (int32_t n = 0; n < count; ++n) {
        const int64_t px = int64_t{x} + n;
        const uint8_t* p = line + px * 12 / 8;
        StoreLe32(out + 4 * n,
                  px % 2 == 0
                      ? Rgb(Widen(p[1] & 15u, 4), Widen(p[0] >> 4, 4), Widen(p[0] & 15u, 4))
                      : Rgb(Widen(p[1] >> 4, 4), Widen(p[1] & 15u, 4), Widen(p[0] >> 4, 4)));
    }
}
void PackR444GbR(const uint8_t* in, int32_t count, const Surface& d, int32_t i, int32_t j) {
    uint8_t* line = d.Buffer + int64_t{j} * d.Stride;
    for (int32_t n = 0; n < count; ++n) {
        const int64_t px = int64_t{i} + n;
        uint8_t* p = line + px * 12 / 8;
        const uint32_t v = LoadLe32(in + 4 * n);
        if (px % 2 == 0) {
            p[0] = U8((ChG(v) & 0xF0u) | (ChB(v) >> 4));
            p[1] = U8((p[1] & 0xF0u) | (ChR(v) >> 4));
        } else {
            p[0] = U8((p[0] & 0x0Fu) | (ChB(v) & 0xF0u));
            p[1] = U8((ChR(v) & 0xF0u) | (ChG(v) >> 4));
        }
    }
}

// Row 8: an 18-bit field per pixel in one stream over the whole picture.
void UnpackR666Stream(const Surface& s, int32_t x, int32_t y, int32_t count, uint8_t* out) {
    for (int32_t n = 0; n < count; ++n) {
        const int64_t bit = (int64_t{y} * s.Width + x + n) * 18;
        const uint8_t* p = s.Buffer + bit / 8;
        const uint32_t f =
            ((uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16)) >> (bit % 8)) &
            0x3FFFFu;
        StoreLe32(out + 4 * n, Rgb(Widen(f >> 12, 6), Widen((f >> 6) & 63u, 6), Widen(f & 63u, 6)));
    }
}
void PackR666Stream(const uint8_t* in, int32_t count, const Surface& d, int32_t i, int32_t j) {
    for (int32_t n = 0; n < count; ++n) {
        const int64_t bit = (int64_t{j} * d.Width + i + n) * 18;
        uint8_t* p = d.Buffer + bit / 8;
        const uint32_t v = LoadLe32(in + 4 * n);
        const uint32_t field = ((ChR(v) >> 2) << 12) | ((ChG(v) >> 2) << 6) | (ChB(v) >> 2);
        const uint32_t shift = static_cast<uint32_t>(bit % 8);
        const uint32_t mask = 0x3FFFFu << shift;
        const uint32_t old = uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
        const uint32_t now = (old & ~mask) | (field << shift);
        p[0] = U8(now);
        p[1] = U8(now >> 8);
        p[2] = U8(now >> 16);
    }
}

// Rows 10 and 21: three logical bytes per pixel, logical byte k of the picture stored at
// k XOR 1, counted from Buffer: a line that starts on an odd offset (an odd Stride) has its
// lanes shifted by one against its own start.
template <bool kSixBits>
void UnpackLaneSwapped(const Surface& s, int32_t x, int32_t y, int32_t count, uint8_t* out) {
    const uint8_t* b = s.Buffer;
    const int64_t first = int64_t{y} * s.Stride + int64_t{x} * 3;
    for (int32_t n = 0; n < count; ++n) {
        const int64_t p = first + int64_t{n} * 3;
        const uint32_t r = b[p ^ 1];
        const uint32_t g = b[(p + 1) ^ 1];
        const uint32_t bl = b[(p + 2) ^ 1];
        StoreLe32(out + 4 * n, kSixBits ? Rgb(Widen(r >> 2, 6), Widen(g >> 2, 6), Widen(bl >> 2, 6))
                                        : Rgb(r, g, bl));
    }
}
template <bool kSixBits>
void PackLaneSwapped(const uint8_t* in, int32_t count, const Surface& d, int32_t i, int32_t j) {
    uint8_t* b = d.Buffer;
    const int64_t first = int64_t{j} * d.Stride + int64_t{i} * 3;
    const uint32_t keep = kSixBits ? 0xFCu : 0xFFu;
    for (int32_t n = 0; n < count; ++n) {
        const int64_t p = first + int64_t{n} * 3;
        const uint32_t v = LoadLe32(in + 4 * n);
        b[p ^ 1] = U8(ChR(v) & keep);
        b[(p + 1) ^ 1] = U8(ChG(v) & keep);
        b[(p + 2) ^ 1] = U8(ChB(v) & keep);
    }
}

// Rows 19 and 20: three bytes per pixel, four pixels moved at a time with a byte shuffle.
using Bytes16 = uint8_t __attribute__((vector_size(16)));
using Words4 = uint32_t __attribute__((vector_size(16)));

// A byte shuffle by constant indices; __builtin_shufflevector is understood by g++ and clang alike.
template <int... kIndex> [[gnu::always_inline]] inline Bytes16 ShuffleBytes(Bytes16 v) {
    return __builtin_shufflevector(v, v, kIndex...);
}

#ifdef __AVX2__
// Sixteen bytes from p in the low lane and sixteen from p + offset in the high one.
[[gnu::always_inline]] inline __m256i LoadTwoLanes(const uint8_t* p, int offset) {
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + offset)), 1);
}

// Eight 24-bit pixels from p (bytes p .. p + 27 read) as ARGB words, A 0: four pixels in each
// lane, each pixel's bytes moved into its word.
template <bool kBgr> [[gnu::always_inline]] inline __m256i LoadRgb24Words(const uint8_t* p) {
    const __m256i order =
        kBgr ? _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0, 1, 2, -1,
                                3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1)
             : _mm256_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1, 2, 1, 0, -1,
                                5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
    return _mm256_shuffle_epi8(LoadTwoLanes(p, 12), order);
}
#endif

template <bool kBgr>
void UnpackRgb24(const Surface& s, int32_t x, int32_t y, int32_t count, uint8_t* out) {
    const uint8_t* p = s.Buffer + int64_t{y} * s.Stride + int64_t{x} * 3;
    int32_t n = 0;
#ifdef __AVX2__
    for (; n + 10 <= count; n += 8) { // 28 bytes read, all inside the run
        PrefetchAhead(p + 3 * n);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * n),
                            LoadRgb24Words<kBgr>(p + 3 * n));
    }
#endif
    for (; n + 6 <= count; n += 4) { // 16 bytes read, all inside the run
        Bytes16 v;
        std::memcpy(&v, p + 3 * n, 16);
        const Bytes16 spread =
            kBgr ? ShuffleBytes<0, 1, 2, 3, 3, 4, 5, 6, 6, 7, 8, 9, 9, 10, 11, 12>(v)
                 : ShuffleBytes<2, 1, 0, 3, 5, 4, 3, 6, 8, 7, 6, 9, 11, 10, 9, 12>(v);
        Words4 w = reinterpret_cast<Words4>(spread);
        w &= 0x00FFFFFFu;
        std::memcpy(out + 4 * n, &w, 16);
    }
    for (; n < count; ++n) {
        const uint8_t* q = p + 3 * n;
        StoreLe32(out + 4 * n, kBgr ? Rgb(q[2], q[1], q[0]) : Rgb(q[0], q[1], q[2]));
    }
}

template <bool kBgr>
void PackRgb24(const uint8_t* in, int32_t count, const Surface& d, int32_t i, int32_t j) {
    uint8_t* p = d.Buffer + int64_t{j} * d.Stride + int64_t{i} * 3;
    int32_t n = 0;
#ifdef __AVX2__
    // Eight pixels at a time, four from each lane; 28 bytes stored, the last 4 rewritten next
    // round.
    const __m256i order =
        kBgr ? _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4,
                                5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1)
             : _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6,
                                5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    for (; n + 10 <= count; n += 8) {
        PrefetchAhead(in + 4 * n);
        const __m256i packed = _mm256_shuffle_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 4 * n)), order);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 3 * n), _mm256_castsi256_si128(packed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 3 * n + 12),
                         _mm256_extracti128_si256(packed, 1));
    }
#endif
    for (; n + 6 <= count; n += 4) { // 16 bytes stored; the last 4 are rewritten next round
        Bytes16 v;
        std::memcpy(&v, in + 4 * n, 16);
        const Bytes16 packed =
            kBgr ? ShuffleBytes<0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 0, 0, 0, 0>(v)
                 : ShuffleBytes<2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, 0, 0, 0, 0>(v);
        std::memcpy(p + 3 * n, &packed, 16);
    }
    for (; n < count; ++n) {
        uint8_t* q = p + 3 * n;
        const uint32_t v = LoadLe32(in + 4 * n);
        q[kBgr ? 2 : 0] = U8(ChR(v));
        q[1] = U8(ChG(v));
        q[kBgr ? 0 : 2] = U8(ChB(v));
    }
}

#ifdef __AVX2__
// 24-bit pixels to "R565.RGB" or "R555.xRGB" words, sixteen at a time: each lane's four pixels
// shuffled to R << 8 | G and to B in 16-bit lanes, the two halves of two such vectors joined.
template <bool kBgr, typename Codec>
void Rgb24ToWords(const Surface& src, int32_t x, int32_t y, int32_t count, const Surface& dst,
                  int32_t i, int32_t j) {
    const uint8_t* in = src.Buffer + int64_t{y} * src.Stride + int64_t{x} * 3;
    uint8_t* out = dst.Buffer + int64_t{j} * dst.Stride + int64_t{i} * 2;
    constexpr bool k565 = std::is_same_v<Codec, R565>;
    constexpr int kR = kBgr ? 2 : 0;
    constexpr int kB = kBgr ? 0 : 2;
    const __m256i order = _mm256_setr_epi8(1, kR, 4, 3 + kR, 7, 6 + kR, 10, 9 + kR, kB, -1, 3 + kB,
                                           -1, 6 + kB, -1, 9 + kB, -1, 1, kR, 4, 3 + kR, 7, 6 + kR,
                                           10, 9 + kR, kB, -1, 3 + kB, -1, 6 + kB, -1, 9 + kB, -1);
    const __m256i red = _mm256_set1_epi16(static_cast<int16_t>(0xF800));
    const __m256i green = _mm256_set1_epi16(k565 ? 0x00FC : 0x00F8);
    // Sixteen pixels from p on (as the shuffle finds them there), at to.
    const auto sixteen = [&](const uint8_t* p, __m256i shuffle, uint8_t* to) {
        // Pixels 0-3 | 8-11 and 4-7 | 12-15, joined in pixel order.
        const __m256i first = _mm256_shuffle_epi8(LoadTwoLanes(p, 24), shuffle);
        const __m256i second = _mm256_shuffle_epi8(LoadTwoLanes(p + 12, 24), shuffle);
        const __m256i redGreen = _mm256_unpacklo_epi64(first, second);
        const __m256i blue = _mm256_srli_epi16(_mm256_unpackhi_epi64(first, second), 3);
        __m256i r = _mm256_and_si256(redGreen, red);
        __m256i g = _mm256_and_si256(redGreen, green);
        if constexpr (k565) {
            g = _mm256_slli_epi16(g, 3);
        } else {
            r = _mm256_srli_epi16(r, 1);
            g = _mm256_slli_epi16(g, 2);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to),
                            _mm256_or_si256(_mm256_or_si256(r, g), blue));
    };
    const auto one = [&](int32_t n) {
        const uint8_t* q = in + 3 * n;
        Codec::Encode(out, n, kBgr ? Rgb(q[2], q[1], q[0]) : Rgb(q[0], q[1], q[2]));
    };
    int32_t n = 0;
    for (; n + 18 <= count; n += 16) { // 52 bytes read from 3 n, all inside the run
        PrefetchAhead(in + 3 * n);
        sixteen(in + 3 * n, order, out + 2 * n);
    }
    if (n < count && count >= 48) {
        // The loop leaves 1 to 17 pixels: the one the last sixteen do not reach (17 left) first,
        // then the last sixteen, overlapping the loop's stores, read from 4 bytes before them to
        // the run's end (far enough behind the stores for a line converted in place).
        for (; n < count - 16; ++n) {
            one(n);
        }
        const __m256i shifted = _mm256_add_epi8(
            order, _mm256_andnot_si256(_mm256_cmpgt_epi8(_mm256_setzero_si256(), order),
                                       _mm256_set1_epi8(4)));
        sixteen(in + 3 * int64_t{count - 16} - 4, shifted, out + 2 * int64_t{count - 16});
        n = count;
    }
    for (; n < count; ++n) {
        one(n);
    }
}

// The blend masks of the 32-byte swap, for the three 32-byte stores of a group of 32 pixels:
// a byte that starts its pixel comes from two bytes on, one that ends it from two bytes back.
struct SwapMasks {
    alignas(32) uint8_t Ahead[3][32];
    alignas(32) uint8_t Back[3][32];
};
constexpr SwapMasks MakeSwapMasks() {
    SwapMasks m{};
    for (int part = 0; part < 3; ++part) {
        for (int i = 0; i < 32; ++i) {
            const int place = (32 * part + i) % 3;
            m.Ahead[part][i] = place == 0 ? 0xFF : 0;
            m.Back[part][i] = place == 2 ? 0xFF : 0;
        }
    }
    return m;
}
constexpr SwapMasks kSwapMasks = MakeSwapMasks();

// R, G, B to B, G, R and back: the first and third byte of each pixel exchanged, from in to out;
// with kTwo, a second run from in2 to out2 in the same pass. A line converted in place
// (out == in) and two lines exchanged (out2 == in, out == in2) work as well. The last pixels go
// five at a time through 16-byte stores that carry, after their five pixels, the byte they cover
// of the next pixel as the store's destination holds it.
template <bool kTwo>
void SwapRuns(const uint8_t* in, uint8_t* out, const uint8_t* in2, uint8_t* out2, int32_t count) {
    const __m128i swap = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    // Exchanging, the byte after the five pixels comes from the other load, which holds the
    // destination's own bytes.
    const __m128i lastByte = _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1);
    const auto swapped = [&](__m128i bytes, __m128i destination) {
        const __m128i moved = _mm_shuffle_epi8(bytes, swap);
        return kTwo ? _mm_blendv_epi8(moved, destination, lastByte) : moved;
    };
    int32_t n = 0;
    // Thirty-two pixels (three 32-byte stores) at a time: each output byte is the input byte two
    // before, at or two after it, by its place in its pixel, so a store is three loads blended:
    // at its own offset, two bytes on, and two bytes back (made from this load and the last
    // one's upper half). Every load of a store comes before it, and no later load reaches back
    // into it, so a line converted in place and two lines exchanged read only their old bytes.
    if (count >= 33) {
        __m256i lastA = _mm256_setzero_si256();
        __m256i lastB = lastA;
        const auto swapped32 = [](const uint8_t* p, __m256i& last, int phase) {
            const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            const __m256i ahead = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 2));
            const __m256i back =
                _mm256_alignr_epi8(here, _mm256_permute2x128_si256(here, last, 0x03), 14);
            last = here;
            const __m256i fromAhead =
                _mm256_load_si256(reinterpret_cast<const __m256i*>(kSwapMasks.Ahead[phase]));
            const __m256i fromBack =
                _mm256_load_si256(reinterpret_cast<const __m256i*>(kSwapMasks.Back[phase]));
            return _mm256_blendv_epi8(_mm256_blendv_epi8(here, ahead, fromAhead), back, fromBack);
        };
        for (; n + 33 <= count; n += 32) { // 98 bytes read from 3 n, all inside the run
            const int64_t at = 3 * int64_t{n};
            for (int part = 0; part < 3; ++part) {
                const __m256i a = swapped32(in + at + 32 * part, lastA, part);
                __m256i b = a;
                if constexpr (kTwo) {
                    b = swapped32(in2 + at + 32 * part, lastB, part);
                }
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + at + 32 * part), a);
                if constexpr (kTwo) {
                    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out2 + at + 32 * part), b);
                }
            }
        }
    }
    for (; n + 6 <= count; n += 5) { // 16 bytes read and stored, all inside the run
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * n));
        const __m128i second =
            kTwo ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(in2 + 3 * n)) : first;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * n), swapped(first, second));
        if constexpr (kTwo) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out2 + 3 * n), swapped(second, first));
        }
    }
    for (; n < count; ++n) {
        uint8_t first[3];
        uint8_t second[3];
        for (int k = 0; k < 3; ++k) {
            first[k] = in[3 * n + k];
            second[k] = kTwo ? in2[3 * n + k] : 0;
        }
        for (int k = 0; k < 3; ++k) {
            out[3 * n + k] = first[2 - k];
            if constexpr (kTwo) {
                out2[3 * n + k] = second[2 - k];
            }
        }
    }
}

void SwapRgb24(const Surface& src, int32_t x, int32_t y, int32_t count, const Surface& dst,
               int32_t i, int32_t j) {
    SwapRuns<false>(src.Buffer + int64_t{y} * src.Stride + int64_t{x} * 3,
                    dst.Buffer + int64_t{j} * dst.Stride + int64_t{i} * 3, nullptr, nullptr, count);
}
#endif

// Lines a and b of 24-bit pixels exchanged, the first and third byte of each pixel swapped on the
// way; a == b swaps one line in place.
void SwapLinesRgb24(uint8_t* a, uint8_t* b, int32_t count) {
#ifdef __AVX2__
    if (a == b) {
        SwapRuns<false>(a, a, nullptr, nullptr, count);
    } else {
        SwapRuns<true>(a, b, b, a, count);
    }
#else
    for (int32_t n = 0; n < count; ++n) {
        uint8_t* p = a + 3 * n;
        uint8_t* q = b + 3 * n;
        const uint8_t p0 = p[0], p1 = p[1], p2 = p[2];
        p[0] = q[2];
        p[1] = q[1];
        p[2] = q[0];
        q[0] = p2;
        q[1] = p1;
        q[2] = p0;
    }
#endif
}

} // namespace

void FillRgbKernels(KernelSet& k) {
    k.SwapLinesRgb24 = &SwapLinesRgb24;
#ifdef __AVX2__
    // Rows 19 ("R888.R-G-B") and 20 ("R888.B-G-R") to each other and to the 16-bit rows 4, 5, 7.
    k.Direct[0][20] = &SwapRgb24;
    k.Direct[1][19] = &SwapRgb24;
    k.Direct[0][4] = &Rgb24ToWords<false, R555>;
    k.Direct[1][4] = &Rgb24ToWords<true, R555>;
    for (int32_t row : {5, 7}) {
        k.Direct[0][row] = &Rgb24ToWords<false, R565>;
        k.Direct[1][row] = &Rgb24ToWords<true, R565>;
    }
#endif
    k.UnpackArgb[0] = &Unpack<R332>;
    k.PackArgb[0] = &Pack<R332>;
    k.UnpackArgb[1] = &UnpackR444GbR;
    k.PackArgb[1] = &PackR444GbR;
    k.UnpackArgb[2] = &Unpack<R444GbxR>;
    k.PackArgb[2] = &Pack<R444GbxR>;
    k.UnpackArgb[3] = &Unpack<R444GbRx>;
    k.PackArgb[3] = &Pack<R444GbRx>;
    k.UnpackArgb[4] = &Unpack<R555>;
    k.PackArgb[4] = &Pack<R555>;
    k.UnpackArgb[5] = &Unpack<R565>;
    k.PackArgb[5] = &Pack<R565>;
    k.UnpackArgb[6] = &Unpack<R565Swapped>;
    k.PackArgb[6] = &Pack<R565Swapped>;
    k.UnpackArgb[7] = &Unpack<R565>;
    k.PackArgb[7] = &Pack<R565>;
    k.UnpackArgb[8] = &UnpackR666Stream;
    k.PackArgb[8] = &PackR666Stream;
    k.UnpackArgb[9] = &Unpack<Bytes666<3, 0, 1, 2>>;
    k.PackArgb[9] = &Pack<Bytes666<3, 0, 1, 2>>;
    k.UnpackArgb[10] = &UnpackLaneSwapped<true>;
    k.PackArgb[10] = &PackLaneSwapped<true>;
    k.UnpackArgb[11] = &Unpack<R666xRrGgB>;
    k.PackArgb[11] = &Pack<R666xRrGgB>;
    k.UnpackArgb[12] = &Unpack<Bytes666<4, 1, 2, 3>>;
    k.PackArgb[12] = &Pack<Bytes666<4, 1, 2, 3>>;
    k.UnpackArgb[13] = &Unpack<Bytes666<4, 0, 3, 2>>;
    k.PackArgb[13] = &Pack<Bytes666<4, 0, 3, 2>>;
    k.UnpackArgb[14] = &Unpack<R666Word32>;
    k.PackArgb[14] = &Pack<R666Word32>;
    k.UnpackArgb[15] = &Unpack<X888>;
    k.PackArgb[15] = &Pack<X888>;
    k.UnpackArgb[16] = &Unpack<X888>;
    k.PackArgb[16] = &Pack<X888>;
    k.UnpackArgb[17] = &Unpack<Bytes888<4, 0, 3, 2>>;
    k.PackArgb[17] = &Pack<Bytes888<4, 0, 3, 2>>;
    k.UnpackArgb[18] = &Unpack<Bytes888<4, 1, 2, 3>>;
    k.PackArgb[18] = &Pack<Bytes888<4, 1, 2, 3>>;
    k.UnpackArgb[19] = &UnpackRgb24<false>;
    k.PackArgb[19] = &PackRgb24<false>;
    k.UnpackArgb[20] = &UnpackRgb24<true>;
    k.PackArgb[20] = &PackRgb24<true>;
    k.UnpackArgb[21] = &UnpackLaneSwapped<false>;
    k.PackArgb[21] = &PackLaneSwapped<false>;
    k.UnpackArgb[22] = &Unpack<A1555>;
    k.PackArgb[22] = &Pack<A1555>;
    k.UnpackArgb[23] = &Unpack<A4444>;
    k.PackArgb[23] = &Pack<A4444>;
    k.UnpackArgb[24] = &Unpack<A8565>;
    k.PackArgb[24] = &Pack<A8565>;
    k.UnpackArgb[25] = &UnpackArgb8888;
    k.PackArgb[25] = &PackArgb8888;
    k.UnpackArgb[26] = &Unpack<Rgba8888>;
    k.PackArgb[26] = &Pack<Rgba8888>;
    k.UnpackArgb[27] = &Unpack<Mono>;
    k.PackArgb[27] = &Pack<Mono>;
}

} // namespace Q3V_KERNEL_VARIANT

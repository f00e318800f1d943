// Row kernels of the YCbCr families: line decoders to luma and chroma bytes (each pixel with
// its group's chroma, as the per-pixel readers) and the family encoders (groups with averaged
// chroma, padded with the last pixel, as the family loops).
#include "imaging/ChromaAverage.h"
#include "imaging/KernelsCommon.h"
#include "imaging/YuvLayouts.h"

#include <cstring>
#ifdef __AVX2__
#include <immintrin.h>
#endif

namespace Q3V_KERNEL_VARIANT {
namespace {

int64_t EvenUp(int64_t v) {
    return v + (v % 2);
}

// (Not std::min: each build of the kernels keeps its instructions to itself.)
int32_t Min(int32_t a, int32_t b) {
    return a < b ? a : b;
}

int32_t LayoutOf(const Surface& s) {
    return g_PixelFormats[s.Format].YuvLayout;
}

void UnpackYuv411(const Surface& s, int32_t x, int32_t y, int32_t count, uint8_t* luma, uint8_t* cb,
                  uint8_t* cr) {
    const GroupBytes& g = kYuv411Bytes[LayoutOf(s)];
    const uint8_t* line = s.Buffer + int64_t{y} * s.Stride;
    for (int32_t n = 0; n < count; ++n) {
        const int64_t px = int64_t{x} + n;
        const uint8_t* group = line + (px / 4) * 6;
        luma[n] = group[g.Y[px % 4]];
        cb[n] = group[g.Cb];
        cr[n] = group[g.Cr];
    }
}

template <GroupBytes g>
void UnpackPairs(const uint8_t* line, int64_t x, int32_t count, uint8_t* luma, uint8_t* cb,
                 uint8_t* cr) {
    int32_t n = 0;
    if (x % 2 != 0 && count > 0) {
        const uint8_t* pair = line + (x / 2) * 4;
        luma[0] = pair[g.Y[1]];
        cb[0] = pair[g.Cb];
        cr[0] = pair[g.Cr];
        n = 1;
    }
    const uint8_t* pairs = line + ((x + n) / 2) * 4;
    const int32_t whole = (count - n) / 2;
    uint8_t* l = luma + n;
    uint8_t* u = cb + n;
    uint8_t* v = cr + n;
    for (int32_t k = 0; k < whole; ++k) {
        const uint8_t* pair = pairs + 4 * k;
        l[2 * k] = pair[g.Y[0]];
        l[2 * k + 1] = pair[g.Y[1]];
        u[2 * k] = pair[g.Cb];
        u[2 * k + 1] = pair[g.Cb];
        v[2 * k] = pair[g.Cr];
        v[2 * k + 1] = pair[g.Cr];
    }
    n += 2 * whole;
    if (n < count) {
        const uint8_t* pair = line + ((x + n) / 2) * 4;
        luma[n] = pair[g.Y[0]];
        cb[n] = pair[g.Cb];
        cr[n] = pair[g.Cr];
    }
}

void UnpackYuv422(const Surface& s, int32_t x, int32_t y, int32_t count, uint8_t* luma, uint8_t* cb,
                  uint8_t* cr) {
    const uint8_t* line = s.Buffer + int64_t{y} * s.Stride;
    switch (LayoutOf(s)) {
    case 0:
        UnpackPairs<kYuv422Bytes[0]>(line, x, count, luma, cb, cr);
        break;
    case 1:
        UnpackPairs<kYuv422Bytes[1]>(line, x, count, luma, cb, cr);
        break;
    case 2:
        UnpackPairs<kYuv422Bytes[2]>(line, x, count, luma, cb, cr);
        break;
    default:
        UnpackPairs<kYuv422Bytes[3]>(line, x, count, luma, cb, cr);
        break;
    }
}

void UnpackYuv420(const Surface& s, int32_t x, int32_t y, int32_t count, uint8_t* luma, uint8_t* cb,
                  uint8_t* cr) {
    const int32_t layout = LayoutOf(s);
    if (IsYuv420ThreeByteLayout(layout)) {
        const uint8_t* line = s.Buffer + int64_t{y} * s.Stride;
        const uint8_t* even = s.Buffer + int64_t{y & ~1} * s.Stride;
        const uint8_t* odd = s.Buffer + int64_t{y | 1} * s.Stride;
        const int64_t swap = layout == 9 ? 1 : 0; // logical byte k at k XOR 1
        const int64_t lineOffset = line - s.Buffer;
        const int64_t evenOffset = even - s.Buffer;
        const int64_t oddOffset = odd - s.Buffer;
        for (int32_t n = 0; n < count; ++n) {
            const int64_t px = int64_t{x} + n;
            const int64_t pair = (px / 2) * 3;
            luma[n] = s.Buffer[(lineOffset + pair + 1 + px % 2) ^ swap];
            cb[n] = s.Buffer[(evenOffset + pair) ^ swap];
            cr[n] = s.Buffer[(oddOffset + pair) ^ swap];
        }
        return;
    }
    const int64_t w2 = EvenUp(s.Width);
    const uint8_t* base = s.Buffer + int64_t{y / 2} * 3 * w2;
    // Chroma (and the even line's luma) from the even line's pairs.
    switch (layout / 2) {
    case 0:
        UnpackPairs<kYuv420EvenBytes[0]>(base, x, count, luma, cb, cr);
        break;
    case 1:
        UnpackPairs<kYuv420EvenBytes[2]>(base, x, count, luma, cb, cr);
        break;
    case 2:
        UnpackPairs<kYuv420EvenBytes[4]>(base, x, count, luma, cb, cr);
        break;
    default:
        UnpackPairs<kYuv420EvenBytes[6]>(base, x, count, luma, cb, cr);
        break;
    }
    if (y % 2 == 0) {
        return;
    }
    // The odd line's own luma bytes, pair-swapped in the odd layouts.
    const uint8_t* oddLuma = base + 2 * w2;
    if (layout % 2 == 0) {
        std::memcpy(luma, oddLuma + x, size_t(count));
        return;
    }
    for (int32_t n = 0; n < count; ++n) {
        luma[n] = oddLuma[(int64_t{x} + n) ^ 1];
    }
}

// Index into a run starting at pixel i of the destination's pixel i + k, repeating the last
// real pixel past Width.
int32_t Padded(const Surface& d, int32_t i, int32_t at) {
    return Min(at, d.Width - 1) - i;
}

void PackYuv411(const Surface& d, int32_t j, int32_t i, int32_t count, YuvLinePixels p) {
    const GroupBytes& g = kYuv411Bytes[LayoutOf(d)];
    const bool offset = d.ChromaOffset != 0;
    uint8_t* line = d.Buffer + int64_t{j} * d.Stride;
    for (int32_t at = i; at < i + count; at += 4) {
        const int32_t k0 = Padded(d, i, at);
        const int32_t k1 = Padded(d, i, at + 1);
        const int32_t k2 = Padded(d, i, at + 2);
        const int32_t k3 = Padded(d, i, at + 3);
        uint8_t* out = line + int64_t{at / 4} * 6;
        out[g.Y[0]] = p.Luma[k0];
        out[g.Y[1]] = p.Luma[k1];
        out[g.Y[2]] = p.Luma[k2];
        out[g.Y[3]] = p.Luma[k3];
        out[g.Cb] = AverageChroma4(p.Cb[k0], p.Cb[k1], p.Cb[k2], p.Cb[k3], offset);
        out[g.Cr] = AverageChroma4(p.Cr[k0], p.Cr[k1], p.Cr[k2], p.Cr[k3], offset);
    }
}

#ifdef __AVX2__
// The chroma average of the family loops over sixteen bytes of pixels: each pixel pair's two
// bytes, with ChromaOffset added unsigned and halved, without it added signed and divided
// truncating toward zero; eight 16-bit results. With below, the pair's bytes of the line
// below join them (four bytes, divided by 4).
template <bool kOffset>
[[gnu::always_inline]] inline __m128i AverageChromaPairs(__m128i line, const __m128i* below) {
    const __m128i ones = _mm_set1_epi8(1);
    __m128i sum = kOffset ? _mm_maddubs_epi16(line, ones) : _mm_maddubs_epi16(ones, line);
    if (below != nullptr) {
        sum = _mm_add_epi16(sum, kOffset ? _mm_maddubs_epi16(*below, ones)
                                         : _mm_maddubs_epi16(ones, *below));
    }
    const int shift = below != nullptr ? 2 : 1;
    if (kOffset) {
        return _mm_srl_epi16(sum, _mm_cvtsi32_si128(shift));
    }
    // A negative sum rounds toward zero: add divisor - 1 first.
    const __m128i roundUp =
        _mm_and_si128(_mm_srai_epi16(sum, 15), _mm_set1_epi16((1 << shift) - 1));
    return _mm_sra_epi16(_mm_add_epi16(sum, roundUp), _mm_cvtsi32_si128(shift));
}

// Cb and Cr of eight pixel pairs as the bytes Cb0 Cr0 Cb1 Cr1 ... (the averages of each pair,
// and of the pair below when given).
template <bool kOffset>
[[gnu::always_inline]] inline __m128i PairChroma(const uint8_t* cb, const uint8_t* cr,
                                                 const uint8_t* cbBelow, const uint8_t* crBelow) {
    const auto load = [](const uint8_t* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    };
    __m128i u;
    __m128i v;
    if (cbBelow != nullptr) {
        const __m128i ub = load(cbBelow);
        const __m128i vb = load(crBelow);
        u = AverageChromaPairs<kOffset>(load(cb), &ub);
        v = AverageChromaPairs<kOffset>(load(cr), &vb);
    } else {
        u = AverageChromaPairs<kOffset>(load(cb), nullptr);
        v = AverageChromaPairs<kOffset>(load(cr), nullptr);
    }
    const __m128i bytes = kOffset ? _mm_packus_epi16(u, v) : _mm_packs_epi16(u, v);
    return _mm_unpacklo_epi8(bytes, _mm_srli_si128(bytes, 8));
}

// A byte shuffle of four-byte groups from the order Y0 Cb Y1 Cr to g's.
__m128i GroupShuffle(const GroupBytes& g) {
    alignas(16) int8_t mask[16];
    for (int k = 0; k < 4; ++k) {
        mask[4 * k + g.Y[0]] = static_cast<int8_t>(4 * k);
        mask[4 * k + g.Cb] = static_cast<int8_t>(4 * k + 1);
        mask[4 * k + g.Y[1]] = static_cast<int8_t>(4 * k + 2);
        mask[4 * k + g.Cr] = static_cast<int8_t>(4 * k + 3);
    }
    return _mm_load_si128(reinterpret_cast<const __m128i*>(mask));
}

// Eight whole pixel pairs at a time into four-byte groups of g's order, the chroma averaged over
// each pair; returns how many pairs it stored.
template <bool kOffset>
int32_t PackPairLanes(uint8_t* out, const GroupBytes& g, int32_t pairs, YuvLinePixels p) {
    const __m128i order = GroupShuffle(g);
    int32_t k = 0;
    for (; k + 8 <= pairs; k += 8) {
        const __m128i chroma = PairChroma<kOffset>(p.Cb + 2 * k, p.Cr + 2 * k, nullptr, nullptr);
        const __m128i luma = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p.Luma + 2 * k));
        __m128i* o = reinterpret_cast<__m128i*>(out + 4 * k);
        _mm_storeu_si128(o, _mm_shuffle_epi8(_mm_unpacklo_epi8(luma, chroma), order));
        _mm_storeu_si128(o + 1, _mm_shuffle_epi8(_mm_unpackhi_epi8(luma, chroma), order));
    }
    return k;
}

int32_t PackPairsFast(uint8_t* out, const GroupBytes& g, int32_t pairs, YuvLinePixels p,
                      bool offset) {
    return offset ? PackPairLanes<true>(out, g, pairs, p) : PackPairLanes<false>(out, g, pairs, p);
}

// The chroma plane of layout 10: Cb Cr of each 2 x 2 block, eight blocks at a time.
int32_t PackBlockChromaFast(uint8_t* out, int32_t pairs, YuvLinePixels even, YuvLinePixels odd,
                            bool offset) {
    int32_t k = 0;
    for (; k + 8 <= pairs; k += 8) {
        const __m128i chroma = offset ? PairChroma<true>(even.Cb + 2 * k, even.Cr + 2 * k,
                                                         odd.Cb + 2 * k, odd.Cr + 2 * k)
                                      : PairChroma<false>(even.Cb + 2 * k, even.Cr + 2 * k,
                                                          odd.Cb + 2 * k, odd.Cr + 2 * k);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * k), chroma);
    }
    return k;
}
#else
int32_t PackPairsFast(uint8_t*, const GroupBytes&, int32_t, YuvLinePixels, bool) {
    return 0;
}
int32_t PackBlockChromaFast(uint8_t*, int32_t, YuvLinePixels, YuvLinePixels, bool) {
    return 0;
}
#endif

template <int kLayout>
void PackPairs(uint8_t* line, const Surface& d, int32_t i, int32_t count, YuvLinePixels p,
               bool offset) {
    constexpr GroupBytes g = kYuv422Bytes[kLayout];
    const int32_t whole = (Min(i + count, d.Width) - i) / 2; // pairs without padding
    uint8_t* out = line + int64_t{i / 2} * 4;
    for (int32_t k = PackPairsFast(out, g, whole, p, offset); k < whole; ++k) {
        out[4 * k + g.Y[0]] = p.Luma[2 * k];
        out[4 * k + g.Y[1]] = p.Luma[2 * k + 1];
        out[4 * k + g.Cb] = AverageChroma2(p.Cb[2 * k], p.Cb[2 * k + 1], offset);
        out[4 * k + g.Cr] = AverageChroma2(p.Cr[2 * k], p.Cr[2 * k + 1], offset);
    }
    if (2 * whole < count) { // the last pixel of an odd line, twice
        const int32_t k = 2 * whole;
        uint8_t* o = out + 4 * whole;
        o[g.Y[0]] = p.Luma[k];
        o[g.Y[1]] = p.Luma[k];
        o[g.Cb] = AverageChroma2(p.Cb[k], p.Cb[k], offset);
        o[g.Cr] = AverageChroma2(p.Cr[k], p.Cr[k], offset);
    }
}

void PackYuv422(const Surface& d, int32_t j, int32_t i, int32_t count, YuvLinePixels p) {
    const bool offset = d.ChromaOffset != 0;
    uint8_t* line = d.Buffer + int64_t{j} * d.Stride;
    switch (LayoutOf(d)) {
    case 0:
        PackPairs<0>(line, d, i, count, p, offset);
        return;
    case 1:
        PackPairs<1>(line, d, i, count, p, offset);
        return;
    case 2:
        PackPairs<2>(line, d, i, count, p, offset);
        return;
    case 3:
        PackPairs<3>(line, d, i, count, p, offset);
        return;
    default:
        break;
    }
    // Planar: luma here, chroma Stride x Height further on.
    uint8_t* chroma = line + int64_t{d.Stride} * d.Height;
    for (int32_t at = i; at < i + count; at += 2) {
        const int32_t k0 = at - i;
        const int32_t k1 = Padded(d, i, at + 1);
        line[at] = p.Luma[k0];
        line[at + 1] = p.Luma[k1];
        chroma[at] = AverageChroma2(p.Cb[k0], p.Cb[k1], offset);
        chroma[at + 1] = AverageChroma2(p.Cr[k0], p.Cr[k1], offset);
    }
}

// A line pair from even line j: even holds the pixels of line j's source line, odd those of
// the line below it.
// Layout 10: the two luma lines as they are, chroma over the 2 x 2 block into its plane.
template <bool kOffset>
void PackPlanar420(const Surface& d, int32_t j, int32_t i, int32_t count, YuvLinePixels even,
                   YuvLinePixels odd) {
    const int64_t w2 = EvenUp(d.Width);
    const int64_t h2 = EvenUp(d.Height);
    uint8_t* lumaEven = d.Buffer + int64_t{j} * w2 + i;
    uint8_t* lumaOdd = lumaEven + w2;
    uint8_t* chroma = d.Buffer + w2 * h2 + (int64_t{j} * w2) / 2 + i;
    const int32_t real = Min(count, d.Width - i); // pixels before the padding
    std::memcpy(lumaEven, even.Luma, size_t(real));
    std::memcpy(lumaOdd, odd.Luma, size_t(real));
    const int32_t whole = real / 2;
    for (int32_t k = PackBlockChromaFast(chroma, whole, even, odd, kOffset); k < whole; ++k) {
        chroma[2 * k] = AverageChroma4(even.Cb[2 * k], even.Cb[2 * k + 1], odd.Cb[2 * k],
                                       odd.Cb[2 * k + 1], kOffset);
        chroma[2 * k + 1] = AverageChroma4(even.Cr[2 * k], even.Cr[2 * k + 1], odd.Cr[2 * k],
                                           odd.Cr[2 * k + 1], kOffset);
    }
    if (real % 2 != 0) { // the last pixel of an odd line, twice
        const int32_t k = real - 1;
        lumaEven[k + 1] = even.Luma[k];
        lumaOdd[k + 1] = odd.Luma[k];
        chroma[k] = AverageChroma4(even.Cb[k], even.Cb[k], odd.Cb[k], odd.Cb[k], kOffset);
        chroma[k + 1] = AverageChroma4(even.Cr[k], even.Cr[k], odd.Cr[k], odd.Cr[k], kOffset);
    }
}

void PackYuv420(const Surface& d, int32_t j, int32_t i, int32_t count, YuvLinePixels even,
                YuvLinePixels odd) {
    const int32_t layout = LayoutOf(d);
    const bool offset = d.ChromaOffset != 0;
    if (layout == 10) {
        if (offset) {
            PackPlanar420<true>(d, j, i, count, even, odd);
        } else {
            PackPlanar420<false>(d, j, i, count, even, odd);
        }
        return;
    }
    const int64_t w2 = EvenUp(d.Width);
    const int64_t lineBytes = 3 * w2 / 2;
    int32_t first = i;
    if (layout < 8) {
        // Whole pixel pairs: the even line's groups, then the odd line's luma.
        uint8_t* base = d.Buffer + int64_t{j / 2} * 3 * w2;
        const int32_t whole = (Min(i + count, d.Width) - i) / 2;
        const int32_t done =
            PackPairsFast(base + int64_t{i / 2} * 4, kYuv420EvenBytes[layout], whole, even, offset);
        uint8_t* below = base + 2 * w2 + i;
        if (layout % 2 == 0) {
            std::memcpy(below, odd.Luma, size_t(2 * done));
        } else {
            for (int32_t k = 0; k < 2 * done; ++k) {
                below[k] = odd.Luma[k ^ 1];
            }
        }
        first = i + 2 * done;
    }
    for (int32_t at = first; at < i + count; at += 2) {
        const int32_t k0 = at - i;
        const int32_t k1 = Padded(d, i, at + 1);
        if (layout < 8) {
            const GroupBytes& g = kYuv420EvenBytes[layout];
            uint8_t* base = d.Buffer + int64_t{j / 2} * 3 * w2;
            uint8_t* pair = base + int64_t{at / 2} * 4;
            pair[g.Y[0]] = even.Luma[k0];
            pair[g.Y[1]] = even.Luma[k1];
            pair[g.Cb] = AverageChroma2(even.Cb[k0], even.Cb[k1], offset);
            pair[g.Cr] = AverageChroma2(even.Cr[k0], even.Cr[k1], offset);
            uint8_t* below = base + 2 * w2 + at;
            const bool swapped = layout % 2 != 0;
            below[0] = swapped ? odd.Luma[k1] : odd.Luma[k0];
            below[1] = swapped ? odd.Luma[k0] : odd.Luma[k1];
            continue;
        }
        // Layouts 8 and 9 average the 2 x 2 block, layout 11 the even line's pair.
        uint8_t cb = AverageChroma2(even.Cb[k0], even.Cb[k1], offset);
        uint8_t cr = AverageChroma2(even.Cr[k0], even.Cr[k1], offset);
        if (layout != 11) {
            cb = AverageChroma4(even.Cb[k0], even.Cb[k1], odd.Cb[k0], odd.Cb[k1], offset);
            cr = AverageChroma4(even.Cr[k0], even.Cr[k1], odd.Cr[k0], odd.Cr[k1], offset);
        }
        const int64_t o = int64_t{j} * lineBytes + int64_t{at / 2} * 3;
        const int64_t swap = layout == 9 ? 1 : 0;
        uint8_t* b = d.Buffer;
        b[o ^ swap] = cb;
        b[(o + 1) ^ swap] = even.Luma[k0];
        b[(o + 2) ^ swap] = even.Luma[k1];
        b[(o + lineBytes) ^ swap] = cr;
        b[(o + lineBytes + 1) ^ swap] = odd.Luma[k0];
        b[(o + lineBytes + 2) ^ swap] = odd.Luma[k1];
    }
}

} // namespace

void FillYuvKernels(KernelSet& k) {
    k.UnpackYuv411 = &UnpackYuv411;
    k.UnpackYuv422 = &UnpackYuv422;
    k.UnpackYuv420 = &UnpackYuv420;
    k.PackYuv411 = &PackYuv411;
    k.PackYuv422 = &PackYuv422;
    k.PackYuv420 = &PackYuv420;
}

} // namespace Q3V_KERNEL_VARIANT

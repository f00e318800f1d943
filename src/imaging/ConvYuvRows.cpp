// Readers and writers of the YCbCr rows (one pixel at a time), and the colour step that ends
// every read according to the destination's kind.
#include "imaging/ColourMaths.h"
#include "imaging/Conv.h"
#include "imaging/SurfaceBytes.h"
#include "imaging/YuvLayouts.h"

namespace {

int64_t EvenUp(int64_t v) {
    return v + (v % 2);
}

// The chroma merge of the per-pixel writers: both values in the surface's convention (0..255
// with ChromaOffset, -128..127 without), weighted, divided truncating toward zero.
uint8_t MergeChroma(uint8_t stored, uint8_t incoming, int32_t storedWeight, int32_t newWeight,
                    int32_t divisor, bool offset) {
    const int32_t s = offset ? int32_t{stored} : int32_t{static_cast<int8_t>(stored)};
    const int32_t n = offset ? int32_t{incoming} : int32_t{static_cast<int8_t>(incoming)};
    return static_cast<uint8_t>((storedWeight * s + newWeight * n) / divisor);
}

struct ChromaWeights {
    int32_t Stored;
    int32_t New;
    int32_t Divisor;
};

void MergeAt(const Surface& d, int64_t offset, uint8_t incoming, ChromaWeights w) {
    const uint8_t stored = LoadByte(d, offset);
    StoreByte(d, offset,
              MergeChroma(stored, incoming, w.Stored, w.New, w.Divisor, d.ChromaOffset != 0));
}

// The same through the lane swap of layout 9.
void MergeLane(const Surface& d, int64_t p, uint8_t incoming, ChromaWeights w) {
    const uint8_t stored = ReadByte(d, p, 0);
    WriteByte(d, p, 0,
              MergeChroma(stored, incoming, w.Stored, w.New, w.Divisor, d.ChromaOffset != 0));
}

bool XInsideLine(const Surface& d, int32_t x) {
    return x >= 0 && x < d.Width;
}

} // namespace

bool Conv::DestinationIsYuv() const {
    return m_Dst != nullptr && m_FirstYuvRow >= 0 && m_Dst->Format >= m_FirstYuvRow;
}

void Conv::FinishRgbRead(Pixel& pixel) const {
    if (DestinationIsYuv()) {
        RgbToYuv(pixel, m_Colorimetry, ConventionOf(*m_Dst));
    }
}

void Conv::FinishYuvRead(Pixel& pixel) const {
    const YuvConvention src = ConventionOf(*m_Src);
    if (!DestinationIsYuv()) {
        YuvToRgb(pixel, m_Colorimetry, src);
    } else if (src.VideoRange) {
        AdaptYuvIn(pixel, src, ConventionOf(*m_Dst));
    } else {
        AdaptYuvOut(pixel, src, ConventionOf(*m_Dst));
    }
}

bool Conv::ReadPlanarUnsupported(Conv&, int32_t, int32_t, Pixel* out) {
    *out = Pixel{};
    return false;
}

bool Conv::Read_Y411_U_Y0_V_Y1_Y2_Y3(Conv& conv, int32_t x, int32_t y, Pixel* out) {
    if (!conv.InSourceArea(x, y)) {
        *out = Pixel{};
        return false;
    }
    const Surface& s = *conv.m_Src;
    const GroupBytes& g = kYuv411Bytes[conv.m_Table[s.Format].YuvLayout];
    const uint8_t* group = s.Buffer + int64_t{y} * s.Stride + int64_t{x / 4} * 6;
    out->Y = group[g.Y[x % 4]];
    out->Cb = group[g.Cb];
    out->Cr = group[g.Cr];
    conv.FinishYuvRead(*out);
    return true;
}

bool Conv::Read_Y422_UY_VY(Conv& conv, int32_t x, int32_t y, Pixel* out) {
    if (!conv.InSourceArea(x, y)) {
        *out = Pixel{};
        return false;
    }
    const Surface& s = *conv.m_Src;
    const GroupBytes& g = kYuv422Bytes[conv.m_Table[s.Format].YuvLayout];
    const uint8_t* pair = s.Buffer + int64_t{y} * s.Stride + int64_t{x / 2} * 4;
    out->Y = pair[g.Y[x % 2]];
    out->Cb = pair[g.Cb];
    out->Cr = pair[g.Cr];
    conv.FinishYuvRead(*out);
    return true;
}

bool Conv::Read_Y420_YU_YV_Y1Y0_Y3Y2(Conv& conv, int32_t x, int32_t y, Pixel* out) {
    if (!conv.InSourceArea(x, y)) {
        *out = Pixel{};
        return false;
    }
    const Surface& s = *conv.m_Src;
    const int32_t layout = conv.m_Table[s.Format].YuvLayout;
    if (IsYuv420ThreeByteLayout(layout)) {
        const int64_t pair = int64_t{x / 2} * 3;
        const int64_t line = int64_t{y} * s.Stride + pair;
        const int64_t even = int64_t{y & ~1} * s.Stride + pair;
        const int64_t odd = int64_t{y | 1} * s.Stride + pair;
        if (layout == 9) {
            out->Y = ReadByte(s, line, 1 + x % 2);
            out->Cb = ReadByte(s, even, 0);
            out->Cr = ReadByte(s, odd, 0);
        } else {
            out->Y = s.Buffer[line + 1 + x % 2];
            out->Cb = s.Buffer[even];
            out->Cr = s.Buffer[odd];
        }
    } else {
        const GroupBytes& g = kYuv420EvenBytes[layout];
        const int64_t w2 = EvenUp(s.Width);
        const uint8_t* base = s.Buffer + int64_t{y / 2} * 3 * w2;
        const uint8_t* pair = base + int64_t{x / 2} * 4;
        if (y % 2 == 0) {
            out->Y = pair[g.Y[x % 2]];
        } else {
            out->Y = base[2 * w2 + (layout % 2 != 0 ? (x ^ 1) : x)];
        }
        out->Cb = pair[g.Cb];
        out->Cr = pair[g.Cr];
    }
    conv.FinishYuvRead(*out);
    return true;
}

void Conv::Write_Y411_U_Y0_V_Y1_Y2_Y3(Conv& conv, const Pixel* in, int32_t x, int32_t y) {
    const Surface& d = *conv.m_Dst;
    if (!XInsideLine(d, x)) {
        return;
    }
    const GroupBytes& g = kYuv411Bytes[conv.m_Table[d.Format].YuvLayout];
    const int64_t group = int64_t{y} * d.Stride + int64_t{x / 4} * 6;
    const ChromaWeights weights{3, 1, 4};
    StoreByte(d, group + g.Y[x % 4], in->Y);
    MergeAt(d, group + g.Cb, in->Cb, weights);
    MergeAt(d, group + g.Cr, in->Cr, weights);
}

void Conv::Write_Y422_UY_VY(Conv& conv, const Pixel* in, int32_t x, int32_t y) {
    const Surface& d = *conv.m_Dst;
    if (!XInsideLine(d, x)) {
        return;
    }
    const int32_t layout = conv.m_Table[d.Format].YuvLayout;
    if (layout == 4) {
        // Planar: luma plane, then the chroma plane Stride x Height further on; the pair's
        // chroma comes from its even pixel alone.
        const int64_t luma = int64_t{y} * d.Stride + x;
        StoreByte(d, luma, in->Y);
        if (x % 2 == 0) {
            const int64_t chroma = int64_t{d.Stride} * d.Height + int64_t{y} * d.Stride + x;
            StoreByte(d, chroma, in->Cb);
            StoreByte(d, chroma + 1, in->Cr);
        }
        return;
    }
    const GroupBytes& g = kYuv422Bytes[layout];
    const int64_t pair = int64_t{y} * d.Stride + int64_t{x / 2} * 4;
    const ChromaWeights weights{1, 1, 2};
    StoreByte(d, pair + g.Y[x % 2], in->Y);
    MergeAt(d, pair + g.Cb, in->Cb, weights);
    MergeAt(d, pair + g.Cr, in->Cr, weights);
}

void Conv::Write_Y420_YU_YV_Y1Y0_Y3Y2(Conv& conv, const Pixel* in, int32_t x, int32_t y) {
    const Surface& d = *conv.m_Dst;
    const int32_t layout = conv.m_Table[d.Format].YuvLayout;
    if (layout == 10) {
        return; // the planar row is written by Convert only
    }
    if (IsYuv420ThreeByteLayout(layout)) {
        const ChromaWeights weights{1, 3, 4};
        const int64_t pair = int64_t{x / 2} * 3;
        const int64_t line = int64_t{y} * d.Stride + pair;
        const int64_t even = int64_t{y & ~1} * d.Stride + pair;
        const int64_t odd = int64_t{y | 1} * d.Stride + pair;
        if (layout == 9) {
            WriteByte(d, line, 1 + x % 2, in->Y);
            MergeLane(d, even, in->Cb, weights);
            MergeLane(d, odd, in->Cr, weights);
        } else {
            StoreByte(d, line + 1 + x % 2, in->Y);
            MergeAt(d, even, in->Cb, weights);
            MergeAt(d, odd, in->Cr, weights);
        }
        return;
    }
    const GroupBytes& g = kYuv420EvenBytes[layout];
    const int64_t w2 = EvenUp(d.Width);
    const int64_t base = int64_t{y / 2} * 3 * w2;
    const int64_t pair = base + int64_t{x / 2} * 4;
    const ChromaWeights weights{1, 1, 2};
    if (y % 2 == 0) {
        StoreByte(d, pair + g.Y[x % 2], in->Y);
    } else {
        StoreByte(d, base + 2 * w2 + (layout % 2 != 0 ? (x ^ 1) : x), in->Y);
    }
    MergeAt(d, pair + g.Cb, in->Cb, weights);
    MergeAt(d, pair + g.Cr, in->Cr, weights);
}

// The fast path of Convert: the pair of rows resolved once per picture, then line after line
// through the row kernels in runs of up to kRun pixels held on the stack.
#include "imaging/FastPath.h"

#include "imaging/ColourMaths.h"
#include "imaging/ConvGeometry.h"
#include "imaging/KernelSet.h"

#include <algorithm>

namespace {

constexpr int32_t kRun = 1024;   // pixels per kernel call; a multiple of 4 (4:1:1 groups)
constexpr int32_t kArgbRow = 25; // "ARGB8888.ARGB": the kernels' own word layout

int32_t EvenUp(int32_t v) {
    return v + (v % 2);
}

struct YuvRun {
    uint8_t Luma[kRun];
    uint8_t Cb[kRun];
    uint8_t Cr[kRun];
    [[nodiscard]] YuvLinePixels Pixels() const { return YuvLinePixels{Luma, Cb, Cr}; }
};

// Reads runs of source pixels in the form the destination's kind needs: ARGB words for an RGB
// destination, YCbCr bytes in the destination's conventions for a YCbCr one.
class SourceRuns {
public:
    SourceRuns(const Surface& src, const Surface& dst, uint32_t colorimetry, const KernelSet& k)
        : m_Src(src), m_K(k), m_Colorimetry(colorimetry), m_SrcConvention(ConventionOf(src)),
          m_DstConvention(ConventionOf(dst)) {
        m_SrcYuv = YuvFamilyOfRow(src.Format) != YuvFamily::None;
        switch (YuvFamilyOfRow(src.Format)) {
        case YuvFamily::Yuv411:
            m_UnpackYuv = k.UnpackYuv411;
            break;
        case YuvFamily::Yuv422:
            m_UnpackYuv = k.UnpackYuv422;
            m_YuvToArgb = k.YuvToArgb422;
            break;
        case YuvFamily::Yuv420:
            m_UnpackYuv = k.UnpackYuv420;
            m_YuvToArgb = k.YuvToArgb420;
            m_YuvToArgbPair = k.YuvToArgb420Pair;
            break;
        default:
            break;
        }
        if (m_SrcYuv && YuvFamilyOfRow(dst.Format) != YuvFamily::None) {
            // YCbCr to YCbCr adapts each byte on its own: two tables of 256.
            for (int32_t v = 0; v < 256; ++v) {
                Pixel p{0,
                        0,
                        0,
                        0,
                        static_cast<uint8_t>(v),
                        static_cast<uint8_t>(v),
                        static_cast<uint8_t>(v)};
                if (m_SrcConvention.VideoRange) {
                    AdaptYuvIn(p, m_SrcConvention, m_DstConvention);
                } else {
                    AdaptYuvOut(p, m_SrcConvention, m_DstConvention);
                }
                m_AdaptLuma[v] = p.Y;
                m_AdaptChroma[v] = p.Cb;
            }
        }
    }

    // ARGB words of the run: in argb, or where they already lie (an "ARGB8888.ARGB" source).
    const uint8_t* ReadArgb(int32_t x, int32_t y, int32_t count, uint8_t* argb) {
        if (m_Src.Format == kArgbRow) {
            return m_Src.Buffer + int64_t{y} * m_Src.Stride + int64_t{x} * 4;
        }
        if (!m_SrcYuv) {
            m_K.UnpackArgb[m_Src.Format](m_Src, x, y, count, argb);
            return argb;
        }
        // Straight from the source's bytes where the build can, from a pixel pair's start; the
        // pixels before and after through luma and chroma bytes.
        int32_t done = 0;
        if (m_YuvToArgb != nullptr) {
            done = x % 2 != 0 ? 1 : 0;
            YuvRunToArgb(x, y, done, argb);
            done += m_YuvToArgb(m_Src, x + done, y, count - done, m_Colorimetry, argb + 4 * done);
        }
        YuvRunToArgb(x + done, y, count - done, argb + 4 * done);
        return argb;
    }

    // Whether ReadArgbPair converts lines y and y + 1 of the source together.
    [[nodiscard]] bool ReadsLinePairs() const { return m_YuvToArgbPair != nullptr; }

    // ARGB words of the run on lines y (even) and y + 1 of a 4:2:0 source, into even and odd:
    // the line pair's chroma taken once where the build can, the rest line by line.
    void ReadArgbPair(int32_t x, int32_t y, int32_t count, uint8_t* even, uint8_t* odd) {
        int32_t done = x % 2 != 0 ? 1 : 0;
        YuvRunToArgb(x, y, done, even);
        YuvRunToArgb(x, y + 1, done, odd);
        done += m_YuvToArgbPair(m_Src, x + done, y, count - done, m_Colorimetry, even + 4 * done,
                                odd + 4 * done);
        if (done < count) {
            ReadArgb(x + done, y, count - done, even + 4 * done);
            ReadArgb(x + done, y + 1, count - done, odd + 4 * done);
        }
    }

    void ReadYuv(int32_t x, int32_t y, int32_t count, YuvRun& out) {
        if (!m_SrcYuv) {
            const uint8_t* argb = ReadArgb(x, y, count, m_Argb);
            m_K.RgbToYuvRow(argb, count, m_Colorimetry, m_DstConvention.VideoRange,
                            m_DstConvention.ChromaOffset, out.Luma, out.Cb, out.Cr);
            return;
        }
        m_UnpackYuv(m_Src, x, y, count, out.Luma, out.Cb, out.Cr);
        for (int32_t n = 0; n < count; ++n) {
            out.Luma[n] = m_AdaptLuma[out.Luma[n]];
            out.Cb[n] = m_AdaptChroma[out.Cb[n]];
            out.Cr[n] = m_AdaptChroma[out.Cr[n]];
        }
    }

private:
    void YuvRunToArgb(int32_t x, int32_t y, int32_t count, uint8_t* argb) {
        if (count <= 0) {
            return;
        }
        m_UnpackYuv(m_Src, x, y, count, m_Scratch.Luma, m_Scratch.Cb, m_Scratch.Cr);
        m_K.YuvToRgbRow(m_Scratch.Pixels(), count, m_Colorimetry, m_SrcConvention.VideoRange,
                        m_SrcConvention.ChromaOffset, argb);
    }

    const Surface& m_Src;
    const KernelSet& m_K;
    uint32_t m_Colorimetry;
    YuvConvention m_SrcConvention;
    YuvConvention m_DstConvention;
    bool m_SrcYuv = false;
    UnpackYuvFn m_UnpackYuv = nullptr;
    YuvToArgbFn m_YuvToArgb = nullptr;
    YuvToArgbPairFn m_YuvToArgbPair = nullptr;
    // Scratch space, written before it is read: left uninitialised, since clearing 7 KiB would
    // cost as much as converting a short line (callers convert a band of lines at a time).
    uint8_t m_AdaptLuma[256];
    uint8_t m_AdaptChroma[256];
    YuvRun m_Scratch;
    uint8_t m_Argb[4 * kRun];
};

} // namespace

bool CpuHasAvx2() {
    return __builtin_cpu_supports("avx2") != 0;
}

const KernelSet& SelectKernels(KernelVariant variant) {
    if (variant != KernelVariant::Baseline && CpuHasAvx2()) {
        return kernels_avx2::Kernels();
    }
    return kernels_baseline::Kernels();
}

bool ConvertByRows(const Surface& src, const Surface& dst, uint32_t colorimetry,
                   const KernelSet& kernels) {
    if (src.Access != nullptr || dst.Access != nullptr) {
        return false;
    }
    if (IsPlanarRow(src.Format)) {
        return false;
    }
    if (dst.OriginX < 0 || dst.OriginY < 0) {
        // The kernels read the source at the destination's origin on, where the reference path
        // reads zero left of and above pixel (0, 0): the reference path converts such a picture.
        return false;
    }
    const bool srcYuv = YuvFamilyOfRow(src.Format) != YuvFamily::None;
    const YuvFamily dstFamily = YuvFamilyOfRow(dst.Format);
    const bool dstYuv = dstFamily != YuvFamily::None;
    if (srcYuv != dstYuv && colorimetry >= COLORIMETRY_COUNT) {
        return false; // the reference path reports it
    }
    SourceRuns source(src, dst, colorimetry, kernels);
    const int32_t width = dst.Width;
    if (!dstYuv) {
        const int32_t directSource = src.Format - kFirstDirectSource;
        const ConvertRunFn direct =
            directSource >= 0 && directSource < kDirectSources && dst.Format < 28
                ? kernels.Direct[directSource][dst.Format]
                : nullptr;
        if (direct != nullptr) {
            // No words between: whole lines at a time.
            for (int32_t j = 0; j < dst.Height; ++j) {
                direct(src, dst.OriginX, dst.OriginY + j, width, dst, 0, j);
            }
            return true;
        }
        uint8_t argb[4 * kRun];
        uint8_t argbBelow[4 * kRun];
        const PackArgbFn pack = kernels.PackArgb[dst.Format];
        // Decoded straight into the destination's lines where they are ARGB words.
        const bool intoLines = dst.Format == kArgbRow && src.Format != kArgbRow;
        for (int32_t j = 0; j < dst.Height;) {
            const int32_t y = dst.OriginY + j;
            // A 4:2:0 line pair at once where both of its lines are destination lines.
            const bool pair = source.ReadsLinePairs() && y % 2 == 0 && j + 1 < dst.Height;
            uint8_t* line = dst.Buffer + int64_t{j} * dst.Stride;
            uint8_t* lineBelow = pair ? line + dst.Stride : nullptr;
            for (int32_t i = 0; i < width; i += kRun) {
                const int32_t x = dst.OriginX + i;
                const int32_t count = std::min(kRun, width - i);
                if (pair) {
                    uint8_t* even = intoLines ? line + 4 * i : argb;
                    uint8_t* odd = intoLines ? lineBelow + 4 * i : argbBelow;
                    source.ReadArgbPair(x, y, count, even, odd);
                    if (!intoLines) {
                        pack(even, count, dst, i, j);
                        pack(odd, count, dst, i, j + 1);
                    }
                    continue;
                }
                if (intoLines) {
                    source.ReadArgb(x, y, count, line + 4 * i);
                    continue;
                }
                pack(source.ReadArgb(x, y, count, argb), count, dst, i, j);
            }
            j += pair ? 2 : 1;
        }
        return true;
    }
    YuvRun even;
    if (dstFamily != YuvFamily::Yuv420) {
        const PackYuvFn pack =
            dstFamily == YuvFamily::Yuv411 ? kernels.PackYuv411 : kernels.PackYuv422;
        for (int32_t j = 0; j < dst.Height; ++j) {
            for (int32_t i = 0; i < width; i += kRun) {
                const int32_t count = std::min(kRun, width - i);
                source.ReadYuv(dst.OriginX + i, dst.OriginY + j, count, even);
                pack(dst, j, i, count, even.Pixels());
            }
        }
        return true;
    }
    // 4:2:0 by line pairs; an odd height repeats the last source line below it.
    YuvRun odd;
    uint8_t argbEven[4 * kRun];
    uint8_t argbOdd[4 * kRun];
    const bool oddHeight = dst.Height % 2 != 0;
    for (int32_t j = 0; j < EvenUp(dst.Height); j += 2) {
        const int32_t y = dst.OriginY + j;
        const int32_t below = (oddHeight && j == dst.Height - 1) ? y : y + 1;
        for (int32_t i = 0; i < width; i += kRun) {
            const int32_t x = dst.OriginX + i;
            const int32_t count = std::min(kRun, width - i);
            // From RGB words straight into the line pair where the build can; the rest
            // through luma and chroma bytes.
            int32_t done = 0;
            if (!srcYuv && kernels.RgbToYuv420 != nullptr) {
                done = kernels.RgbToYuv420(source.ReadArgb(x, y, count, argbEven),
                                           source.ReadArgb(x, below, count, argbOdd), count, dst, j,
                                           i, colorimetry);
            }
            if (done < count) {
                source.ReadYuv(x + done, y, count - done, even);
                source.ReadYuv(x + done, below, count - done, odd);
                kernels.PackYuv420(dst, j, i + done, count - done, even.Pixels(), odd.Pixels());
            }
        }
    }
    return true;
}

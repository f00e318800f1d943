// The reference loops over a destination rectangle: one reader and one writer call per pixel
// for RGB, ARGB and mono destinations, and a loop per YCbCr family that reads a whole group,
// averages its chroma and stores the group's bytes.
#include "imaging/ChromaAverage.h"
#include "imaging/Conv.h"
#include "imaging/SurfaceBytes.h"
#include "imaging/YuvLayouts.h"

namespace {

int32_t EvenUp(int32_t v) {
    return v + (v % 2);
}

} // namespace

void Conv::LoopGeneric(Conv& conv) {
    const Surface& d = *conv.m_Dst;
    Pixel pixel{};
    for (int32_t j = 0; j < d.Height; ++j) {
        for (int32_t i = 0; i < d.Width; ++i) {
            conv.m_Read(conv, d.OriginX + i, d.OriginY + j, &pixel);
            conv.m_Write(conv, &pixel, i, j);
        }
    }
}

void Conv::LoopYuv411(Conv& conv) {
    const Surface& d = *conv.m_Dst;
    const GroupBytes& g = kYuv411Bytes[conv.m_Table[d.Format].YuvLayout];
    const bool offset = d.ChromaOffset != 0;
    Pixel p[4]{};
    for (int32_t j = 0; j < d.Height; ++j) {
        uint8_t* out = d.Buffer + int64_t{j} * d.Stride;
        const int32_t y = d.OriginY + j;
        for (int32_t i = 0; i < d.Width; i += 4) {
            const int32_t x = d.OriginX + i;
            const int32_t last = d.Width - i - 1; // the last real pixel of the group
            for (int32_t k = 0; k < 4; ++k) {
                conv.m_Read(conv, x + (k < last ? k : last), y, &p[k]);
            }
            out[g.Y[0]] = p[0].Y;
            out[g.Y[1]] = p[1].Y;
            out[g.Y[2]] = p[2].Y;
            out[g.Y[3]] = p[3].Y;
            out[g.Cb] = AverageChroma4(p[0].Cb, p[1].Cb, p[2].Cb, p[3].Cb, offset);
            out[g.Cr] = AverageChroma4(p[0].Cr, p[1].Cr, p[2].Cr, p[3].Cr, offset);
            out += 6;
        }
    }
}

void Conv::LoopYuv422(Conv& conv) {
    const Surface& d = *conv.m_Dst;
    const int32_t layout = conv.m_Table[d.Format].YuvLayout;
    const bool offset = d.ChromaOffset != 0;
    const int64_t chromaPlane = int64_t{d.Stride} * d.Height;
    Pixel p[2]{};
    for (int32_t j = 0; j < d.Height; ++j) {
        uint8_t* out = d.Buffer + int64_t{j} * d.Stride;
        const int32_t y = d.OriginY + j;
        for (int32_t i = 0; i < d.Width; i += 2) {
            const int32_t x = d.OriginX + i;
            conv.m_Read(conv, x, y, &p[0]);
            conv.m_Read(conv, i + 1 < d.Width ? x + 1 : x, y, &p[1]);
            const uint8_t cb = AverageChroma2(p[0].Cb, p[1].Cb, offset);
            const uint8_t cr = AverageChroma2(p[0].Cr, p[1].Cr, offset);
            if (layout == 4) {
                out[0] = p[0].Y;
                out[1] = p[1].Y;
                out[chromaPlane] = cb;
                out[chromaPlane + 1] = cr;
                out += 2;
            } else {
                const GroupBytes& g = kYuv422Bytes[layout];
                out[g.Y[0]] = p[0].Y;
                out[g.Y[1]] = p[1].Y;
                out[g.Cb] = cb;
                out[g.Cr] = cr;
                out += 4;
            }
        }
    }
}

void Conv::LoopYuv420(Conv& conv) {
    const Surface& d = *conv.m_Dst;
    const int32_t layout = conv.m_Table[d.Format].YuvLayout;
    const bool offset = d.ChromaOffset != 0;
    const int32_t w2 = EvenUp(d.Width);
    const int32_t h2 = EvenUp(d.Height);
    const int64_t lineBytes = int64_t{3} * w2 / 2;
    const bool oddHeight = d.Height % 2 != 0;
    Pixel p[4]{};
    int64_t out = 0; // running position from Buffer
    for (int32_t j = 0; j < h2; ++j) {
        const int32_t y = (oddHeight && j == h2 - 1) ? d.OriginY + d.Height - 1 : d.OriginY + j;
        const int32_t below = (oddHeight && j == d.Height - 1) ? y : y + 1;
        const bool evenLine = j % 2 == 0;
        for (int32_t i = 0; i < w2; i += 2) {
            if (layout >= 8 && layout != 10 && !evenLine) {
                out += 3; // written with the even line above
                continue;
            }
            const int32_t x = d.OriginX + i;
            const int32_t x1 = i == d.Width - 1 ? x : x + 1;
            conv.m_Read(conv, x, y, &p[0]);
            conv.m_Read(conv, x1, y, &p[1]);
            if (layout >= 8 && evenLine) {
                conv.m_Read(conv, x, below, &p[2]);
                conv.m_Read(conv, x1, below, &p[3]);
            }
            if (layout < 8) {
                if (evenLine) {
                    const GroupBytes& g = kYuv420EvenBytes[layout];
                    uint8_t* o = d.Buffer + out;
                    o[g.Y[0]] = p[0].Y;
                    o[g.Y[1]] = p[1].Y;
                    o[g.Cb] = AverageChroma2(p[0].Cb, p[1].Cb, offset);
                    o[g.Cr] = AverageChroma2(p[0].Cr, p[1].Cr, offset);
                    out += 4;
                } else {
                    const bool swapped = layout % 2 != 0;
                    d.Buffer[out] = swapped ? p[1].Y : p[0].Y;
                    d.Buffer[out + 1] = swapped ? p[0].Y : p[1].Y;
                    out += 2;
                }
                continue;
            }
            const uint8_t cb4 = AverageChroma4(p[0].Cb, p[1].Cb, p[2].Cb, p[3].Cb, offset);
            const uint8_t cr4 = AverageChroma4(p[0].Cr, p[1].Cr, p[2].Cr, p[3].Cr, offset);
            if (layout == 10) {
                uint8_t* luma = d.Buffer + int64_t{j} * w2 + i;
                luma[0] = p[0].Y;
                luma[1] = p[1].Y;
                if (evenLine) {
                    uint8_t* chroma = d.Buffer + int64_t{w2} * h2 + (int64_t{j} * w2) / 2 + i;
                    chroma[0] = cb4;
                    chroma[1] = cr4;
                }
                continue;
            }
            {
                uint8_t cb = cb4;
                uint8_t cr = cr4;
                if (layout == 11) {
                    cb = AverageChroma2(p[0].Cb, p[1].Cb, offset);
                    cr = AverageChroma2(p[0].Cr, p[1].Cr, offset);
                }
                if (layout == 9) {
                    WriteByte(d, out, 0, cb);
                    WriteByte(d, out, 1, p[0].Y);
                    WriteByte(d, out, 2, p[1].Y);
                    WriteByte(d, out + lineBytes, 0, cr);
                    WriteByte(d, out + lineBytes, 1, p[2].Y);
                    WriteByte(d, out + lineBytes, 2, p[3].Y);
                } else {
                    uint8_t* o = d.Buffer + out;
                    o[0] = cb;
                    o[1] = p[0].Y;
                    o[2] = p[1].Y;
                    o[lineBytes] = cr;
                    o[lineBytes + 1] = p[2].Y;
                    o[lineBytes + 2] = p[3].Y;
                }
            }
            out += 3;
        }
    }
}

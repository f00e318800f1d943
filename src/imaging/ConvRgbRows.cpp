// Readers and writers of the RGB, ARGB and mono rows: where each channel of each layout lies.
#include "imaging/Conv.h"
#include "common/ByteOrder.h"
#include "imaging/SurfaceBytes.h"

namespace {

// An n-bit channel widened to 8 bits: shifted up, and the freed low bits set when bit 7 is.
uint8_t Widen(uint32_t value, int bits) {
    const int shift = 8 - bits;
    uint32_t wide = value << shift;
    if ((wide & 0x80u) != 0) {
        wide |= (1u << shift) - 1u;
    }
    return static_cast<uint8_t>(wide);
}

// The top bits of an 8-bit channel.
uint32_t Top(uint8_t channel, int bits) {
    return uint32_t{channel} >> (8 - bits);
}

uint8_t U8(uint32_t v) {
    return static_cast<uint8_t>(v);
}

} // namespace

bool Conv::InSourceArea(int32_t x, int32_t y) const {
    const Surface& s = *m_Src;
    return x >= 0 && y >= 0 && x >= s.OriginX && y >= s.OriginY &&
           int64_t{x} < int64_t{s.OriginX} + s.Width && int64_t{y} < int64_t{s.OriginY} + s.Height;
}

bool Conv::BeginRead(int32_t x, int32_t y, Pixel* out, int64_t* offset) const {
    if (!InSourceArea(x, y)) {
        *out = Pixel{};
        return false;
    }
    *offset = int64_t{y} * m_Src->Stride + int64_t{x} * m_SrcBits / 8;
    return true;
}

int64_t Conv::DestinationOffset(int32_t x, int32_t y) const {
    return int64_t{y} * m_Dst->Stride + int64_t{x} * m_DstBits / 8;
}

// Readers: the channels of pixel (x, y), widened to 8 bits.

#define Q3V_RGB_READER(name, body)                                                                 \
    bool Conv::name(Conv& conv, int32_t x, int32_t y, Pixel* out) {                                \
        int64_t offset = 0;                                                                        \
        if (!conv.BeginRead(x, y, out, &offset)) {                                                 \
            return false;                                                                          \
        }                                                                                          \
        const Surface& s = *conv.m_Src;                                                            \
        const uint8_t* p = s.Buffer + offset;                                                      \
        (void)p;                                                                                   \
        body;                                                                                      \
        conv.FinishRgbRead(*out);                                                                  \
        return true;                                                                               \
    }

Q3V_RGB_READER(Read_R332_RGB, {
    out->R = Widen(p[0] >> 5, 3);
    out->G = Widen((p[0] >> 2) & 7u, 3);
    out->B = Widen(p[0] & 3u, 2);
})
Q3V_RGB_READER(Read_R444_GB_R, {
    if (x % 2 == 0) {
        out->G = Widen(p[0] >> 4, 4);
        out->B = Widen(p[0] & 15u, 4);
        out->R = Widen(p[1] & 15u, 4);
    } else {
        out->B = Widen(p[0] >> 4, 4);
        out->R = Widen(p[1] >> 4, 4);
        out->G = Widen(p[1] & 15u, 4);
    }
})
Q3V_RGB_READER(Read_R444_GB_xR, {
    out->G = Widen(p[0] >> 4, 4);
    out->B = Widen(p[0] & 15u, 4);
    out->R = Widen(p[1] & 15u, 4);
})
Q3V_RGB_READER(Read_R444_GB_Rx, {
    out->G = Widen(p[0] >> 4, 4);
    out->B = Widen(p[0] & 15u, 4);
    out->R = Widen(p[1] >> 4, 4);
})
Q3V_RGB_READER(Read_R555_xRGB, {
    const uint32_t w = LoadLe16(p);
    out->R = Widen((w >> 10) & 31u, 5);
    out->G = Widen((w >> 5) & 31u, 5);
    out->B = Widen(w & 31u, 5);
})
Q3V_RGB_READER(Read_R565_RGB, {
    const uint32_t w = LoadLe16(p);
    out->R = Widen(w >> 11, 5);
    out->G = Widen((w >> 5) & 63u, 6);
    out->B = Widen(w & 31u, 5);
})
Q3V_RGB_READER(Read_R565_RG_gB, {
    out->R = Widen(p[0] >> 3, 5);
    out->G = Widen(((p[0] & 7u) << 3) | (p[1] >> 5), 6);
    out->B = Widen(p[1] & 31u, 5);
})
Q3V_RGB_READER(Read_R666_Rx_Gx_Bx, {
    out->R = Widen(p[0] >> 2, 6);
    out->G = Widen(p[1] >> 2, 6);
    out->B = Widen(p[2] >> 2, 6);
})
Q3V_RGB_READER(Read_R666_RxGx_Bx, {
    out->R = Widen(ReadByte(s, offset, 0) >> 2, 6);
    out->G = Widen(ReadByte(s, offset, 1) >> 2, 6);
    out->B = Widen(ReadByte(s, offset, 2) >> 2, 6);
})
Q3V_RGB_READER(Read_R666_xR_rG_gB, {
    out->R = Widen(((p[0] & 3u) << 4) | (p[1] >> 4), 6);
    out->G = Widen(((p[1] & 15u) << 2) | (p[2] >> 6), 6);
    out->B = Widen(p[2] & 63u, 6);
})
Q3V_RGB_READER(Read_R666_x_Rx_Gx_Bx, {
    out->R = Widen(p[1] >> 2, 6);
    out->G = Widen(p[2] >> 2, 6);
    out->B = Widen(p[3] >> 2, 6);
})
Q3V_RGB_READER(Read_R666_xRx_GxBx, {
    out->R = Widen(p[0] >> 2, 6);
    out->B = Widen(p[2] >> 2, 6);
    out->G = Widen(p[3] >> 2, 6);
})
Q3V_RGB_READER(Read_R666_xRxGxBx, {
    const uint32_t w = LoadLe32(p);
    out->R = Widen((w >> 18) & 63u, 6);
    out->G = Widen((w >> 10) & 63u, 6);
    out->B = Widen((w >> 2) & 63u, 6);
})
Q3V_RGB_READER(Read_R888_xRGB, {
    out->B = p[0];
    out->G = p[1];
    out->R = p[2];
})
Q3V_RGB_READER(Read_R888_xR_GB, {
    out->R = p[0];
    out->B = p[2];
    out->G = p[3];
})
Q3V_RGB_READER(Read_R888_x_R_G_B, {
    out->R = p[1];
    out->G = p[2];
    out->B = p[3];
})
Q3V_RGB_READER(Read_R888_R_G_B, {
    out->R = p[0];
    out->G = p[1];
    out->B = p[2];
})
Q3V_RGB_READER(Read_R888_B_G_R, {
    out->B = p[0];
    out->G = p[1];
    out->R = p[2];
})
Q3V_RGB_READER(Read_R888_RG_B, {
    out->R = ReadByte(s, offset, 0);
    out->G = ReadByte(s, offset, 1);
    out->B = ReadByte(s, offset, 2);
})
Q3V_RGB_READER(Read_ARGB1555_ARGB, {
    const uint32_t w = LoadLe16(p);
    out->A = (w & 0x8000u) != 0 ? 255 : 0;
    out->R = Widen((w >> 10) & 31u, 5);
    out->G = Widen((w >> 5) & 31u, 5);
    out->B = Widen(w & 31u, 5);
})
Q3V_RGB_READER(Read_ARGB4444_ARGB, {
    const uint32_t w = LoadLe16(p);
    out->A = Widen(w >> 12, 4);
    out->R = Widen((w >> 8) & 15u, 4);
    out->G = Widen((w >> 4) & 15u, 4);
    out->B = Widen(w & 15u, 4);
})
Q3V_RGB_READER(Read_ARGB8565_ARxGxBx, {
    const uint32_t w = LoadLe32(p);
    out->A = U8(w >> 24);
    out->R = Widen((w >> 19) & 31u, 5);
    out->G = Widen((w >> 10) & 63u, 6);
    out->B = Widen((w >> 3) & 31u, 5);
})
Q3V_RGB_READER(Read_ARGB8888_ARGB, {
    const uint32_t w = LoadLe32(p);
    out->A = U8(w >> 24);
    out->R = U8(w >> 16);
    out->G = U8(w >> 8);
    out->B = U8(w);
})
Q3V_RGB_READER(Read_RGBA8888_RGBA, {
    const uint32_t w = LoadLe32(p);
    out->R = U8(w >> 24);
    out->G = U8(w >> 16);
    out->B = U8(w >> 8);
    out->A = U8(w);
})
Q3V_RGB_READER(Read_M8_n0, {
    out->R = p[0];
    out->G = p[0];
    out->B = p[0];
})

#undef Q3V_RGB_READER

// Row 8 is one bit stream without line padding: pixel n = y * Width + x holds bits 18n..18n+17.
bool Conv::Read_R666_RG_gB_b(Conv& conv, int32_t x, int32_t y, Pixel* out) {
    if (!conv.InSourceArea(x, y)) {
        *out = Pixel{};
        return false;
    }
    const Surface& s = *conv.m_Src;
    const int64_t bit = (int64_t{y} * s.Width + x) * 18;
    const uint8_t* p = s.Buffer + bit / 8;
    const uint32_t window = uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    const uint32_t field = (window >> (bit % 8)) & 0x3FFFFu;
    out->B = Widen(field & 63u, 6);
    out->G = Widen((field >> 6) & 63u, 6);
    out->R = Widen((field >> 12) & 63u, 6);
    conv.FinishRgbRead(*out);
    return true;
}

// Writers: the top bits of each channel, unused bits 0, whole units stored.

#define Q3V_RGB_WRITER(name, body)                                                                 \
    void Conv::name(Conv& conv, const Pixel* in, int32_t x, int32_t y) {                           \
        const Surface& d = *conv.m_Dst;                                                            \
        const int64_t o = conv.DestinationOffset(x, y);                                            \
        (void)x;                                                                                   \
        body;                                                                                      \
    }

Q3V_RGB_WRITER(Write_R332_RGB,
               StoreByte(d, o, U8((Top(in->R, 3) << 5) | (Top(in->G, 3) << 2) | Top(in->B, 2))))
Q3V_RGB_WRITER(Write_R444_GB_R, {
    if (x % 2 == 0) {
        StoreByte(d, o, U8((Top(in->G, 4) << 4) | Top(in->B, 4)));
        MergeByte(d, o + 1, 0xF0, U8(Top(in->R, 4)));
    } else {
        MergeByte(d, o, 0x0F, U8(Top(in->B, 4) << 4));
        StoreByte(d, o + 1, U8((Top(in->R, 4) << 4) | Top(in->G, 4)));
    }
})
Q3V_RGB_WRITER(Write_R444_GB_xR, {
    StoreByte(d, o, U8((Top(in->G, 4) << 4) | Top(in->B, 4)));
    StoreByte(d, o + 1, U8(Top(in->R, 4)));
})
Q3V_RGB_WRITER(Write_R444_GB_Rx, {
    StoreByte(d, o, U8((Top(in->G, 4) << 4) | Top(in->B, 4)));
    StoreByte(d, o + 1, U8(Top(in->R, 4) << 4));
})
Q3V_RGB_WRITER(Write_R555_xRGB,
               StoreUnit16(d, o,
                           static_cast<uint16_t>((Top(in->R, 5) << 10) | (Top(in->G, 5) << 5) |
                                                 Top(in->B, 5))))
Q3V_RGB_WRITER(Write_R565_RGB, {
    const uint32_t w = (Top(in->R, 5) << 11) | (Top(in->G, 6) << 5) | Top(in->B, 5);
    StoreByte(d, o, U8(w));
    StoreByte(d, o + 1, U8(w >> 8));
})
Q3V_RGB_WRITER(Write_R565_RG_gB, {
    const uint32_t w = (Top(in->R, 5) << 11) | (Top(in->G, 6) << 5) | Top(in->B, 5);
    StoreByte(d, o, U8(w >> 8));
    StoreByte(d, o + 1, U8(w));
})
Q3V_RGB_WRITER(Write_R666_Rx_Gx_Bx, {
    StoreByte(d, o, U8(Top(in->R, 6) << 2));
    StoreByte(d, o + 1, U8(Top(in->G, 6) << 2));
    StoreByte(d, o + 2, U8(Top(in->B, 6) << 2));
})
Q3V_RGB_WRITER(Write_R666_RxGx_Bx, {
    WriteByte(d, o, 0, U8(Top(in->R, 6) << 2));
    WriteByte(d, o, 1, U8(Top(in->G, 6) << 2));
    WriteByte(d, o, 2, U8(Top(in->B, 6) << 2));
})
Q3V_RGB_WRITER(Write_R666_xR_rG_gB, {
    const uint32_t r = Top(in->R, 6);
    const uint32_t g = Top(in->G, 6);
    const uint32_t b = Top(in->B, 6);
    StoreByte(d, o, U8(r >> 4));
    StoreByte(d, o + 1, U8(((r & 15u) << 4) | (g >> 2)));
    StoreByte(d, o + 2, U8(((g & 3u) << 6) | b));
})
Q3V_RGB_WRITER(Write_R666_x_Rx_Gx_Bx, {
    StoreByte(d, o, 0);
    StoreByte(d, o + 1, U8(Top(in->R, 6) << 2));
    StoreByte(d, o + 2, U8(Top(in->G, 6) << 2));
    StoreByte(d, o + 3, U8(Top(in->B, 6) << 2));
})
Q3V_RGB_WRITER(Write_R666_xRx_GxBx, {
    StoreUnit16(d, o, static_cast<uint16_t>(Top(in->R, 6) << 2));
    StoreUnit16(d, o + 2, static_cast<uint16_t>((Top(in->G, 6) << 10) | (Top(in->B, 6) << 2)));
})
Q3V_RGB_WRITER(Write_R666_xRxGxBx,
               StoreUnit32(d, o,
                           (Top(in->R, 6) << 18) | (Top(in->G, 6) << 10) | (Top(in->B, 6) << 2)))
Q3V_RGB_WRITER(Write_R888_xRGB,
               StoreUnit32(d, o, (uint32_t{in->R} << 16) | (uint32_t{in->G} << 8) | in->B))
Q3V_RGB_WRITER(Write_R888_xR_GB, {
    StoreUnit16(d, o, in->R);
    StoreUnit16(d, o + 2, static_cast<uint16_t>((uint32_t{in->G} << 8) | in->B));
})
Q3V_RGB_WRITER(Write_R888_x_R_G_B, {
    StoreByte(d, o, 0);
    StoreByte(d, o + 1, in->R);
    StoreByte(d, o + 2, in->G);
    StoreByte(d, o + 3, in->B);
})
Q3V_RGB_WRITER(Write_R888_R_G_B, {
    StoreByte(d, o, in->R);
    StoreByte(d, o + 1, in->G);
    StoreByte(d, o + 2, in->B);
})
Q3V_RGB_WRITER(Write_R888_B_G_R, {
    StoreByte(d, o, in->B);
    StoreByte(d, o + 1, in->G);
    StoreByte(d, o + 2, in->R);
})
Q3V_RGB_WRITER(Write_R888_RG_B, {
    WriteByte(d, o, 0, in->R);
    WriteByte(d, o, 1, in->G);
    WriteByte(d, o, 2, in->B);
})
Q3V_RGB_WRITER(Write_ARGB1555_ARGB,
               StoreUnit16(d, o,
                           static_cast<uint16_t>((Top(in->A, 1) << 15) | (Top(in->R, 5) << 10) |
                                                 (Top(in->G, 5) << 5) | Top(in->B, 5))))
Q3V_RGB_WRITER(Write_ARGB4444_ARGB,
               StoreUnit16(d, o,
                           static_cast<uint16_t>((Top(in->A, 4) << 12) | (Top(in->R, 4) << 8) |
                                                 (Top(in->G, 4) << 4) | Top(in->B, 4))))
Q3V_RGB_WRITER(Write_ARGB8565_ARxGxBx,
               StoreUnit32(d, o,
                           (uint32_t{in->A} << 24) | (Top(in->R, 5) << 19) | (Top(in->G, 6) << 10) |
                               (Top(in->B, 5) << 3)))
Q3V_RGB_WRITER(Write_ARGB8888_ARGB, StoreUnit32(d, o,
                                                (uint32_t{in->A} << 24) | (uint32_t{in->R} << 16) |
                                                    (uint32_t{in->G} << 8) | in->B))
Q3V_RGB_WRITER(Write_RGBA8888_RGBA, StoreUnit32(d, o,
                                                (uint32_t{in->R} << 24) | (uint32_t{in->G} << 16) |
                                                    (uint32_t{in->B} << 8) | in->A))
Q3V_RGB_WRITER(Write_M8_n0,
               StoreByte(d, o, U8((299u * in->R + 587u * in->G + 114u * in->B) / 1000u)))

#undef Q3V_RGB_WRITER

void Conv::Write_R666_RG_gB_b(Conv& conv, const Pixel* in, int32_t x, int32_t y) {
    const Surface& d = *conv.m_Dst;
    const int64_t bit = (int64_t{y} * d.Width + x) * 18;
    const int64_t o = bit / 8;
    const int shift = static_cast<int>(bit % 8);
    const uint32_t field = (Top(in->R, 6) << 12) | (Top(in->G, 6) << 6) | Top(in->B, 6);
    const uint32_t bits = field << shift;
    const uint32_t mask = 0x3FFFFu << shift;
    for (int k = 0; k < 3; ++k) {
        const uint8_t own = U8(mask >> (8 * k));
        const uint8_t value = U8(bits >> (8 * k));
        if (own == 0xFF) {
            StoreByte(d, o + k, value);
        } else {
            MergeByte(d, o + k, U8(~own), value);
        }
    }
}

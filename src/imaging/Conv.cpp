// The converter object: format look-ups, Convert, GetPixel and PutPixel.
#include "imaging/Conv.h"

#include "common/Assert.h"
#include "common/Text.h"
#include "imaging/ColourMaths.h"
#include "imaging/ConvGeometry.h"
#include "imaging/FastPath.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kColorimetryNames[COLORIMETRY_COUNT] = {
    "ITR BT 709", "ITR BT 470", "ITR BT 601", "SMPTE 170M", "SMPTE 240M",
};

void WarnAboutYuvGeometry(const PixelFormat& format, int32_t width, int32_t height) {
    if (format.YuvLayout < 0) {
        return; // RGB, ARGB and mono rows take any geometry
    }
    if (std::strcmp(format.Desc, "YUV 4:2:2") == 0 && width % 2 != 0) {
        std::fputs("WARNING: YUV 4:2:2 requires width to be a multiple of 2.  Output will be "
                   "padded.\n",
                   stdout);
    }
    if (std::strcmp(format.Desc, "YUV 4:2:0") == 0) {
        if (width % 2 != 0) {
            std::fputs("WARNING: YUV 4:2:0 requires width to be a multiple of 2.  Output will be "
                       "padded.\n",
                       stdout);
        }
        if (height % 2 != 0) {
            std::fputs("WARNING: YUV 4:2:0 requires height to be a multiple of 2. Output will be "
                       "padded.\n",
                       stdout);
        }
    }
    if (std::strcmp(format.Desc, "YUV 4:1:1") == 0 && width % 4 != 0) {
        std::fputs("WARNING: YUV 4:1:1 requires width to be a multiple of 4.  Output will be "
                   "padded.\n",
                   stdout);
    }
}

} // namespace

Conv::Conv() : m_Table(g_PixelFormats) {
    while (m_Table[m_NumRows].BusWidth != 0) {
        ++m_NumRows;
    }
    for (int32_t row = 0; row < m_NumRows; ++row) {
        if (m_Table[row].YuvLayout >= 0) {
            m_FirstYuvRow = row;
            break;
        }
    }
}

Conv::~Conv() {
    m_Read = nullptr;
    m_Write = nullptr;
    m_ImageSize = nullptr;
    m_Loop = nullptr;
}

int32_t Conv::FindFormat(const char* name) const {
    if (name == nullptr) {
        return -1;
    }
    for (int32_t row = 0; row < m_NumRows; ++row) {
        if (EqualsNoCase(m_Table[row].Name, name)) {
            return row;
        }
    }
    return -1;
}

bool Conv::GetFormatStrings(int32_t row, const char** name, const char** desc,
                            const char** order) const {
    if (!IsValidRow(row)) {
        return false;
    }
    *name = m_Table[row].Name;
    *desc = m_Table[row].Desc;
    *order = m_Table[row].Order;
    return true;
}

bool Conv::GetColorimetryName(int32_t index, const char** name) {
    if (index < 0 || index >= static_cast<int32_t>(COLORIMETRY_COUNT)) {
        return false;
    }
    *name = kColorimetryNames[index];
    return true;
}

int32_t Conv::GetStride(int32_t row, int32_t width) const {
    return m_Table[row].Stride(width);
}

int32_t Conv::GetImageSize(int32_t row, int32_t width, int32_t height) {
    m_ImageSize = m_Table[row].ImageSize;
    return m_ImageSize(width, height);
}

int32_t Conv::Convert(Surface* src, Surface* dst) {
    if (!Q3V_ASSERT(src != nullptr && dst != nullptr)) {
        return 0;
    }
    m_Src = src;
    m_Dst = dst;
    for (Surface* s : {src, dst}) {
        if (s->FormatName != nullptr) {
            s->Format = FindFormat(s->FormatName);
        }
        if (!IsValidRow(s->Format)) {
            return 0;
        }
    }
    if (IsPlanarRow(src->Format)) {
        return 0; // no reader: these rows are written by Convert only
    }
    m_SrcBits = m_Table[src->Format].StorageBits;
    m_DstBits = m_Table[dst->Format].StorageBits;
    if (!Q3V_ASSERT_TEXT(dst->OriginX >= src->OriginX && dst->OriginY >= src->OriginY, "false")) {
        return 0;
    }
    const int64_t srcRight = int64_t{src->OriginX} + src->Width;
    const int64_t srcBottom = int64_t{src->OriginY} + src->Height;
    if (int64_t{dst->OriginX} + dst->Width > srcRight) {
        dst->Width = static_cast<int32_t>(srcRight - dst->OriginX);
    }
    if (int64_t{dst->OriginY} + dst->Height > srcBottom) {
        dst->Height = static_cast<int32_t>(srcBottom - dst->OriginY);
    }
    if (dst->Width <= 0 || dst->Height <= 0) {
        return 0;
    }
    const PixelFormat& dstFormat = m_Table[dst->Format];
    WarnAboutYuvGeometry(dstFormat, dst->Width, dst->Height);
    m_ImageSize = dstFormat.ImageSize;
    m_Loop = dstFormat.Loop;
    m_Write = dstFormat.Write;
    m_Read = m_Table[src->Format].Read;
    if (dst->Stride == 0) {
        dst->Stride = dstFormat.Stride(dst->Width);
    }
    if (src->Stride == 0) {
        src->Stride = m_Table[src->Format].Stride(src->Width);
    }
    if (dst->Stride < 0 || src->Stride < 0) {
        return 0;
    }
    const int32_t size = m_ImageSize(dst->Width, dst->Height);
    if (size == 0 || dst->BufSize < size || BytesTouched(*dst) > dst->BufSize) {
        return 0;
    }
    const bool byRows = m_Path == ConvPath::Fast &&
                        ConvertByRows(*src, *dst, m_Colorimetry, SelectKernels(m_Variant));
    if (!byRows) {
        m_Loop(*this);
    }
    return size;
}

uint32_t Conv::GetPixel(int32_t x, int32_t y, Surface* surface) {
    if (!Q3V_ASSERT(surface != nullptr) || !IsValidRow(surface->Format)) {
        return 0;
    }
    m_Src = surface;
    m_SrcBits = m_Table[surface->Format].StorageBits;
    m_Read = m_Table[surface->Format].Read;
    // Read as for an RGB destination, whatever the last destination was.
    Surface* const lastDestination = m_Dst;
    m_Dst = nullptr;
    Pixel pixel{};
    m_Read(*this, x, y, &pixel);
    m_Dst = lastDestination;
    return (uint32_t{pixel.A} << 24) | (uint32_t{pixel.R} << 16) | (uint32_t{pixel.G} << 8) |
           pixel.B;
}

void Conv::PutPixel(int32_t x, int32_t y, Surface* surface, uint32_t colour) {
    if (!Q3V_ASSERT(surface != nullptr) || !IsValidRow(surface->Format)) {
        return;
    }
    m_Dst = surface;
    m_DstBits = m_Table[surface->Format].StorageBits;
    m_Write = m_Table[surface->Format].Write;
    Pixel pixel{};
    pixel.A = static_cast<uint8_t>(colour >> 24);
    pixel.R = static_cast<uint8_t>(colour >> 16);
    pixel.G = static_cast<uint8_t>(colour >> 8);
    pixel.B = static_cast<uint8_t>(colour);
    RgbToYuv(pixel, m_Colorimetry, ConventionOf(*surface));
    m_Write(*this, &pixel, x, y);
}

#pragma once
// The pixel-format converter: a table of 54 pixel layouts (packed RGB, ARGB, 8-bit mono and the
// YCbCr 4:1:1, 4:2:2 and 4:2:0 families) and the object that converts a rectangle of pixels from
// one Surface to another, reads one pixel as 0xAARRGGBB and writes one.
//
//     Conv conv;
//     Surface src{argb, size, "ARGB8888.ARGB", 0, 640, 480, 0, 0, 0, 0, 0, nullptr};
//     Surface dst{out, outSize, "R565.RGB", 0, 640, 480, 0, 0, 0, 0, 0, nullptr};
//     if (conv.Convert(&src, &dst) == 0) { /* unknown format, bad geometry or buffer too small */ }
//
// Convert resolves the pair of rows once per picture: where a row kernel exists for the pair (and
// neither surface has an access function, nor the destination an origin left of or above pixel
// (0, 0)) whole lines go through it; the rest takes the reference path, one reader and one writer
// call per pixel (the family loops for YUV destinations). Both paths give the same bytes; SetPath
// and SetKernelVariant choose between them for tests and benchmarks. Every size is computed in 64
// bits: a geometry whose image does not fit a signed 32-bit size, or a destination whose lines
// would reach past BufSize, converts nothing.
//
// The plain types it works on (Pixel, Surface, PixelFormat and the table, the path and kernel
// choices) are declared in imaging/ConvTypes.h, included here.
#include "imaging/ConvTypes.h"

#include <cstdint>

class Conv {
public:
    Conv();
    ~Conv();
    Conv(const Conv&) = delete;
    Conv& operator=(const Conv&) = delete;

    // Converts the rectangle; returns the destination image size in bytes, or 0 on failure.
    int32_t Convert(Surface* src, Surface* dst);
    // One pixel of surface as 0xAARRGGBB, read as for an RGB destination; 0 outside its area.
    uint32_t GetPixel(int32_t x, int32_t y, Surface* surface);
    // Stores colour 0xAARRGGBB at (x, y) of surface (no origin, no clipping).
    void PutPixel(int32_t x, int32_t y, Surface* surface, uint32_t colour);

    [[nodiscard]] int32_t FindFormat(const char* name) const;
    bool GetFormatStrings(int32_t row, const char** name, const char** desc,
                          const char** order) const;
    static bool GetColorimetryName(int32_t index, const char** name);
    void SetColorimetry(uint32_t index) { m_Colorimetry = index; }
    [[nodiscard]] uint32_t GetColorimetry() const { return m_Colorimetry; }
    [[nodiscard]] uint32_t GetBusWidth(int32_t row) const { return m_Table[row].BusWidth; }
    [[nodiscard]] int32_t GetBpp(int32_t row) const { return m_Table[row].Bpp; }
    [[nodiscard]] const char* GetFormatDesc(int32_t row) const { return m_Table[row].Desc; }
    [[nodiscard]] const char* GetFormatName(int32_t row) const { return m_Table[row].Name; }
    [[nodiscard]] const char* GetFormatOrder(int32_t row) const { return m_Table[row].Order; }
    [[nodiscard]] int32_t GetFirstYuvRow() const { return m_FirstYuvRow; }
    [[nodiscard]] bool IsValidRow(int32_t row) const { return row >= 0 && row < m_NumRows; }
    [[nodiscard]] bool IsYuv(int32_t row) const { return m_Table[row].YuvLayout >= 0; }
    // The row's stride of width; 0 for a width <= 0 or a stride above INT32_MAX.
    [[nodiscard]] int32_t GetStride(int32_t row, int32_t width) const;
    // The row's image size; 0 for a width or height <= 0 or a size above INT32_MAX.
    int32_t GetImageSize(int32_t row, int32_t width, int32_t height);

    void SetPath(ConvPath path) { m_Path = path; }
    void SetKernelVariant(KernelVariant variant) { m_Variant = variant; }

    // Row operations of the format table, called through it with the converter's current
    // source and destination.
    static bool Read_R332_RGB(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R444_GB_R(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R444_GB_xR(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R444_GB_Rx(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R555_xRGB(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R565_RGB(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R565_RG_gB(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R666_RG_gB_b(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R666_Rx_Gx_Bx(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R666_RxGx_Bx(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R666_xR_rG_gB(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R666_x_Rx_Gx_Bx(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R666_xRx_GxBx(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R666_xRxGxBx(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R888_xRGB(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R888_xR_GB(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R888_x_R_G_B(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R888_R_G_B(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R888_B_G_R(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_R888_RG_B(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_ARGB1555_ARGB(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_ARGB4444_ARGB(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_ARGB8565_ARxGxBx(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_ARGB8888_ARGB(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_RGBA8888_RGBA(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_M8_n0(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_Y411_U_Y0_V_Y1_Y2_Y3(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_Y422_UY_VY(Conv& conv, int32_t x, int32_t y, Pixel* out);
    static bool Read_Y420_YU_YV_Y1Y0_Y3Y2(Conv& conv, int32_t x, int32_t y, Pixel* out);
    // Rows 36 and 42 are written by Convert only: as a source they read nothing.
    static bool ReadPlanarUnsupported(Conv& conv, int32_t x, int32_t y, Pixel* out);

    static void Write_R332_RGB(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R444_GB_R(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R444_GB_xR(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R444_GB_Rx(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R555_xRGB(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R565_RGB(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R565_RG_gB(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R666_RG_gB_b(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R666_Rx_Gx_Bx(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R666_RxGx_Bx(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R666_xR_rG_gB(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R666_x_Rx_Gx_Bx(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R666_xRx_GxBx(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R666_xRxGxBx(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R888_xRGB(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R888_xR_GB(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R888_x_R_G_B(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R888_R_G_B(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R888_B_G_R(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_R888_RG_B(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_ARGB1555_ARGB(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_ARGB4444_ARGB(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_ARGB8565_ARxGxBx(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_ARGB8888_ARGB(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_RGBA8888_RGBA(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_M8_n0(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_Y411_U_Y0_V_Y1_Y2_Y3(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_Y422_UY_VY(Conv& conv, const Pixel* in, int32_t x, int32_t y);
    static void Write_Y420_YU_YV_Y1Y0_Y3Y2(Conv& conv, const Pixel* in, int32_t x, int32_t y);

    static void LoopGeneric(Conv& conv);
    static void LoopYuv411(Conv& conv);
    static void LoopYuv422(Conv& conv);
    static void LoopYuv420(Conv& conv);

private:
    // Whether (x, y) lies inside the current source's area.
    [[nodiscard]] bool InSourceArea(int32_t x, int32_t y) const;
    // Starts a read: clears out and gives false outside the source area, else true with the
    // byte offset of pixel (x, y) of an RGB, ARGB or mono source.
    bool BeginRead(int32_t x, int32_t y, Pixel* out, int64_t* offset) const;
    // Byte offset of pixel (x, y) of an RGB, ARGB or mono destination.
    [[nodiscard]] int64_t DestinationOffset(int32_t x, int32_t y) const;
    // Ends an RGB, ARGB or mono read: Y, Cb, Cr for a YUV destination.
    void FinishRgbRead(Pixel& pixel) const;
    // Ends a YUV read: RGB for an RGB destination, else the destination's conventions.
    void FinishYuvRead(Pixel& pixel) const;
    [[nodiscard]] bool DestinationIsYuv() const;

    ReadFn m_Read = nullptr;
    WriteFn m_Write = nullptr;
    ImageSizeFn m_ImageSize = nullptr;
    LoopFn m_Loop = nullptr;
    Surface* m_Src = nullptr;
    Surface* m_Dst = nullptr;
    uint32_t m_SrcBits = 0;
    uint32_t m_DstBits = 0;
    uint32_t m_Colorimetry = COLORIMETRY_BT601;
    int32_t m_FirstYuvRow = -1;
    const PixelFormat* m_Table = nullptr;
    int32_t m_NumRows = 0;
    ConvPath m_Path = ConvPath::Fast;
    KernelVariant m_Variant = KernelVariant::Best;
};

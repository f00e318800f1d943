#pragma once
// The work buffer as the painters see it: width x height 32-bit ARGB pixels, row after row, and
// the primitives that write it with the request's alpha mask OR-ed in. Every write is clipped to
// the picture, so a painter may hand any rectangle, even one reaching past the edges.
#include "imaging/PatternRequest.h"

#include <cstdint>

// A rectangle of the picture: left, top, width, height (width or height <= 0: empty).
struct PatternArea {
    int32_t X;
    int32_t Y;
    int32_t W;
    int32_t H;
};

class PatternCanvas {
public:
    // request.Buffer is the zeroed work buffer of request.Width x request.Height pixels.
    explicit PatternCanvas(const PatternRequest& request);

    [[nodiscard]] const PatternRequest& Request() const { return m_Request; }
    [[nodiscard]] int32_t Width() const { return m_Width; }
    [[nodiscard]] int32_t Height() const { return m_Height; }
    [[nodiscard]] uint32_t Mask() const { return m_Request.AlphaMask; }
    [[nodiscard]] PatternArea Whole() const { return {0, 0, m_Width, m_Height}; }

    // Writes colour | mask at (x, y) when the point lies on the picture.
    void PatPlot(int32_t x, int32_t y, uint32_t colour);
    // Fills x0 <= x < x1, y0 <= y < y1 (clipped) with colour | mask.
    void PatFillRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
    // Writes colour as it is, without the mask (GRID), when (x, y) lies on the picture.
    void PutRaw(int32_t x, int32_t y, uint32_t colour);
    // The pixel at (x, y); 0 outside the picture.
    [[nodiscard]] uint32_t At(int32_t x, int32_t y) const;
    // Row y of the picture (0 <= y < Height).
    [[nodiscard]] uint32_t* Row(int32_t y) const;

    // Rotates every row left by Shift mod Width pixels (nothing when Shift is 0).
    void RotateRows();

private:
    [[nodiscard]] bool Contains(int32_t x, int32_t y) const {
        return x >= 0 && y >= 0 && x < m_Width && y < m_Height;
    }

    const PatternRequest& m_Request;
    uint32_t* m_Pixels;
    int32_t m_Width;
    int32_t m_Height;
};

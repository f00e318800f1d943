// The painters' work buffer: clipped writes and the row rotation of animated patterns.
#include "imaging/PatternCanvas.h"

#include <algorithm>

PatternCanvas::PatternCanvas(const PatternRequest& request)
    : m_Request(request), m_Pixels(reinterpret_cast<uint32_t*>(request.Buffer)),
      m_Width(static_cast<int32_t>(request.Width)), m_Height(static_cast<int32_t>(request.Height)) {
}

uint32_t* PatternCanvas::Row(int32_t y) const {
    return m_Pixels + static_cast<int64_t>(y) * m_Width;
}

void PatternCanvas::PatPlot(int32_t x, int32_t y, uint32_t colour) {
    PutRaw(x, y, colour | Mask());
}

void PatternCanvas::PutRaw(int32_t x, int32_t y, uint32_t colour) {
    if (Contains(x, y)) {
        Row(y)[x] = colour;
    }
}

uint32_t PatternCanvas::At(int32_t x, int32_t y) const {
    return Contains(x, y) ? Row(y)[x] : 0;
}

void PatternCanvas::PatFillRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, m_Width);
    y1 = std::min(y1, m_Height);
    const uint32_t value = colour | Mask();
    for (int32_t y = y0; y < y1; ++y) {
        std::fill(Row(y) + x0, Row(y) + std::max(x0, x1), value);
    }
}

void PatternCanvas::RotateRows() {
    if (m_Request.Shift == 0 || m_Width <= 0) {
        return;
    }
    const int32_t shift = static_cast<int32_t>(m_Request.Shift % static_cast<uint32_t>(m_Width));
    if (shift == 0) {
        return;
    }
    for (int32_t y = 0; y < m_Height; ++y) {
        std::rotate(Row(y), Row(y) + shift, Row(y) + m_Width);
    }
}

// GRID: a border of LineWidth pixels, grid lines every GridWidth and GridHeight pixels with
// black dashes every 10, ticks and dots at the half cells, an optional moving cross, and
// optional labels. It writes the work buffer without the alpha mask: Fg and Bg keep their own.
#include "imaging/Draw.h"
#include "imaging/PatternPainters.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// What a grid coordinate (1-based) is along one axis; worked out once per column and per row.
struct GridAxis {
    bool Border;    // within the border of LineWidth
    bool Line;      // a multiple of the cell size
    bool Tens;      // a multiple of 10
    bool Half;      // a multiple of half a cell
    bool NearEdge;  // within three of the border
    bool FirstLast; // the first or last inner coordinate
};

// The axis of size coordinates with border lineWidth and cells of cell (at least 1; a cell of
// 1 has half cells of 1 rather than a division by 0).
std::vector<GridAxis> MakeAxis(int64_t size, int64_t lineWidth, int64_t cell) {
    const int64_t half = std::max<int64_t>(cell / 2, 1);
    std::vector<GridAxis> axis(static_cast<size_t>(size));
    for (int64_t i = 1; i <= size; ++i) {
        GridAxis& a = axis[static_cast<size_t>(i - 1)];
        a.Border = i <= lineWidth || i > size - lineWidth;
        a.Line = i % cell == 0;
        a.Tens = i % 10 == 0;
        a.Half = i % half == 0;
        a.NearEdge = i <= lineWidth + 3 || i > size - lineWidth - 3;
        a.FirstLast = i == lineWidth + 1 || i == size - lineWidth;
    }
    return axis;
}

// The colour of the grid pixel at column c and row r, without the cross.
uint32_t GridColour(const GridAxis& c, const GridAxis& r, uint32_t fg, uint32_t bg) {
    if (c.Border || r.Border) {
        return fg;
    }
    if (c.Line) {
        return r.Tens ? 0 : fg;
    }
    if (r.Line) {
        return c.Tens ? 0 : fg;
    }
    if ((c.Half && r.NearEdge) || (r.Half && c.NearEdge) || (c.Half && r.Half)) {
        return fg;
    }
    if ((r.FirstLast && c.Tens) || (c.FirstLast && r.Tens)) {
        return fg;
    }
    return bg;
}

void DrawGridLabels(const PatternCanvas& canvas, const char* text, uint32_t fg, uint32_t bg) {
    const int32_t w = canvas.Width();
    const int32_t h = canvas.Height();
    const int64_t textWidth = static_cast<int64_t>(std::strlen(text)) * 8;
    if (textWidth < w - 4 && h >= 13) {
        DrawText(static_cast<int32_t>((w - textWidth) / 2), h / 2 - 4, text, fg, bg);
    }
    if (3 * textWidth < w - 4 && h >= 29) {
        const auto right = static_cast<int32_t>(w - 2 - textWidth);
        DrawText(2, 2, text, fg, bg);
        DrawText(right, 2, text, fg, bg);
        DrawText(2, h - 10, text, fg, bg);
        DrawText(right, h - 10, text, fg, bg);
    }
}

} // namespace

void PatGrid(PatternCanvas& canvas) {
    const PatternRequest& request = canvas.Request();
    const int64_t w = canvas.Width();
    const int64_t h = canvas.Height();
    const int64_t lineWidth = request.LineWidth;
    const std::vector<GridAxis> columns =
        MakeAxis(w, lineWidth, std::max<int64_t>(request.GridWidth, 1));
    const std::vector<GridAxis> rows =
        MakeAxis(h, lineWidth, std::max<int64_t>(request.GridHeight, 1));
    const uint32_t fg = request.Fg;
    const uint32_t bg = request.Bg;
    const uint32_t cross = (fg & 0x00FFFFFF) | (request.AlphaMask & 0xFF000000);
    // The cross moves over W - L columns and H - L rows; a picture no larger than the border
    // has no room for it.
    const bool withCross = request.Shift != 0 && w > lineWidth && h > lineWidth;
    const int64_t sx = withCross ? request.Shift % (w - lineWidth) : 0;
    const int64_t sy = withCross ? request.Shift % (h - lineWidth) : 0;
    for (int64_t y = 1; y <= h; ++y) {
        uint32_t* row = canvas.Row(static_cast<int32_t>(y - 1));
        const GridAxis& rowAxis = rows[static_cast<size_t>(y - 1)];
        const bool inRowBand = withCross && y >= sy && y < sy + lineWidth;
        for (int64_t x = 1; x <= w; ++x) {
            const bool inColumnBand = withCross && x >= sx && x < sx + lineWidth;
            row[x - 1] = inRowBand != inColumnBand
                             ? cross
                             : GridColour(columns[static_cast<size_t>(x - 1)], rowAxis, fg, bg);
        }
    }
    if (request.ShowText && request.Text != nullptr) {
        DrawGridLabels(canvas, request.Text, fg, bg);
    }
}

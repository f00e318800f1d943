// GRID: a border of LineWidth pixels, grid lines every GridWidth and GridHeight pixels with
// black dashes every 10, ticks and dots at the half cells, an optional moving cross, and
// optional labels. It writes the work buffer without the alpha mask: Fg and Bg keep their own.
#include "imaging/Draw.h"
#include "imaging/PatternPainters.h"

#include <algorithm>
#include <cstring>

namespace {

struct GridGeometry {
    int64_t W;
    int64_t H;
    int64_t L;
    int64_t CellW;
    int64_t CellH;
    int64_t HalfW; // at least 1: a cell of 1 has ticks everywhere rather than a division by 0
    int64_t HalfH;
};

// The colour of grid pixel (x, y), 1-based, without the cross.
uint32_t GridColour(const GridGeometry& g, int64_t x, int64_t y, uint32_t fg, uint32_t bg) {
    if (x <= g.L || y <= g.L || x > g.W - g.L || y > g.H - g.L) {
        return fg;
    }
    if (x % g.CellW == 0) {
        return y % 10 == 0 ? 0 : fg;
    }
    if (y % g.CellH == 0) {
        return x % 10 == 0 ? 0 : fg;
    }
    const bool nearTopOrBottom = y <= g.L + 3 || y > g.H - g.L - 3;
    const bool nearLeftOrRight = x <= g.L + 3 || x > g.W - g.L - 3;
    const bool halfX = x % g.HalfW == 0;
    const bool halfY = y % g.HalfH == 0;
    if ((halfX && nearTopOrBottom) || (halfY && nearLeftOrRight) || (halfX && halfY)) {
        return fg;
    }
    const bool firstOrLastRow = y == g.L + 1 || y == g.H - g.L;
    const bool firstOrLastColumn = x == g.L + 1 || x == g.W - g.L;
    if ((firstOrLastRow && x % 10 == 0) || (firstOrLastColumn && y % 10 == 0)) {
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
    GridGeometry g{};
    g.W = canvas.Width();
    g.H = canvas.Height();
    g.L = request.LineWidth;
    g.CellW = std::max<int64_t>(request.GridWidth, 1);
    g.CellH = std::max<int64_t>(request.GridHeight, 1);
    g.HalfW = std::max<int64_t>(g.CellW / 2, 1);
    g.HalfH = std::max<int64_t>(g.CellH / 2, 1);
    const uint32_t fg = request.Fg;
    const uint32_t bg = request.Bg;
    const uint32_t cross = (fg & 0x00FFFFFF) | (request.AlphaMask & 0xFF000000);
    // The cross moves over W - L columns and H - L rows; a picture no larger than the border
    // has no room for it.
    const bool withCross = request.Shift != 0 && g.W > g.L && g.H > g.L;
    const int64_t sx = withCross ? request.Shift % (g.W - g.L) : 0;
    const int64_t sy = withCross ? request.Shift % (g.H - g.L) : 0;
    for (int64_t y = 1; y <= g.H; ++y) {
        uint32_t* row = canvas.Row(static_cast<int32_t>(y - 1));
        const bool inRowBand = withCross && y >= sy && y < sy + g.L;
        for (int64_t x = 1; x <= g.W; ++x) {
            const bool inColumnBand = withCross && x >= sx && x < sx + g.L;
            row[x - 1] = inRowBand != inColumnBand ? cross : GridColour(g, x, y, fg, bg);
        }
    }
    if (request.ShowText && request.Text != nullptr) {
        DrawGridLabels(canvas, request.Text, fg, bg);
    }
}

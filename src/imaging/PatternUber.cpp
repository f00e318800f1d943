// UBER: a mosaic of the frame family's contents, centred on the frame background, with an alpha
// ramp above the cells and a rainbow and a grey strip below them. Large pictures get 6 x 3
// cells of 100 pixels; smaller ones up to 6 x 4 cells of 50, chosen to fit.
#include "imaging/PatternPainters.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int32_t kMaxColumns = 6;
constexpr int32_t kMaxRows = 4;

struct UberLayout {
    int32_t Cell;
    int32_t Columns;
    int32_t Rows;
    int32_t Band;
    uint32_t Content[kMaxRows][kMaxColumns];
};

// Contents of rows 0 to 2 of the 50-pixel mosaic, by the number of columns (1 to 6).
constexpr uint32_t kSmallCells[kMaxColumns][kMaxColumns][3] = {
    {{0, 9, 1}},
    {{2, 9, 1}, {3, 10, 8}},
    {{2, 9, 1}, {3, 18, 20}, {4, 10, 8}},
    {{2, 9, 1}, {3, 12, 14}, {4, 18, 20}, {5, 10, 8}},
    {{2, 9, 1}, {3, 12, 14}, {4, 17, 19}, {5, 18, 20}, {6, 10, 8}},
    {{2, 9, 1}, {3, 12, 14}, {4, 13, 15}, {5, 17, 19}, {6, 18, 20}, {7, 10, 8}},
};
constexpr uint32_t kLargeSecondRow[kMaxColumns] = {1, 9, 11, 16, 10, 8};
constexpr uint32_t kLastRow[kMaxColumns] = {24, 25, 26, 21, 22, 23};

UberLayout ChooseLayout(int32_t w, int32_t h) {
    UberLayout layout{};
    if (w >= 604 && h >= 324) {
        layout.Cell = 100;
        layout.Columns = kMaxColumns;
        layout.Rows = 3;
        layout.Band = 10;
        for (int32_t c = 0; c < kMaxColumns; ++c) {
            layout.Content[0][c] = kContentRedQuad + static_cast<uint32_t>(c);
            layout.Content[1][c] = kLargeSecondRow[c];
        }
    } else {
        layout.Cell = 50;
        layout.Band = (h - 24) / 50 < 4 ? 0 : 10;
        layout.Columns = std::clamp((w - 4) / 50, 0, kMaxColumns);
        layout.Rows = std::clamp((h - 4 - 2 * layout.Band) / 50, 0, kMaxRows);
        for (int32_t c = 0; c < layout.Columns; ++c) {
            for (int32_t r = 0; r < 3; ++r) {
                layout.Content[r][c] = kSmallCells[layout.Columns - 1][c][r];
            }
        }
    }
    if (layout.Rows > 1) {
        std::copy(std::begin(kLastRow), std::end(kLastRow), layout.Content[layout.Rows - 1]);
    }
    return layout;
}

} // namespace

void PatUber(PatternCanvas& canvas) {
    const int32_t w = canvas.Width();
    const int32_t h = canvas.Height();
    const UberLayout layout = ChooseLayout(w, h);
    PatBackground(canvas, canvas.Whole(), w / 2, h / 2);
    PatFrame(canvas, canvas.Whole());
    if (layout.Columns == 0 || layout.Rows == 0) {
        PatQuadContent(canvas, {2, 2, w - 4, h - 4}, kContentColourBits);
        canvas.RotateRows();
        return;
    }
    const int32_t cell = layout.Cell;
    const int32_t mosaicW = layout.Columns * cell;
    const int32_t mosaicH = layout.Rows * cell + 2 * layout.Band;
    const int32_t left = (w - mosaicW) / 2;
    const int32_t top = (h - mosaicH) / 2;
    PatQuadContent(canvas, {left, top, mosaicW, layout.Band}, kContentAlpha);
    for (int32_t r = 0; r < layout.Rows; ++r) {
        for (int32_t c = 0; c < layout.Columns; ++c) {
            const PatternArea area{left + c * cell, top + layout.Band + r * cell, cell, cell};
            PatQuadContent(canvas, area, layout.Content[r][c]);
        }
    }
    const int32_t strip = layout.Band / 2;
    const int32_t below = top + layout.Band + layout.Rows * cell;
    PatQuadContent(canvas, {left, below, mosaicW, strip}, kContentRainbow);
    PatQuadContent(canvas, {left, below + strip, mosaicW, strip}, kContentGrays);
    canvas.RotateRows();
}

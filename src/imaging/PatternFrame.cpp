// The frame family's setting: the checkerboard background, the half-transparent frame with its
// coloured corner marks, and the painter of kinds 8 to 29 that puts one content inside.
#include "imaging/PatternPainters.h"

#include <algorithm>

namespace {

constexpr int32_t kCell = 50;

// Start of the first cell so that a cell corner lies at centre (relative to the area's start).
int32_t FirstCellOffset(int32_t centre) {
    return centre > 0 ? centre % kCell - kCell : 0;
}

// One 2x2 mark at distance along the edge from its corner. Edges run clockwise: 0 top (from the
// top-left corner to the right), 1 right (down), 2 bottom (to the left), 3 left (up).
void EdgeMark(PatternCanvas& canvas, PatternArea a, int32_t edge, int32_t distance,
              uint32_t colour) {
    int32_t x = 0;
    int32_t y = 0;
    switch (edge) {
    case 0:
        x = a.X + distance;
        y = a.Y;
        break;
    case 1:
        x = a.X + a.W - 2;
        y = a.Y + distance;
        break;
    case 2:
        x = a.X + a.W - distance - 2;
        y = a.Y + a.H - 2;
        break;
    default:
        x = a.X;
        y = a.Y + a.H - distance - 2;
        break;
    }
    canvas.PatFillRect(x, y, x + 2, y + 2, colour);
}

} // namespace

void PatBackground(PatternCanvas& canvas, PatternArea area, int32_t cx, int32_t cy) {
    const int32_t x0 = area.X + FirstCellOffset(cx);
    const int32_t y0 = area.Y + FirstCellOffset(cy);
    const int32_t right = area.X + area.W;
    const int32_t bottom = area.Y + area.H;
    int32_t j = 0;
    for (int32_t top = y0; top < bottom; top += kCell, ++j) {
        const auto grey = static_cast<uint32_t>(j + 1) & 0xFF;
        const uint32_t dark = 0xFF000000 | (grey * 0x010101);
        int32_t i = 0;
        for (int32_t left = x0; left < right; left += kCell, ++i) {
            const uint32_t colour = (i + j) % 2 == 0 ? 0 : dark;
            canvas.PatFillRect(std::max(left, area.X), std::max(top, area.Y),
                               std::min(left + kCell, right), std::min(top + kCell, bottom),
                               colour);
        }
    }
}

void PatFrame(PatternCanvas& canvas, PatternArea a) {
    constexpr uint32_t kBorder = 0x80FFFFFF;
    canvas.PatFillRect(a.X, a.Y, a.X + a.W, a.Y + 2, kBorder);
    canvas.PatFillRect(a.X, a.Y + a.H - 2, a.X + a.W, a.Y + a.H, kBorder);
    canvas.PatFillRect(a.X, a.Y, a.X + 2, a.Y + a.H, kBorder);
    canvas.PatFillRect(a.X + a.W - 2, a.Y, a.X + a.W, a.Y + a.H, kBorder);
    constexpr uint32_t kFirstMarks[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (int32_t edge = 0; edge < 4; ++edge) {
        for (int32_t place = 0; place < 3; ++place) {
            EdgeMark(canvas, a, edge, 2 * place, kFirstMarks[place]);
        }
        // One grey mark on the top edge, two on the right, three on the bottom, four on the left.
        for (int32_t mark = 0; mark <= edge; ++mark) {
            EdgeMark(canvas, a, edge, 8 + 4 * mark, 0xFF808080);
        }
    }
}

void PatQuad(PatternCanvas& canvas, uint32_t kind) {
    const int32_t w = canvas.Width();
    const int32_t h = canvas.Height();
    PatBackground(canvas, canvas.Whole(), w / 2, h / 2);
    PatFrame(canvas, canvas.Whole());
    uint32_t content = kind;
    if (kind < kPatternChild) {
        content = kind - kPatternFirstQuad;
    } else if (kind == kPatternChild) {
        content = kContentChild;
    }
    PatQuadContent(canvas, {2, 2, w - 4, h - 4}, content);
    canvas.RotateRows();
}

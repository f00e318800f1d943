// The contents of the frame family, each painted into an area of the picture: bit glyphs,
// colour quadrants, XQUAD, the colour wheel, the smear, the picture tiles, dots, hatches, lines,
// the alpha ramp, the rainbow and the grey ramp.
#include "imaging/PatternPainters.h"
#include "imaging/PatternPictures.h"

#include <algorithm>

namespace {

// Calls colourAt(column, row) for every pixel of the area that lies on the picture and plots
// the result.
template <typename ColourAt>
void PaintArea(PatternCanvas& canvas, PatternArea a, ColourAt colourAt) {
    const int32_t col0 = std::max(0, -a.X);
    const int32_t row0 = std::max(0, -a.Y);
    const int32_t col1 = std::min(a.W, canvas.Width() - a.X);
    const int32_t row1 = std::min(a.H, canvas.Height() - a.Y);
    for (int32_t row = row0; row < row1; ++row) {
        uint32_t* line = canvas.Row(a.Y + row);
        for (int32_t col = col0; col < col1; ++col) {
            line[a.X + col] = colourAt(col, row) | canvas.Mask();
        }
    }
}

// Quadrant 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
int32_t Quadrant(PatternArea a, int32_t col, int32_t row) {
    return (col < a.W / 2 ? 0 : 1) + (row < a.H / 2 ? 0 : 2);
}

constexpr uint32_t kQuadrantAlpha[4] = {255, 192, 128, 64};

// The 6x7 glyph of the bit quadrants, column c at bit 7 - c.
constexpr uint8_t kBitGlyph[7] = {0xFC, 0xFC, 0xC0, 0xF8, 0xF4, 0xEF, 0xEF};

// The word ALPHA, 19x6, column c at bit 31 - c.
constexpr uint32_t kAlphaWord[6] = {0xE8EAE000, 0xA8AAA000, 0xA8AAA000,
                                    0xE8EEE000, 0xA88AA000, 0xAE8AA000};

void PatBitQuad(PatternCanvas& canvas, PatternArea a, bool full) {
    constexpr uint32_t kFull[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    constexpr uint32_t kGrey[4] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040};
    PaintArea(canvas, a, [&](int32_t col, int32_t row) -> uint32_t {
        if ((kBitGlyph[row % 7] >> (7 - col % 6) & 1) == 0) {
            return 0;
        }
        const int32_t q = Quadrant(a, col, row);
        return kQuadrantAlpha[q] << 24 | (full ? kFull[q] : kGrey[q]);
    });
}

void PatColorQuad(PatternCanvas& canvas, PatternArea a, uint32_t argb) {
    constexpr uint32_t kDepth[4] = {0xFF, 0xC0, 0x80, 0x40};
    PaintArea(canvas, a, [&](int32_t col, int32_t row) {
        const uint32_t depth = kDepth[Quadrant(a, col, row)];
        return (argb & 0xFF000000) | (argb & depth * 0x010101);
    });
}

void PatXQuad(PatternCanvas& canvas, PatternArea a) {
    constexpr uint32_t kColours[4] = {0xFF800000, 0xFF008000, 0xFF000080, 0xFF808080};
    const int64_t bx0 = a.W / 5;
    const int64_t by0 = a.H / 5;
    const int64_t bx1 = 4 * static_cast<int64_t>(a.W) / 5;
    const int64_t by1 = 4 * static_cast<int64_t>(a.H) / 5;
    PaintArea(canvas, a, [&](int32_t col, int32_t row) {
        if (col >= bx0 && col < bx1 && row >= by0 && row < by1) {
            return 0u;
        }
        return kColours[Quadrant(a, col, row)];
    });
    const int32_t side = std::min(a.W, a.H);
    const int32_t left = a.X + (a.W - side) / 2;
    const int32_t top = a.Y + (a.H - side) / 2;
    for (int32_t i = 0; i < side; ++i) {
        canvas.PatPlot(left + i, top + i, 0xFFFFFFFF);
        canvas.PatPlot(left + i, top + side - 1 - i, 0xFFFFFFFF);
    }
}

// Walks the ring of the rectangle (x, y, w, h) clockwise from its top-left corner, calling
// visit(i, x, y) for each of its pixels once.
template <typename Visit> void WalkRing(int32_t x, int32_t y, int32_t w, int32_t h, Visit visit) {
    int64_t i = 0;
    for (int32_t c = 0; c < w; ++c) {
        visit(i++, x + c, y);
    }
    for (int32_t r = 1; r < h; ++r) {
        visit(i++, x + w - 1, y + r);
    }
    if (h > 1) {
        for (int32_t c = w - 2; c >= 0; --c) {
            visit(i++, x + c, y + h - 1);
        }
    }
    if (w > 1) {
        for (int32_t r = h - 2; r >= 1; --r) {
            visit(i++, x, y + r);
        }
    }
}

int64_t RingLength(int32_t w, int32_t h) {
    if (w <= 1 || h <= 1) {
        return static_cast<int64_t>(w) * h;
    }
    return 2 * static_cast<int64_t>(w) + 2 * static_cast<int64_t>(h) - 4;
}

void PatWheel(PatternCanvas& canvas, PatternArea a) {
    const int32_t rings = std::min(a.W, a.H) / 2;
    for (int32_t r = 0; r < rings; ++r) {
        const int32_t w = a.W - 2 * r;
        const int32_t h = a.H - 2 * r;
        const int64_t length = RingLength(w, h);
        const auto alpha = static_cast<uint32_t>(255 - 256 * static_cast<int64_t>(r) / rings);
        WalkRing(a.X + r, a.Y + r, w, h, [&](int64_t i, int32_t x, int32_t y) {
            canvas.PatPlot(x, y, PatHueColor(i, length, alpha));
        });
    }
}

void PatSmear(PatternCanvas& canvas, PatternArea a) {
    PaintArea(canvas, a, [&](int32_t col, int32_t row) {
        const auto s = static_cast<uint32_t>(16 * static_cast<int64_t>(col) / a.W);
        const auto t = static_cast<uint32_t>(16 * static_cast<int64_t>(row) / a.H);
        return (15 - s) * t << 24 | (15 - s) * (15 - t) << 16 | (15 - t) * s << 8 | s * t;
    });
}

void PatTiles(PatternCanvas& canvas, PatternArea a, uint32_t set, uint32_t variant) {
    PaintArea(canvas, a, [&](int32_t col, int32_t row) {
        uint32_t picture = variant;
        if (variant == 0) {
            picture = 1 + (col % 100 < 50 ? 0 : 1) + (row % 100 < 50 ? 0 : 2);
        }
        const uint8_t* rgb = PatternPicture(set, picture) +
                             3 * ((row % kPictureSide) * kPictureSide + col % kPictureSide);
        return kQuadrantAlpha[picture - 1] << 24 | uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 |
               rgb[2];
    });
}

// The lit colour of the dot, hatch and line contents: white on the left, half grey on the right.
uint32_t LitColour(PatternArea a, int32_t col) {
    return col < a.W / 2 ? 0xFFFFFFFF : 0x80808080;
}

void PatDots(PatternCanvas& canvas, PatternArea a) {
    PaintArea(canvas, a, [&](int32_t col, int32_t row) {
        const int32_t step = row < a.H / 2 ? 1 : 2;
        const bool lit = (col / step) % 2 == 0 && (row / step) % 2 == 0;
        return lit ? LitColour(a, col) : 0;
    });
}

void PatHatch(PatternCanvas& canvas, PatternArea a, bool fine) {
    PaintArea(canvas, a, [&](int32_t col, int32_t row) {
        const int32_t cell = (fine ? 1 : 4) * (row < a.H / 2 ? 1 : 2);
        const bool lit = (col / cell + row / cell) % 2 == 0;
        return lit ? LitColour(a, col) : 0;
    });
}

void PatLines(PatternCanvas& canvas, PatternArea a, bool columns, bool rows) {
    PaintArea(canvas, a, [&](int32_t col, int32_t row) {
        const int32_t every = row < a.H / 2 ? 2 : 4;
        const bool lit = (columns && col % every == 0) || (rows && row % every == 0);
        return lit ? LitColour(a, col) : 0;
    });
}

void PatAlpha(PatternCanvas& canvas, PatternArea a) {
    // The ramp takes whole runs of 256 columns after the first 25; narrower areas have none.
    const int32_t ramp = a.W > 25 ? (a.W - 25) / 256 * 256 : 0;
    PaintArea(canvas, a, [&](int32_t col, int32_t row) -> uint32_t {
        if (col < 25) {
            return 0x00FFFFFF;
        }
        if (col >= 25 + ramp) {
            return 0xFFFFFFFF;
        }
        uint32_t alpha = static_cast<uint32_t>((col - 25) / (ramp / 256));
        if (row >= a.H / 2) {
            alpha &= 0xF0;
        }
        return alpha << 24 | 0xFFFFFF;
    });
    for (int32_t r = 0; r < 6; ++r) {
        for (int32_t c = 0; c < 19; ++c) {
            if ((kAlphaWord[r] >> (31 - c) & 1) != 0) {
                canvas.PatPlot(a.X + 2 + c, a.Y + 2 + r, 0xFFFFFFFF);
            }
        }
    }
}

void PatRainbow(PatternCanvas& canvas, PatternArea a) {
    PaintArea(canvas, a, [&](int32_t col, int32_t row) {
        return PatHueColor(col, a.W, static_cast<uint32_t>(256 * static_cast<int64_t>(row) / a.H));
    });
}

void PatGrays(PatternCanvas& canvas, PatternArea a) {
    PaintArea(canvas, a, [&](int32_t col, int32_t row) {
        const auto grey = static_cast<uint32_t>(255 - 256 * static_cast<int64_t>(col) / a.W);
        const auto alpha = static_cast<uint32_t>(255 - 256 * static_cast<int64_t>(row) / a.H);
        return alpha << 24 | grey * 0x010101;
    });
}

} // namespace

uint32_t PatHueColor(int64_t pos, int64_t range, uint32_t alpha) {
    if (range <= 0 || pos < 0) {
        return 0;
    }
    const int64_t sextant = 6 * pos / range;
    const auto f = static_cast<uint32_t>((1536 * pos / range) % 256);
    const uint32_t g = 255 - f;
    uint32_t rgb = 0;
    switch (sextant) {
    case 0:
        rgb = 0xFF0000 | f << 8;
        break;
    case 1:
        rgb = g << 16 | 0xFF00;
        break;
    case 2:
        rgb = 0xFF00 | f;
        break;
    case 3:
        rgb = g << 8 | 0xFF;
        break;
    case 4:
        rgb = f << 16 | 0xFF;
        break;
    case 5:
        rgb = 0xFF0000 | g;
        break;
    default:
        return 0;
    }
    return (alpha & 0xFF) << 24 | rgb;
}

void PatQuadContent(PatternCanvas& canvas, PatternArea a, uint32_t content) {
    if (a.W <= 0 || a.H <= 0) {
        return;
    }
    // (A, R, G, B) of the colour quadrants: red, green, blue, cyan, magenta, yellow.
    constexpr uint32_t kQuadColours[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                          0xFF00FFFF, 0xFFFF00FF, 0xFFFFFF00};
    if (content <= kContentColourBits) {
        PatBitQuad(canvas, a, content == kContentColourBits);
    } else if (content < kContentXQuad) {
        PatColorQuad(canvas, a, kQuadColours[content - kContentRedQuad]);
    } else if (content == kContentXQuad) {
        PatXQuad(canvas, a);
    } else if (content == kContentWheel) {
        PatWheel(canvas, a);
    } else if (content == kContentSmear) {
        PatSmear(canvas, a);
    } else if (content < kContentChild) {
        PatTiles(canvas, a, 0, content - kContentFruit);
    } else if (content < kContentDots) {
        PatTiles(canvas, a, 1, content - kContentChild);
    } else if (content == kContentDots) {
        PatDots(canvas, a);
    } else if (content <= kContentHatchCoarse) {
        PatHatch(canvas, a, content == kContentHatchFine);
    } else if (content <= kContentColumnsRows) {
        PatLines(canvas, a, content != kContentRows, content != kContentColumns);
    } else if (content == kContentAlpha) {
        PatAlpha(canvas, a);
    } else if (content == kContentRainbow) {
        PatRainbow(canvas, a);
    } else if (content == kContentGrays) {
        PatGrays(canvas, a);
    }
}

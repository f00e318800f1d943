// The full-picture painters: FILL, the colour bars and OLD.
#include "imaging/Conv.h"
#include "imaging/Draw.h"
#include "imaging/PatternPainters.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
}

// Draws text centred across the picture at row y, in white on the mask colour, when it is
// narrower than the picture's inner width.
void DrawCentredLabel(const PatternCanvas& canvas, const char* text, int32_t y) {
    const int64_t textWidth = static_cast<int64_t>(std::strlen(text)) * 8;
    if (textWidth >= canvas.Width() - 4) {
        return;
    }
    const int32_t x = static_cast<int32_t>((canvas.Width() - textWidth) / 2);
    DrawText(x, y, text, 0xFFFFFFFF, canvas.Mask());
}

} // namespace

void PatFill(PatternCanvas& canvas) {
    const uint32_t t = canvas.Request().Shift % 255;
    const uint32_t start = (t % 64) * 4;
    const uint32_t raised = t >> 6; // 0 red, 1 green, 2 blue, 3 all three
    const uint32_t startR = (raised == 0 || raised == 3) ? start : 0;
    const uint32_t startG = (raised == 1 || raised == 3) ? start : 0;
    const uint32_t startB = (raised == 2 || raised == 3) ? start : 0;
    const int64_t count = static_cast<int64_t>(canvas.Width()) * canvas.Height();
    auto level = [count](uint32_t from, int64_t n) {
        return static_cast<uint32_t>(std::max<int64_t>(from, (255 - from) * n / count));
    };
    int64_t n = 0;
    for (int32_t y = 0; y < canvas.Height(); ++y) {
        uint32_t* row = canvas.Row(y);
        for (int32_t x = 0; x < canvas.Width(); ++x) {
            ++n;
            row[x] = Rgb(level(startR, n), level(startG, n), level(startB, n)) | canvas.Mask();
        }
    }
}

void PatBars(PatternCanvas& canvas, uint32_t level) {
    const uint32_t l = level;
    const uint32_t colours[7] = {Rgb(l, l, l), Rgb(l, l, 0), Rgb(0, l, l), Rgb(0, l, 0),
                                 Rgb(l, 0, l), Rgb(l, 0, 0), Rgb(0, 0, l)};
    const int32_t barWidth = canvas.Width() / 8;
    for (int32_t i = 0; i < 7; ++i) {
        canvas.PatFillRect(i * barWidth, 0, (i + 1) * barWidth, 1, colours[i]);
    }
    canvas.PatFillRect(7 * barWidth, 0, canvas.Width(), 1, 0);
    for (int32_t y = 1; y < canvas.Height(); ++y) {
        std::copy(canvas.Row(0), canvas.Row(0) + canvas.Width(), canvas.Row(y));
    }
    canvas.RotateRows();
}

void PatOld(PatternCanvas& canvas) {
    const int32_t w = canvas.Width();
    const int32_t h = canvas.Height();
    if (w < 5 || h < 5) {
        return;
    }
    const int32_t band = std::max((h - 4) / 4, 1);
    const int32_t inner = w - 4;
    const int32_t boxX0 = static_cast<int32_t>(9 * static_cast<int64_t>(w) / 20);
    const int32_t boxX1 = boxX0 + w / 10;
    const int32_t boxY1 = 1 + band / 3;
    // The ramp of inner pixel x - 1 of 1 .. w - 4: it reaches 255 at the last.
    std::vector<uint32_t> ramp(static_cast<size_t>(w), kWhite);
    for (int32_t x = 2; x < w - 2; ++x) {
        const auto v = static_cast<uint32_t>(static_cast<int64_t>(x - 1) * 255 / inner);
        ramp[static_cast<size_t>(x)] = v * 0x010101;
    }
    for (int32_t y = 0; y < h; ++y) {
        const bool edgeRow = y < 2 || y >= h - 2;
        // Inner rows 2 .. h-3 are counted in bands of band rows; the fourth on are grey.
        const int32_t bandIndex = edgeRow ? 0 : std::min((y - 2) / band, 3);
        const uint32_t channels = bandIndex == 3 ? 0xFFFFFF : (0xFF0000u >> (8 * bandIndex));
        uint32_t* row = canvas.Row(y);
        for (int32_t x = 0; x < w; ++x) {
            uint32_t colour = kWhite;
            if (!edgeRow && x >= 2 && x < w - 2) {
                colour = ramp[static_cast<size_t>(x)] & channels;
            }
            if (y >= 1 && y < boxY1 && x >= boxX0 && x < boxX1) {
                colour ^= kWhite;
            }
            row[x] = colour | canvas.Mask();
        }
    }
    const PatternRequest& request = canvas.Request();
    if (request.ShowText && h / 2 > 12) {
        if (request.Format >= 0 && request.Format < kPixelFormatRows) {
            DrawCentredLabel(canvas, g_PixelFormats[request.Format].Desc, h / 2 - 10);
        }
        char size[32];
        std::snprintf(size, sizeof size, "%dx%d", w, h);
        DrawCentredLabel(canvas, size, h / 2 + 2);
    }
    canvas.RotateRows();
}

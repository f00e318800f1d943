// The drawing primitives over the current drawing target, written through a converter of their
// own so that any target format works.
#include "imaging/Draw.h"

#include "imaging/Font8x8.h"

#include <cstdlib>
#include <utility>

namespace {

Surface* s_Target = nullptr;

// Built on first use, so drawing works from any global's constructor.
Conv& DrawConv() {
    static Conv conv;
    return conv;
}

} // namespace

Surface* DrawSetTarget(Surface* surface) {
    return std::exchange(s_Target, surface);
}

void DrawPixel(int32_t x, int32_t y, uint32_t colour) {
    if (s_Target == nullptr || x < 0 || y < 0 || x >= s_Target->Width || y >= s_Target->Height) {
        return;
    }
    DrawConv().PutPixel(x, y, s_Target, colour);
}

void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    const int64_t dx = std::llabs(int64_t{x1} - x0);
    const int64_t dy = std::llabs(int64_t{y1} - y0);
    const bool alongX = dx >= dy;
    // Walk the major axis upwards; the minor axis follows towards the other end point.
    if (alongX ? x0 > x1 : y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const int64_t major = alongX ? dx : dy;
    const int64_t minor = alongX ? dy : dx;
    const int32_t minorStep = alongX ? (y1 >= y0 ? 1 : -1) : (x1 >= x0 ? 1 : -1);
    int64_t error = 2 * minor - major;
    int32_t x = x0;
    int32_t y = y0;
    for (int64_t i = 0; i <= major; ++i) {
        DrawPixel(x, y, colour);
        if (error >= 0) {
            (alongX ? y : x) += minorStep;
            error -= 2 * major;
        }
        error += 2 * minor;
        (alongX ? x : y) += 1;
    }
}

void DrawText(int32_t x, int32_t y, const char* text, uint32_t fg, uint32_t bg) {
    const int32_t startX = x;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto ch = static_cast<unsigned char>(*p);
        if (ch == '\n') {
            x = startX;
            y += 8;
            continue;
        }
        const uint8_t* glyph = FontGlyph(ch);
        if (glyph == nullptr) {
            continue;
        }
        for (int32_t row = 0; row < 8; ++row) {
            for (int32_t col = 0; col < 8; ++col) {
                const bool set = (glyph[row] >> (7 - col) & 1) != 0;
                if (set || bg != fg) {
                    DrawPixel(x + col, y + row, set ? fg : bg);
                }
            }
        }
        x += 8;
    }
}

// ChipDef: the one-screen summary of the current configuration (Play's M command): the
// display, the main and PIP windows, and the clocks.
#include "chipdef/ChipDef.h"

#include "common/Assert.h"
#include "common/Numbers.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

// The prefix, then for each column a blank and as many "-" as its width.
void DashesLine(char* line, size_t size, const char* prefix, std::initializer_list<int> widths) {
    size_t used = static_cast<size_t>(std::snprintf(line, size, "%s", prefix));
    for (int width : widths) {
        if (used + static_cast<size_t>(width) + 2 >= size) {
            break;
        }
        line[used++] = ' ';
        std::memset(line + used, '-', static_cast<size_t>(width));
        used += static_cast<size_t>(width);
    }
    line[used] = '\0';
}

} // namespace

void ChipDef::AppendSummary(char* summary, size_t* used, const char* format, ...) {
    if (*used + 1 >= SUMMARY_SIZE) {
        return;
    }
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(summary + *used, SUMMARY_SIZE - *used, format, args);
    va_end(args);
    if (length > 0) {
        *used += static_cast<size_t>(length);
    }
    if (!Q3V_ASSERT_TEXT(*used < SUMMARY_SIZE, "iSummary < SUMMARY_SIZE")) {
        *used = SUMMARY_SIZE - 1;
    }
}

const char* ChipDef::GetSummaryText(const char* prefix) {
    char* summary = NextText2();
    if (!summary) {
        return "";
    }
    const char* p = prefix ? prefix : "";
    size_t used = 0;
    char dashes[256];
    char dims[64];

    AppendSummary(summary, &used, "%s %-15s %11s %-49s\n", p, "DEVICES   [*ON]", "WxHxBPP",
                  "DESCRIPTION");
    DashesLine(dashes, sizeof dashes, p, {15, 11, 49});
    AppendSummary(summary, &used, "%s\n", dashes);
    std::snprintf(dims, sizeof dims, "%lux%lux%02lu",
                  static_cast<unsigned long>(GetFeatureValue("hdp")),
                  static_cast<unsigned long>(GetFeatureValue("vdp")),
                  static_cast<unsigned long>(GetFeatureValue("bpp")));
    AppendSummary(summary, &used, "%s%s%-15s %11s %s\n", p, GetFeatureValue("lcdout") ? "*" : " ",
                  "Display", dims,
                  GetFeatureRawValue("panelport") ? "Active TFT" : "Passive Panel");
    AppendSummary(summary, &used, "%s\n", p);

    AppendSummary(summary, &used, "%s %-15s %11s %6s %-7s %-34s\n", p, "DIMENSIONS", "WxHxBPP",
                  "STRIDE", "START", "SADDR");
    DashesLine(dashes, sizeof dashes, p, {15, 11, 6, 7, 34});
    AppendSummary(summary, &used, "%s\n", dashes);
    const uint32_t width = GetFeatureValue("swwidth");
    const uint32_t bpp = GetFeatureValue("bpp");
    std::snprintf(dims, sizeof dims, "%lux%lux%02lu", static_cast<unsigned long>(width),
                  static_cast<unsigned long>(GetFeatureValue("swheight")),
                  static_cast<unsigned long>(bpp));
    char number[32];
    std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(width * bpp / 8));
    AppendSummary(summary, &used, "%s*%-15s %11s %6s %-7s %08xh\n", p, "Main Window", dims, number,
                  "N/A", GetFeatureValue("saddr"));
    std::snprintf(dims, sizeof dims, "%lux%lux%02lu",
                  static_cast<unsigned long>(GetFeatureValue("pipwidth")),
                  static_cast<unsigned long>(GetFeatureValue("pipheight")),
                  static_cast<unsigned long>(GetFeatureValue("pipbpp")));
    std::snprintf(number, sizeof number, "%lu",
                  static_cast<unsigned long>(GetFeatureValue("pipstride")));
    char start[48];
    std::snprintf(start, sizeof start, "%lu,%lu",
                  static_cast<unsigned long>(GetFeatureValue("pipx")),
                  static_cast<unsigned long>(GetFeatureValue("pipy")));
    AppendSummary(summary, &used, "%s%s%-15s %11s %6s %-7s %08xh\n", p,
                  GetFeatureValue("alpha") ? "*" : " ", "PIP Window", dims, number, start,
                  GetFeatureValue("pipsaddr"));
    AppendSummary(summary, &used, "%s\n", p);

    AppendSummary(summary, &used, "%s %-10s %-11s %-54s\n", p, "CLOCKS", "FREQ", "SOURCE");
    DashesLine(dashes, sizeof dashes, p, {10, 11, 54});
    AppendSummary(summary, &used, "%s\n", dashes);
    AppendSummary(summary, &used, "%s %-10s %11s %s\n", p, "SYSCLK",
                  FreqToStr(GetFeatureValue("sysclk")), GetFeatureText("sysclksrc", true));
    AppendSummary(summary, &used, "%s %-10s %11s SYSCLK/%lu\n", p, "PCLK",
                  FreqToStr(GetFeatureValue("pclk")),
                  static_cast<unsigned long>(GetFeatureValue("pclkdiv")));
    return summary;
}

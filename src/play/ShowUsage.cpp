// SHOW's usage text and the extended list of converter formats.
#include "play/ShowUsage.h"

#include "play/Output.h"
#include "play/PlayConv.h"

#include <cstring>

namespace {

const char* const kShowUsageHead[] = {
    "\n",
    " SHOW [MAIN|PIP|MEM:addr] [PAT=pattern] [N=n] [W=n H=n] [D=n] [..]\n",
    "\n",
    " Draw an image into display memory location specified by window registers.\n",
    " MAIN|PIP      - Specify Main (default) or PIP window.\n",
    " MEM:addr      - Image is written to addr using image stride\n",
    " FDUMP         - Also write pattern to a SHOW.RAW file.\n",
    " PAT=pattern   - Shows one of the following test patterns:\n",
    "                 OLD(default),UBER,FILL,GRID,WHEEL,SMEAR,FRUIT,CHILD,\n",
    "                 BARS,N075R,N100R,\n",
    "                 DOTTE,HTCH1,HTCH2,HLINE,VLINE,XLINE,ALPHA,RAINB,GRAYS,\n",
    "                 FQUAD,WQUAD,RQUAD,GQUAD,BQUAD,CQUAD,MQUAD,YQUAD,XQUAD\n",
    " ANI           - Animate until a key is pressed (same as N=0).\n",
    " W=n           - Width in pixels (default: window width).\n",
    " H=n           - Height in pixels (default: window height).\n",
    " LW=n          - Line width of the GRID border (default: 1).\n",
    " G=n           - Pixels the pattern moves per frame (default: 4).\n",
    " D=n           - Delay in microseconds after each unit written.\n",
    " FG=color      - Foreground color of GRID (default: 00FF00).\n",
    " BG=color      - Background color of GRID (default: 000000).\n",
    " GW=n GH=n     - Width and height of a GRID cell (default: 100).\n",
    " N=n           - Number of frames; 0 animates until a key (SPACE steps).\n",
    " ST=n          - Animate for n milliseconds.\n",
    " R=n           - Frames per second.\n",
    " T=n           - TE function polled after every frame:\n",
    "                 [0] Disabled\n",
    "                 [1] VNDP\n",
    "                 [2] Line Count\n",
    "                 [3] BitBLT Busy\n",
    " LC=n          - TE line count (below 1024).\n",
    " F=n           - Color format (default: the window's):\n",
    "                 [0] RGB 888, [1] RGB 565, [2] 8-bit Mono, [4] RGB 888 + LUT,\n",
    "                 [5] RGB 565 + LUT, [6] RGB 332 + LUT, [100..] see SHOW ??\n",
};

const char* const kShowUsageShortList[] = {
    " ??            - Extended help message. Show all possible color formats for F=.\n",
};

const char* const kShowFormatsHead[] = {
    "                 List of all possible formats for SHOW\n",
    "                 To use, specify F=n where n is the index as given below.\n",
    "                 Warning: The chip may not support the format specified.\n\n",
    "                 Index\tBPP\tFormat\t\tSub-ordering\n",
    "                 -----\t---\t------\t\t-------------------------\n",
};

const char* const kShowFormatsLegend[] = {
    "\n",
    "               * Indicates valid format on this chip\n\n",
    " BPP:\n",
    "   Values inside parentheses indicate effective-BPP\n",
    " Sub-ordering: \n",
    "   x ... bits or bytes padded for alignment\n",
    "   + ... the next line (only shown for YUV420 format)\n",
    "   - ... access size boundary\n",
    "   RGB.565 with R5G3-g3B5 means the first byte holds red and the top of green\n",
    "   YUV.422 with UY-VY means U, Y of the first pixel, then V, Y of the second\n",
    "   R888 with B-G-R means blue, green and red in three bytes\n",
};

const char* const kShowUsageTail[] = {
    "\n",
    " Examples:\n",
    "   SHOW                                     ' Show default pattern to MAIN\n",
    "   SHOW PAT=GRID FG=FF0000                  ' Show RED grid pattern to MAIN\n",
    "   SHOW PIP N=0 T=1                         ' Animate PIP, poll TE every frame\n",
    " Notes: W and H default to the window's size and F to the window's format.\n",
    "        F=n above 99 writes in any converter format; the chip may not show it.\n",
    "        T polls the TE status bit (REG[22h] bit 7) after every frame.\n",
};

bool IsWindowRow(const char* name) {
    for (const char* row : {"R332.RGB", "R565.RGB", "R888.B-G-R", "M8.n0"}) {
        if (std::strcmp(name, row) == 0) {
            return true;
        }
    }
    return false;
}

void PrintFormatList() {
    PrintUsageLines(kShowFormatsHead);
    Conv& conv = QueryConv();
    const char* previous = nullptr;
    for (int32_t row = 0; conv.IsValidRow(row); ++row) {
        const char* desc = conv.GetFormatDesc(row);
        if (previous != nullptr && std::strcmp(previous, desc) != 0) {
            PlayPrint(CAT_OUT, "\n");
        }
        previous = desc;
        PlayPrint(CAT_OUT, "               %c", IsWindowRow(conv.GetFormatName(row)) ? '*' : ' ');
        const int32_t bpp = conv.GetBpp(row);
        if (bpp < 0) {
            PlayPrint(CAT_OUT, " %-5d\t(%d)\t", row + 100, -bpp);
        } else {
            PlayPrint(CAT_OUT, " %-5d\t %2d\t", row + 100, bpp);
        }
        PlayPrint(CAT_OUT, "%s \t%s\n", desc, conv.GetFormatName(row));
    }
    PrintUsageLines(kShowFormatsLegend);
}

} // namespace

bool PrintShowUsage(bool withFormats) {
    PrintUsageLines(kShowUsageHead);
    if (withFormats) {
        PrintFormatList();
    } else {
        PrintUsageLines(kShowUsageShortList);
    }
    return PrintUsageLines(kShowUsageTail);
}

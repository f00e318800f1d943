// SHOW: draws a test pattern into the main or PIP window, or frame after frame into display
// memory, optionally animated, paced, polled against the TE status, or dumped to "show.raw".
#include "common/Text.h"
#include "hcl/HclApi.h"
#include "hcl/Services.h"
#include "imaging/TestPattern.h"
#include "play/ArgParsers.h"
#include "play/DisplayCommands.h"
#include "play/FramePacing.h"
#include "play/KeyName.h"
#include "play/KeyPoll.h"
#include "play/MemCommands.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/PlayConv.h"
#include "play/RunState.h"
#include "play/ShowUsage.h"
#include "play/WindowHelpers.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr uint32_t kNotGiven = 0xFFFFFFFF;

const char* const kPatternNames[] = {
    "UBER",  "FILL",  "GRID",  "BARS",  "N075R", "N100R", "OLD",   "FQUAD", "WQUAD", "RQUAD",
    "GQUAD", "BQUAD", "CQUAD", "MQUAD", "YQUAD", "XQUAD", "WHEEL", "SMEAR", "FRUIT", "CHILD",
    "DOTTE", "HTCH1", "HTCH2", "HLINE", "VLINE", "XLINE", "ALPHA", "RAINB", "GRAYS",
};

struct ShowParams {
    uint32_t Pip = 0;
    bool Memory = false;
    const char* MemoryWord = "";
    bool Fdump = false;
    uint32_t Kind = kPatternOld;
    uint32_t Frames = 1;
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t LineWidth = 1;
    uint32_t ShiftStep = 4;
    uint32_t DelayUs = 0;
    uint32_t Fg = 0x00FF00;
    uint32_t Bg = 0x000000;
    uint32_t GridWidth = 100;
    uint32_t GridHeight = 100;
    uint32_t TimeMs = 0;
    uint32_t Rate = kNotGiven;
    uint32_t TeFunction = kNotGiven;
    uint32_t LineCount = kNotGiven;
    int32_t Row = -1;
    uint32_t Address = kNotGiven;
};

bool ParseDecimal(const char* text, uint32_t* value) {
    return *text != '\0' && ParseNumber(text, 10, value) == 0;
}

// F: the window formats 0 to 6 (not 3), or 100 and above for converter row F - 100.
bool FormatOption(uint32_t value, int32_t* row) {
    if (value >= 100) {
        *row = static_cast<int32_t>(value - 100);
        return QueryConv().IsValidRow(*row);
    }
    return WindowFormatRow(value, row);
}

bool OneLetterOption(ShowParams& p, char letter, const char* text) {
    uint32_t v = 0;
    if (!ParseDecimal(text, &v)) {
        return false;
    }
    switch (UpperAscii(letter)) {
    case 'D':
        p.DelayUs = v;
        return v != 0;
    case 'F':
        return FormatOption(v, &p.Row);
    case 'G':
        p.ShiftStep = v;
        return v != 0;
    case 'H':
        p.Height = v;
        return v != 0;
    case 'N':
        p.Frames = v;
        return true;
    case 'R':
        p.Rate = v;
        return true;
    case 'T':
        p.TeFunction = v;
        return v <= 3;
    case 'W':
        p.Width = v;
        return v != 0;
    default:
        return false;
    }
}

bool TwoLetterOption(ShowParams& p, const char* word, const char* text) {
    uint32_t v = 0;
    uint32_t kind = 0;
    if (CompareNoCase(word, "FG", 2) == 0) {
        return ParseColor(text, 16, &p.Fg, &kind) == 0;
    }
    if (CompareNoCase(word, "BG", 2) == 0) {
        return ParseColor(text, 16, &p.Bg, &kind) == 0;
    }
    if (!ParseDecimal(text, &v)) {
        return false;
    }
    if (CompareNoCase(word, "LW", 2) == 0) {
        p.LineWidth = v;
        return v != 0;
    }
    if (CompareNoCase(word, "GW", 2) == 0) {
        p.GridWidth = v;
        return v != 0;
    }
    if (CompareNoCase(word, "GH", 2) == 0) {
        p.GridHeight = v;
        return v != 0;
    }
    if (CompareNoCase(word, "LC", 2) == 0) {
        p.LineCount = v;
        return v < 1024;
    }
    if (CompareNoCase(word, "ST", 2) == 0) {
        p.TimeMs = v;
        return v != 0;
    }
    return false;
}

bool IsSeparator(char c) {
    return c == ':' || c == '=';
}

// One word of SHOW's arguments; false when it is refused.
bool ParseWord(ShowParams& p, const char* word) {
    if (CompareNoCase(word, "PAT", 3) == 0 && IsSeparator(word[3])) {
        for (uint32_t i = 0; i < std::size(kPatternNames); ++i) {
            if (EqualsNoCase(word + 4, kPatternNames[i])) {
                p.Kind = i + 1;
            }
        }
        return true; // an unknown name keeps the pattern chosen so far
    }
    if (EqualsNoCase(word, "ANI")) {
        p.Frames = 0;
    } else if (EqualsNoCase(word, "MAIN")) {
        p.Pip = 0;
    } else if (EqualsNoCase(word, "PIP")) {
        p.Pip = 1;
    } else if (CompareNoCase(word, "MEM:", 4) == 0) {
        p.Memory = true;
        p.MemoryWord = word;
        return ParseStartOperand(word + 4, 0, 1, &p.Address) == 0;
    } else if (EqualsNoCase(word, "FDUMP")) {
        p.Fdump = true;
    } else if (word[0] != '\0' && IsSeparator(word[1])) {
        return OneLetterOption(p, word[0], word + 2);
    } else if (word[0] != '\0' && word[1] != '\0' && IsSeparator(word[2])) {
        return TwoLetterOption(p, word, word + 3);
    } else {
        return false;
    }
    return true;
}

void WriteFrame(uint32_t address, const uint8_t* image, uint32_t size, uint32_t unit,
                uint32_t delayUs) {
    const uint32_t units = size / unit;
    const uint32_t perWrite = delayUs != 0 ? 1 : units;
    for (uint32_t k = 0; k < units; k += perWrite) {
        const uint32_t at = address + k * unit;
        const uint8_t* from = image + static_cast<size_t>(k) * unit;
        if (unit == 4) {
            oxHclBurstWriteMemory32(at, reinterpret_cast<const uint32_t*>(from), perWrite);
        } else if (unit == 2) {
            oxHclBurstWriteMemory16(at, reinterpret_cast<const uint16_t*>(from), perWrite);
        } else {
            oxHclBurstWriteMemory8(at, from, perWrite);
        }
        if (delayUs != 0) {
            oxDelayUs(delayUs);
        }
    }
}

bool DumpFrame(const uint8_t* image, uint32_t size) {
    FILE* file = std::fopen("show.raw", "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(image, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// Reads the key of a step: SPACE gives true; any other key, or the end of the input, false.
bool ReadSpace() {
    char key[kKeyNameSize];
    return ReadKeyName(key) && std::strcmp(key, "SPACE") == 0;
}

bool Report(uint32_t code, const char* word) {
    if (code == FILE_ERROR_ENTRY) {
        return PlayPrint(CAT_ERR, "ERROR: %s '%s'\n", FileErrorText(code), word);
    }
    if (code == FILE_ERROR_REPORTED) {
        return false;
    }
    return PlayPrint(CAT_ERR, "ERROR: %s\n", FileErrorText(code));
}

} // namespace

bool CmdShow(int32_t argc, char** argv, ExprValue*) {
    if (WantsUsage(argc, argv)) {
        return PrintShowUsage(argv[1][1] == '?');
    }
    ShowParams p;
    for (int32_t i = 1; i < argc; ++i) {
        if (!ParseWord(p, argv[i])) {
            return Report(FILE_ERROR_ENTRY, argv[i]);
        }
    }
    // Without a board only the dump to "show.raw" can be made.
    if (!g_Acquired && !p.Fdump) {
        return PlayPrint(CAT_ERR,
                         "!!!!! ERROR: This command cannot be invoked with the /nocard switch.\n");
    }
    const bool pip = p.Pip == 1;
    if (p.Width == 0) {
        p.Width = g_ChipDef.GetFeatureValue(pip ? "pipwidth" : "width");
    }
    if (p.Height == 0) {
        p.Height = g_ChipDef.GetFeatureValue(pip ? "pipheight" : "height");
    }
    if (p.Width < 2 || p.Height < 2) {
        return PlayPrint(CAT_ERR, "ERROR: Width or height is too small.\n");
    }
    if (p.Row < 0 && !GetWindowFormatRow(p.Pip, &p.Row)) {
        return Report(FILE_ERROR_FORMAT, "");
    }
    if (p.Address == kNotGiven) {
        p.Address = GetWindowStartAddr(p.Pip);
    }
    Conv& conv = QueryConv();
    const auto width = static_cast<int32_t>(std::min<uint32_t>(p.Width, INT32_MAX));
    const auto height = static_cast<int32_t>(std::min<uint32_t>(p.Height, INT32_MAX));
    const uint32_t stride = p.Memory ? static_cast<uint32_t>(conv.GetStride(p.Row, width))
                                     : g_ChipDef.GetFeatureRawValue(pip ? "pipstride" : "stride");
    PlayPrint(CAT_OUT, "%s", p.Memory ? "Memory, " : (pip ? "PIP window, " : "Main window, "));
    PlayPrint(CAT_OUT, "%lux%lu, Stride=%lu, ", static_cast<unsigned long>(p.Width),
              static_cast<unsigned long>(p.Height), static_cast<unsigned long>(stride));
    PlayPrint(CAT_OUT, "%s [suborder:%s]\n", conv.GetFormatDesc(p.Row), conv.GetFormatOrder(p.Row));

    const uint32_t unit = conv.GetBusWidth(p.Row);
    // 0 when the size does not fit 32 bits; either way no picture beyond the address space.
    const int32_t imageSize = conv.GetImageSize(p.Row, width, height);
    if (imageSize <= 0 || static_cast<uint64_t>(imageSize) > kMemAddressSpace) {
        return Report(FILE_ERROR_MEMORY, "");
    }
    const auto size = static_cast<uint32_t>(imageSize);
    // A window's picture stays where it is: it must fit below the end of the address space.
    if (!p.Memory && uint64_t{p.Address} + size > kMemAddressSpace) {
        return Report(FILE_ERROR_MEMORY, "");
    }
    std::unique_ptr<uint8_t[]> image(new (std::nothrow) uint8_t[size]);
    if (!image) {
        return Report(FILE_ERROR_MEMORY, "");
    }

    TeFunctionGuard teGuard;
    const bool tePolling = p.TeFunction != kNotGiven && p.TeFunction > 0;
    if (tePolling) {
        if (p.LineCount != kNotGiven) {
            g_ChipDef.SetFeatureValue("telinecount", p.LineCount);
        }
        teGuard.Set(p.TeFunction);
    }
    FramePacer pacer(p.Rate != kNotGiven, p.Rate);

    PatternRequest request{};
    request.Kind = p.Kind;
    request.Format = p.Row;
    request.Colorimetry = COLORIMETRY_BT601;
    request.Width = p.Width;
    request.Height = p.Height;
    request.LineWidth = p.LineWidth;
    request.Buffer = image.get();
    request.Fg = p.Fg;
    request.Bg = p.Bg;
    request.AlphaMask = 0xFF000000;
    request.GridWidth = p.GridWidth;
    request.GridHeight = p.GridHeight;
    request.ShowText = p.Kind == kPatternOld ? 1 : 0;

    const LoopEnd loopEnd = (p.Frames != 0 || p.TimeMs != 0) ? kLoopEndsItself : kLoopUntilKey;
    uint32_t code = FILE_ERROR_NONE;
    const char* word = "";
    bool stepping = false;
    uint64_t address = p.Address;
    for (uint32_t frame = 0; p.Frames == 0 || frame < p.Frames; ++frame) {
        if (p.Frames != 1) {
            if (stepping) {
                stepping = ReadSpace();
            } else if (LoopKeyWaiting(loopEnd, frame)) {
                if (!ReadSpace()) {
                    break;
                }
                stepping = true;
            }
        }
        if (!TestPatternDraw(&request)) {
            code = FILE_ERROR_PATTERN;
            break;
        }
        if (p.Fdump) {
            code = DumpFrame(image.get(), size) ? FILE_ERROR_NONE : FILE_ERROR_OPEN;
            pacer.FrameShown();
            break;
        }
        // Each memory frame goes to the next area: none may end past the address space.
        if (address + size > kMemAddressSpace) {
            code = FILE_ERROR_ENTRY;
            word = p.MemoryWord;
            break;
        }
        WriteFrame(static_cast<uint32_t>(address), image.get(), size, unit, p.DelayUs);
        pacer.FrameShown();
        if (tePolling) {
            WaitTeStatus();
        }
        request.Shift += p.ShiftStep;
        if (p.Memory) {
            address += size;
        }
        if (p.TimeMs != 0 && pacer.ElapsedMs() >= p.TimeMs) {
            break;
        }
        pacer.Pause(frame == 0);
    }
    pacer.ReportRate();
    return code == FILE_ERROR_NONE || Report(code, word);
}

// SHOW: draws a test pattern into the main or PIP window, or frame after frame into display
// memory, optionally animated, paced, polled against the TE status, or dumped to "show.raw".
#include "hcl/HclApi.h"
#include "hcl/Services.h"
#include "imaging/TestPattern.h"
#include "platform/BoardFiles.h"
#include "play/Acquisition.h"
#include "play/DisplayCommands.h"
#include "play/FramePacing.h"
#include "play/KeyName.h"
#include "play/KeyPoll.h"
#include "play/MemCommands.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/PlayConv.h"
#include "play/ShowArgs.h"
#include "play/ShowUsage.h"
#include "play/WindowHelpers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Writes the image from address in units of unit bytes: one burst, or one unit at a time with a
// delay after each.
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

// A FileError code: the file that cannot be made (one of the board's own files is never
// truncated), or a write that fails (a full disk).
uint32_t DumpFrame(const uint8_t* image, uint32_t size) {
    FILE* file = IsBoardFile("show.raw") ? nullptr : std::fopen("show.raw", "wb");
    if (file == nullptr) {
        return FILE_ERROR_OPEN;
    }
    const bool written = std::fwrite(image, 1, size, file) == size;
    return std::fclose(file) == 0 && written ? FILE_ERROR_NONE : FILE_ERROR_WRITE;
}

// Reads the key of a step: SPACE gives true; any other key, or the end of the input, false.
bool ReadSpace() {
    char key[kKeyNameSize];
    return ReadKeyName(key) && std::strcmp(key, "SPACE") == 0;
}

// What the frame loop did: the error code, with the word it concerns.
struct FrameRun {
    uint32_t Code = FILE_ERROR_NONE;
    const char* Word = "";
};

// Draws and writes the frames: until N frames, ST milliseconds or a key (SPACE steps frame by
// frame); each memory frame to the next area, each window frame to the same place.
FrameRun RunFrames(const ShowParams& p, PatternRequest& request, uint32_t size, bool tePolling,
                   FramePacer& pacer) {
    const LoopEnd loopEnd = (p.Frames != 0 || p.TimeMs != 0) ? kLoopEndsItself : kLoopUntilKey;
    const uint32_t unit = QueryConv().GetBusWidth(request.Format);
    FrameRun run;
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
            run.Code = FILE_ERROR_PATTERN;
            break;
        }
        if (p.Fdump) {
            run.Code = DumpFrame(request.Buffer, size);
            pacer.FrameShown();
            break;
        }
        // Each memory frame goes to the next area: none may end past the address space.
        if (address + size > kMemAddressSpace) {
            run.Code = FILE_ERROR_ENTRY;
            run.Word = p.MemoryWord;
            break;
        }
        WriteFrame(static_cast<uint32_t>(address), request.Buffer, size, unit, p.DelayUs);
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
    return run;
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
        if (!ParseShowWord(p, argv[i])) {
            return Report(FILE_ERROR_ENTRY, argv[i]);
        }
    }
    // Without a board only the dump to "show.raw" can be made.
    if (!g_Acquired && !p.Fdump) {
        return ReportNotAcquired();
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
    if (p.Address == kShowNotGiven) {
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
    const bool tePolling = p.TeFunction != kShowNotGiven && p.TeFunction > 0;
    if (tePolling) {
        if (p.LineCount != kShowNotGiven) {
            g_ChipDef.SetFeatureValue("telinecount", p.LineCount);
        }
        teGuard.Set(p.TeFunction);
    }
    FramePacer pacer(p.Rate != kShowNotGiven, p.Rate);

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

    const FrameRun run = RunFrames(p, request, size, tePolling, pacer);
    pacer.ReportRate();
    return run.Code == FILE_ERROR_NONE || Report(run.Code, run.Word);
}

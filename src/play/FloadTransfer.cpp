// FLOAD's transfers: unit by unit from the open file, or the loaded frames in bursts, to
// display memory or a register, looped, delayed, paced and stopped by a key.
#include "hcl/HclApi.h"
#include "hcl/Services.h"
#include "play/FloadRequest.h"
#include "play/FramePacing.h"
#include "play/KeyName.h"
#include "play/KeyPoll.h"
#include "play/MemWidth.h"
#include "play/Output.h"
#include "play/WindowHelpers.h"

#include <algorithm>

namespace {

using filecmd::FileArea;

// A waiting key ends the transfer; it is read so that it does not reach the prompt.
bool KeyStops(LoopEnd end, uint64_t stepsDone) {
    if (!LoopKeyWaiting(end, stepsDone)) {
        return false;
    }
    char key[kKeyNameSize];
    ReadKeyName(key);
    return true;
}

void WriteUnit(const FloadRequest& request, uint32_t at, uint32_t value) {
    if (request.Area == FileArea::kReg) {
        WriteRegByBits(request.Unit * 8, at, value);
    } else if (request.Unit == 4) {
        oxHclFillMemory32(at, value, 1);
    } else if (request.Unit == 2) {
        oxHclFillMemory16(at, static_cast<uint16_t>(value), 1);
    } else {
        oxHclFillMemory8(at, static_cast<uint8_t>(value), 1);
    }
}

// One burst of bytes to the start; the layer has no 32-bit register bursts and says so.
bool WriteBurst(const FloadRequest& request, const uint8_t* data, uint32_t bytes) {
    const uint32_t units = bytes / request.Unit;
    if (request.Area == FileArea::kReg) {
        if (request.Unit == 4) {
            oxHclBurstWriteReg32(request.Start, reinterpret_cast<const uint32_t*>(data), units);
            PlayPrint(CAT_ERR, "\n");
            return false;
        }
        if (request.Unit == 2) {
            oxHclBurstWriteReg16(request.Start, reinterpret_cast<const uint16_t*>(data), units);
        } else {
            oxHclBurstWriteReg8(request.Start, data, units);
        }
        return true;
    }
    if (request.Unit == 4) {
        oxHclBurstWriteMemory32(request.Start, reinterpret_cast<const uint32_t*>(data), units);
    } else if (request.Unit == 2) {
        oxHclBurstWriteMemory16(request.Start, reinterpret_cast<const uint16_t*>(data), units);
    } else {
        oxHclBurstWriteMemory8(request.Start, data, units);
    }
    return true;
}

void Delay(uint32_t microseconds) {
    if (microseconds != 0) {
        oxDelayUs(microseconds);
    }
}

} // namespace

uint32_t TransferUnits(const FloadRequest& request, FILE* file, uint32_t times) {
    const LoopEnd end = request.Loops == 0 ? kLoopUntilKey : kLoopEndsItself;
    const uint32_t units = request.Length / request.Unit;
    uint64_t steps = 0;
    for (uint32_t loop = 0; request.Loops == 0 || loop < request.Loops; ++loop) {
        for (uint32_t n = 0; n < times; ++n) {
            for (uint32_t i = 0; i < units; ++i, ++steps) {
                uint32_t value = 0;
                if (KeyStops(end, steps) || !filecmd::ReadUnit(file, request.Unit, &value)) {
                    return FILE_ERROR_NONE;
                }
                WriteUnit(request, request.Start + i * request.Unit, value);
                Delay(request.Delay);
            }
        }
        if (std::fseek(file, static_cast<long>(request.Offset), SEEK_SET) != 0) {
            return FILE_ERROR_READ;
        }
    }
    return FILE_ERROR_NONE;
}

uint32_t TransferBursts(const FloadRequest& request, const uint8_t* buffer, uint64_t frameSize,
                        uint32_t times) {
    const LoopEnd end = request.Loops == 0 ? kLoopUntilKey : kLoopEndsItself;
    const bool wholeFrames = TakesWholeFrames(request);
    const uint64_t chunk = wholeFrames ? frameSize : request.Length;
    const uint32_t chunks = wholeFrames ? 1 : times;
    const bool tePolling = request.TeFunction > 0;
    FramePacer pacer(request.RateGiven, request.Rate);
    uint64_t steps = 0;
    for (uint32_t loop = 0; request.Loops == 0 || loop < request.Loops; ++loop) {
        for (uint32_t f = 0; f < request.Frames; ++f, ++steps) {
            if (KeyStops(end, steps)) {
                pacer.ReportRate();
                return FILE_ERROR_NONE;
            }
            const uint8_t* frame = buffer + f * frameSize;
            // Each chunk is cut to what is left of its frame; nothing past it is sent.
            for (uint64_t k = 0, at = 0; k < chunks && at < frameSize; ++k, at += chunk) {
                const uint64_t bytes = std::min<uint64_t>(chunk, frameSize - at);
                if (!WriteBurst(request, frame + at, static_cast<uint32_t>(bytes))) {
                    return FILE_ERROR_REPORTED;
                }
            }
            pacer.FrameShown();
            if (tePolling) {
                WaitTeStatus();
            }
            Delay(request.Delay);
            pacer.Pause(loop == 0 && f == 0);
        }
    }
    pacer.ReportRate();
    return FILE_ERROR_NONE;
}

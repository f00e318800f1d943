#pragma once
// FLOAD's request as its words give it, and its three stages: finding the frames of the file
// set (one file, a numbered run of files, or AVI frames) and their size, loading them into one
// buffer, and moving data to display memory or a register, unit by unit or in bursts.
#include "play/FileCmdArgs.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum class FloadKind { kRaw, kBmp, kPpm, kAvi };

struct FloadRequest {
    uint32_t Unit = 1;
    filecmd::FileArea Area = filecmd::FileArea::kNone;
    uint32_t Start = 0;
    uint32_t Length = 0;              // bytes; 0 until the end of the frame ("*")
    const char* LengthWord = nullptr; // the End|Len word, when one was given
    bool LoadAll = false;
    bool Burst = true;
    uint32_t Delay = 0;
    int32_t Row = -1;
    uint32_t Loops = 1; // 0: until a key
    uint32_t Times = 0; // 0: not given
    uint32_t Offset = 0;
    uint32_t Position = 0;
    bool RateGiven = false;
    uint32_t Rate = 0;
    uint32_t TeFunction = 0;
    bool LineCountGiven = false;
    uint32_t LineCount = 0;
    uint32_t Frames = 1;
    std::string Name;
    FloadKind Kind = FloadKind::kRaw;
};

// The frames found: the files in order (one for AVI and raw data without a number), and the
// size of one frame in bytes.
struct FloadFrames {
    std::vector<std::string> Files;
    uint64_t FrameSize = 0;
};

// The room of one frame in the load buffer: its size rounded up to whole units, so that a last
// partial unit is sent whole, padded with zeros.
inline uint64_t PaddedFrameSize(const FloadFrames& frames, uint32_t unit) {
    return (frames.FrameSize + unit - 1) / unit * unit;
}

// A register given one unit takes each frame in one burst, whatever N says.
inline bool TakesWholeFrames(const FloadRequest& request) {
    return request.Area == filecmd::FileArea::kReg && request.Length == request.Unit;
}

// Probes the file set: fills frames and may change request.Frames and request.Position.
// Returns a FileError code; on FILE_ERROR_ENTRY *badName names the file that differs.
uint32_t FindFloadFrames(FloadRequest& request, FloadFrames& frames, std::string* badName);

// Reads every frame into buffer (PaddedFrameSize x request.Frames bytes, zeroed by the caller),
// frame i at i x PaddedFrameSize. A FileError code.
uint32_t LoadFloadFrames(const FloadRequest& request, FILE* file, const FloadFrames& frames,
                         uint8_t* buffer);

// Moves the data: unit by unit from the open file, or the loaded frames (frameSize bytes apart,
// whole units) in bursts. A FileError code (a key or the end of the file ends the transfer
// without one).
uint32_t TransferUnits(const FloadRequest& request, FILE* file, uint32_t times);
uint32_t TransferBursts(const FloadRequest& request, const uint8_t* buffer, uint64_t frameSize,
                        uint32_t times);

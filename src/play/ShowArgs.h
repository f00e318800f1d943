#pragma once
// SHOW's arguments: the window or memory address, the pattern by name, the frame count and
// pacing, the picture's size and format, GRID's settings and TE polling, parsed word by word.
//
//     ShowParams params;
//     if (!ParseShowWord(params, "pat=grid")) { /* "Invalid entry" with the word */ }
#include "imaging/PatternRequest.h"

#include <cstdint>

constexpr uint32_t kShowNotGiven = 0xFFFFFFFF;

// SHOW's parameters with their defaults.
struct ShowParams {
    uint32_t Pip = 0;
    bool Memory = false;
    const char* MemoryWord = ""; // the MEM: word, for errors of the memory areas
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
    uint32_t Rate = kShowNotGiven;
    uint32_t TeFunction = kShowNotGiven;
    uint32_t LineCount = kShowNotGiven;
    int32_t Row = -1; // converter row; -1: the window's format
    uint32_t Address = kShowNotGiven;
};

// Takes one word of SHOW's arguments into params; false when the word is refused. An unknown
// pattern name keeps the pattern chosen so far. word must outlive params (MemoryWord).
bool ParseShowWord(ShowParams& params, const char* word);

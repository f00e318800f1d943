#pragma once
// Width helpers shared by the memory commands, the register commands and token access: one
// display-memory or register access of 8, 16 or 32 bits through the front API, the ASCII column
// of the memory listings, and loads and stores of 1-, 2- or 4-byte units in a buffer.
#include <cstdint>

// oxHclReadMemory16 for 2 (16 bits), oxHclReadMemory32 for 4, oxHclReadMemory8 for any other
// width (8 bits).
uint32_t ReadMemByWidth(uint32_t address, uint32_t bytes);

// oxHclWriteMemory16 with the low 16 bits for 2, oxHclWriteMemory32 with the whole value for 4,
// oxHclWriteMemory8 with the low 8 bits for any other width.
void WriteMemByWidth(uint32_t address, uint32_t value, uint32_t bytes);

// The character of one byte in the ASCII column of the memory listings: the byte itself when it
// is 32 to 126, "." otherwise.
inline char AsciiColumnChar(uint32_t byte) {
    return byte >= 32 && byte <= 126 ? static_cast<char>(byte) : '.';
}

// Prints (CAT_OUT) bytes characters (at most 4) of AsciiColumnChar, least significant byte
// first. False when the user stopped the output at the paging prompt.
bool PrintAsciiColumn(uint32_t value, uint32_t bytes);

// 16 -> oxHclWriteReg16 (low 16 bits), 32 -> oxHclWriteReg32, any other -> oxHclWriteReg8 (low 8
// bits).
void WriteRegByBits(uint32_t bits, uint32_t index, uint32_t value);

// 16 -> oxHclReadReg16, 32 -> oxHclReadReg32, any other -> oxHclReadReg8.
uint32_t ReadRegByBits(uint32_t bits, uint32_t index);

// The unsigned unit of 1, 2 or 4 bytes at pointer (native byte order, any alignment); 0 for
// any other width.
uint32_t LoadByWidth(uint32_t bytes, const void* pointer);

// Stores count units of 1, 2 or 4 bytes holding value (cut to the unit) from buffer on (any
// alignment); other widths and a count of 0 store nothing.
void FillByWidth(uint32_t bytes, void* buffer, uint32_t value, uint32_t count);

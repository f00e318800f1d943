#pragma once
// Byte and unit access to a surface's buffer for the pixel readers and writers: directly, or
// through the surface's access function when it has one, one call per store of the given width.
//
//     StoreByte(dst, offset, value);            // "WR" of 8 bits, or a plain store
//     const uint8_t v = ReadByte(src, p, 2);    // logical byte 2 of a lane-swapped pixel at p
//
// Offsets are bytes from Buffer; the access function receives Buffer's address plus the offset
// (its low 32 bits).
#include "imaging/ConvTypes.h"

#include <cstdint>

uint32_t AccessAddress(const Surface& surface, int64_t offset);
uint8_t LoadByte(const Surface& surface, int64_t offset);
void StoreByte(const Surface& surface, int64_t offset, uint8_t value);
void StoreUnit16(const Surface& surface, int64_t offset, uint16_t value);
void StoreUnit32(const Surface& surface, int64_t offset, uint32_t value);
// A byte shared with a neighbouring pixel: keeps the bits of keep, then sets bits.
void MergeByte(const Surface& surface, int64_t offset, uint8_t keep, uint8_t bits);
// Logical byte i (0-3, 0-2 for an odd p) of a lane-swapped unit at logical offset p, stored at
// (p + i) XOR 1. Another i is a programming error (assertion; reads 0, writes nothing).
uint8_t ReadByte(const Surface& surface, int64_t p, int32_t i);
void WriteByte(const Surface& surface, int64_t p, int32_t i, uint8_t value);

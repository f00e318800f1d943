#pragma once
// Temporary string pools: rings of reusable heap buffers for texts that a caller reads at once
// and never frees. A buffer handed out stays intact while at most NumStr - 1 further texts are
// taken from the same pool; the NumStr-th later request hands the same buffer out again.
//
// At most 8 pools exist at once, the default pool included. Every operation given no pool
// (nullptr) works on the default pool (24 buffers of 512 bytes, created on first use).
#include <cstdint>

struct StrPool {
    char** StrList;      // NumStr text buffers; an entry is nullptr until first needed
    uint32_t* StrSize;   // allocated size in bytes of each buffer (0 while nullptr)
    int32_t NumStr;      // number of buffers in the ring
    int32_t DefaultSize; // size given to a buffer on first use (1024 when created with 0)
    int32_t CurStr;      // index of the buffer handed out last (0 when new)
};

// Number of pool slots, and the default pool's shape.
constexpr int32_t kStrPoolSlots = 8;
constexpr int32_t kStrPoolDefaultCount = 24;
constexpr int32_t kStrPoolDefaultSize = 512;

// One-time set-up: frees every pool at program exit. Always true.
bool HelperInit();

// Makes a pool of count buffers of size bytes (0 = 1024) in the first empty slot; nullptr when
// all 8 slots are taken or the pool's tables cannot be allocated (which asserts).
StrPool* StrPoolCreate(int32_t count, int32_t size);

// The next buffer of the ring (pool nullptr = default pool), emptied.
char* NextStr(StrPool* pool);

// The next buffer of the ring with at least SizeRequired bytes, emptied. A buffer that grew for
// a large request returns to the default size at the next default-size request that lands on it.
char* NextStrSized(StrPool* pool, int32_t SizeRequired);

// The size in bytes of a buffer that the pool handed out (found by pointer identity); a pointer
// that is not one of the pool's buffers asserts and gives 0.
uint32_t StrSizeInPool(StrPool* pool, const char* text);

// Frees the pool in whichever slot holds it; nullptr does nothing.
void StrPoolFree(StrPool* pool);

// Frees every pool in the slots (runs at exit).
void StrPoolFreeAll();

// Frees the pool of one slot when there is one; the slot becomes empty.
void StrPoolFreeAt(int32_t slot);

#pragma once
// Layout of a board's state file: the board's bus window (display memory, look-up tables and
// registers in bus order, as the kernel driver maps it), the bridge's state, the kernel driver's
// counters and the bridge's reply queue. The file is mapped shared by every process that uses the
// board; fields that another process may change without the board lock (the interrupt ring, the
// interrupt count) are accessed atomically.

#include "board/BoardMap.h"
#include "board/DriverCounts.h"

#include <cstddef>
#include <cstdint>

namespace board {

inline constexpr char kStateMagic[8] = {'Q', '3', 'V', 'S', 'I', 'M', '0', '1'};
inline constexpr std::uint32_t kStateVersion = 2;
inline constexpr std::uint32_t kInterruptRing = 64;
// Room for the largest reply (a full chunk with its header and padding) several times over.
inline constexpr std::uint32_t kReplyQueueSize = 256 * 1024;

// One queued transfer in the reply queue: header, then Length bytes, then padding to 8.
struct ReplyFrame {
    std::uint32_t Length;   // bytes of the transfer
    std::uint32_t Consumed; // bytes already read (the rest is the next transfer)
};
static_assert(sizeof(ReplyFrame) == 8);

// The board's bus window: the bytes the kernel driver maps, in bus order, starting at a 64 KiB
// boundary of the file. Only the first kWindowUsed bytes are the board's; the rest is unused.
inline constexpr std::uint32_t kWindowOffset = 0;
inline constexpr std::uint32_t kWindowSize = 0x400000;
inline constexpr std::uint32_t kWindowUsed = kRegisterBase + kRegisterCount;
static_assert(kWindowOffset % 0x10000 == 0);

// What the kernel driver keeps in the board: the interrupt count every process sees, the word its
// waiters sleep on, and what tests look at (requests by control code, writes, the last interrupt
// record it was given).
struct DriverCounters {
    std::uint32_t InterruptCount; // interrupts raised (atomic)
    std::uint32_t WakeSequence;   // moves at every interrupt and wake-up; waiters sleep on it
    std::uint32_t Writes;         // interrupt waits (writes) asked of the driver
    std::uint32_t Padding;
    std::uint32_t Requests[kDriverCodeCount];
    std::uint8_t InterruptRecord[kDriverRecordSize];
};
static_assert(sizeof(DriverCounters) % 8 == 0);

struct BoardState {
    std::uint8_t Memory[kMemoryMapEnd];     // display memory, then the two look-up tables
    std::uint8_t Registers[kRegisterCount]; // at bus address kRegisterBase
    std::uint8_t Unused[kWindowSize - kWindowUsed];
    char Magic[8];
    std::uint32_t Version;
    std::uint32_t Size;
    std::uint32_t Number;
    std::uint32_t Status;
    std::uint8_t Config[4][6];
    std::uint32_t Switch[4]; // commands 15, 16, 17, 18
    std::uint32_t RequestCount[64];
    std::uint32_t PllReads; // reads of PLL_0 since the PLL was enabled
    std::uint32_t DroppedAccesses;
    std::uint32_t UnknownPackets;
    std::uint32_t InterruptHead; // next word to take (atomic)
    std::uint32_t InterruptTail; // next free slot (atomic)
    std::uint16_t Interrupts[kInterruptRing];
    std::uint32_t ReplyHead; // offset of the first queued frame
    std::uint32_t ReplyTail; // offset after the last queued frame
    std::uint32_t Reserved[9];
    DriverCounters Driver;
    std::uint8_t Replies[kReplyQueueSize];
};
static_assert(offsetof(BoardState, Memory) == kWindowOffset);
static_assert(offsetof(BoardState, Registers) == kWindowOffset + kRegisterBase);
static_assert(offsetof(BoardState, Magic) == kWindowOffset + kWindowSize);
static_assert(offsetof(BoardState, Driver) % 8 == 0);
static_assert(offsetof(BoardState, Replies) % 8 == 0);
static_assert(sizeof(BoardState) % 8 == 0);

} // namespace board

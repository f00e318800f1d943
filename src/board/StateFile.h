#pragma once
// Layout of a board's state file: the bridge's state, the controller's registers, display
// memory and look-up tables, and the bridge's reply queue. The file is mapped shared by every
// process that uses the board; fields that another process may change without the board lock
// (the interrupt ring) are accessed atomically.

#include "board/BoardMap.h"

#include <cstddef>
#include <cstdint>

namespace board {

inline constexpr char kStateMagic[8] = {'Q', '3', 'V', 'S', 'I', 'M', '0', '1'};
inline constexpr std::uint32_t kStateVersion = 1;
inline constexpr std::uint32_t kInterruptRing = 64;
// Room for the largest reply (a full chunk with its header and padding) several times over.
inline constexpr std::uint32_t kReplyQueueSize = 256 * 1024;

// One queued transfer in the reply queue: header, then Length bytes, then padding to 8.
struct ReplyFrame {
    std::uint32_t Length;   // bytes of the transfer
    std::uint32_t Consumed; // bytes already read (the rest is the next transfer)
};
static_assert(sizeof(ReplyFrame) == 8);

struct BoardState {
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
    std::uint8_t Registers[kRegisterCount];
    std::uint8_t Memory[kMemoryMapEnd]; // display memory, then the two look-up tables
    std::uint8_t Replies[kReplyQueueSize];
};
static_assert(offsetof(BoardState, Registers) % 8 == 0);
static_assert(offsetof(BoardState, Replies) % 8 == 0);
static_assert(sizeof(BoardState) % 8 == 0);

} // namespace board

#pragma once
// The process-local part of a board: its mutex, the replies held back by the late-reply fault,
// and the reply queue in the state file. Internal to the board library.

#include "board/SimBoard.h"
#include "board/StateFile.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace board {

struct HeldReply {
    std::vector<std::uint8_t> Bytes;
    std::chrono::steady_clock::time_point Since;
};

struct SimBoard::Private {
    std::mutex Mutex; // serialises this process's threads on the board
    std::vector<HeldReply> Held;
    std::vector<std::uint8_t> Reply; // scratch for building a reply
};

namespace detail {

// The reply queue in the state file. Offsets read from the file are checked before use, so a
// queue garbled by unlocked use from several processes is emptied, never overrun.
void QueueClear(BoardState& state);
bool QueuePush(BoardState& state, const std::uint8_t* data, std::uint32_t length);
std::uint32_t QueuePop(BoardState& state, std::uint8_t* data, std::uint32_t length);
std::uint32_t QueueCount(const BoardState& state);

} // namespace detail

} // namespace board

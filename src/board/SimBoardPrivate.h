#pragma once
// The process-local part of a board: the mutex that serialises this process's threads on it, the
// replies held back by the late-reply fault, and scratch room for building a reply. Internal to
// the board library.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace board {

struct HeldReply {
    std::vector<std::uint8_t> Bytes;
    std::chrono::steady_clock::time_point Since;
};

struct SimBoardPrivate {
    std::mutex Mutex; // serialises this process's threads on the board
    std::vector<HeldReply> Held;
    std::vector<std::uint8_t> Reply; // scratch for building a reply
};

} // namespace board

#pragma once
// The bridge's reply queue in the state file: transfers waiting for the bulk IN pipe, each kept
// whole so that a read returns (part of) one transfer. Offsets read from the file are checked
// before use, so a queue garbled by unlocked use from several processes is emptied, never
// overrun. Internal to the board library.

#include "board/StateFile.h"

#include <cstdint>

namespace board::detail {

void QueueClear(BoardState& state);
// Queues one transfer; false when it does not fit (the reply is lost).
bool QueuePush(BoardState& state, const std::uint8_t* data, std::uint32_t length);
// Up to length bytes of the first transfer; what is left of it stays first. 0 when empty.
std::uint32_t QueuePop(BoardState& state, std::uint8_t* data, std::uint32_t length);
std::uint32_t QueueCount(const BoardState& state);

} // namespace board::detail

#include "board/ReplyQueue.h"

#include <algorithm>
#include <cstring>

namespace board::detail {

namespace {

constexpr std::uint32_t FrameSize(std::uint32_t length) {
    return static_cast<std::uint32_t>(sizeof(ReplyFrame)) + ((length + 7) & ~7u);
}

bool Sane(const BoardState& state) {
    return state.ReplyHead <= state.ReplyTail && state.ReplyTail <= kReplyQueueSize &&
           state.ReplyHead % 8 == 0 && state.ReplyTail % 8 == 0;
}

} // namespace

void QueueClear(BoardState& state) {
    state.ReplyHead = 0;
    state.ReplyTail = 0;
}

bool QueuePush(BoardState& state, const std::uint8_t* data, std::uint32_t length) {
    if (!Sane(state)) {
        QueueClear(state);
    }
    const std::uint32_t need = FrameSize(length);
    if (need > kReplyQueueSize) {
        return false;
    }
    if (state.ReplyTail + need > kReplyQueueSize) {
        // Move what is queued to the front.
        const std::uint32_t used = state.ReplyTail - state.ReplyHead;
        std::memmove(state.Replies, state.Replies + state.ReplyHead, used);
        state.ReplyHead = 0;
        state.ReplyTail = used;
        if (used + need > kReplyQueueSize) {
            return false; // the queue is full: the reply is lost, as on an overrun bridge
        }
    }
    std::uint8_t* frame = state.Replies + state.ReplyTail;
    const ReplyFrame header{length, 0};
    std::memcpy(frame, &header, sizeof header);
    std::memcpy(frame + sizeof header, data, length);
    state.ReplyTail += need;
    return true;
}

std::uint32_t QueuePop(BoardState& state, std::uint8_t* data, std::uint32_t length) {
    if (!Sane(state)) {
        QueueClear(state);
        return 0;
    }
    if (state.ReplyHead == state.ReplyTail) {
        return 0;
    }
    std::uint8_t* frame = state.Replies + state.ReplyHead;
    ReplyFrame header;
    std::memcpy(&header, frame, sizeof header);
    const std::uint32_t room = state.ReplyTail - state.ReplyHead;
    if (header.Consumed > header.Length || FrameSize(header.Length) > room) {
        QueueClear(state);
        return 0;
    }
    const std::uint32_t n = std::min(header.Length - header.Consumed, length);
    std::memcpy(data, frame + sizeof header + header.Consumed, n);
    header.Consumed += n;
    if (header.Consumed == header.Length) {
        state.ReplyHead += FrameSize(header.Length);
        if (state.ReplyHead == state.ReplyTail) {
            QueueClear(state);
        }
    } else {
        std::memcpy(frame, &header, sizeof header);
    }
    return n;
}

std::uint32_t QueueCount(const BoardState& state) {
    if (!Sane(state)) {
        return 0;
    }
    std::uint32_t count = 0;
    std::uint32_t at = state.ReplyHead;
    while (at < state.ReplyTail) {
        ReplyFrame header;
        std::memcpy(&header, state.Replies + at, sizeof header);
        if (FrameSize(header.Length) > state.ReplyTail - at) {
            break;
        }
        at += FrameSize(header.Length);
        ++count;
    }
    return count;
}

} // namespace board::detail

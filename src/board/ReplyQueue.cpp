#include "board/SimBoardPrivate.h"

#include <algorithm>
#include <cstring>

namespace board::detail {

namespace {

constexpr std::uint32_t FrameSize(std::uint32_t i_Length) {
    return static_cast<std::uint32_t>(sizeof(ReplyFrame)) + ((i_Length + 7) & ~7u);
}

bool Sane(const BoardState& i_State) {
    return i_State.ReplyHead <= i_State.ReplyTail && i_State.ReplyTail <= kReplyQueueSize &&
           i_State.ReplyHead % 8 == 0 && i_State.ReplyTail % 8 == 0;
}

} // namespace

void QueueClear(BoardState& io_State) {
    io_State.ReplyHead = 0;
    io_State.ReplyTail = 0;
}

bool QueuePush(BoardState& io_State, const std::uint8_t* i_Data, std::uint32_t i_Length) {
    if (!Sane(io_State)) {
        QueueClear(io_State);
    }
    const std::uint32_t need = FrameSize(i_Length);
    if (need > kReplyQueueSize) {
        return false;
    }
    if (io_State.ReplyTail + need > kReplyQueueSize) {
        // Move what is queued to the front.
        const std::uint32_t used = io_State.ReplyTail - io_State.ReplyHead;
        std::memmove(io_State.Replies, io_State.Replies + io_State.ReplyHead, used);
        io_State.ReplyHead = 0;
        io_State.ReplyTail = used;
        if (used + need > kReplyQueueSize) {
            return false; // the queue is full: the reply is lost, as on an overrun bridge
        }
    }
    std::uint8_t* frame = io_State.Replies + io_State.ReplyTail;
    const ReplyFrame header{i_Length, 0};
    std::memcpy(frame, &header, sizeof header);
    std::memcpy(frame + sizeof header, i_Data, i_Length);
    io_State.ReplyTail += need;
    return true;
}

std::uint32_t QueuePop(BoardState& io_State, std::uint8_t* o_Data, std::uint32_t i_Length) {
    if (!Sane(io_State)) {
        QueueClear(io_State);
        return 0;
    }
    if (io_State.ReplyHead == io_State.ReplyTail) {
        return 0;
    }
    std::uint8_t* frame = io_State.Replies + io_State.ReplyHead;
    ReplyFrame header;
    std::memcpy(&header, frame, sizeof header);
    const std::uint32_t room = io_State.ReplyTail - io_State.ReplyHead;
    if (header.Consumed > header.Length || FrameSize(header.Length) > room) {
        QueueClear(io_State);
        return 0;
    }
    const std::uint32_t n = std::min(header.Length - header.Consumed, i_Length);
    std::memcpy(o_Data, frame + sizeof header + header.Consumed, n);
    header.Consumed += n;
    if (header.Consumed == header.Length) {
        io_State.ReplyHead += FrameSize(header.Length);
        if (io_State.ReplyHead == io_State.ReplyTail) {
            QueueClear(io_State);
        }
    } else {
        std::memcpy(frame, &header, sizeof header);
    }
    return n;
}

std::uint32_t QueueCount(const BoardState& i_State) {
    if (!Sane(i_State)) {
        return 0;
    }
    std::uint32_t count = 0;
    std::uint32_t at = i_State.ReplyHead;
    while (at < i_State.ReplyTail) {
        ReplyFrame header;
        std::memcpy(&header, i_State.Replies + at, sizeof header);
        if (FrameSize(header.Length) > i_State.ReplyTail - at) {
            break;
        }
        at += FrameSize(header.Length);
        ++count;
    }
    return count;
}

} // namespace board::detail

// The bridge's firmware: takes one packet per transfer from the bulk OUT pipe, performs it on the
// controller model or on the bridge's own state, and queues its reply for the bulk IN pipe
// before the transfer returns, so that a reply never depends on scheduling.

#include "board/ControlState.h"
#include "board/Controller.h"
#include "board/ReplyQueue.h"
#include "board/SimBoard.h"
#include "board/SimBoardPrivate.h"
#include "board/StateFile.h"

#include <algorithm>
#include <cstring>

namespace board {

namespace {

constexpr std::uint32_t kHeader = 8;      // request header: type, flags, address, port, length
constexpr std::uint32_t kReplyHeader = 4; // type, flags, length
constexpr std::uint8_t kOverlongFill = 0xEE;

std::uint32_t Le16(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t Le24(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16));
}

// The header of a read request or a write: target address, interface byte, data length.
struct Request {
    std::uint32_t Address;
    std::uint8_t Port;
    std::uint32_t Length;
};

Request ParseRequest(const std::uint8_t* packet) {
    return {Le24(packet + 2), packet[5], Le16(packet + 6)};
}

// Makes a reply of the given size, filled, with the type and the data length in its header.
void StartDataReply(std::vector<std::uint8_t>& reply, std::uint8_t type, std::uint32_t dataLength,
                    std::size_t size, std::uint8_t fill) {
    reply.assign(size, fill);
    reply[0] = type;
    reply[1] = 0;
    reply[2] = static_cast<std::uint8_t>(dataLength);
    reply[3] = static_cast<std::uint8_t>(dataLength >> 8);
}

// Logs one bulk transfer with its first bytes.
void LogTransfer(unsigned board, LogEntry::Kind what, const std::uint8_t* data,
                 std::uint32_t length, bool continued) {
    LogEntry entry;
    entry.What = what;
    entry.Board = board;
    entry.Continued = continued;
    entry.Length = length;
    entry.Bytes.assign(data, data + std::min<std::size_t>(length, kLogBytes));
    detail::Log(std::move(entry));
}

// Extra data bytes of the next read or serial reply (the overlong fault), else 0.
std::uint32_t OverlongBytes() {
    std::uint32_t extra = 0;
    if (detail::TakeFault(Fault::Overlong, &extra)) {
        return extra == 0 ? 1 : std::min<std::uint32_t>(extra, 0x100);
    }
    return 0;
}

} // namespace

void SimBoard::LogAccess(bool write, std::uint32_t address, std::uint8_t interface,
                         const std::uint8_t* data, std::uint32_t length, bool dropped) {
    LogEntry entry;
    entry.What = LogEntry::Kind::Access;
    entry.Board = m_Number;
    entry.Write = write;
    entry.Address = address;
    entry.Interface = interface;
    entry.Length = length;
    for (std::uint32_t k = 0; k < std::min<std::uint32_t>(length, 4); ++k) {
        entry.Value |= static_cast<std::uint32_t>(data[k]) << (8 * k);
    }
    entry.Dropped = dropped;
    detail::Log(std::move(entry));
}

void SimBoard::QueueReply(const std::uint8_t* data, std::uint32_t length) {
    if (detail::AnyFault()) {
        std::uint32_t arg = 0;
        if (detail::TakeFault(Fault::NoReply, &arg)) {
            return;
        }
        if (detail::TakeFault(Fault::WrongType, &arg)) {
            const std::uint8_t bogus[kReplyHeader] = {
                static_cast<std::uint8_t>(arg == 0 ? kWrongTypeDefault : arg & 63), 0, 0, 0};
            detail::QueuePush(*m_State, bogus, sizeof bogus);
        }
        if (detail::TakeFault(Fault::Late, &arg)) {
            m_Private->Held.push_back(HeldReply{std::vector<std::uint8_t>(data, data + length),
                                                std::chrono::steady_clock::now()});
            return;
        }
    }
    detail::QueuePush(*m_State, data, length);
}

std::uint32_t SimBoard::ReleaseHeldLocked(bool all) {
    const std::uint32_t delay = detail::LateDelayMs();
    const auto now = std::chrono::steady_clock::now();
    std::uint32_t released = 0;
    auto& held = m_Private->Held;
    auto it = held.begin();
    while (it != held.end()) {
        const bool due = all || (delay != 0 && now - it->Since >= std::chrono::milliseconds(delay));
        if (!due) {
            ++it;
            continue;
        }
        detail::QueuePush(*m_State, it->Bytes.data(), static_cast<std::uint32_t>(it->Bytes.size()));
        it = held.erase(it);
        ++released;
    }
    return released;
}

std::uint32_t SimBoard::ReleaseLateReplies() {
    std::lock_guard lock(m_Private->Mutex);
    return ReleaseHeldLocked(true);
}

void SimBoard::QueueDone() {
    std::uint32_t arg = 0;
    const bool fail = detail::TakeFault(Fault::Fail, &arg);
    const std::uint8_t reply[2] = {static_cast<std::uint8_t>(fail ? 11 : 3), 0};
    QueueReply(reply, sizeof reply);
}

void SimBoard::HandleRead(const std::uint8_t* packet, std::uint32_t length) {
    if (length < kHeader) {
        ++m_State->UnknownPackets;
        return;
    }
    const Request request = ParseRequest(packet);
    const std::uint32_t wanted = request.Length;
    const std::uint32_t extra = OverlongBytes();
    const std::uint32_t data = wanted + extra;
    std::vector<std::uint8_t>& reply = m_Private->Reply;
    // Data goes in 16-bit units: an odd length is padded with one byte.
    StartDataReply(reply, 1, data, kReplyHeader + data + (data & 1), 0);
    const bool inside = ControllerRead(*m_State, request.Address, request.Port,
                                       reply.data() + kReplyHeader, wanted, detail::PllLockReads());
    std::fill_n(reply.begin() + kReplyHeader + wanted, extra, kOverlongFill);
    if (detail::Logging()) {
        LogAccess(false, request.Address, request.Port, reply.data() + kReplyHeader, wanted,
                  !inside);
    }
    QueueReply(reply.data(), static_cast<std::uint32_t>(reply.size()));
}

void SimBoard::HandleWrite(const std::uint8_t* packet, std::uint32_t length) {
    if (length < kHeader) {
        ++m_State->UnknownPackets;
        return;
    }
    const Request request = ParseRequest(packet);
    const std::uint32_t count = std::min(request.Length, length - kHeader);
    const bool inside =
        ControllerWrite(*m_State, request.Address, request.Port, packet + kHeader, count);
    if (detail::Logging()) {
        LogAccess(true, request.Address, request.Port, packet + kHeader, count, !inside);
    }
}

void SimBoard::HandleSerial(const std::uint8_t* packet, std::uint32_t length) {
    if (length < kReplyHeader) {
        ++m_State->UnknownPackets;
        return;
    }
    const std::uint32_t count = Le16(packet + 2);
    if (length == count + kReplyHeader + 2) {
        return; // the serial write form (two zero bytes after the data): nothing comes back
    }
    if (length != count + kReplyHeader) {
        ++m_State->UnknownPackets;
        return;
    }
    // A transfer: the serial device's input is wired to its output, so the bytes come back.
    const std::uint32_t extra = OverlongBytes();
    const std::uint32_t data = count + extra;
    std::vector<std::uint8_t>& reply = m_Private->Reply;
    StartDataReply(reply, 20, data, kReplyHeader + data, kOverlongFill);
    std::memcpy(reply.data() + kReplyHeader, packet + kReplyHeader, count);
    QueueReply(reply.data(), static_cast<std::uint32_t>(reply.size()));
}

void SimBoard::BulkOut(const std::uint8_t* data, std::uint32_t length, bool continued) {
    std::lock_guard lock(m_Private->Mutex);
    if (!m_Private->Held.empty()) {
        ReleaseHeldLocked(false);
    }
    if (detail::Logging()) {
        LogTransfer(m_Number, LogEntry::Kind::Out, data, length, continued);
    }
    if (length == 0) {
        ++m_State->UnknownPackets;
        return;
    }
    const std::uint8_t type = data[0] & 63;
    ++m_State->RequestCount[type];
    switch (type) {
    case 0:
        HandleRead(data, length);
        break;
    case 2:
        HandleWrite(data, length);
        break;
    case 4:
        if (length < 2 + sizeof m_State->Config) {
            ++m_State->UnknownPackets;
            break;
        }
        std::memcpy(m_State->Config, data + 2, sizeof m_State->Config);
        QueueDone();
        break;
    case 5: {
        std::uint8_t reply[2 + sizeof m_State->Config] = {6, 0};
        std::memcpy(reply + 2, m_State->Config, sizeof m_State->Config);
        for (unsigned mge = 0; mge < 4; ++mge) {
            reply[2 + mge * 6 + 5] = kHwRevision;
        }
        QueueReply(reply, sizeof reply);
        break;
    }
    case 7: {
        const std::uint32_t status = m_State->Status;
        const std::uint8_t reply[6] = {8,
                                       0,
                                       static_cast<std::uint8_t>(status),
                                       static_cast<std::uint8_t>(status >> 8),
                                       static_cast<std::uint8_t>(status >> 16),
                                       static_cast<std::uint8_t>(status >> 24)};
        QueueReply(reply, sizeof reply);
        break;
    }
    case 9:
    case 10:
    case 13:
    case 14:
        QueueDone();
        break;
    case 15:
    case 16:
    case 17:
        m_State->Switch[type - 15] = length > 1 ? data[1] : 0;
        break;
    case 18:
        if (length < 4) {
            ++m_State->UnknownPackets;
            break;
        }
        m_State->Switch[3] = static_cast<std::uint32_t>(data[1]) << 16 | Le16(data + 2);
        break;
    case 19:
        HandleSerial(data, length);
        break;
    default:
        ++m_State->UnknownPackets;
        break;
    }
}

std::uint32_t SimBoard::BulkIn(std::uint8_t* data, std::uint32_t length, bool continued) {
    std::lock_guard lock(m_Private->Mutex);
    if (!m_Private->Held.empty()) {
        ReleaseHeldLocked(false);
    }
    const std::uint32_t split = detail::SplitSize();
    const std::uint32_t most = split != 0 ? std::min(split, length) : length;
    const std::uint32_t n = detail::QueuePop(*m_State, data, most);
    if (n != 0 && detail::Logging()) {
        LogTransfer(m_Number, LogEntry::Kind::In, data, n, continued);
    }
    return n;
}

} // namespace board

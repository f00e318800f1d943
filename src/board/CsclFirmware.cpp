// The bridge's firmware, its side of CSCL: takes one packet per transfer from the bulk OUT pipe,
// decodes it by its type (CsclPackets.h), performs it on the controller model or on the bridge's
// own state, and queues its reply for the bulk IN pipe before the transfer returns, so that a
// reply never depends on scheduling.

#include "board/ControlState.h"
#include "board/Controller.h"
#include "board/CsclPackets.h"
#include "board/ReplyQueue.h"
#include "board/SimBoard.h"
#include "board/SimBoardPrivate.h"
#include "board/StateFile.h"
#include "common/ByteOrder.h"

#include <algorithm>
#include <cstring>

namespace board {

namespace {

constexpr std::uint8_t kOverlongFill = 0xEE;
// Byte of each configuration row that reads back as the bridge's hardware revision.
constexpr unsigned kRevisionByte = 5;
static_assert(sizeof(BoardState::Config) == sizeof(ConfigurationPacket::Rows));

// The bytes of a fixed-size packet, to queue as a reply.
template <class Packet> const std::uint8_t* BytesOf(const Packet& packet) {
    return reinterpret_cast<const std::uint8_t*>(&packet);
}

// Makes a reply of the given size, filled, with the type and the data length in its header.
void StartDataReply(std::vector<std::uint8_t>& reply, PacketType type, std::uint32_t dataLength,
                    std::size_t size, std::uint8_t fill) {
    reply.assign(size, fill);
    EncodeDataHeader({type, 0, dataLength}, reply.data());
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
    entry.Value = LoadLe(data, std::min<std::uint32_t>(length, 4));
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
            std::uint8_t bogus[kDataHeaderSize];
            const auto type =
                static_cast<PacketType>(arg == 0 ? kWrongTypeDefault : arg & kTypeMask);
            EncodeDataHeader({type, 0, 0}, bogus);
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
    const DoneReply reply{fail ? PacketType::Fail : PacketType::Done, 0};
    QueueReply(BytesOf(reply), sizeof reply);
}

bool SimBoard::OnReadRequest(std::span<const std::uint8_t> packet) {
    const std::optional<RequestHeader> request = DecodeRequestHeader(packet);
    if (!request) {
        return false;
    }
    const std::uint32_t wanted = request->Length;
    const std::uint32_t extra = OverlongBytes();
    const std::uint32_t data = wanted + extra;
    std::vector<std::uint8_t>& reply = m_Private->Reply;
    // Data goes in 16-bit units: an odd length is padded with one byte.
    StartDataReply(reply, PacketType::ReadReply, data, kDataHeaderSize + data + (data & 1), 0);
    std::uint8_t* const replyData = reply.data() + kDataHeaderSize;
    const bool inside = ControllerRead(*m_State, request->Address, request->Interface, replyData,
                                       wanted, detail::PllLockReads());
    std::fill_n(replyData + wanted, extra, kOverlongFill);
    if (detail::Logging()) {
        LogAccess(false, request->Address, request->Interface, replyData, wanted, !inside);
    }
    QueueReply(reply.data(), static_cast<std::uint32_t>(reply.size()));
    return true;
}

bool SimBoard::OnWrite(std::span<const std::uint8_t> packet) {
    const std::optional<RequestHeader> request = DecodeRequestHeader(packet);
    if (!request) {
        return false;
    }
    const std::uint8_t* const data = packet.data() + kRequestHeaderSize;
    const std::uint32_t count = std::min<std::uint32_t>(
        request->Length, static_cast<std::uint32_t>(packet.size()) - kRequestHeaderSize);
    const bool inside =
        ControllerWrite(*m_State, request->Address, request->Interface, data, count);
    if (detail::Logging()) {
        LogAccess(true, request->Address, request->Interface, data, count, !inside);
    }
    return true;
}

bool SimBoard::OnSetConfiguration(std::span<const std::uint8_t> packet) {
    ConfigurationPacket configuration;
    if (packet.size() < sizeof configuration) {
        return false;
    }
    std::memcpy(&configuration, packet.data(), sizeof configuration);
    std::memcpy(m_State->Config, configuration.Rows, sizeof m_State->Config);
    QueueDone();
    return true;
}

void SimBoard::OnGetConfiguration() {
    ConfigurationPacket reply{PacketType::ConfigurationReply, 0, {}};
    std::memcpy(reply.Rows, m_State->Config, sizeof reply.Rows);
    for (auto& row : reply.Rows) {
        row[kRevisionByte] = kHwRevision;
    }
    QueueReply(BytesOf(reply), sizeof reply);
}

void SimBoard::OnGetStatus() {
    StatusReply reply{PacketType::StatusReply, 0, {}};
    StoreLe32(reply.Status, m_State->Status);
    QueueReply(BytesOf(reply), sizeof reply);
}

bool SimBoard::OnSwitchValue(std::span<const std::uint8_t> packet) {
    const std::optional<std::uint16_t> value = DecodeSwitchValue(packet);
    if (!value) {
        return false;
    }
    m_State->Switch[3] = static_cast<std::uint32_t>(packet[1]) << 16 | *value;
    return true;
}

bool SimBoard::OnSerialDataOut(std::span<const std::uint8_t> packet) {
    const std::optional<DataHeader> header = DecodeDataHeader(packet);
    if (!header) {
        return false;
    }
    const std::uint32_t count = header->Length;
    if (packet.size() == kDataHeaderSize + count + kSerialWriteTrailer) {
        return true; // the serial write form: nothing comes back
    }
    if (packet.size() != kDataHeaderSize + count) {
        return false;
    }
    // A transfer: the serial device's input is wired to its output, so the bytes come back.
    const std::uint32_t extra = OverlongBytes();
    const std::uint32_t data = count + extra;
    std::vector<std::uint8_t>& reply = m_Private->Reply;
    StartDataReply(reply, PacketType::SerialDataIn, data, kDataHeaderSize + data, kOverlongFill);
    std::memcpy(reply.data() + kDataHeaderSize, packet.data() + kDataHeaderSize, count);
    QueueReply(reply.data(), static_cast<std::uint32_t>(reply.size()));
    return true;
}

bool SimBoard::HandleCsclPacket(std::span<const std::uint8_t> packet) {
    const PacketType type = TypeOf(packet.data());
    switch (type) {
    case PacketType::ReadRequest:
        return OnReadRequest(packet);
    case PacketType::Write:
        return OnWrite(packet);
    case PacketType::SetConfiguration:
        return OnSetConfiguration(packet);
    case PacketType::GetConfiguration:
        OnGetConfiguration();
        return true;
    case PacketType::GetStatus:
        OnGetStatus();
        return true;
    case PacketType::Command9:
    case PacketType::Command10:
    case PacketType::Command13:
    case PacketType::Command14:
        QueueDone();
        return true;
    case PacketType::Switch15:
    case PacketType::Switch16:
    case PacketType::Switch17: {
        const auto which =
            static_cast<unsigned>(type) - static_cast<unsigned>(PacketType::Switch15);
        m_State->Switch[which] = packet.size() > 1 ? packet[1] : 0;
        return true;
    }
    case PacketType::SwitchValue18:
        return OnSwitchValue(packet);
    case PacketType::SerialDataOut:
        return OnSerialDataOut(packet);
    default:
        return false; // a reply type, or a type the firmware does not know
    }
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
    ++m_State->RequestCount[static_cast<std::uint8_t>(TypeOf(data))];
    if (!HandleCsclPacket({data, length})) {
        ++m_State->UnknownPackets;
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

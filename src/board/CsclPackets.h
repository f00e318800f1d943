#pragma once
// The CSCL packets as the bridge's firmware sees them: the packet types by name, the request
// headers it decodes and the replies it sends, with their fields. Written apart from the layer's
// own description of the wire (hcl/Cscl.h), so that the two check each other: a packet the layer
// builds wrongly is not understood here, and the other way round.
//
//     if (const auto request = DecodeRequestHeader(packet)) { // a span of the transfer
//         // request->Type, request->Address, request->Interface, request->Length
//     }
//
// Every multi-byte field is little-endian.

#include <cstdint>
#include <optional>
#include <span>

namespace board {

// Byte 0 of every packet, bits 0-5 (the firmware masks with kTypeMask). The commands whose
// meaning is the bridge's own are known by their numbers.
enum class PacketType : std::uint8_t {
    ReadRequest = 0,        // to bridge: request header, length = bytes wanted
    ReadReply = 1,          // from bridge: data header, data
    Write = 2,              // to bridge: request header, data
    Done = 3,               // from bridge: success
    SetConfiguration = 4,   // to bridge: type, flags, 4 x 6 configuration bytes
    GetConfiguration = 5,   // to bridge: type, flags
    ConfigurationReply = 6, // from bridge: type, flags, 4 x 6 configuration bytes
    GetStatus = 7,          // to bridge: type, flags
    StatusReply = 8,        // from bridge: type, flags, status word
    Command9 = 9,           // to bridge: type, flags; answered by done
    Command10 = 10,
    Fail = 11, // from bridge: failure
    Command13 = 13,
    Command14 = 14,
    Switch15 = 15, // to bridge: type, flags (0x80 on); no reply
    Switch16 = 16,
    Switch17 = 17,
    SwitchValue18 = 18, // to bridge: type, flags, 16-bit value; no reply
    SerialDataOut = 19, // to bridge: data header, data (and two zero bytes when no reply is due)
    SerialDataIn = 20,  // from bridge: data header, data
};

inline constexpr std::uint8_t kTypeMask = 63;
inline constexpr unsigned kMgeCount = 4;
inline constexpr unsigned kMgeBytes = 6;

// The type of a packet of at least one byte.
inline PacketType TypeOf(const std::uint8_t* packet) {
    return static_cast<PacketType>(packet[0] & kTypeMask);
}

// --- Requests ------------------------------------------------------------------------------

// The header of a read request or a write, as decoded: bytes 2-4 the address, byte 5 the
// interface byte (the port's access kind), bytes 6-7 the data length; the data follows.
struct RequestHeader {
    PacketType Type;
    std::uint8_t Flags;
    std::uint32_t Address; // 24 bits
    std::uint8_t Interface;
    std::uint32_t Length; // 16 bits
};
inline constexpr std::uint32_t kRequestHeaderSize = 8;
// Empty when the packet is shorter than the header.
std::optional<RequestHeader> DecodeRequestHeader(std::span<const std::uint8_t> packet);

// The header of a packet of data without an address, as decoded: bytes 2-3 the data length,
// the data from byte 4 (serial data out; the read and serial replies have the same form).
struct DataHeader {
    PacketType Type;
    std::uint8_t Flags;
    std::uint32_t Length; // 16 bits
};
inline constexpr std::uint32_t kDataHeaderSize = 4;
// Empty when the packet is shorter than the header.
std::optional<DataHeader> DecodeDataHeader(std::span<const std::uint8_t> packet);
// Writes the header's kDataHeaderSize bytes at the packet's start.
void EncodeDataHeader(const DataHeader& header, std::uint8_t* packet);

// Serial data out with two zero bytes after the data: the write form, which gets no reply.
inline constexpr std::uint32_t kSerialWriteTrailer = 2;

// The switch with a value: bytes 2-3 the value. Empty when the packet is shorter.
inline constexpr std::uint32_t kSwitchValueSize = 4;
std::optional<std::uint16_t> DecodeSwitchValue(std::span<const std::uint8_t> packet);

// --- Packets of a fixed size, as they go on the wire -----------------------------------------

// The configuration sent (SetConfiguration) and read back (ConfigurationReply).
struct ConfigurationPacket {
    PacketType Type;
    std::uint8_t Flags;
    std::uint8_t Rows[kMgeCount][kMgeBytes]; // MGE 0 first; byte 5 of a row read back: revision
};
static_assert(sizeof(ConfigurationPacket) == 26);

struct DoneReply { // Done or Fail
    PacketType Type;
    std::uint8_t Flags;
};
static_assert(sizeof(DoneReply) == 2);

struct StatusReply {
    PacketType Type;
    std::uint8_t Flags;
    std::uint8_t Status[4];
};
static_assert(sizeof(StatusReply) == 6);

} // namespace board

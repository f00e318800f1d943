#include "board/CsclPackets.h"

#include "common/ByteOrder.h"

namespace board {

std::optional<RequestHeader> DecodeRequestHeader(std::span<const std::uint8_t> packet) {
    if (packet.size() < kRequestHeaderSize) {
        return std::nullopt;
    }
    return RequestHeader{TypeOf(packet.data()), packet[1], LoadLe24(&packet[2]), packet[5],
                         LoadLe16(&packet[6])};
}

std::optional<DataHeader> DecodeDataHeader(std::span<const std::uint8_t> packet) {
    if (packet.size() < kDataHeaderSize) {
        return std::nullopt;
    }
    return DataHeader{TypeOf(packet.data()), packet[1], LoadLe16(&packet[2])};
}

void EncodeDataHeader(const DataHeader& header, std::uint8_t* packet) {
    packet[0] = static_cast<std::uint8_t>(header.Type);
    packet[1] = header.Flags;
    StoreLe16(packet + 2, static_cast<std::uint16_t>(header.Length));
}

std::optional<std::uint16_t> DecodeSwitchValue(std::span<const std::uint8_t> packet) {
    if (packet.size() < kSwitchValueSize) {
        return std::nullopt;
    }
    return LoadLe16(&packet[2]);
}

} // namespace board

// The layer's packet header (oxCsclPacket) and the bridge firmware's own decoding of it
// (board/CsclPackets.h), written apart, read the same packets the same way.

#include "CsclFixture.h"

#include "board/CsclPackets.h"

#include <cstring>

namespace cscltest {
namespace {

struct Fields {
    std::uint8_t Type;
    std::uint8_t Flags;
    std::uint32_t Address;
    std::uint8_t Interface;
    std::uint32_t Length;
    bool operator==(const Fields&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Fields& f) {
    return out << "type " << int{f.Type} << " flags " << int{f.Flags} << " address 0x" << std::hex
               << f.Address << " interface " << std::dec << int{f.Interface} << " length "
               << f.Length;
}

// The header as the layer reads it: its record over the first eight bytes.
Fields LayerFields(const Bytes& packet) {
    oxCsclPacket header;
    std::memcpy(&header, packet.data(), sizeof header);
    return {oxCsclPacketType(packet.data()), header.Flags, CsclHeaderAddress(header),
            header.Interface, CsclHeaderLength(header)};
}

// The header as the firmware reads it.
Fields BoardFields(const Bytes& packet) {
    const auto header = board::DecodeRequestHeader(packet);
    if (!header) {
        ADD_FAILURE() << "the firmware does not take the header";
        return {};
    }
    return {static_cast<std::uint8_t>(header->Type), header->Flags, header->Address,
            header->Interface, header->Length};
}

TEST(CsclPacketHeader, LayerAndFirmwareReadTheSameFields) {
    const struct {
        const char* What;
        Bytes Packet;
        Fields Expected;
    } cases[] = {
        {"16-bit register read", {0, 0, 0x40, 0x08, 0x06, 4, 2, 0}, {0, 0, 0x60840, 4, 2}},
        {"full burst chunk",
         {2, 0, 0xF0, 0xFF, 0x05, 5, 0xF0, 0xFF, 0xAA},
         {2, 0, 0x5FFF0, 5, 65520}},
        {"every bit set: the type keeps bits 0-5",
         {0xFF, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         {63, 0x80, 0xFFFFFF, 0xFF, 0xFFFF}},
        {"one byte in each field",
         {0x40, 0x01, 0x01, 0x00, 0x00, 1, 0x00, 0x01},
         {0, 1, 1, 1, 256}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LayerFields(c.Packet), c.Expected) << c.What;
        EXPECT_EQ(BoardFields(c.Packet), c.Expected) << c.What;
    }
    EXPECT_FALSE(board::DecodeRequestHeader(Bytes{0, 0, 0, 0, 0, 4, 2}).has_value())
        << "a header of seven bytes";
}

TEST(CsclPacketHeader, HeadersTheLayerBuildsDecodeOnTheFirmware) {
    const struct {
        std::uint8_t Type;
        std::uint32_t Address;
        std::uint8_t Interface;
        std::uint32_t Length;
        Fields Expected;
    } cases[] = {
        {oxCSCL_READ, 0x60824, 4, 2, {0, 0, 0x60824, 4, 2}},
        {oxCSCL_WRITE, 0x12345, 5, 65520, {2, 0, 0x12345, 5, 65520}},
        // Only the low 24 bits of the address and 16 of the length go on the wire.
        {oxCSCL_WRITE, 0xAB123456, 1, 0x10001, {2, 0, 0x123456, 1, 1}},
    };
    for (const auto& c : cases) {
        const oxCsclPacket header = CsclRequestHeader(c.Type, c.Address, c.Interface, c.Length);
        Bytes packet(sizeof header);
        std::memcpy(packet.data(), &header, sizeof header);
        EXPECT_EQ(BoardFields(packet), c.Expected) << c.Address;
        EXPECT_EQ(LayerFields(packet), c.Expected) << c.Address;
    }
}

class CsclPacketTraffic : public BridgeTest {};

// What the layer really sends, read by both: every packet is one the firmware takes, of the type
// the layer meant, and the headers of reads and writes say the same on both sides.
TEST_F(CsclPacketTraffic, EveryPacketTheLayerSendsIsReadAlikeByTheFirmware) {
    const Bytes data(65521, 0x5A);
    std::uint8_t back[4] = {};
    oxCsclRdMge(kRegisterBase + 0x40, 2, kRegisterPort);
    oxCsclWrMge(0x1234, 4, 1, 0xA1B2C3D4);
    oxCsclBurstWrMge(0x100, static_cast<std::uint32_t>(data.size()), 5, data.data());
    std::uint8_t burst[6] = {};
    oxCsclBurstRdMge(0x100, sizeof burst, 5, burst);
    oxCsclRdMgeStat();
    oxCsclRdConfigRegs();
    oxCsclCommand9();
    oxCsclSetFlag16(true);
    oxCsclSetValue18(true, 0x1234);
    oxCsclSerialWrite(3, back);
    oxCsclSerialTransfer(3, true, nullptr, back);
    const std::uint8_t expectedTypes[] = {oxCSCL_READ,       oxCSCL_WRITE,      oxCSCL_WRITE,
                                          oxCSCL_WRITE,      oxCSCL_READ,       oxCSCL_GET_STATUS,
                                          oxCSCL_GET_CONFIG, oxCSCL_COMMAND9,   oxCSCL_FLAG16,
                                          oxCSCL_VALUE18,    oxCSCL_SERIAL_OUT, oxCSCL_SERIAL_OUT};

    const auto out = OutTransfers(board::TakeLog());
    ASSERT_EQ(out.size(), std::size(expectedTypes));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Bytes& packet = out[i].Head;
        EXPECT_EQ(oxCsclPacketType(packet.data()), expectedTypes[i]) << i;
        EXPECT_EQ(static_cast<std::uint8_t>(board::TypeOf(packet.data())), expectedTypes[i]) << i;
        if (expectedTypes[i] == oxCSCL_READ || expectedTypes[i] == oxCSCL_WRITE) {
            EXPECT_EQ(BoardFields(packet), LayerFields(packet)) << i;
        }
    }
    // The burst's second chunk: one byte at the address after the first 65520.
    EXPECT_EQ(BoardFields(out[3].Head), (Fields{2, 0, 0x100 + 65520, 5, 1}));
    const auto serial = board::DecodeDataHeader(out[10].Head);
    ASSERT_TRUE(serial.has_value());
    EXPECT_EQ(serial->Length, 3u);
    EXPECT_EQ(m_Board->UnknownPackets(), 0u);
}

} // namespace
} // namespace cscltest

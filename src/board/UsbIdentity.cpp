#include "board/UsbIdentity.h"

#include "board/ControlState.h"
#include "common/ByteOrder.h"

#include <cstring>

namespace board {

namespace {

struct PipeRecord {
    std::uint16_t MaxPacketSize;
    std::uint8_t EndpointAddress;
    std::uint8_t Interval;
    std::uint32_t Type; // 0 control, 1 isochronous, 2 bulk, 3 interrupt
};

constexpr PipeRecord kPipes[kPipeCount] = {
    {512, 0x02, 0, 2},
    {512, 0x04, 0, 2},
    {512, 0x86, 0, 2},
    {64, 0x81, 1, 3},
};

constexpr std::uint32_t kRecordHeader = 16;
constexpr std::uint32_t kPipeRecordSize = 20;
constexpr std::uint32_t kMaxTransfer = 65536;

// Configuration (9 bytes), one vendor-class interface (9) and its four endpoints (7 each).
constexpr std::uint8_t kConfigDescriptor[] = {
    0x09, 0x02, 0x2E, 0x00, 0x01, 0x01, 0x00, 0x80, 0x32, // configuration, 46 bytes in all
    0x09, 0x04, 0x00, 0x00, 0x04, 0xFF, 0x00, 0x00, 0x00, // interface 0, 4 endpoints
    0x07, 0x05, 0x02, 0x02, 0x00, 0x02, 0x00,             // EP 2 OUT bulk 512
    0x07, 0x05, 0x04, 0x02, 0x00, 0x02, 0x00,             // EP 4 OUT bulk 512
    0x07, 0x05, 0x86, 0x02, 0x00, 0x02, 0x00,             // EP 6 IN bulk 512
    0x07, 0x05, 0x81, 0x03, 0x40, 0x00, 0x01,             // EP 1 IN interrupt 64
};
static_assert(sizeof(kConfigDescriptor) == 0x2E);

// A damaged descriptor: its total length claims more than there is, and a descriptor of
// length 0 follows the configuration.
constexpr std::uint8_t kBadConfigDescriptor[] = {
    0x09, 0x02, 0x40, 0x00, 0x01, 0x01, 0x00, 0x80, 0x32, 0x00,
    0x04, 0x00, 0x00, 0x04, 0xFF, 0x00, 0x00, 0x00, 0x07, 0x05,
};

bool BadDescriptors() {
    std::uint32_t arg = 0;
    return detail::TakeFault(Fault::BadDescriptors, &arg);
}

} // namespace

std::uint32_t FillPipeInfo(std::span<std::uint8_t> recordOut) {
    const std::uint32_t length = kRecordHeader + kPipeCount * kPipeRecordSize;
    if (recordOut.size() < length) {
        return 0;
    }
    std::uint8_t* record = recordOut.data();
    std::memset(record, 0, length);
    StoreLe16(record, static_cast<std::uint16_t>(length));
    record[4] = 0xFF; // vendor class
    StoreLe32(record + 8, 1);
    StoreLe32(record + 12, BadDescriptors() ? 0xFFFFFFFF : kPipeCount);
    for (std::uint32_t i = 0; i < kPipeCount; ++i) {
        std::uint8_t* pipe = record + kRecordHeader + i * kPipeRecordSize;
        StoreLe16(pipe, kPipes[i].MaxPacketSize);
        pipe[2] = kPipes[i].EndpointAddress;
        pipe[3] = kPipes[i].Interval;
        StoreLe32(pipe + 4, kPipes[i].Type);
        StoreLe32(pipe + 8, 0x100 + i); // pipe handle
        StoreLe32(pipe + 12, kMaxTransfer);
    }
    return length;
}

std::span<const std::uint8_t> ConfigDescriptor() {
    if (BadDescriptors()) {
        return kBadConfigDescriptor;
    }
    return kConfigDescriptor;
}

} // namespace board

#include "hcl/Cscl.h"

#include "common/Assert.h"
#include "common/ByteOrder.h"
#include "hcl/Services.h"
#include "hcl/UsbTransport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

// MGE state.
std::uint32_t s_Mge = 0;
std::uint32_t s_InterfaceFlags = 0;
std::uint32_t s_MemBase = 0;
std::uint32_t s_RegBase = 0;
oxCsclConfigTable s_Config = {};
std::uint8_t* s_Current = s_Config[0];

// The short header of the packets with data that have no address: {type, flags, length LE16},
// the data from byte 4 (read replies, serial data out and in).
constexpr std::uint32_t kReplyHeader = 4;

// A write of a single value: the header and up to four data bytes.
struct WritePacket {
    oxCsclPacket Header;
    std::uint8_t Data[4];
};
static_assert(sizeof(WritePacket) == sizeof(oxCsclPacket) + 4);

// The time-out of a reply wait. The clock is first read when a read finds nothing (or a packet of
// the wrong type), so a reply that is already waiting costs no clock read.
class ReplyWait {
public:
    // Whether the wait has lasted the time-out; the first call after a start begins it.
    bool TimedOut() {
        const std::uint32_t now = oxGetMsCount();
        if (!m_Started) {
            m_Started = true;
            m_Since = now;
            return false;
        }
        return now - m_Since >= oxCSCL_TIMEOUT_MS;
    }
    // Data came: the time-out counts again from the next read that finds nothing.
    void Restart() { m_Started = false; }

private:
    bool m_Started = false;
    std::uint32_t m_Since = 0;
};

// The register port is a FIFO: chunks of one burst all go to the same index.
bool IsRegisterPort(std::uint8_t interface) {
    return interface == static_cast<std::uint8_t>(s_InterfaceFlags & 0xFF);
}

// Replies that came after their request's window would be taken as the answer to the next
// request: read and drop whatever is waiting before a request that expects a reply.
void DiscardStaleReplies() {
    if (!oxUsbTransportIsOpen() || oxUsbTransportLastTransferFailed()) {
        return; // nothing to read, or the next read reports the failure anyway
    }
    std::uint8_t scratch[1024];
    for (int i = 0; i < 4096; ++i) {
        if (oxUsbTransportIn(scratch, sizeof scratch, false) == 0) {
            break;
        }
    }
}

// --- Reports of unexpected packets (the texts are the layer's own) -------------------------

void ReportRdMge(unsigned type, std::uint32_t) {
    oxAssert("oxCsclRdMge:Bogus packet received 0x%x, expected 0x%x ", type, 1u);
}
void ReportBurst(unsigned type, std::uint32_t received) {
    oxAssert("oxCsclBurstRdMge:Bogus packet received 0x%x, expected 0x%x (len rcvd %d)", type, 1u,
             static_cast<int>(received));
}
void ReportSerial(unsigned type, std::uint32_t) {
    oxAssert("Bogus packet received 0x%2x", type);
}
void ReportConfig(unsigned type) {
    oxAssert("oxCsclRdConfigRegs:Bogus packet received 0x%x, expected 0x%x", type, 6u);
}
void ReportStatus(unsigned type) {
    oxAssert("oxCsclRdMgeStat:Bogus packet received 0x%x, expected 0x%x", type, 8u);
}
void ReportDone(unsigned type) {
    oxAssert("csclWaitForDone:Bogus packet received 0x%x, expected 0x%x", type, 3u);
}

// Reads a reply of a fixed size (at most oxCSCL_SHORT_REPLY bytes) whose first byte is of type
// type (or, with acceptFail, the fail type, which is complete at its first byte). The reply
// may come in several transfers. Returns the type received, or -1 when the reply did not come
// complete within the time-out.
int ReadShortReply(std::uint8_t type, bool acceptFail, std::uint32_t size, std::uint8_t* reply,
                   void (*report)(unsigned)) {
    std::uint8_t transfer[oxCSCL_SHORT_REPLY];
    std::memset(reply, 0, size);
    std::uint32_t have = 0;
    int received = -1;
    ReplyWait wait;
    for (;;) {
        const std::uint32_t n = oxUsbTransportIn(transfer, sizeof transfer, false);
        if (n == 0) {
            if (oxUsbTransportLastTransferFailed() || wait.TimedOut()) {
                return -1;
            }
            continue;
        }
        if (received < 0) {
            const unsigned got = oxCsclPacketType(transfer);
            if (got != type && !(acceptFail && got == oxCSCL_FAIL)) {
                report(got);
                if (wait.TimedOut()) {
                    return -1;
                }
                continue;
            }
            received = static_cast<int>(got);
            if (got == oxCSCL_FAIL) {
                return received;
            }
        }
        const std::uint32_t take = std::min(n, size - have);
        std::memcpy(reply + have, transfer, take);
        have += take;
        if (have >= size) {
            return received;
        }
        wait.Restart();
    }
}

// Reads a reply with a length header ({type, -, length LE16, data}) into dataOut, at most want
// data bytes: the first transfer must begin with the type, later transfers are raw data. With
// checkLength a reply whose length (rounded down to even) differs from want's is skipped.
// Ends when want bytes were taken or nothing came for the time-out. Returns the bytes taken;
// *reportedOut receives the length the reply reported (0 when none came).
std::uint32_t ReadLengthReply(std::uint8_t type, std::uint32_t want, std::uint8_t* dataOut,
                              std::uint8_t* transfer, std::uint32_t transferSize, bool continued,
                              bool checkLength, void (*report)(unsigned, std::uint32_t),
                              std::uint32_t* reportedOut) {
    std::uint8_t header[kReplyHeader] = {};
    std::uint32_t headerHave = 0;
    bool started = false;
    std::uint32_t skip = 0; // bytes of a skipped reply still to come
    std::uint32_t taken = 0;
    *reportedOut = 0;
    ReplyWait wait;
    while (taken < want) {
        const std::uint32_t n = oxUsbTransportIn(transfer, transferSize, continued);
        if (n == 0) {
            if (oxUsbTransportLastTransferFailed() || wait.TimedOut()) {
                break;
            }
            continue;
        }
        std::uint32_t at = 0;
        if (skip != 0) {
            const std::uint32_t drop = std::min(skip, n);
            skip -= drop;
            at = drop;
            if (at == n) {
                continue;
            }
        }
        if (!started) {
            const unsigned got = oxCsclPacketType(transfer + at);
            if (got != type) {
                report(got, taken);
                if (wait.TimedOut()) {
                    break;
                }
                continue;
            }
            started = true;
            headerHave = 0;
        }
        if (headerHave < kReplyHeader) {
            const std::uint32_t part = std::min(kReplyHeader - headerHave, n - at);
            std::memcpy(header + headerHave, transfer + at, part);
            headerHave += part;
            at += part;
            if (headerHave < kReplyHeader) {
                continue;
            }
            const std::uint32_t reported = LoadLe16(header + 2);
            if (checkLength && (reported & ~1u) != (want & ~1u)) {
                // Not the reply asked for: pass over its data (sent in 16-bit units).
                const std::uint32_t data = reported + (reported & 1);
                const std::uint32_t here = std::min(data, n - at);
                skip = data - here;
                started = false;
                continue;
            }
            *reportedOut = reported;
        }
        const std::uint32_t take = std::min(n - at, want - taken);
        std::memcpy(dataOut + taken, transfer + at, take);
        taken += take;
        wait.Restart();
    }
    return taken;
}

std::uint8_t* AllocTransfer(std::uint32_t size) {
    return new (std::nothrow) std::uint8_t[size];
}

} // namespace

oxCsclPacket CsclRequestHeader(std::uint8_t type, std::uint32_t address, std::uint8_t interface,
                               std::uint32_t length) {
    oxCsclPacket header{};
    header.Type = type;
    header.Flags = 0;
    StoreLe24(header.Address, address);
    header.Interface = interface;
    StoreLe16(header.Length, static_cast<std::uint16_t>(length));
    return header;
}

std::uint32_t CsclHeaderAddress(const oxCsclPacket& header) {
    return LoadLe24(header.Address);
}

std::uint32_t CsclHeaderLength(const oxCsclPacket& header) {
    return LoadLe16(header.Length);
}

// --- MGE state --------------------------------------------------------------------------------

std::uint32_t oxCsclGetMge() {
    return s_Mge;
}
std::uint32_t oxCsclGetInterfaceFlags() {
    return s_InterfaceFlags;
}
std::uint32_t oxCsclGetMemBase() {
    return s_MemBase;
}
std::uint32_t oxCsclGetRegBase() {
    return s_RegBase;
}
const oxCsclConfigTable& oxCsclGetConfigTable() {
    return s_Config;
}

// --- Opening and configuration --------------------------------------------------------------

bool oxCsclOpen(std::uint32_t mge, std::uint32_t interfaceFlags, const std::uint8_t* bytes) {
    if (!oxUsbTransportOpen()) {
        return false;
    }
    // A bridge that does not describe its pipes or does not confirm its configuration is not
    // there to be used.
    if (!oxUsbTransportGetPipeInfo()) {
        return false;
    }
    oxCsclSetMge(mge, interfaceFlags, bytes);
    if (!oxCsclWrConfigRegs()) {
        return false;
    }
    std::printf("CSCL HW revision %d\n", oxCsclGetHwRevision());
    return true;
}

void oxCsclSetMge(std::uint32_t mge, std::uint32_t interfaceFlags, const std::uint8_t* bytes) {
    if (!Q3V_ASSERT_TEXT(mge < oxCSCL_MGE_COUNT, "oxCsclSetMge: MGE must be 0 to 3")) {
        mge = 0;
    }
    s_Mge = mge;
    s_InterfaceFlags = interfaceFlags;
    s_MemBase = 0;
    s_RegBase = 0;
    s_Current = s_Config[s_Mge];
    if (bytes != nullptr) {
        std::memcpy(s_Current, bytes, oxCSCL_MGE_BYTES);
    }
}

bool oxCsclReopen() {
    if (!oxUsbTransportClose()) {
        return false;
    }
    return oxCsclOpen(s_Mge, s_InterfaceFlags, nullptr);
}

bool oxCsclWrConfigRegs() {
    oxCsclPrintConfigRegs(s_Config);
    std::uint8_t packet[2 + sizeof s_Config] = {oxCSCL_SET_CONFIG, 0};
    std::memcpy(packet + 2, s_Config, sizeof s_Config);
    DiscardStaleReplies();
    oxUsbTransportOut(oxCSCL_SET_CONFIG, packet, sizeof packet, true);
    return csclWaitForDone(1);
}

bool oxCsclRdConfigRegs() {
    DiscardStaleReplies();
    oxUsbTransportOut(oxCSCL_GET_CONFIG, nullptr, 2, true);
    std::uint8_t reply[oxCSCL_SHORT_REPLY];
    if (ReadShortReply(oxCSCL_CONFIG_REPLY, false, sizeof reply, reply, &ReportConfig) >= 0) {
        oxCsclUnpackConfig(reply, s_Config);
    }
    return true;
}

void oxCsclPrintConfigRegs(const oxCsclConfigTable& table) {
    for (std::size_t mge = 0; mge < oxCSCL_MGE_COUNT; ++mge) {
        const std::uint8_t* row = table[mge];
        std::printf("\nCSCL:MGE %d Regs: 0x%02x 0x%02x 0x%02x 0x%02x 0x%02x 0x%02x",
                    static_cast<int>(mge), row[0], row[1], row[2], row[3], row[4], row[5]);
    }
    std::printf("\n");
}

void oxCsclPrintMge() {
    std::printf("\nMge %d Interface Flags 0x%08x Mem Addr 0x%08x Reg Addr 0x%08x",
                static_cast<int>(s_Mge), s_InterfaceFlags, s_MemBase, s_RegBase);
    oxCsclPrintConfigRegs(s_Config);
}

void oxCsclSelectMgeConfig() {
    s_Current = s_Config[s_Mge];
}

int oxCsclGetHwRevision() {
    if (!oxCsclRdConfigRegs()) {
        return -1;
    }
    return s_Current[5];
}

std::uint8_t oxCsclGetConfigByte(std::uint32_t index) {
    if (index >= oxCSCL_MGE_BYTES || !oxCsclRdConfigRegs()) {
        return 0;
    }
    return s_Current[index];
}

bool oxCsclSetConfigByte(std::uint32_t index, std::uint8_t value) {
    if (!Q3V_ASSERT_TEXT(index < oxCSCL_MGE_BYTES, "oxCsclSetConfigByte: index must be 0 to 5")) {
        return false;
    }
    oxCsclRdConfigRegs();
    s_Current[index] = value;
    return oxCsclWrConfigRegs();
}

bool oxCsclGetConfigDescriptor() {
    return GetConfigDescriptor();
}

// --- Accesses ---------------------------------------------------------------------------------

std::uint32_t oxCsclRdMge(std::uint32_t address, std::uint32_t widthIn, std::uint8_t interface) {
    const std::uint32_t width = std::min<std::uint32_t>(widthIn, 0xFFFF);
    const oxCsclPacket request = CsclRequestHeader(oxCSCL_READ, address, interface, width);
    DiscardStaleReplies();
    oxUsbTransportOut(oxCSCL_READ, &request, sizeof request, true);

    std::uint8_t small[sizeof(oxCsclPacket) + 4];
    std::uint8_t value[4] = {};
    std::unique_ptr<std::uint8_t[]> large;
    std::uint8_t* transfer = small;
    std::uint8_t* data = value;
    if (width > 4) {
        // Only 1, 2 and 4 give a value; the reply of another width is still read off the pipe.
        large.reset(AllocTransfer(2 * width + sizeof(oxCsclPacket)));
        if (!large) {
            oxAssert("Unable to allocate transfer buffer");
            return 0;
        }
        transfer = large.get();
        data = large.get() + width + sizeof(oxCsclPacket);
    }
    std::uint32_t reported = 0;
    const std::uint32_t taken =
        ReadLengthReply(oxCSCL_READ_REPLY, width, data, transfer, width + sizeof(oxCsclPacket),
                        false, false, &ReportRdMge, &reported);
    if (taken < width) {
        return 0; // no (complete) reply within the time-out
    }
    if (width != 1 && width != 2 && width != 4) {
        return 0;
    }
    return LoadLe(value, width);
}

bool oxCsclWrMge(std::uint32_t address, std::uint32_t widthIn, std::uint8_t interface,
                 std::uint32_t value) {
    const std::uint32_t width = std::min<std::uint32_t>(widthIn, 4);
    WritePacket packet{CsclRequestHeader(oxCSCL_WRITE, address, interface, width), {}};
    StoreLe(packet.Data, width, value);
    oxUsbTransportOut(oxCSCL_WRITE, &packet, sizeof(oxCsclPacket) + width, false);
    return csclWaitForDone(0);
}

bool oxCsclBurstWrMge(std::uint32_t address, std::uint32_t count, std::uint8_t interface,
                      const std::uint8_t* data) {
    if (count == 0 || data == nullptr) {
        return false;
    }
    const std::uint32_t largest = std::min(count, oxCSCL_CHUNK);
    std::unique_ptr<std::uint8_t[]> packet(AllocTransfer(largest + sizeof(oxCsclPacket)));
    if (!packet) {
        oxAssert("Unable to allocate transfer buffer");
        return false;
    }
    const bool fifo = IsRegisterPort(interface);
    std::uint32_t done = 0;
    while (done < count) {
        const std::uint32_t chunk = std::min(count - done, oxCSCL_CHUNK);
        const std::uint32_t chunkAddress = fifo ? address : address + done;
        const oxCsclPacket header = CsclRequestHeader(oxCSCL_WRITE, chunkAddress, interface, chunk);
        std::memcpy(packet.get(), &header, sizeof header);
        std::memcpy(packet.get() + sizeof(oxCsclPacket), data + done, chunk);
        done += chunk;
        oxUsbTransportOut(oxCSCL_WRITE, packet.get(), chunk + sizeof(oxCsclPacket), done < count);
    }
    return true;
}

std::uint32_t oxCsclBurstRdMge(std::uint32_t address, std::uint32_t count, std::uint8_t interface,
                               std::uint8_t* buffer) {
    if (buffer == nullptr || count == 0) {
        return 0;
    }
    const std::uint32_t largest = std::min(count, oxCSCL_CHUNK);
    const std::uint32_t transferSize = largest + kReplyHeader + 1;
    std::unique_ptr<std::uint8_t[]> transfer(AllocTransfer(transferSize));
    if (!transfer) {
        oxAssert("Unable to allocate transfer buffer");
        return 0;
    }
    const bool fifo = IsRegisterPort(interface);
    std::uint32_t total = 0;
    std::uint32_t done = 0;
    while (done < count) {
        const std::uint32_t chunk = std::min(count - done, oxCSCL_CHUNK);
        const std::uint32_t chunkAddress = fifo ? address : address + done;
        const oxCsclPacket request = CsclRequestHeader(oxCSCL_READ, chunkAddress, interface, chunk);
        DiscardStaleReplies();
        oxUsbTransportOut(oxCSCL_READ, &request, sizeof request, true);
        const bool more = done + chunk < count;
        std::uint32_t reported = 0;
        const std::uint32_t taken = ReadLengthReply(
            oxCSCL_READ_REPLY, chunk, buffer + done, transfer.get(),
            chunk + kReplyHeader + (chunk & 1), more, true, &ReportBurst, &reported);
        total += std::min(reported, taken);
        if (taken < chunk) {
            // The bridge stopped answering: what did not come reads as 0.
            std::memset(buffer + done + taken, 0, count - done - taken);
            break;
        }
        done += chunk;
    }
    return total;
}

std::uint32_t oxCsclRdMgeStat() {
    DiscardStaleReplies();
    oxUsbTransportOut(oxCSCL_GET_STATUS, nullptr, 2, true);
    std::uint8_t reply[6];
    if (ReadShortReply(oxCSCL_STATUS_REPLY, false, sizeof reply, reply, &ReportStatus) < 0) {
        return 0;
    }
    return LoadLe32(reply + 2);
}

bool csclWaitForDone(std::uint32_t wait) {
    if (wait == 0) {
        return true;
    }
    std::uint8_t reply[2];
    return ReadShortReply(oxCSCL_DONE, true, sizeof reply, reply, &ReportDone) == oxCSCL_DONE;
}

namespace {

bool Command(std::uint8_t type) {
    DiscardStaleReplies();
    oxUsbTransportOut(type, nullptr, 2, true);
    return csclWaitForDone(1);
}

std::uint32_t Switch(std::uint8_t type, bool on) {
    const std::uint8_t packet[2] = {type, static_cast<std::uint8_t>(on ? oxCSCL_FLAG_ON : 0)};
    return oxUsbTransportOut(type, packet, sizeof packet, false);
}

} // namespace

bool oxCsclCommand9() {
    return Command(oxCSCL_COMMAND9);
}
bool oxCsclCommand10() {
    return Command(oxCSCL_COMMAND10);
}
bool oxCsclCommand13() {
    return Command(oxCSCL_COMMAND13);
}
bool oxCsclCommand14() {
    return Command(oxCSCL_COMMAND14);
}
std::uint32_t oxCsclSetFlag15(bool on) {
    return Switch(oxCSCL_FLAG15, on);
}
std::uint32_t oxCsclSetFlag16(bool on) {
    return Switch(oxCSCL_FLAG16, on);
}
std::uint32_t oxCsclSetFlag17(bool on) {
    return Switch(oxCSCL_FLAG17, on);
}

std::uint32_t oxCsclSetValue18(bool on, std::uint16_t value) {
    std::uint8_t packet[4] = {oxCSCL_VALUE18, static_cast<std::uint8_t>(on ? oxCSCL_FLAG_ON : 0)};
    StoreLe16(packet + 2, value);
    return oxUsbTransportOut(oxCSCL_VALUE18, packet, sizeof packet, false);
}

bool oxCsclSerialWrite(std::uint32_t count, const std::uint8_t* data) {
    if (count == 0 || data == nullptr) {
        return false;
    }
    const std::uint32_t largest = std::min(count, oxCSCL_CHUNK);
    std::unique_ptr<std::uint8_t[]> packet(AllocTransfer(largest + kReplyHeader + 2));
    if (!packet) {
        oxAssert("Unable to allocate a transfer buffer");
        return false;
    }
    std::uint32_t done = 0;
    while (done < count) {
        const std::uint32_t chunk = std::min(count - done, oxCSCL_CHUNK);
        std::uint8_t* p = packet.get();
        p[0] = oxCSCL_SERIAL_OUT;
        p[1] = 0;
        StoreLe16(p + 2, static_cast<std::uint16_t>(chunk));
        std::memcpy(p + kReplyHeader, data + done, chunk);
        p[kReplyHeader + chunk] = 0;
        p[kReplyHeader + chunk + 1] = 0;
        oxUsbTransportOut(oxCSCL_SERIAL_OUT, p, chunk + kReplyHeader + 2, false);
        done += chunk;
    }
    return true;
}

bool oxCsclSerialTransfer(std::uint32_t count, bool last, const std::uint8_t* data,
                          std::uint8_t* result) {
    if (count == 0 || result == nullptr) {
        return false;
    }
    // The data goes out last byte first; the bytes received are stored back in reverse.
    std::unique_ptr<std::uint8_t[]> reversed(AllocTransfer(count));
    std::unique_ptr<std::uint8_t[]> received(AllocTransfer(count));
    std::unique_ptr<std::uint8_t[]> packet(AllocTransfer(oxCSCL_SERIAL_CHUNK + kReplyHeader));
    if (!reversed || !received || !packet) {
        oxAssert("CSCL: Unable to allocate transfer buffer");
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        reversed[i] = data != nullptr ? data[count - 1 - i] : 0x31;
    }
    std::memset(received.get(), 0, count);
    std::uint32_t done = 0;
    while (done < count) {
        const std::uint32_t chunk = std::min(count - done, oxCSCL_SERIAL_CHUNK);
        const bool lastChunk = done + chunk == count;
        std::uint8_t* p = packet.get();
        p[0] = oxCSCL_SERIAL_OUT;
        p[1] = static_cast<std::uint8_t>(lastChunk && last ? oxCSCL_FLAG_ON : 0);
        StoreLe16(p + 2, static_cast<std::uint16_t>(chunk));
        std::memcpy(p + kReplyHeader, reversed.get() + done, chunk);
        DiscardStaleReplies();
        oxUsbTransportOut(oxCSCL_SERIAL_OUT, p, chunk + kReplyHeader, true);
        oxCsclSerialRead(chunk, received.get() + done);
        done += chunk;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        result[i] = received[count - 1 - i];
    }
    return true;
}

std::uint32_t oxCsclSerialRead(std::uint32_t count, std::uint8_t* buffer) {
    if (count == 0 || buffer == nullptr) {
        return 0;
    }
    const std::uint32_t transferSize = count + (count & 1) + kReplyHeader;
    std::unique_ptr<std::uint8_t[]> transfer(AllocTransfer(transferSize));
    if (!transfer) {
        oxAssert("Unable to re allocate transfer buffer");
        return 0;
    }
    std::uint32_t reported = 0;
    const std::uint32_t taken =
        ReadLengthReply(oxCSCL_SERIAL_IN, count, buffer, transfer.get(), transferSize, false, false,
                        &ReportSerial, &reported);
    return std::min(reported, taken);
}

bool oxCsclRdInterrupt(std::uint16_t* word) {
    return oxUsbTransportReadInterruptWord(word);
}

bool oxCsclOpenInterrupt() {
    return oxUsbTransportOpenInterrupt();
}
bool oxCsclCloseInterrupt() {
    return oxUsbTransportCloseInterrupt();
}

std::uint8_t oxCsclPacketType(const std::uint8_t* packet) {
    return packet[0] & 63;
}

void oxCsclUnpackConfig(const std::uint8_t* packet, oxCsclConfigTable& table) {
    if (oxCsclPacketType(packet) == oxCSCL_CONFIG_REPLY) {
        std::memcpy(table, packet + 2, sizeof table);
    }
}

bool oxCsclLog(const char* text) {
    std::FILE* file = std::fopen("cscl.log", "a");
    if (file == nullptr) {
        return false;
    }
    if (text != nullptr) {
        std::fputs(text, file); // the text as it is, never as a format
    }
    std::fclose(file);
    return true;
}

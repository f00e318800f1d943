#include "hcl/Cscl.h"

#include "common/Assert.h"
#include "hcl/Services.h"
#include "hcl/UsbTransport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

// MGE state.
std::uint32_t g_Mge = 0;
std::uint32_t g_InterfaceFlags = 0;
std::uint32_t g_MemBase = 0;
std::uint32_t g_RegBase = 0;
oxCsclConfigTable g_Config = {};
std::uint8_t* g_Current = g_Config[0];

constexpr std::uint32_t kReplyHeader = 4;

void Put16(std::uint8_t* o_Bytes, std::uint32_t i_Value) {
    o_Bytes[0] = static_cast<std::uint8_t>(i_Value);
    o_Bytes[1] = static_cast<std::uint8_t>(i_Value >> 8);
}

std::uint32_t Le16(const std::uint8_t* i_Bytes) {
    return static_cast<std::uint32_t>(i_Bytes[0] | (i_Bytes[1] << 8));
}

void FillHeader(std::uint8_t* o_Packet, std::uint8_t i_Type, std::uint32_t i_Address,
                std::uint8_t i_Interface, std::uint32_t i_Length) {
    o_Packet[0] = i_Type;
    o_Packet[1] = 0;
    o_Packet[2] = static_cast<std::uint8_t>(i_Address);
    o_Packet[3] = static_cast<std::uint8_t>(i_Address >> 8);
    o_Packet[4] = static_cast<std::uint8_t>(i_Address >> 16);
    o_Packet[5] = i_Interface;
    Put16(o_Packet + 6, i_Length);
}

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
bool IsRegisterPort(std::uint8_t i_Interface) {
    return i_Interface == static_cast<std::uint8_t>(g_InterfaceFlags & 0xFF);
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

void ReportRdMge(unsigned i_Type, std::uint32_t) {
    oxAssert("oxCsclRdMge:Bogus packet received 0x%x, expected 0x%x ", i_Type, 1u);
}
void ReportBurst(unsigned i_Type, std::uint32_t i_Received) {
    oxAssert("oxCsclBurstRdMge:Bogus packet received 0x%x, expected 0x%x (len rcvd %d)", i_Type, 1u,
             static_cast<int>(i_Received));
}
void ReportSerial(unsigned i_Type, std::uint32_t) {
    oxAssert("Bogus packet received 0x%2x", i_Type);
}
void ReportConfig(unsigned i_Type) {
    oxAssert("oxCsclRdConfigRegs:Bogus packet received 0x%x, expected 0x%x", i_Type, 6u);
}
void ReportStatus(unsigned i_Type) {
    oxAssert("oxCsclRdMgeStat:Bogus packet received 0x%x, expected 0x%x", i_Type, 8u);
}
void ReportDone(unsigned i_Type) {
    oxAssert("csclWaitForDone:Bogus packet received 0x%x, expected 0x%x", i_Type, 3u);
}

// Reads a reply of a fixed size (at most oxCSCL_SHORT_REPLY bytes) whose first byte is of type
// i_Type (or, with i_AcceptFail, the fail type, which is complete at its first byte). The reply
// may come in several transfers. Returns the type received, or -1 when the reply did not come
// complete within the time-out.
int ReadShortReply(std::uint8_t i_Type, bool i_AcceptFail, std::uint32_t i_Size,
                   std::uint8_t* o_Reply, void (*i_Report)(unsigned)) {
    std::uint8_t transfer[oxCSCL_SHORT_REPLY];
    std::memset(o_Reply, 0, i_Size);
    std::uint32_t have = 0;
    int type = -1;
    ReplyWait wait;
    for (;;) {
        const std::uint32_t n = oxUsbTransportIn(transfer, sizeof transfer, false);
        if (n == 0) {
            if (oxUsbTransportLastTransferFailed() || wait.TimedOut()) {
                return -1;
            }
            continue;
        }
        if (type < 0) {
            const unsigned got = oxCsclPacketType(transfer);
            if (got != i_Type && !(i_AcceptFail && got == oxCSCL_FAIL)) {
                i_Report(got);
                if (wait.TimedOut()) {
                    return -1;
                }
                continue;
            }
            type = static_cast<int>(got);
            if (got == oxCSCL_FAIL) {
                return type;
            }
        }
        const std::uint32_t take = std::min(n, i_Size - have);
        std::memcpy(o_Reply + have, transfer, take);
        have += take;
        if (have >= i_Size) {
            return type;
        }
        wait.Restart();
    }
}

// Reads a reply with a length header ({type, -, length LE16, data}) into o_Data, at most i_Want
// data bytes: the first transfer must begin with the type, later transfers are raw data. With
// i_CheckLength a reply whose length (rounded down to even) differs from i_Want's is skipped.
// Ends when i_Want bytes were taken or nothing came for the time-out. Returns the bytes taken;
// *o_Reported receives the length the reply reported (0 when none came).
std::uint32_t ReadLengthReply(std::uint8_t i_Type, std::uint32_t i_Want, std::uint8_t* o_Data,
                              std::uint8_t* io_Transfer, std::uint32_t i_TransferSize,
                              bool i_Continued, bool i_CheckLength,
                              void (*i_Report)(unsigned, std::uint32_t),
                              std::uint32_t* o_Reported) {
    std::uint8_t header[kReplyHeader] = {};
    std::uint32_t headerHave = 0;
    bool started = false;
    std::uint32_t skip = 0; // bytes of a skipped reply still to come
    std::uint32_t taken = 0;
    *o_Reported = 0;
    ReplyWait wait;
    while (taken < i_Want) {
        const std::uint32_t n = oxUsbTransportIn(io_Transfer, i_TransferSize, i_Continued);
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
            const unsigned got = oxCsclPacketType(io_Transfer + at);
            if (got != i_Type) {
                i_Report(got, taken);
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
            std::memcpy(header + headerHave, io_Transfer + at, part);
            headerHave += part;
            at += part;
            if (headerHave < kReplyHeader) {
                continue;
            }
            const std::uint32_t reported = Le16(header + 2);
            if (i_CheckLength && (reported & ~1u) != (i_Want & ~1u)) {
                // Not the reply asked for: pass over its data (sent in 16-bit units).
                const std::uint32_t data = reported + (reported & 1);
                const std::uint32_t here = std::min(data, n - at);
                skip = data - here;
                started = false;
                continue;
            }
            *o_Reported = reported;
        }
        const std::uint32_t take = std::min(n - at, i_Want - taken);
        std::memcpy(o_Data + taken, io_Transfer + at, take);
        taken += take;
        wait.Restart();
    }
    return taken;
}

std::uint8_t* AllocTransfer(std::uint32_t i_Size) {
    return new (std::nothrow) std::uint8_t[i_Size];
}

} // namespace

// --- MGE state --------------------------------------------------------------------------------

std::uint32_t oxCsclGetMge() {
    return g_Mge;
}
std::uint32_t oxCsclGetInterfaceFlags() {
    return g_InterfaceFlags;
}
std::uint32_t oxCsclGetMemBase() {
    return g_MemBase;
}
std::uint32_t oxCsclGetRegBase() {
    return g_RegBase;
}
const oxCsclConfigTable& oxCsclGetConfigTable() {
    return g_Config;
}

// --- Opening and configuration --------------------------------------------------------------

bool oxCsclOpen(std::uint32_t i_Mge, std::uint32_t i_InterfaceFlags, const std::uint8_t* i_Bytes) {
    if (!oxUsbTransportOpen()) {
        return false;
    }
    // A bridge that does not describe its pipes or does not confirm its configuration is not
    // there to be used.
    if (!oxUsbTransportGetPipeInfo()) {
        return false;
    }
    oxCsclSetMge(i_Mge, i_InterfaceFlags, i_Bytes);
    if (!oxCsclWrConfigRegs()) {
        return false;
    }
    std::printf("CSCL HW revision %d\n", oxCsclGetHwRevision());
    return true;
}

void oxCsclSetMge(std::uint32_t i_Mge, std::uint32_t i_InterfaceFlags,
                  const std::uint8_t* i_Bytes) {
    if (!Q3V_ASSERT_TEXT(i_Mge < oxCSCL_MGE_COUNT, "oxCsclSetMge: MGE must be 0 to 3")) {
        i_Mge = 0;
    }
    g_Mge = i_Mge;
    g_InterfaceFlags = i_InterfaceFlags;
    g_MemBase = 0;
    g_RegBase = 0;
    g_Current = g_Config[g_Mge];
    if (i_Bytes != nullptr) {
        std::memcpy(g_Current, i_Bytes, oxCSCL_MGE_BYTES);
    }
}

bool oxCsclReopen() {
    if (!oxUsbTransportClose()) {
        return false;
    }
    return oxCsclOpen(g_Mge, g_InterfaceFlags, nullptr);
}

bool oxCsclWrConfigRegs() {
    oxCsclPrintConfigRegs(g_Config);
    std::uint8_t packet[2 + sizeof g_Config] = {oxCSCL_SET_CONFIG, 0};
    std::memcpy(packet + 2, g_Config, sizeof g_Config);
    DiscardStaleReplies();
    oxUsbTransportOut(oxCSCL_SET_CONFIG, packet, sizeof packet, true);
    return csclWaitForDone(1);
}

bool oxCsclRdConfigRegs() {
    DiscardStaleReplies();
    oxUsbTransportOut(oxCSCL_GET_CONFIG, nullptr, 2, true);
    std::uint8_t reply[oxCSCL_SHORT_REPLY];
    if (ReadShortReply(oxCSCL_CONFIG_REPLY, false, sizeof reply, reply, &ReportConfig) >= 0) {
        oxCsclUnpackConfig(reply, g_Config);
    }
    return true;
}

void oxCsclPrintConfigRegs(const oxCsclConfigTable& i_Table) {
    for (std::size_t mge = 0; mge < oxCSCL_MGE_COUNT; ++mge) {
        const std::uint8_t* row = i_Table[mge];
        std::printf("\nCSCL:MGE %d Regs: 0x%02x 0x%02x 0x%02x 0x%02x 0x%02x 0x%02x",
                    static_cast<int>(mge), row[0], row[1], row[2], row[3], row[4], row[5]);
    }
    std::printf("\n");
}

void oxCsclPrintMge() {
    std::printf("\nMge %d Interface Flags 0x%08x Mem Addr 0x%08x Reg Addr 0x%08x",
                static_cast<int>(g_Mge), g_InterfaceFlags, g_MemBase, g_RegBase);
    oxCsclPrintConfigRegs(g_Config);
}

void oxCsclSelectMgeConfig() {
    g_Current = g_Config[g_Mge];
}

int oxCsclGetHwRevision() {
    if (!oxCsclRdConfigRegs()) {
        return -1;
    }
    return g_Current[5];
}

std::uint8_t oxCsclGetConfigByte(std::uint32_t i_Index) {
    if (i_Index >= oxCSCL_MGE_BYTES || !oxCsclRdConfigRegs()) {
        return 0;
    }
    return g_Current[i_Index];
}

bool oxCsclSetConfigByte(std::uint32_t i_Index, std::uint8_t i_Value) {
    if (!Q3V_ASSERT_TEXT(i_Index < oxCSCL_MGE_BYTES, "oxCsclSetConfigByte: index must be 0 to 5")) {
        return false;
    }
    oxCsclRdConfigRegs();
    g_Current[i_Index] = i_Value;
    return oxCsclWrConfigRegs();
}

bool oxCsclGetConfigDescriptor() {
    return GetConfigDescriptor();
}

// --- Accesses ---------------------------------------------------------------------------------

std::uint32_t oxCsclRdMge(std::uint32_t i_Address, std::uint32_t i_Width,
                          std::uint8_t i_Interface) {
    const std::uint32_t width = std::min<std::uint32_t>(i_Width, 0xFFFF);
    std::uint8_t request[sizeof(oxCsclPacket)];
    FillHeader(request, oxCSCL_READ, i_Address, i_Interface, width);
    DiscardStaleReplies();
    oxUsbTransportOut(oxCSCL_READ, request, sizeof request, true);

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
    switch (width) {
    case 1:
        return value[0];
    case 2:
        return Le16(value);
    case 4:
        return Le16(value) | Le16(value + 2) << 16;
    default:
        return 0;
    }
}

bool oxCsclWrMge(std::uint32_t i_Address, std::uint32_t i_Width, std::uint8_t i_Interface,
                 std::uint32_t i_Value) {
    const std::uint32_t width = std::min<std::uint32_t>(i_Width, 4);
    std::uint8_t packet[sizeof(oxCsclPacket) + 4] = {};
    FillHeader(packet, oxCSCL_WRITE, i_Address, i_Interface, width);
    for (std::uint32_t k = 0; k < width; ++k) {
        packet[sizeof(oxCsclPacket) + k] = static_cast<std::uint8_t>(i_Value >> (8 * k));
    }
    oxUsbTransportOut(oxCSCL_WRITE, packet, sizeof(oxCsclPacket) + width, false);
    return csclWaitForDone(0);
}

bool oxCsclBurstWrMge(std::uint32_t i_Address, std::uint32_t i_Count, std::uint8_t i_Interface,
                      const std::uint8_t* i_Data) {
    if (i_Count == 0 || i_Data == nullptr) {
        return false;
    }
    const std::uint32_t largest = std::min(i_Count, oxCSCL_CHUNK);
    std::unique_ptr<std::uint8_t[]> packet(AllocTransfer(largest + sizeof(oxCsclPacket)));
    if (!packet) {
        oxAssert("Unable to allocate transfer buffer");
        return false;
    }
    const bool fifo = IsRegisterPort(i_Interface);
    std::uint32_t done = 0;
    while (done < i_Count) {
        const std::uint32_t chunk = std::min(i_Count - done, oxCSCL_CHUNK);
        const std::uint32_t address = fifo ? i_Address : i_Address + done;
        FillHeader(packet.get(), oxCSCL_WRITE, address, i_Interface, chunk);
        std::memcpy(packet.get() + sizeof(oxCsclPacket), i_Data + done, chunk);
        done += chunk;
        oxUsbTransportOut(oxCSCL_WRITE, packet.get(), chunk + sizeof(oxCsclPacket), done < i_Count);
    }
    return true;
}

std::uint32_t oxCsclBurstRdMge(std::uint32_t i_Address, std::uint32_t i_Count,
                               std::uint8_t i_Interface, std::uint8_t* o_Buffer) {
    if (o_Buffer == nullptr || i_Count == 0) {
        return 0;
    }
    const std::uint32_t largest = std::min(i_Count, oxCSCL_CHUNK);
    const std::uint32_t transferSize = largest + kReplyHeader + 1;
    std::unique_ptr<std::uint8_t[]> transfer(AllocTransfer(transferSize));
    if (!transfer) {
        oxAssert("Unable to allocate transfer buffer");
        return 0;
    }
    const bool fifo = IsRegisterPort(i_Interface);
    std::uint32_t total = 0;
    std::uint32_t done = 0;
    while (done < i_Count) {
        const std::uint32_t chunk = std::min(i_Count - done, oxCSCL_CHUNK);
        const std::uint32_t address = fifo ? i_Address : i_Address + done;
        std::uint8_t request[sizeof(oxCsclPacket)];
        FillHeader(request, oxCSCL_READ, address, i_Interface, chunk);
        DiscardStaleReplies();
        oxUsbTransportOut(oxCSCL_READ, request, sizeof request, true);
        const bool more = done + chunk < i_Count;
        std::uint32_t reported = 0;
        const std::uint32_t taken = ReadLengthReply(
            oxCSCL_READ_REPLY, chunk, o_Buffer + done, transfer.get(),
            chunk + kReplyHeader + (chunk & 1), more, true, &ReportBurst, &reported);
        total += std::min(reported, taken);
        if (taken < chunk) {
            // The bridge stopped answering: what did not come reads as 0.
            std::memset(o_Buffer + done + taken, 0, i_Count - done - taken);
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
    return Le16(reply + 2) | Le16(reply + 4) << 16;
}

bool csclWaitForDone(std::uint32_t i_Wait) {
    if (i_Wait == 0) {
        return true;
    }
    std::uint8_t reply[2];
    return ReadShortReply(oxCSCL_DONE, true, sizeof reply, reply, &ReportDone) == oxCSCL_DONE;
}

namespace {

bool Command(std::uint8_t i_Type) {
    DiscardStaleReplies();
    oxUsbTransportOut(i_Type, nullptr, 2, true);
    return csclWaitForDone(1);
}

std::uint32_t Switch(std::uint8_t i_Type, bool i_On) {
    const std::uint8_t packet[2] = {i_Type, static_cast<std::uint8_t>(i_On ? oxCSCL_FLAG_ON : 0)};
    return oxUsbTransportOut(i_Type, packet, sizeof packet, false);
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
std::uint32_t oxCsclSetFlag15(bool i_On) {
    return Switch(oxCSCL_FLAG15, i_On);
}
std::uint32_t oxCsclSetFlag16(bool i_On) {
    return Switch(oxCSCL_FLAG16, i_On);
}
std::uint32_t oxCsclSetFlag17(bool i_On) {
    return Switch(oxCSCL_FLAG17, i_On);
}

std::uint32_t oxCsclSetValue18(bool i_On, std::uint16_t i_Value) {
    const std::uint8_t packet[4] = {
        oxCSCL_VALUE18, static_cast<std::uint8_t>(i_On ? oxCSCL_FLAG_ON : 0),
        static_cast<std::uint8_t>(i_Value), static_cast<std::uint8_t>(i_Value >> 8)};
    return oxUsbTransportOut(oxCSCL_VALUE18, packet, sizeof packet, false);
}

bool oxCsclSerialWrite(std::uint32_t i_Count, const std::uint8_t* i_Data) {
    if (i_Count == 0 || i_Data == nullptr) {
        return false;
    }
    const std::uint32_t largest = std::min(i_Count, oxCSCL_CHUNK);
    std::unique_ptr<std::uint8_t[]> packet(AllocTransfer(largest + kReplyHeader + 2));
    if (!packet) {
        oxAssert("Unable to allocate a transfer buffer");
        return false;
    }
    std::uint32_t done = 0;
    while (done < i_Count) {
        const std::uint32_t chunk = std::min(i_Count - done, oxCSCL_CHUNK);
        std::uint8_t* p = packet.get();
        p[0] = oxCSCL_SERIAL_OUT;
        p[1] = 0;
        Put16(p + 2, chunk);
        std::memcpy(p + kReplyHeader, i_Data + done, chunk);
        p[kReplyHeader + chunk] = 0;
        p[kReplyHeader + chunk + 1] = 0;
        oxUsbTransportOut(oxCSCL_SERIAL_OUT, p, chunk + kReplyHeader + 2, false);
        done += chunk;
    }
    return true;
}

bool oxCsclSerialTransfer(std::uint32_t i_Count, bool i_Last, const std::uint8_t* i_Data,
                          std::uint8_t* o_Result) {
    if (i_Count == 0 || o_Result == nullptr) {
        return false;
    }
    // The data goes out last byte first; the bytes received are stored back in reverse.
    std::unique_ptr<std::uint8_t[]> reversed(AllocTransfer(i_Count));
    std::unique_ptr<std::uint8_t[]> received(AllocTransfer(i_Count));
    std::unique_ptr<std::uint8_t[]> packet(AllocTransfer(oxCSCL_SERIAL_CHUNK + kReplyHeader));
    if (!reversed || !received || !packet) {
        oxAssert("CSCL: Unable to allocate transfer buffer");
        return false;
    }
    for (std::uint32_t i = 0; i < i_Count; ++i) {
        reversed[i] = i_Data != nullptr ? i_Data[i_Count - 1 - i] : 0x31;
    }
    std::memset(received.get(), 0, i_Count);
    std::uint32_t done = 0;
    while (done < i_Count) {
        const std::uint32_t chunk = std::min(i_Count - done, oxCSCL_SERIAL_CHUNK);
        const bool last = done + chunk == i_Count;
        std::uint8_t* p = packet.get();
        p[0] = oxCSCL_SERIAL_OUT;
        p[1] = static_cast<std::uint8_t>(last && i_Last ? oxCSCL_FLAG_ON : 0);
        Put16(p + 2, chunk);
        std::memcpy(p + kReplyHeader, reversed.get() + done, chunk);
        DiscardStaleReplies();
        oxUsbTransportOut(oxCSCL_SERIAL_OUT, p, chunk + kReplyHeader, true);
        oxCsclSerialRead(chunk, received.get() + done);
        done += chunk;
    }
    for (std::uint32_t i = 0; i < i_Count; ++i) {
        o_Result[i] = received[i_Count - 1 - i];
    }
    return true;
}

std::uint32_t oxCsclSerialRead(std::uint32_t i_Count, std::uint8_t* o_Buffer) {
    if (i_Count == 0 || o_Buffer == nullptr) {
        return 0;
    }
    const std::uint32_t transferSize = i_Count + (i_Count & 1) + kReplyHeader;
    std::unique_ptr<std::uint8_t[]> transfer(AllocTransfer(transferSize));
    if (!transfer) {
        oxAssert("Unable to re allocate transfer buffer");
        return 0;
    }
    std::uint32_t reported = 0;
    const std::uint32_t taken =
        ReadLengthReply(oxCSCL_SERIAL_IN, i_Count, o_Buffer, transfer.get(), transferSize, false,
                        false, &ReportSerial, &reported);
    return std::min(reported, taken);
}

bool oxCsclRdInterrupt(std::uint16_t* o_Word) {
    std::uint8_t bytes[2] = {};
    const bool ok = oxUsbTransportInterruptIn(bytes, sizeof bytes);
    if (o_Word != nullptr) {
        *o_Word = ok ? static_cast<std::uint16_t>(Le16(bytes)) : 0;
    }
    return ok;
}

bool oxCsclOpenInterrupt() {
    return oxUsbTransportOpenInterrupt();
}
bool oxCsclCloseInterrupt() {
    return oxUsbTransportCloseInterrupt();
}

std::uint8_t oxCsclPacketType(const std::uint8_t* i_Packet) {
    return i_Packet[0] & 63;
}

void oxCsclUnpackConfig(const std::uint8_t* i_Packet, oxCsclConfigTable& o_Table) {
    if (oxCsclPacketType(i_Packet) == oxCSCL_CONFIG_REPLY) {
        std::memcpy(o_Table, i_Packet + 2, sizeof o_Table);
    }
}

bool oxCsclLog(const char* i_Text) {
    std::FILE* file = std::fopen("cscl.log", "a");
    if (file == nullptr) {
        return false;
    }
    if (i_Text != nullptr) {
        std::fputs(i_Text, file); // the text as it is, never as a format
    }
    std::fclose(file);
    return true;
}

// The 38 interface-table operations over the USB bridge (CSCL exchanges under the board lock).
#include "hcl/UsbInterface.h"

#include "hcl/Cscl.h"
#include "hcl/HclData.h"
#include "hcl/HclInitList.h"
#include "hcl/HclInterface.h"
#include "hcl/Services.h"
#include "hcl/UsbTransport.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Acquired state of this implementation: 255 acquired, 0 not.
std::uint32_t s_Acquired = 0;
// The MGE 0 configuration bytes taken from the configuration block at acquisition.
std::uint8_t s_MgeConfig[6] = {};

// Holds the board lock for one exchange (or a read-modify-write sequence).
class LockedExchange {
public:
    LockedExchange() { oxLockBoard(1); }
    ~LockedExchange() { oxLockBoard(0); }
    LockedExchange(const LockedExchange&) = delete;
    LockedExchange& operator=(const LockedExchange&) = delete;
};

// Bridge address of a register index: indices below 252 lie at offset 0x60800 on the register
// port; 252 and above reach the bridge without the offset.
std::uint32_t RegAddress(std::uint32_t index) {
    std::uint32_t address = oxCsclGetRegBase() + index;
    if (index < oxUSB_REG_NO_OFFSET_FROM) {
        address += oxUSB_REG_OFFSET;
    }
    return address;
}

// The register port's interface byte: the low byte of the current MGE's interface flags.
std::uint8_t RegInterface() {
    return static_cast<std::uint8_t>(oxCsclGetInterfaceFlags() & 0xFF);
}

// Reports a misuse the way every operation of this interface reports one; the access then goes
// on (a register access) or ends (raw access), as the caller decides.
bool ReportedMisuse(oxUsbCheckedAccess access, std::uint32_t index) {
    const char* text = oxUsbMisuseText(access, index);
    if (text != nullptr) {
        oxAssert("%s", text);
    }
    return text != nullptr;
}

std::uint32_t MemAddress(std::uint32_t address) {
    return oxCsclGetMemBase() + address;
}

// Reads 1, 2 or 4 bytes at a bridge address under the lock.
std::uint32_t ReadAt(std::uint32_t address, std::uint32_t width, std::uint8_t interface) {
    LockedExchange lock;
    return oxCsclRdMge(address, width, interface);
}

// Writes 1, 2 or 4 bytes at a bridge address under the lock; a failed write is reported with the
// operation's name (after the lock is released, as the report may wait for an answer).
void WriteAt(std::uint32_t address, std::uint32_t width, std::uint8_t interface,
             std::uint32_t value, const char* name) {
    bool ok;
    {
        LockedExchange lock;
        ok = oxCsclWrMge(address, width, interface, value);
    }
    if (!ok) {
        oxAssert("%s() CSCL Error", name);
    }
}

// The CSCL burst calls count bytes in 32 bits; a transfer larger than that goes in pieces, each a
// whole number of CSCL chunks so that the packets on the wire stay the same. On the register port
// every piece goes to the same index (the port streams through one register, fifo); in memory
// the address advances.
constexpr std::uint64_t kBurstPiece = std::uint64_t{oxCSCL_CHUNK} * 65536;

std::uint32_t PieceAddress(std::uint32_t address, bool fifo, std::uint64_t done) {
    return fifo ? address : address + static_cast<std::uint32_t>(done);
}

std::uint64_t BurstRead(std::uint32_t address, std::uint8_t interface, bool fifo,
                        std::uint8_t* buffer, std::uint64_t bytes) {
    std::uint64_t received = 0;
    for (std::uint64_t done = 0; done < bytes;) {
        const auto piece = static_cast<std::uint32_t>(std::min(bytes - done, kBurstPiece));
        received +=
            oxCsclBurstRdMge(PieceAddress(address, fifo, done), piece, interface, buffer + done);
        done += piece;
    }
    return received;
}

bool BurstWrite(std::uint32_t address, std::uint8_t interface, bool fifo, const std::uint8_t* data,
                std::uint64_t bytes) {
    bool ok = true;
    for (std::uint64_t done = 0; done < bytes;) {
        const auto piece = static_cast<std::uint32_t>(std::min(bytes - done, kBurstPiece));
        ok = oxCsclBurstWrMge(PieceAddress(address, fifo, done), piece, interface, data + done) &&
             ok;
        done += piece;
    }
    return ok;
}

// Register burst read of bytes bytes at a bridge address already mapped. The caller's buffer is
// cleared first, so bytes that did not come read as 0.
void RegBurstRead(std::uint32_t address, std::uint8_t* buffer, std::uint64_t bytes) {
    std::memset(buffer, 0, bytes);
    std::uint64_t received;
    {
        LockedExchange lock;
        received = BurstRead(address, RegInterface(), true, buffer, bytes);
    }
    if (received != bytes) {
        oxAssert("oxBurstReadReg8() CSCL Error: Bytes number != Count.");
    }
}

void RegBurstWrite(std::uint32_t address, const std::uint8_t* data, std::uint64_t bytes) {
    bool ok;
    {
        LockedExchange lock;
        ok = BurstWrite(address, RegInterface(), true, data, bytes);
    }
    if (!ok) {
        oxAssert("oxBurstWriteReg8() CSCL Error");
    }
}

// Read-modify-write of a register under one lock: new := op(old); a failed write is reported
// with the operation's name.
template <typename T, typename Op> T ModifyReg(std::uint32_t index, const char* name, Op op) {
    constexpr std::uint32_t width = sizeof(T);
    const std::uint32_t address = RegAddress(index);
    const std::uint8_t port = RegInterface();
    T result;
    bool ok;
    {
        LockedExchange lock;
        const auto old = static_cast<T>(oxCsclRdMge(address, width, port));
        result = static_cast<T>(op(old));
        ok = oxCsclWrMge(address, width, port, result);
    }
    if (!ok) {
        oxAssert("%s() CSCL Error", name);
    }
    return result;
}

// The register waits: set waits for (register AND mask) != 0, else for == 0.
bool WaitReg(std::uint32_t index, std::uint32_t width, std::uint32_t mask, bool set,
             std::uint32_t intervalMs, std::uint32_t timeoutMs) {
    const std::uint32_t address = RegAddress(index);
    const std::uint8_t port = RegInterface();
    auto met = [&](std::uint32_t value) { return ((value & mask) != 0) == set; };
    if (intervalMs != 0) {
        // The elapsed time counts the sleeps only, not the reads.
        std::uint64_t elapsed = 0;
        for (;;) {
            if (met(ReadAt(address, width, port))) {
                return true;
            }
            oxSleepMs(intervalMs);
            elapsed += intervalMs;
            if (elapsed >= timeoutMs) {
                return false;
            }
        }
    }
    // No interval: poll without pause, holding the lock for the whole wait.
    LockedExchange lock;
    const std::uint32_t start = oxGetMsCount();
    for (;;) {
        if (met(oxCsclRdMge(address, width, port))) {
            return true;
        }
        if (oxGetMsCount() - start >= timeoutMs) {
            return false;
        }
    }
}

// Set by tests: the next fill's buffer cannot be had.
bool s_FailFillAllocation = false;

// The fill buffer holds at most this many bytes (a whole number of CSCL chunks); longer fills
// send it again for each piece, so the packets are those of one burst of the whole count.
constexpr std::uint32_t kFillPieceBytes = 64 * oxCSCL_CHUNK;

// A fill: a buffer set to the value, written with the burst of the width. A buffer that cannot
// be had is reported and nothing is written.
template <typename T>
void FillMemory(std::uint32_t address, T value, std::uint32_t count, const char* name,
                void (*burst)(std::uint32_t, const T*, std::uint32_t)) {
    if (count == 0) {
        return;
    }
    const std::uint32_t pieceCount = std::min<std::uint32_t>(count, kFillPieceBytes / sizeof(T));
    std::vector<T> buffer;
    try {
        if (s_FailFillAllocation) {
            s_FailFillAllocation = false;
            throw std::bad_alloc();
        }
        buffer.assign(pieceCount, value);
    } catch (const std::bad_alloc&) {
        oxAssert("%s() Unable to allocate fill buffer.", name);
        return;
    }
    for (std::uint32_t done = 0; done < count;) {
        const std::uint32_t piece = std::min(pieceCount, count - done);
        burst(address + done * static_cast<std::uint32_t>(sizeof(T)), buffer.data(), piece);
        done += piece;
    }
}

std::uint32_t RdMem(std::uint32_t address, std::uint32_t width) {
    return ReadAt(MemAddress(address), width, oxUSB_IF_MEMORY_SINGLE);
}

void WrMem(std::uint32_t address, std::uint32_t width, std::uint32_t value, const char* name) {
    WriteAt(MemAddress(address), width, oxUSB_IF_MEMORY_SINGLE, value, name);
}

void BurstReadMem(std::uint32_t address, void* buffer, std::uint64_t bytes) {
    if (buffer == nullptr || bytes == 0) {
        return;
    }
    LockedExchange lock;
    BurstRead(MemAddress(address), oxUSB_IF_MEMORY_BURST, false, static_cast<std::uint8_t*>(buffer),
              bytes);
}

void BurstWriteMem(std::uint32_t address, const void* data, std::uint64_t bytes) {
    if (data == nullptr || bytes == 0) {
        return;
    }
    LockedExchange lock;
    BurstWrite(MemAddress(address), oxUSB_IF_MEMORY_BURST, false,
               static_cast<const std::uint8_t*>(data), bytes);
}

} // namespace

std::uint32_t oxUsbIsAcquired() {
    return s_Acquired;
}

void oxUsbFailNextFillAllocationForTesting() {
    s_FailFillAllocation = true;
}

const char* oxUsbMisuseText(oxUsbCheckedAccess access, std::uint32_t index) {
    switch (access) {
    case oxUsbCheckedAccess::ReadRaw:
        return index != 0 ? "oxReadRaw() BaseIndex must be zero for USB interface." : nullptr;
    case oxUsbCheckedAccess::WriteRaw:
        return index != 0 ? "oxWriteRaw() BaseIndex must be zero for USB interface." : nullptr;
    default:
        break;
    }
    if ((index & 1) == 0) {
        return nullptr;
    }
    switch (access) {
    case oxUsbCheckedAccess::ReadReg16:
        return "oxReadReg16() Index must be even.";
    case oxUsbCheckedAccess::WriteReg16:
        return "oxWriteReg16() Index must be even.";
    case oxUsbCheckedAccess::BurstReadReg8:
        return "oxBurstReadReg8() Index must be even.";
    case oxUsbCheckedAccess::BurstWriteReg8:
        return "oxBurstWriteReg8() Index must be even.";
    case oxUsbCheckedAccess::BurstReadReg16:
        return "oxBurstReadReg16() Index must be even.";
    default:
        return "oxBurstWriteReg16() Index must be even.";
    }
}

bool oxAcquireController() {
    std::memcpy(s_MgeConfig, oxgHclInfo.USBConfig, sizeof s_MgeConfig);
    bool ok;
    {
        LockedExchange lock;
        ok = oxCsclOpen(0, oxUSB_REG_INTERFACE_FLAGS, s_MgeConfig);
    }
    s_Acquired = ok ? 255 : 0;
    return ok;
}

bool oxInitializeController() {
    if (s_Acquired == 0) {
        oxAssert("oxInitializeController() called but controller not acquired.");
        return false;
    }
    // The walk tells when the PLL never locked; that is passed on rather than hidden.
    return oxProgramInitRegisters();
}

std::uint8_t oxReadReg8(std::uint32_t index) {
    return static_cast<std::uint8_t>(ReadAt(RegAddress(index), 1, RegInterface()));
}

std::uint16_t oxReadReg16(std::uint32_t index) {
    ReportedMisuse(oxUsbCheckedAccess::ReadReg16, index);
    return static_cast<std::uint16_t>(ReadAt(RegAddress(index), 2, RegInterface()));
}

void oxWriteReg8(std::uint32_t index, std::uint8_t value) {
    WriteAt(RegAddress(index), 1, RegInterface(), value, "oxWriteReg8");
}

void oxWriteReg16(std::uint32_t index, std::uint16_t value) {
    ReportedMisuse(oxUsbCheckedAccess::WriteReg16, index);
    WriteAt(RegAddress(index), 2, RegInterface(), value, "oxWriteReg16");
}

std::uint8_t oxModifyReg8(std::uint32_t index, std::uint8_t mask, std::uint8_t value) {
    return ModifyReg<std::uint8_t>(index, "oxModifyReg8",
                                   [&](std::uint8_t old) { return (old & ~mask) | value; });
}

std::uint16_t oxModifyReg16(std::uint32_t index, std::uint16_t mask, std::uint16_t value) {
    return ModifyReg<std::uint16_t>(index, "oxModifyReg16",
                                    [&](std::uint16_t old) { return (old & ~mask) | value; });
}

std::uint8_t oxClearBitsReg8(std::uint32_t index, std::uint8_t bits) {
    return ModifyReg<std::uint8_t>(index, "oxClearBitsReg8",
                                   [&](std::uint8_t old) { return old & ~bits; });
}

std::uint16_t oxClearBitsReg16(std::uint32_t index, std::uint16_t bits) {
    return ModifyReg<std::uint16_t>(index, "oxClearBitsReg16",
                                    [&](std::uint16_t old) { return old & ~bits; });
}

std::uint8_t oxSetBitsReg8(std::uint32_t index, std::uint8_t bits) {
    return ModifyReg<std::uint8_t>(index, "oxSetBitsReg8",
                                   [&](std::uint8_t old) { return old | bits; });
}

std::uint16_t oxSetBitsReg16(std::uint32_t index, std::uint16_t bits) {
    return ModifyReg<std::uint16_t>(index, "oxSetBitsReg16",
                                    [&](std::uint16_t old) { return old | bits; });
}

void oxBurstReadReg8(std::uint32_t index, std::uint8_t* buffer, std::uint32_t count) {
    ReportedMisuse(oxUsbCheckedAccess::BurstReadReg8, index);
    if (buffer != nullptr && count != 0) {
        RegBurstRead(RegAddress(index), buffer, count);
    }
}

void oxBurstWriteReg8(std::uint32_t index, const std::uint8_t* buffer, std::uint32_t count) {
    ReportedMisuse(oxUsbCheckedAccess::BurstWriteReg8, index);
    if (buffer != nullptr && count != 0) {
        RegBurstWrite(RegAddress(index), buffer, count);
    }
}

void oxBurstReadReg16(std::uint32_t index, std::uint16_t* buffer, std::uint32_t count) {
    ReportedMisuse(oxUsbCheckedAccess::BurstReadReg16, index);
    if (buffer != nullptr && count != 0) {
        RegBurstRead(RegAddress(index), reinterpret_cast<std::uint8_t*>(buffer),
                     std::uint64_t{count} * 2);
    }
}

void oxBurstWriteReg16(std::uint32_t index, const std::uint16_t* buffer, std::uint32_t count) {
    ReportedMisuse(oxUsbCheckedAccess::BurstWriteReg16, index);
    if (buffer != nullptr && count != 0) {
        RegBurstWrite(RegAddress(index), reinterpret_cast<const std::uint8_t*>(buffer),
                      std::uint64_t{count} * 2);
    }
}

bool oxWaitRegBitsClear8(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                         std::uint32_t timeoutMs) {
    return WaitReg(index, 1, mask, false, intervalMs, timeoutMs);
}

bool oxWaitRegBitsClear16(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                          std::uint32_t timeoutMs) {
    return WaitReg(index, 2, mask, false, intervalMs, timeoutMs);
}

bool oxWaitRegBitsSet8(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                       std::uint32_t timeoutMs) {
    return WaitReg(index, 1, mask, true, intervalMs, timeoutMs);
}

bool oxWaitRegBitsSet16(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                        std::uint32_t timeoutMs) {
    return WaitReg(index, 2, mask, true, intervalMs, timeoutMs);
}

std::uint8_t oxReadMemory8(std::uint32_t address) {
    return static_cast<std::uint8_t>(RdMem(address, 1));
}

std::uint16_t oxReadMemory16(std::uint32_t address) {
    return static_cast<std::uint16_t>(RdMem(address, 2));
}

std::uint32_t oxReadMemory32(std::uint32_t address) {
    // Cleared first: a read that falls short gives 0, never a stale value.
    std::uint32_t value = 0;
    oxBurstReadMemory32(address, &value, 1);
    return value;
}

void oxWriteMemory8(std::uint32_t address, std::uint8_t value) {
    WrMem(address, 1, value, "oxWriteMemory8");
}

void oxWriteMemory16(std::uint32_t address, std::uint16_t value) {
    WrMem(address, 2, value, "oxWriteMemory16");
}

void oxWriteMemory32(std::uint32_t address, std::uint32_t value) {
    oxBurstWriteMemory32(address, &value, 1);
}

void oxFillMemory8(std::uint32_t address, std::uint8_t value, std::uint32_t count) {
    FillMemory<std::uint8_t>(address, value, count, "oxFillMemory8", &oxBurstWriteMemory8);
}

void oxFillMemory16(std::uint32_t address, std::uint16_t value, std::uint32_t count) {
    FillMemory<std::uint16_t>(address, value, count, "oxFillMemory16", &oxBurstWriteMemory16);
}

void oxFillMemory32(std::uint32_t address, std::uint32_t value, std::uint32_t count) {
    FillMemory<std::uint32_t>(address, value, count, "oxFillMemory32", &oxBurstWriteMemory32);
}

void oxBurstReadMemory8(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count) {
    BurstReadMem(address, buffer, count);
}

void oxBurstReadMemory16(std::uint32_t address, std::uint16_t* buffer, std::uint32_t count) {
    BurstReadMem(address, buffer, std::uint64_t{count} * 2);
}

void oxBurstReadMemory32(std::uint32_t address, std::uint32_t* buffer, std::uint32_t count) {
    BurstReadMem(address, buffer, std::uint64_t{count} * 4);
}

void oxBurstWriteMemory8(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count) {
    BurstWriteMem(address, buffer, count);
}

void oxBurstWriteMemory16(std::uint32_t address, const std::uint16_t* buffer, std::uint32_t count) {
    BurstWriteMem(address, buffer, std::uint64_t{count} * 2);
}

void oxBurstWriteMemory32(std::uint32_t address, const std::uint32_t* buffer, std::uint32_t count) {
    BurstWriteMem(address, buffer, std::uint64_t{count} * 4);
}

bool oxInstallIrqHandler(void (*callback)()) {
    if (s_Acquired == 0) {
        return false;
    }
    return oxUsbTransportSetInterruptCallback(callback);
}

std::uint32_t oxReadRaw(std::uint32_t baseIndex, std::uint32_t offset, std::uint32_t width) {
    if (ReportedMisuse(oxUsbCheckedAccess::ReadRaw, baseIndex)) {
        return 0;
    }
    return RdMem(offset, width);
}

void oxWriteRaw(std::uint32_t baseIndex, std::uint32_t offset, std::uint32_t width,
                std::uint32_t value) {
    if (ReportedMisuse(oxUsbCheckedAccess::WriteRaw, baseIndex)) {
        return;
    }
    WrMem(offset, width, value, "oxWriteRaw");
}

// Each slot named, so the compiler holds the table to the slot order.
const oxHclInterface oxgUsbInterface = {
    .AcquireController = oxAcquireController,
    .InitializeController = oxInitializeController,
    .ReadReg8 = oxReadReg8,
    .ReadReg16 = oxReadReg16,
    .WriteReg8 = oxWriteReg8,
    .WriteReg16 = oxWriteReg16,
    .ModifyReg8 = oxModifyReg8,
    .ModifyReg16 = oxModifyReg16,
    .ClearBitsReg8 = oxClearBitsReg8,
    .ClearBitsReg16 = oxClearBitsReg16,
    .SetBitsReg8 = oxSetBitsReg8,
    .SetBitsReg16 = oxSetBitsReg16,
    .BurstReadReg8 = oxBurstReadReg8,
    .BurstWriteReg8 = oxBurstWriteReg8,
    .BurstReadReg16 = oxBurstReadReg16,
    .BurstWriteReg16 = oxBurstWriteReg16,
    .WaitRegBitsClear8 = oxWaitRegBitsClear8,
    .WaitRegBitsClear16 = oxWaitRegBitsClear16,
    .WaitRegBitsSet8 = oxWaitRegBitsSet8,
    .WaitRegBitsSet16 = oxWaitRegBitsSet16,
    .ReadMemory8 = oxReadMemory8,
    .ReadMemory16 = oxReadMemory16,
    .ReadMemory32 = oxReadMemory32,
    .WriteMemory8 = oxWriteMemory8,
    .WriteMemory16 = oxWriteMemory16,
    .WriteMemory32 = oxWriteMemory32,
    .FillMemory8 = oxFillMemory8,
    .FillMemory16 = oxFillMemory16,
    .FillMemory32 = oxFillMemory32,
    .BurstReadMemory8 = oxBurstReadMemory8,
    .BurstReadMemory16 = oxBurstReadMemory16,
    .BurstReadMemory32 = oxBurstReadMemory32,
    .BurstWriteMemory8 = oxBurstWriteMemory8,
    .BurstWriteMemory16 = oxBurstWriteMemory16,
    .BurstWriteMemory32 = oxBurstWriteMemory32,
    .InstallIrqHandler = oxInstallIrqHandler,
    .ReadRaw = oxReadRaw,
    .WriteRaw = oxWriteRaw,
};

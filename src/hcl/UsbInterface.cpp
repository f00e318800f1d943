// The 38 interface-table operations over the USB bridge (CSCL exchanges under the board lock).
#include "hcl/UsbInterface.h"

#include "hcl/Cscl.h"
#include "hcl/HclApi.h"
#include "hcl/HclData.h"
#include "hcl/HclInitList.h"
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
std::uint32_t RegAddress(std::uint32_t i_Index) {
    std::uint32_t address = oxCsclGetRegBase() + i_Index;
    if (i_Index < oxUSB_REG_NO_OFFSET_FROM) {
        address += oxUSB_REG_OFFSET;
    }
    return address;
}

// The register port's interface byte: the low byte of the current MGE's interface flags.
std::uint8_t RegInterface() {
    return static_cast<std::uint8_t>(oxCsclGetInterfaceFlags() & 0xFF);
}

std::uint32_t MemAddress(std::uint32_t i_Address) {
    return oxCsclGetMemBase() + i_Address;
}

// Reads 1, 2 or 4 bytes at a bridge address under the lock.
std::uint32_t ReadAt(std::uint32_t i_Address, std::uint32_t i_Width, std::uint8_t i_Interface) {
    LockedExchange lock;
    return oxCsclRdMge(i_Address, i_Width, i_Interface);
}

// Writes 1, 2 or 4 bytes at a bridge address under the lock; a failed write is reported with the
// operation's name (after the lock is released, as the report may wait for an answer).
void WriteAt(std::uint32_t i_Address, std::uint32_t i_Width, std::uint8_t i_Interface,
             std::uint32_t i_Value, const char* i_Name) {
    bool ok;
    {
        LockedExchange lock;
        ok = oxCsclWrMge(i_Address, i_Width, i_Interface, i_Value);
    }
    if (!ok) {
        oxAssert("%s() CSCL Error", i_Name);
    }
}

// The CSCL burst calls count bytes in 32 bits; a transfer larger than that goes in pieces, each a
// whole number of CSCL chunks so that the packets on the wire stay the same. On the register port
// every piece goes to the same index (the port streams through one register, i_Fifo); in memory
// the address advances.
constexpr std::uint64_t kBurstPiece = std::uint64_t{oxCSCL_CHUNK} * 65536;

std::uint32_t PieceAddress(std::uint32_t i_Address, bool i_Fifo, std::uint64_t i_Done) {
    return i_Fifo ? i_Address : i_Address + static_cast<std::uint32_t>(i_Done);
}

std::uint64_t BurstRead(std::uint32_t i_Address, std::uint8_t i_Interface, bool i_Fifo,
                        std::uint8_t* o_Buffer, std::uint64_t i_Bytes) {
    std::uint64_t received = 0;
    for (std::uint64_t done = 0; done < i_Bytes;) {
        const auto piece = static_cast<std::uint32_t>(std::min(i_Bytes - done, kBurstPiece));
        received += oxCsclBurstRdMge(PieceAddress(i_Address, i_Fifo, done), piece, i_Interface,
                                     o_Buffer + done);
        done += piece;
    }
    return received;
}

bool BurstWrite(std::uint32_t i_Address, std::uint8_t i_Interface, bool i_Fifo,
                const std::uint8_t* i_Data, std::uint64_t i_Bytes) {
    bool ok = true;
    for (std::uint64_t done = 0; done < i_Bytes;) {
        const auto piece = static_cast<std::uint32_t>(std::min(i_Bytes - done, kBurstPiece));
        ok = oxCsclBurstWrMge(PieceAddress(i_Address, i_Fifo, done), piece, i_Interface,
                              i_Data + done) &&
             ok;
        done += piece;
    }
    return ok;
}

// Register burst read of i_Bytes bytes at a bridge address already mapped. The caller's buffer is
// cleared first, so bytes that did not come read as 0.
void RegBurstRead(std::uint32_t i_Address, std::uint8_t* o_Buffer, std::uint64_t i_Bytes) {
    std::memset(o_Buffer, 0, i_Bytes);
    std::uint64_t received;
    {
        LockedExchange lock;
        received = BurstRead(i_Address, RegInterface(), true, o_Buffer, i_Bytes);
    }
    if (received != i_Bytes) {
        oxAssert("oxBurstReadReg8() CSCL Error: Bytes number != Count.");
    }
}

void RegBurstWrite(std::uint32_t i_Address, const std::uint8_t* i_Data, std::uint64_t i_Bytes) {
    bool ok;
    {
        LockedExchange lock;
        ok = BurstWrite(i_Address, RegInterface(), true, i_Data, i_Bytes);
    }
    if (!ok) {
        oxAssert("oxBurstWriteReg8() CSCL Error");
    }
}

// Read-modify-write of a register under one lock: new := op(old); a failed write is reported
// with the operation's name.
template <typename T, typename Op> T ModifyReg(std::uint32_t i_Index, const char* i_Name, Op i_Op) {
    constexpr std::uint32_t width = sizeof(T);
    const std::uint32_t address = RegAddress(i_Index);
    const std::uint8_t port = RegInterface();
    T result;
    bool ok;
    {
        LockedExchange lock;
        const auto old = static_cast<T>(oxCsclRdMge(address, width, port));
        result = static_cast<T>(i_Op(old));
        ok = oxCsclWrMge(address, width, port, result);
    }
    if (!ok) {
        oxAssert("%s() CSCL Error", i_Name);
    }
    return result;
}

// The register waits: i_Set waits for (register AND mask) != 0, else for == 0.
bool WaitReg(std::uint32_t i_Index, std::uint32_t i_Width, std::uint32_t i_Mask, bool i_Set,
             std::uint32_t i_IntervalMs, std::uint32_t i_TimeoutMs) {
    const std::uint32_t address = RegAddress(i_Index);
    const std::uint8_t port = RegInterface();
    auto met = [&](std::uint32_t value) { return ((value & i_Mask) != 0) == i_Set; };
    if (i_IntervalMs != 0) {
        // The elapsed time counts the sleeps only, not the reads.
        std::uint64_t elapsed = 0;
        for (;;) {
            if (met(ReadAt(address, i_Width, port))) {
                return true;
            }
            oxSleepMs(i_IntervalMs);
            elapsed += i_IntervalMs;
            if (elapsed >= i_TimeoutMs) {
                return false;
            }
        }
    }
    // No interval: poll without pause, holding the lock for the whole wait.
    LockedExchange lock;
    const std::uint32_t start = oxGetMsCount();
    for (;;) {
        if (met(oxCsclRdMge(address, i_Width, port))) {
            return true;
        }
        if (oxGetMsCount() - start >= i_TimeoutMs) {
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
void FillMemory(std::uint32_t i_Address, T i_Value, std::uint32_t i_Count, const char* i_Name,
                void (*i_Burst)(std::uint32_t, const T*, std::uint32_t)) {
    if (i_Count == 0) {
        return;
    }
    const std::uint32_t pieceCount = std::min<std::uint32_t>(i_Count, kFillPieceBytes / sizeof(T));
    std::vector<T> buffer;
    try {
        if (s_FailFillAllocation) {
            s_FailFillAllocation = false;
            throw std::bad_alloc();
        }
        buffer.assign(pieceCount, i_Value);
    } catch (const std::bad_alloc&) {
        oxAssert("%s() Unable to allocate fill buffer.", i_Name);
        return;
    }
    for (std::uint32_t done = 0; done < i_Count;) {
        const std::uint32_t count = std::min(pieceCount, i_Count - done);
        i_Burst(i_Address + done * static_cast<std::uint32_t>(sizeof(T)), buffer.data(), count);
        done += count;
    }
}

std::uint32_t RdMem(std::uint32_t i_Address, std::uint32_t i_Width) {
    return ReadAt(MemAddress(i_Address), i_Width, oxUSB_IF_MEMORY_SINGLE);
}

void WrMem(std::uint32_t i_Address, std::uint32_t i_Width, std::uint32_t i_Value,
           const char* i_Name) {
    WriteAt(MemAddress(i_Address), i_Width, oxUSB_IF_MEMORY_SINGLE, i_Value, i_Name);
}

void BurstReadMem(std::uint32_t i_Address, void* o_Buffer, std::uint64_t i_Bytes) {
    if (o_Buffer == nullptr || i_Bytes == 0) {
        return;
    }
    LockedExchange lock;
    BurstRead(MemAddress(i_Address), oxUSB_IF_MEMORY_BURST, false,
              static_cast<std::uint8_t*>(o_Buffer), i_Bytes);
}

void BurstWriteMem(std::uint32_t i_Address, const void* i_Data, std::uint64_t i_Bytes) {
    if (i_Data == nullptr || i_Bytes == 0) {
        return;
    }
    LockedExchange lock;
    BurstWrite(MemAddress(i_Address), oxUSB_IF_MEMORY_BURST, false,
               static_cast<const std::uint8_t*>(i_Data), i_Bytes);
}

} // namespace

std::uint32_t oxUsbIsAcquired() {
    return s_Acquired;
}

void oxUsbFailNextFillAllocationForTesting() {
    s_FailFillAllocation = true;
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

std::uint8_t oxReadReg8(std::uint32_t i_Index) {
    return static_cast<std::uint8_t>(ReadAt(RegAddress(i_Index), 1, RegInterface()));
}

std::uint16_t oxReadReg16(std::uint32_t i_Index) {
    if ((i_Index & 1) != 0) {
        oxAssert("oxReadReg16() Index must be even.");
    }
    return static_cast<std::uint16_t>(ReadAt(RegAddress(i_Index), 2, RegInterface()));
}

void oxWriteReg8(std::uint32_t i_Index, std::uint8_t i_Value) {
    WriteAt(RegAddress(i_Index), 1, RegInterface(), i_Value, "oxWriteReg8");
}

void oxWriteReg16(std::uint32_t i_Index, std::uint16_t i_Value) {
    if ((i_Index & 1) != 0) {
        oxAssert("oxWriteReg16() Index must be even.");
    }
    WriteAt(RegAddress(i_Index), 2, RegInterface(), i_Value, "oxWriteReg16");
}

std::uint8_t oxModifyReg8(std::uint32_t i_Index, std::uint8_t i_Mask, std::uint8_t i_Value) {
    return ModifyReg<std::uint8_t>(i_Index, "oxModifyReg8",
                                   [&](std::uint8_t old) { return (old & ~i_Mask) | i_Value; });
}

std::uint16_t oxModifyReg16(std::uint32_t i_Index, std::uint16_t i_Mask, std::uint16_t i_Value) {
    return ModifyReg<std::uint16_t>(i_Index, "oxModifyReg16",
                                    [&](std::uint16_t old) { return (old & ~i_Mask) | i_Value; });
}

std::uint8_t oxClearBitsReg8(std::uint32_t i_Index, std::uint8_t i_Bits) {
    return ModifyReg<std::uint8_t>(i_Index, "oxClearBitsReg8",
                                   [&](std::uint8_t old) { return old & ~i_Bits; });
}

std::uint16_t oxClearBitsReg16(std::uint32_t i_Index, std::uint16_t i_Bits) {
    return ModifyReg<std::uint16_t>(i_Index, "oxClearBitsReg16",
                                    [&](std::uint16_t old) { return old & ~i_Bits; });
}

std::uint8_t oxSetBitsReg8(std::uint32_t i_Index, std::uint8_t i_Bits) {
    return ModifyReg<std::uint8_t>(i_Index, "oxSetBitsReg8",
                                   [&](std::uint8_t old) { return old | i_Bits; });
}

std::uint16_t oxSetBitsReg16(std::uint32_t i_Index, std::uint16_t i_Bits) {
    return ModifyReg<std::uint16_t>(i_Index, "oxSetBitsReg16",
                                    [&](std::uint16_t old) { return old | i_Bits; });
}

void oxBurstReadReg8(std::uint32_t i_Index, std::uint8_t* o_Buffer, std::uint32_t i_Count) {
    if ((i_Index & 1) != 0) {
        oxAssert("oxBurstReadReg8() Index must be even.");
    }
    if (o_Buffer != nullptr && i_Count != 0) {
        RegBurstRead(RegAddress(i_Index), o_Buffer, i_Count);
    }
}

void oxBurstWriteReg8(std::uint32_t i_Index, const std::uint8_t* i_Buffer, std::uint32_t i_Count) {
    if ((i_Index & 1) != 0) {
        oxAssert("oxBurstWriteReg8() Index must be even.");
    }
    if (i_Buffer != nullptr && i_Count != 0) {
        RegBurstWrite(RegAddress(i_Index), i_Buffer, i_Count);
    }
}

void oxBurstReadReg16(std::uint32_t i_Index, std::uint16_t* o_Buffer, std::uint32_t i_Count) {
    if ((i_Index & 1) != 0) {
        oxAssert("oxBurstReadReg16() Index must be even.");
    }
    if (o_Buffer != nullptr && i_Count != 0) {
        RegBurstRead(RegAddress(i_Index), reinterpret_cast<std::uint8_t*>(o_Buffer),
                     std::uint64_t{i_Count} * 2);
    }
}

void oxBurstWriteReg16(std::uint32_t i_Index, const std::uint16_t* i_Buffer,
                       std::uint32_t i_Count) {
    if ((i_Index & 1) != 0) {
        oxAssert("oxBurstWriteReg16() Index must be even.");
    }
    if (i_Buffer != nullptr && i_Count != 0) {
        RegBurstWrite(RegAddress(i_Index), reinterpret_cast<const std::uint8_t*>(i_Buffer),
                      std::uint64_t{i_Count} * 2);
    }
}

bool oxWaitRegBitsClear8(std::uint32_t i_Index, std::uint8_t i_Mask, std::uint32_t i_IntervalMs,
                         std::uint32_t i_TimeoutMs) {
    return WaitReg(i_Index, 1, i_Mask, false, i_IntervalMs, i_TimeoutMs);
}

bool oxWaitRegBitsClear16(std::uint32_t i_Index, std::uint16_t i_Mask, std::uint32_t i_IntervalMs,
                          std::uint32_t i_TimeoutMs) {
    return WaitReg(i_Index, 2, i_Mask, false, i_IntervalMs, i_TimeoutMs);
}

bool oxWaitRegBitsSet8(std::uint32_t i_Index, std::uint8_t i_Mask, std::uint32_t i_IntervalMs,
                       std::uint32_t i_TimeoutMs) {
    return WaitReg(i_Index, 1, i_Mask, true, i_IntervalMs, i_TimeoutMs);
}

bool oxWaitRegBitsSet16(std::uint32_t i_Index, std::uint16_t i_Mask, std::uint32_t i_IntervalMs,
                        std::uint32_t i_TimeoutMs) {
    return WaitReg(i_Index, 2, i_Mask, true, i_IntervalMs, i_TimeoutMs);
}

std::uint8_t oxReadMemory8(std::uint32_t i_Address) {
    return static_cast<std::uint8_t>(RdMem(i_Address, 1));
}

std::uint16_t oxReadMemory16(std::uint32_t i_Address) {
    return static_cast<std::uint16_t>(RdMem(i_Address, 2));
}

std::uint32_t oxReadMemory32(std::uint32_t i_Address) {
    // Cleared first: a read that falls short gives 0, never a stale value.
    std::uint32_t value = 0;
    oxBurstReadMemory32(i_Address, &value, 1);
    return value;
}

void oxWriteMemory8(std::uint32_t i_Address, std::uint8_t i_Value) {
    WrMem(i_Address, 1, i_Value, "oxWriteMemory8");
}

void oxWriteMemory16(std::uint32_t i_Address, std::uint16_t i_Value) {
    WrMem(i_Address, 2, i_Value, "oxWriteMemory16");
}

void oxWriteMemory32(std::uint32_t i_Address, std::uint32_t i_Value) {
    oxBurstWriteMemory32(i_Address, &i_Value, 1);
}

void oxFillMemory8(std::uint32_t i_Address, std::uint8_t i_Value, std::uint32_t i_Count) {
    FillMemory<std::uint8_t>(i_Address, i_Value, i_Count, "oxFillMemory8", &oxBurstWriteMemory8);
}

void oxFillMemory16(std::uint32_t i_Address, std::uint16_t i_Value, std::uint32_t i_Count) {
    FillMemory<std::uint16_t>(i_Address, i_Value, i_Count, "oxFillMemory16", &oxBurstWriteMemory16);
}

void oxFillMemory32(std::uint32_t i_Address, std::uint32_t i_Value, std::uint32_t i_Count) {
    FillMemory<std::uint32_t>(i_Address, i_Value, i_Count, "oxFillMemory32", &oxBurstWriteMemory32);
}

void oxBurstReadMemory8(std::uint32_t i_Address, std::uint8_t* o_Buffer, std::uint32_t i_Count) {
    BurstReadMem(i_Address, o_Buffer, i_Count);
}

void oxBurstReadMemory16(std::uint32_t i_Address, std::uint16_t* o_Buffer, std::uint32_t i_Count) {
    BurstReadMem(i_Address, o_Buffer, std::uint64_t{i_Count} * 2);
}

void oxBurstReadMemory32(std::uint32_t i_Address, std::uint32_t* o_Buffer, std::uint32_t i_Count) {
    BurstReadMem(i_Address, o_Buffer, std::uint64_t{i_Count} * 4);
}

void oxBurstWriteMemory8(std::uint32_t i_Address, const std::uint8_t* i_Buffer,
                         std::uint32_t i_Count) {
    BurstWriteMem(i_Address, i_Buffer, i_Count);
}

void oxBurstWriteMemory16(std::uint32_t i_Address, const std::uint16_t* i_Buffer,
                          std::uint32_t i_Count) {
    BurstWriteMem(i_Address, i_Buffer, std::uint64_t{i_Count} * 2);
}

void oxBurstWriteMemory32(std::uint32_t i_Address, const std::uint32_t* i_Buffer,
                          std::uint32_t i_Count) {
    BurstWriteMem(i_Address, i_Buffer, std::uint64_t{i_Count} * 4);
}

bool oxInstallIrqHandler(void (*i_Callback)()) {
    if (s_Acquired == 0) {
        return false;
    }
    return oxUsbTransportSetInterruptCallback(i_Callback);
}

std::uint32_t oxReadRaw(std::uint32_t i_BaseIndex, std::uint32_t i_Offset, std::uint32_t i_Width) {
    if (i_BaseIndex != 0) {
        oxAssert("oxReadRaw() BaseIndex must be zero for USB interface.");
        return 0;
    }
    return RdMem(i_Offset, i_Width);
}

void oxWriteRaw(std::uint32_t i_BaseIndex, std::uint32_t i_Offset, std::uint32_t i_Width,
                std::uint32_t i_Value) {
    if (i_BaseIndex != 0) {
        oxAssert("oxWriteRaw() BaseIndex must be zero for USB interface.");
        return;
    }
    WrMem(i_Offset, i_Width, i_Value, "oxWriteRaw");
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

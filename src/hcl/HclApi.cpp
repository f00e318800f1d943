// The front of the hardware control layer: every register and memory access with its
// breakpoint checks, trace events and write echo around the live slot.

#include "hcl/HclApi.h"

#include "hcl/HclBreak.h"
#include "hcl/HclError.h"
#include "hcl/HclTrace.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

// --- The table before acquisition: every operation fails with "not acquired" and gives 0. ---

template <typename R> R NotAcquired() {
    oxHclSetLastError(oxERR_NOT_ACQUIRED);
    return R{};
}

// A burst read gives 0 in every unit too, so that no caller finds its buffer's old bytes there.
template <typename T> void NotAcquiredBurst(T* buffer, std::uint32_t count) {
    oxHclSetLastError(oxERR_NOT_ACQUIRED);
    if (buffer != nullptr) {
        std::fill_n(buffer, count, T{});
    }
}

constexpr oxHclInterface kUnacquired = {
    [] { return NotAcquired<bool>(); },
    [] { return NotAcquired<bool>(); },
    [](std::uint32_t) { return NotAcquired<std::uint8_t>(); },
    [](std::uint32_t) { return NotAcquired<std::uint16_t>(); },
    [](std::uint32_t, std::uint8_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint16_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint8_t, std::uint8_t) { return NotAcquired<std::uint8_t>(); },
    [](std::uint32_t, std::uint16_t, std::uint16_t) { return NotAcquired<std::uint16_t>(); },
    [](std::uint32_t, std::uint8_t) { return NotAcquired<std::uint8_t>(); },
    [](std::uint32_t, std::uint16_t) { return NotAcquired<std::uint16_t>(); },
    [](std::uint32_t, std::uint8_t) { return NotAcquired<std::uint8_t>(); },
    [](std::uint32_t, std::uint16_t) { return NotAcquired<std::uint16_t>(); },
    [](std::uint32_t, std::uint8_t* buffer, std::uint32_t count) {
        NotAcquiredBurst(buffer, count);
    },
    [](std::uint32_t, const std::uint8_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint16_t* buffer, std::uint32_t count) {
        NotAcquiredBurst(buffer, count);
    },
    [](std::uint32_t, const std::uint16_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint8_t, std::uint32_t, std::uint32_t) { return NotAcquired<bool>(); },
    [](std::uint32_t, std::uint16_t, std::uint32_t, std::uint32_t) { return NotAcquired<bool>(); },
    [](std::uint32_t, std::uint8_t, std::uint32_t, std::uint32_t) { return NotAcquired<bool>(); },
    [](std::uint32_t, std::uint16_t, std::uint32_t, std::uint32_t) { return NotAcquired<bool>(); },
    [](std::uint32_t) { return NotAcquired<std::uint8_t>(); },
    [](std::uint32_t) { return NotAcquired<std::uint16_t>(); },
    [](std::uint32_t) { return NotAcquired<std::uint32_t>(); },
    [](std::uint32_t, std::uint8_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint16_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint8_t, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint16_t, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint32_t, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint8_t* buffer, std::uint32_t count) {
        NotAcquiredBurst(buffer, count);
    },
    [](std::uint32_t, std::uint16_t* buffer, std::uint32_t count) {
        NotAcquiredBurst(buffer, count);
    },
    [](std::uint32_t, std::uint32_t* buffer, std::uint32_t count) {
        NotAcquiredBurst(buffer, count);
    },
    [](std::uint32_t, const std::uint8_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, const std::uint16_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, const std::uint32_t*, std::uint32_t) { NotAcquired<int>(); },
    [](oxIrqCallback) { return NotAcquired<bool>(); },
    [](std::uint32_t, std::uint32_t, std::uint32_t) { return NotAcquired<std::uint32_t>(); },
    [](std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) { NotAcquired<int>(); },
};

// --- Layer state ---

// The write echo as the user chose it, and as it acts now (held off while start-up runs).
constinit std::atomic<std::uint32_t> s_EchoSetting{0};
constinit std::atomic<std::uint32_t> s_EchoEffective{0};

bool Tracing() {
    return oxHclIsTracing();
}
bool Breaking() {
    return oxHclBreakpointsInUse();
}

void Check(std::uint32_t index, std::uint32_t access, std::uint32_t after, std::uint32_t value,
           std::uint32_t width) {
    if (Breaking()) {
        oxHclCheckBreakpoint(index, access, after, value, width);
    }
}

void Event(std::uint32_t code, std::uint32_t index, std::uint32_t value,
           const void* data = nullptr) {
    if (Tracing()) {
        oxHclTraceEvent(code, index, value, data, 0, 0);
    }
}

// Whether count elements of width bytes make a transfer whose byte size fits in 32 bits; a
// transfer that does not is refused with an error line.
bool Fits(std::uint32_t count, std::uint32_t width) {
    if (std::uint64_t{count} * width <= 0xFFFFFFFFull) {
        return true;
    }
    std::printf("\nError: %u-bit transfer of %lu units is too large", 8 * width,
                static_cast<unsigned long>(count));
    return false;
}

// --- Generic forms of the access patterns ---

template <typename T> T ReadReg(T (*slot)(std::uint32_t), std::uint32_t index, std::uint32_t code) {
    Check(index, oxHCL_BREAK_READ, oxHCL_BREAK_BEFORE, 0, sizeof(T));
    const T value = slot(index);
    Event(code, index, value);
    Check(index, oxHCL_BREAK_READ, oxHCL_BREAK_AFTER, value, sizeof(T));
    return value;
}

template <typename T>
void WriteReg(void (*slot)(std::uint32_t, T), std::uint32_t index, T value, std::uint32_t code,
              const char* echoFormat) {
    Check(index, oxHCL_BREAK_WRITE, oxHCL_BREAK_BEFORE, value, sizeof(T));
    Event(code, index, value);
    slot(index, value);
    if (s_EchoEffective.load(std::memory_order_relaxed) != 0) {
        std::printf(echoFormat, static_cast<unsigned long>(index), unsigned{value});
    }
    Check(index, oxHCL_BREAK_WRITE, oxHCL_BREAK_AFTER, value, sizeof(T));
}

// Modify, set bits and clear bits: the slot computes the new value.
template <typename T, typename Op> T ChangeReg(Op op, std::uint32_t index, std::uint32_t code) {
    Check(index, oxHCL_BREAK_EITHER, oxHCL_BREAK_BEFORE, 0, sizeof(T));
    const T value = static_cast<T>(op());
    Event(code, index, value);
    Check(index, oxHCL_BREAK_EITHER, oxHCL_BREAK_AFTER, value, sizeof(T));
    return value;
}

template <typename T>
void BurstRead(void (*slot)(std::uint32_t, T*, std::uint32_t), std::uint32_t index, T* buffer,
               std::uint32_t count, std::uint32_t code) {
    if (buffer == nullptr || count == 0 || !Fits(count, sizeof(T))) {
        return;
    }
    slot(index, buffer, count);
    Event(code, index, count, buffer);
}

template <typename T>
void BurstWrite(void (*slot)(std::uint32_t, const T*, std::uint32_t), std::uint32_t index,
                const T* buffer, std::uint32_t count, std::uint32_t code) {
    if (buffer == nullptr || count == 0 || !Fits(count, sizeof(T))) {
        return;
    }
    Event(code, index, count, buffer);
    slot(index, buffer, count);
}

template <typename T>
T ReadMem(T (*slot)(std::uint32_t), std::uint32_t address, std::uint32_t code) {
    const T value = slot(address);
    Event(code, address, value);
    return value;
}

template <typename T>
void WriteMem(void (*slot)(std::uint32_t, T), std::uint32_t address, T value, std::uint32_t code) {
    Event(code, address, value);
    slot(address, value);
}

template <typename T>
void FillMem(void (*slot)(std::uint32_t, T, std::uint32_t), std::uint32_t address, T value,
             std::uint32_t count, std::uint32_t code) {
    if (!Fits(count, sizeof(T))) {
        return;
    }
    // A fill of nothing changes nothing and leaves nothing to replay.
    if (count != 0 && Tracing()) {
        oxHclTraceFill(code, address, value, count);
    }
    slot(address, value, count);
}

} // namespace

const oxHclInterface oxgHclUnacquiredInterface = kUnacquired;
constinit oxHclInterface oxgHclInterface = kUnacquired;

// --- Write echo ---------------------------------------------------------------------------

std::uint32_t oxHclSetDebugWrites(std::uint32_t on) {
    const std::uint32_t previous = s_EchoSetting.exchange(on);
    s_EchoEffective = on;
    return previous;
}

std::uint32_t oxHclGetDebugWrites() {
    return s_EchoSetting.load();
}

void oxHclHoldWriteEcho(bool hold) {
    s_EchoEffective = hold ? 0 : s_EchoSetting.load();
}

// --- Register access ----------------------------------------------------------------------

std::uint8_t oxHclReadReg8(std::uint32_t index) {
    return ReadReg(oxgHclInterface.ReadReg8, index, oxTRACE_READ_REG8);
}
std::uint16_t oxHclReadReg16(std::uint32_t index) {
    return ReadReg(oxgHclInterface.ReadReg16, index, oxTRACE_READ_REG16);
}
std::uint32_t oxHclReadReg32(std::uint32_t) {
    return 0;
}

void oxHclWriteReg8(std::uint32_t index, std::uint8_t value) {
    WriteReg(oxgHclInterface.WriteReg8, index, value, oxTRACE_WRITE_REG8,
             "   TEST [%04lX] W:%02X\n");
}
void oxHclWriteReg16(std::uint32_t index, std::uint16_t value) {
    WriteReg(oxgHclInterface.WriteReg16, index, value, oxTRACE_WRITE_REG16,
             "   TEST [%04lX] W:%04X\n");
}
void oxHclWriteReg32(std::uint32_t, std::uint32_t) {}

std::uint8_t oxHclModifyReg8(std::uint32_t index, std::uint8_t mask, std::uint8_t value) {
    return ChangeReg<std::uint8_t>([&] { return oxgHclInterface.ModifyReg8(index, mask, value); },
                                   index, oxTRACE_MODIFY_REG8);
}
std::uint16_t oxHclModifyReg16(std::uint32_t index, std::uint16_t mask, std::uint16_t value) {
    return ChangeReg<std::uint16_t>([&] { return oxgHclInterface.ModifyReg16(index, mask, value); },
                                    index, oxTRACE_MODIFY_REG16);
}
std::uint8_t oxHclSetBitsReg8(std::uint32_t index, std::uint8_t bits) {
    return ChangeReg<std::uint8_t>([&] { return oxgHclInterface.SetBitsReg8(index, bits); }, index,
                                   oxTRACE_SETBITS_REG8);
}
std::uint16_t oxHclSetBitsReg16(std::uint32_t index, std::uint16_t bits) {
    return ChangeReg<std::uint16_t>([&] { return oxgHclInterface.SetBitsReg16(index, bits); },
                                    index, oxTRACE_SETBITS_REG16);
}
std::uint8_t oxHclClearBitsReg8(std::uint32_t index, std::uint8_t bits) {
    return ChangeReg<std::uint8_t>([&] { return oxgHclInterface.ClearBitsReg8(index, bits); },
                                   index, oxTRACE_CLEARBITS_REG8);
}
std::uint16_t oxHclClearBitsReg16(std::uint32_t index, std::uint16_t bits) {
    return ChangeReg<std::uint16_t>([&] { return oxgHclInterface.ClearBitsReg16(index, bits); },
                                    index, oxTRACE_CLEARBITS_REG16);
}

void oxHclBurstReadReg8(std::uint32_t index, std::uint8_t* buffer, std::uint32_t count) {
    BurstRead<std::uint8_t>(oxgHclInterface.BurstReadReg8, index, buffer, count,
                            oxTRACE_BURST_READ_REG8);
}
void oxHclBurstReadReg16(std::uint32_t index, std::uint16_t* buffer, std::uint32_t count) {
    BurstRead<std::uint16_t>(oxgHclInterface.BurstReadReg16, index, buffer, count,
                             oxTRACE_BURST_READ_REG16);
}
void oxHclBurstReadReg32(std::uint32_t, std::uint32_t*, std::uint32_t) {
    std::printf("\nError: 32 bit register burst reads not supported");
}
void oxHclBurstWriteReg8(std::uint32_t index, const std::uint8_t* buffer, std::uint32_t count) {
    BurstWrite<std::uint8_t>(oxgHclInterface.BurstWriteReg8, index, buffer, count,
                             oxTRACE_BURST_WRITE_REG8);
}
void oxHclBurstWriteReg16(std::uint32_t index, const std::uint16_t* buffer, std::uint32_t count) {
    BurstWrite<std::uint16_t>(oxgHclInterface.BurstWriteReg16, index, buffer, count,
                              oxTRACE_BURST_WRITE_REG16);
}
void oxHclBurstWriteReg32(std::uint32_t, const std::uint32_t*, std::uint32_t) {
    std::printf("\nError: 32 bit register burst writes not supported");
}

bool oxHclWaitRegBitsClear8(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                            std::uint32_t timeoutMs) {
    return oxgHclInterface.WaitRegBitsClear8(index, mask, intervalMs, timeoutMs);
}
bool oxHclWaitRegBitsClear16(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                             std::uint32_t timeoutMs) {
    return oxgHclInterface.WaitRegBitsClear16(index, mask, intervalMs, timeoutMs);
}
bool oxHclWaitRegBitsSet8(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                          std::uint32_t timeoutMs) {
    return oxgHclInterface.WaitRegBitsSet8(index, mask, intervalMs, timeoutMs);
}
bool oxHclWaitRegBitsSet16(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                           std::uint32_t timeoutMs) {
    return oxgHclInterface.WaitRegBitsSet16(index, mask, intervalMs, timeoutMs);
}

// --- Display memory -----------------------------------------------------------------------

std::uint8_t oxHclReadMemory8(std::uint32_t address) {
    return ReadMem(oxgHclInterface.ReadMemory8, address, oxTRACE_READ_MEM8);
}
std::uint16_t oxHclReadMemory16(std::uint32_t address) {
    return ReadMem(oxgHclInterface.ReadMemory16, address, oxTRACE_READ_MEM16);
}
std::uint32_t oxHclReadMemory32(std::uint32_t address) {
    return ReadMem(oxgHclInterface.ReadMemory32, address, oxTRACE_READ_MEM32);
}
void oxHclWriteMemory8(std::uint32_t address, std::uint8_t value) {
    WriteMem(oxgHclInterface.WriteMemory8, address, value, oxTRACE_WRITE_MEM8);
}
void oxHclWriteMemory16(std::uint32_t address, std::uint16_t value) {
    WriteMem(oxgHclInterface.WriteMemory16, address, value, oxTRACE_WRITE_MEM16);
}
void oxHclWriteMemory32(std::uint32_t address, std::uint32_t value) {
    WriteMem(oxgHclInterface.WriteMemory32, address, value, oxTRACE_WRITE_MEM32);
}
void oxHclFillMemory8(std::uint32_t address, std::uint8_t value, std::uint32_t count) {
    FillMem(oxgHclInterface.FillMemory8, address, value, count, oxTRACE_WRITE_MEM8);
}
void oxHclFillMemory16(std::uint32_t address, std::uint16_t value, std::uint32_t count) {
    FillMem(oxgHclInterface.FillMemory16, address, value, count, oxTRACE_WRITE_MEM16);
}
void oxHclFillMemory32(std::uint32_t address, std::uint32_t value, std::uint32_t count) {
    FillMem(oxgHclInterface.FillMemory32, address, value, count, oxTRACE_WRITE_MEM32);
}
void oxHclBurstReadMemory8(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count) {
    BurstRead<std::uint8_t>(oxgHclInterface.BurstReadMemory8, address, buffer, count,
                            oxTRACE_BURST_READ_MEM8);
}
void oxHclBurstReadMemory16(std::uint32_t address, std::uint16_t* buffer, std::uint32_t count) {
    BurstRead<std::uint16_t>(oxgHclInterface.BurstReadMemory16, address, buffer, count,
                             oxTRACE_BURST_READ_MEM16);
}
void oxHclBurstReadMemory32(std::uint32_t address, std::uint32_t* buffer, std::uint32_t count) {
    BurstRead<std::uint32_t>(oxgHclInterface.BurstReadMemory32, address, buffer, count,
                             oxTRACE_BURST_READ_MEM32);
}
void oxHclBurstWriteMemory8(std::uint32_t address, const std::uint8_t* buffer,
                            std::uint32_t count) {
    BurstWrite<std::uint8_t>(oxgHclInterface.BurstWriteMemory8, address, buffer, count,
                             oxTRACE_BURST_WRITE_MEM8);
}
void oxHclBurstWriteMemory16(std::uint32_t address, const std::uint16_t* buffer,
                             std::uint32_t count) {
    BurstWrite<std::uint16_t>(oxgHclInterface.BurstWriteMemory16, address, buffer, count,
                              oxTRACE_BURST_WRITE_MEM16);
}
void oxHclBurstWriteMemory32(std::uint32_t address, const std::uint32_t* buffer,
                             std::uint32_t count) {
    BurstWrite<std::uint32_t>(oxgHclInterface.BurstWriteMemory32, address, buffer, count,
                              oxTRACE_BURST_WRITE_MEM32);
}

// --- Interrupt and raw access -------------------------------------------------------------

bool oxHclInstallIrqHandler(oxIrqCallback callback) {
    const bool installed = oxgHclInterface.InstallIrqHandler(callback);
    oxHclSetLastError(installed ? oxERR_NONE : oxERR_IRQ_HANDLER);
    return installed;
}

std::uint32_t oxHclReadRaw(std::uint32_t baseIndex, std::uint32_t offset, std::uint32_t width) {
    return oxgHclInterface.ReadRaw(baseIndex, offset, width);
}

void oxHclWriteRaw(std::uint32_t baseIndex, std::uint32_t offsetIn, std::uint32_t width,
                   std::uint32_t value) {
    oxgHclInterface.WriteRaw(baseIndex, offsetIn, width, value);
    if (s_EchoEffective.load(std::memory_order_relaxed) == 0) {
        return;
    }
    const auto offset = static_cast<unsigned long>(offsetIn);
    switch (width) {
    case 1:
        std::printf("   RAW%u [%04lX] W:%02X\n", baseIndex, offset, value & 0xFF);
        break;
    case 2:
        std::printf("   RAW%u [%04lX] W:%04X\n", baseIndex, offset, value & 0xFFFF);
        break;
    case 4:
        std::printf("   RAW%u [%04lX] W:%08X\n", baseIndex, offset, value);
        break;
    default:
        break;
    }
}

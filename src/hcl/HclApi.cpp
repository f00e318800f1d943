// The front of the hardware control layer: start-up, initialisation, and every register and
// memory access with its breakpoint checks, trace events and write echo around the live slot.

#include "hcl/HclApi.h"

#include "hcl/HclBreak.h"
#include "hcl/HclData.h"
#include "hcl/HclError.h"
#include "hcl/HclTrace.h"
#include "hcl/Lcd.h"
#include "hcl/UsbInterface.h"

#include <atomic>
#include <cstdio>

namespace {

// --- The table before acquisition: every operation fails with "not acquired" and gives 0. ---

template <typename R> R NotAcquired() {
    oxHclSetLastError(oxERR_NOT_ACQUIRED);
    return R{};
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
    [](std::uint32_t, std::uint8_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, const std::uint8_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint16_t*, std::uint32_t) { NotAcquired<int>(); },
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
    [](std::uint32_t, std::uint8_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint16_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, std::uint32_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, const std::uint8_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, const std::uint16_t*, std::uint32_t) { NotAcquired<int>(); },
    [](std::uint32_t, const std::uint32_t*, std::uint32_t) { NotAcquired<int>(); },
    [](oxIrqCallback) { return NotAcquired<bool>(); },
    [](std::uint32_t, std::uint32_t, std::uint32_t) { return NotAcquired<std::uint32_t>(); },
    [](std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) { NotAcquired<int>(); },
};

// --- Layer state ---

constinit std::atomic<bool> g_Acquired{false};
constinit bool g_FirstStartDone = false;
constinit std::atomic<std::uint32_t> g_EchoSetting{0};
constinit std::atomic<std::uint32_t> g_EchoEffective{0};
constinit const oxHclInterface* g_TransportOverride = nullptr;

bool Tracing() {
    return oxHclIsTracing();
}
bool Breaking() {
    return oxHclBreakpointsInUse();
}

void Check(std::uint32_t i_Index, std::uint32_t i_Access, std::uint32_t i_After,
           std::uint32_t i_Value, std::uint32_t i_Width) {
    if (Breaking()) {
        oxHclCheckBreakpoint(i_Index, i_Access, i_After, i_Value, i_Width);
    }
}

void Event(std::uint32_t i_Code, std::uint32_t i_Index, std::uint32_t i_Value,
           const void* i_Data = nullptr) {
    if (Tracing()) {
        oxHclTraceEvent(i_Code, i_Index, i_Value, i_Data, 0, 0);
    }
}

// Whether count elements of width bytes make a transfer whose byte size fits in 32 bits; a
// transfer that does not is refused with an error line.
bool Fits(std::uint32_t i_Count, std::uint32_t i_Width) {
    if (std::uint64_t{i_Count} * i_Width <= 0xFFFFFFFFull) {
        return true;
    }
    std::printf("\nError: %u-bit transfer of %lu units is too large", 8 * i_Width,
                static_cast<unsigned long>(i_Count));
    return false;
}

// --- Generic forms of the access patterns ---

template <typename T>
T ReadReg(T (*i_Slot)(std::uint32_t), std::uint32_t i_Index, std::uint32_t i_Code) {
    Check(i_Index, oxHCL_BREAK_READ, oxHCL_BREAK_BEFORE, 0, sizeof(T));
    const T value = i_Slot(i_Index);
    Event(i_Code, i_Index, value);
    Check(i_Index, oxHCL_BREAK_READ, oxHCL_BREAK_AFTER, value, sizeof(T));
    return value;
}

template <typename T>
void WriteReg(void (*i_Slot)(std::uint32_t, T), std::uint32_t i_Index, T i_Value,
              std::uint32_t i_Code, const char* i_EchoFormat) {
    Check(i_Index, oxHCL_BREAK_WRITE, oxHCL_BREAK_BEFORE, i_Value, sizeof(T));
    Event(i_Code, i_Index, i_Value);
    i_Slot(i_Index, i_Value);
    if (g_EchoEffective.load(std::memory_order_relaxed) != 0) {
        std::printf(i_EchoFormat, static_cast<unsigned long>(i_Index), unsigned{i_Value});
    }
    Check(i_Index, oxHCL_BREAK_WRITE, oxHCL_BREAK_AFTER, i_Value, sizeof(T));
}

// Modify, set bits and clear bits: the slot computes the new value.
template <typename T, typename Op>
T ChangeReg(Op i_Op, std::uint32_t i_Index, std::uint32_t i_Code) {
    Check(i_Index, oxHCL_BREAK_EITHER, oxHCL_BREAK_BEFORE, 0, sizeof(T));
    const T value = static_cast<T>(i_Op());
    Event(i_Code, i_Index, value);
    Check(i_Index, oxHCL_BREAK_EITHER, oxHCL_BREAK_AFTER, value, sizeof(T));
    return value;
}

template <typename T>
void BurstRead(void (*i_Slot)(std::uint32_t, T*, std::uint32_t), std::uint32_t i_Index, T* o_Buffer,
               std::uint32_t i_Count, std::uint32_t i_Code) {
    if (o_Buffer == nullptr || i_Count == 0 || !Fits(i_Count, sizeof(T))) {
        return;
    }
    i_Slot(i_Index, o_Buffer, i_Count);
    Event(i_Code, i_Index, i_Count, o_Buffer);
}

template <typename T>
void BurstWrite(void (*i_Slot)(std::uint32_t, const T*, std::uint32_t), std::uint32_t i_Index,
                const T* i_Buffer, std::uint32_t i_Count, std::uint32_t i_Code) {
    if (i_Buffer == nullptr || i_Count == 0 || !Fits(i_Count, sizeof(T))) {
        return;
    }
    Event(i_Code, i_Index, i_Count, i_Buffer);
    i_Slot(i_Index, i_Buffer, i_Count);
}

template <typename T>
T ReadMem(T (*i_Slot)(std::uint32_t), std::uint32_t i_Address, std::uint32_t i_Code) {
    const T value = i_Slot(i_Address);
    Event(i_Code, i_Address, value);
    return value;
}

template <typename T>
void WriteMem(void (*i_Slot)(std::uint32_t, T), std::uint32_t i_Address, T i_Value,
              std::uint32_t i_Code) {
    Event(i_Code, i_Address, i_Value);
    i_Slot(i_Address, i_Value);
}

template <typename T>
void FillMem(void (*i_Slot)(std::uint32_t, T, std::uint32_t), std::uint32_t i_Address, T i_Value,
             std::uint32_t i_Count, std::uint32_t i_Code) {
    if (!Fits(i_Count, sizeof(T))) {
        return;
    }
    // A fill of nothing changes nothing and leaves nothing to replay.
    if (i_Count != 0 && Tracing()) {
        oxHclTraceFill(i_Code, i_Address, i_Value, i_Count);
    }
    i_Slot(i_Address, i_Value, i_Count);
}

} // namespace

const oxHclInterface oxgHclUnacquiredInterface = kUnacquired;
constinit oxHclInterface oxgHclInterface = kUnacquired;

// --- Start-up -----------------------------------------------------------------------------

bool oxHclInitialize() {
    oxHclSetLastError(oxERR_NONE);
    if (!g_FirstStartDone) {
        g_FirstStartDone = true;
        const std::uint32_t echo = (oxHclGetFlags(oxgHclInfo) & oxfDEBUG_REG_WRITES) != 0 ? 1 : 0;
        g_EchoSetting = echo;
        g_EchoEffective = echo;
    }
    if (!g_Acquired && (oxHclGetFlags(oxgHclInfo) & oxfADAPTER_USB) != 0) {
        oxgHclInterface = g_TransportOverride != nullptr ? *g_TransportOverride : oxgUsbInterface;
        if (!oxgHclInterface.AcquireController()) {
            // The live table holds operations that cannot reach a controller.
            oxgHclInterface = kUnacquired;
            oxHclSetLastError(oxERR_NO_USB_ADAPTER);
            return false;
        }
        g_Acquired = true;
    }
    return true;
}

bool oxHclReinitialize() {
    g_Acquired = false;
    return oxHclInitialize();
}

bool oxHclIsAcquired() {
    return g_Acquired;
}

bool oxHclInitRegisters(std::uint32_t i_Flags) {
    oxHclSetLastError(oxERR_NONE);
    const std::uint32_t no = oxHclEffectiveInitFlags(i_Flags);
    if ((no & oxHCL_INIT_NOCRC) == 0) {
        const std::uint16_t stored = oxHclLoadU16(oxgHclInfo, offsetof(oxHclData, HclCRC));
        if (stored == 0) {
            oxHclSetLastError(oxERR_NOT_CONFIGURED);
            return false;
        }
        if (stored != oxHclCalcCrc(oxgHclInfo)) {
            oxHclSetLastError(oxERR_CRC_MISMATCH);
            return false;
        }
    }
    if (!g_Acquired) {
        oxHclSetLastError(oxERR_NOT_ACQUIRED);
        return false;
    }
    g_EchoEffective = 0;
    std::printf("   List of HCL Initialization Events:\n");
    // The list walk fails only when it gave up (the PLL never locked): the rest of the list was
    // not written, so the registers are not said to be initialised, the operation fails and the
    // walk's error code stays.
    bool registersDone = true;
    if ((no & oxHCL_INIT_NOREGS) == 0) {
        registersDone = oxgHclInterface.InitializeController();
        std::printf(registersDone ? "   - Registers initialized as per configured settings.\n"
                                  : "   - Registers NOT initialized!\n");
    } else {
        std::printf("   - Registers NOT initialized!\n");
    }
    if ((no & oxHCL_INIT_NOLUT) == 0) {
        oxLcdLoadDefaultLut(0);
        oxLcdLoadDefaultLut(1);
        std::printf("   - LUT initialized.\n");
    } else {
        std::printf("   - LUT NOT initialized!\n");
    }
    if ((no & oxHCL_INIT_NOVRAM) == 0) {
        oxHclClearVideoMemory();
        std::printf("   - All video memory cleared to 00h.\n");
    } else {
        std::printf("   - Video memory NOT cleared!\n");
    }
    g_EchoEffective = g_EchoSetting.load();
    return registersDone;
}

void oxHclClearVideoMemory() {
    oxHclFillMemory32(0, 0, oxHCL_VIDEO_MEMORY_BYTES / 4);
}

std::uint32_t oxHclSetDebugWrites(std::uint32_t i_On) {
    const std::uint32_t previous = g_EchoSetting.exchange(i_On);
    g_EchoEffective = i_On;
    return previous;
}

std::uint32_t oxHclGetDebugWrites() {
    return g_EchoSetting.load();
}

// --- Register access ----------------------------------------------------------------------

std::uint8_t oxHclReadReg8(std::uint32_t i_Index) {
    return ReadReg(oxgHclInterface.ReadReg8, i_Index, oxTRACE_READ_REG8);
}
std::uint16_t oxHclReadReg16(std::uint32_t i_Index) {
    return ReadReg(oxgHclInterface.ReadReg16, i_Index, oxTRACE_READ_REG16);
}
std::uint32_t oxHclReadReg32(std::uint32_t) {
    return 0;
}

void oxHclWriteReg8(std::uint32_t i_Index, std::uint8_t i_Value) {
    WriteReg(oxgHclInterface.WriteReg8, i_Index, i_Value, oxTRACE_WRITE_REG8,
             "   TEST [%04lX] W:%02X\n");
}
void oxHclWriteReg16(std::uint32_t i_Index, std::uint16_t i_Value) {
    WriteReg(oxgHclInterface.WriteReg16, i_Index, i_Value, oxTRACE_WRITE_REG16,
             "   TEST [%04lX] W:%04X\n");
}
void oxHclWriteReg32(std::uint32_t, std::uint32_t) {}

std::uint8_t oxHclModifyReg8(std::uint32_t i_Index, std::uint8_t i_Mask, std::uint8_t i_Value) {
    return ChangeReg<std::uint8_t>(
        [&] { return oxgHclInterface.ModifyReg8(i_Index, i_Mask, i_Value); }, i_Index,
        oxTRACE_MODIFY_REG8);
}
std::uint16_t oxHclModifyReg16(std::uint32_t i_Index, std::uint16_t i_Mask, std::uint16_t i_Value) {
    return ChangeReg<std::uint16_t>(
        [&] { return oxgHclInterface.ModifyReg16(i_Index, i_Mask, i_Value); }, i_Index,
        oxTRACE_MODIFY_REG16);
}
std::uint8_t oxHclSetBitsReg8(std::uint32_t i_Index, std::uint8_t i_Bits) {
    return ChangeReg<std::uint8_t>([&] { return oxgHclInterface.SetBitsReg8(i_Index, i_Bits); },
                                   i_Index, oxTRACE_SETBITS_REG8);
}
std::uint16_t oxHclSetBitsReg16(std::uint32_t i_Index, std::uint16_t i_Bits) {
    return ChangeReg<std::uint16_t>([&] { return oxgHclInterface.SetBitsReg16(i_Index, i_Bits); },
                                    i_Index, oxTRACE_SETBITS_REG16);
}
std::uint8_t oxHclClearBitsReg8(std::uint32_t i_Index, std::uint8_t i_Bits) {
    return ChangeReg<std::uint8_t>([&] { return oxgHclInterface.ClearBitsReg8(i_Index, i_Bits); },
                                   i_Index, oxTRACE_CLEARBITS_REG8);
}
std::uint16_t oxHclClearBitsReg16(std::uint32_t i_Index, std::uint16_t i_Bits) {
    return ChangeReg<std::uint16_t>([&] { return oxgHclInterface.ClearBitsReg16(i_Index, i_Bits); },
                                    i_Index, oxTRACE_CLEARBITS_REG16);
}

void oxHclBurstReadReg8(std::uint32_t i_Index, std::uint8_t* o_Buffer, std::uint32_t i_Count) {
    BurstRead<std::uint8_t>(oxgHclInterface.BurstReadReg8, i_Index, o_Buffer, i_Count,
                            oxTRACE_BURST_READ_REG8);
}
void oxHclBurstReadReg16(std::uint32_t i_Index, std::uint16_t* o_Buffer, std::uint32_t i_Count) {
    BurstRead<std::uint16_t>(oxgHclInterface.BurstReadReg16, i_Index, o_Buffer, i_Count,
                             oxTRACE_BURST_READ_REG16);
}
void oxHclBurstReadReg32(std::uint32_t, std::uint32_t*, std::uint32_t) {
    std::printf("\nError: 32 bit register burst reads not supported");
}
void oxHclBurstWriteReg8(std::uint32_t i_Index, const std::uint8_t* i_Buffer,
                         std::uint32_t i_Count) {
    BurstWrite<std::uint8_t>(oxgHclInterface.BurstWriteReg8, i_Index, i_Buffer, i_Count,
                             oxTRACE_BURST_WRITE_REG8);
}
void oxHclBurstWriteReg16(std::uint32_t i_Index, const std::uint16_t* i_Buffer,
                          std::uint32_t i_Count) {
    BurstWrite<std::uint16_t>(oxgHclInterface.BurstWriteReg16, i_Index, i_Buffer, i_Count,
                              oxTRACE_BURST_WRITE_REG16);
}
void oxHclBurstWriteReg32(std::uint32_t, const std::uint32_t*, std::uint32_t) {
    std::printf("\nError: 32 bit register burst writes not supported");
}

bool oxHclWaitRegBitsClear8(std::uint32_t i_Index, std::uint8_t i_Mask, std::uint32_t i_IntervalMs,
                            std::uint32_t i_TimeoutMs) {
    return oxgHclInterface.WaitRegBitsClear8(i_Index, i_Mask, i_IntervalMs, i_TimeoutMs);
}
bool oxHclWaitRegBitsClear16(std::uint32_t i_Index, std::uint16_t i_Mask,
                             std::uint32_t i_IntervalMs, std::uint32_t i_TimeoutMs) {
    return oxgHclInterface.WaitRegBitsClear16(i_Index, i_Mask, i_IntervalMs, i_TimeoutMs);
}
bool oxHclWaitRegBitsSet8(std::uint32_t i_Index, std::uint8_t i_Mask, std::uint32_t i_IntervalMs,
                          std::uint32_t i_TimeoutMs) {
    return oxgHclInterface.WaitRegBitsSet8(i_Index, i_Mask, i_IntervalMs, i_TimeoutMs);
}
bool oxHclWaitRegBitsSet16(std::uint32_t i_Index, std::uint16_t i_Mask, std::uint32_t i_IntervalMs,
                           std::uint32_t i_TimeoutMs) {
    return oxgHclInterface.WaitRegBitsSet16(i_Index, i_Mask, i_IntervalMs, i_TimeoutMs);
}

// --- Display memory -----------------------------------------------------------------------

std::uint8_t oxHclReadMemory8(std::uint32_t i_Address) {
    return ReadMem(oxgHclInterface.ReadMemory8, i_Address, oxTRACE_READ_MEM8);
}
std::uint16_t oxHclReadMemory16(std::uint32_t i_Address) {
    return ReadMem(oxgHclInterface.ReadMemory16, i_Address, oxTRACE_READ_MEM16);
}
std::uint32_t oxHclReadMemory32(std::uint32_t i_Address) {
    return ReadMem(oxgHclInterface.ReadMemory32, i_Address, oxTRACE_READ_MEM32);
}
void oxHclWriteMemory8(std::uint32_t i_Address, std::uint8_t i_Value) {
    WriteMem(oxgHclInterface.WriteMemory8, i_Address, i_Value, oxTRACE_WRITE_MEM8);
}
void oxHclWriteMemory16(std::uint32_t i_Address, std::uint16_t i_Value) {
    WriteMem(oxgHclInterface.WriteMemory16, i_Address, i_Value, oxTRACE_WRITE_MEM16);
}
void oxHclWriteMemory32(std::uint32_t i_Address, std::uint32_t i_Value) {
    WriteMem(oxgHclInterface.WriteMemory32, i_Address, i_Value, oxTRACE_WRITE_MEM32);
}
void oxHclFillMemory8(std::uint32_t i_Address, std::uint8_t i_Value, std::uint32_t i_Count) {
    FillMem(oxgHclInterface.FillMemory8, i_Address, i_Value, i_Count, oxTRACE_WRITE_MEM8);
}
void oxHclFillMemory16(std::uint32_t i_Address, std::uint16_t i_Value, std::uint32_t i_Count) {
    FillMem(oxgHclInterface.FillMemory16, i_Address, i_Value, i_Count, oxTRACE_WRITE_MEM16);
}
void oxHclFillMemory32(std::uint32_t i_Address, std::uint32_t i_Value, std::uint32_t i_Count) {
    FillMem(oxgHclInterface.FillMemory32, i_Address, i_Value, i_Count, oxTRACE_WRITE_MEM32);
}
void oxHclBurstReadMemory8(std::uint32_t i_Address, std::uint8_t* o_Buffer, std::uint32_t i_Count) {
    BurstRead<std::uint8_t>(oxgHclInterface.BurstReadMemory8, i_Address, o_Buffer, i_Count,
                            oxTRACE_BURST_READ_MEM8);
}
void oxHclBurstReadMemory16(std::uint32_t i_Address, std::uint16_t* o_Buffer,
                            std::uint32_t i_Count) {
    BurstRead<std::uint16_t>(oxgHclInterface.BurstReadMemory16, i_Address, o_Buffer, i_Count,
                             oxTRACE_BURST_READ_MEM16);
}
void oxHclBurstReadMemory32(std::uint32_t i_Address, std::uint32_t* o_Buffer,
                            std::uint32_t i_Count) {
    BurstRead<std::uint32_t>(oxgHclInterface.BurstReadMemory32, i_Address, o_Buffer, i_Count,
                             oxTRACE_BURST_READ_MEM32);
}
void oxHclBurstWriteMemory8(std::uint32_t i_Address, const std::uint8_t* i_Buffer,
                            std::uint32_t i_Count) {
    BurstWrite<std::uint8_t>(oxgHclInterface.BurstWriteMemory8, i_Address, i_Buffer, i_Count,
                             oxTRACE_BURST_WRITE_MEM8);
}
void oxHclBurstWriteMemory16(std::uint32_t i_Address, const std::uint16_t* i_Buffer,
                             std::uint32_t i_Count) {
    BurstWrite<std::uint16_t>(oxgHclInterface.BurstWriteMemory16, i_Address, i_Buffer, i_Count,
                              oxTRACE_BURST_WRITE_MEM16);
}
void oxHclBurstWriteMemory32(std::uint32_t i_Address, const std::uint32_t* i_Buffer,
                             std::uint32_t i_Count) {
    BurstWrite<std::uint32_t>(oxgHclInterface.BurstWriteMemory32, i_Address, i_Buffer, i_Count,
                              oxTRACE_BURST_WRITE_MEM32);
}

// --- Interrupt and raw access -------------------------------------------------------------

bool oxHclInstallIrqHandler(oxIrqCallback i_Callback) {
    const bool installed = oxgHclInterface.InstallIrqHandler(i_Callback);
    oxHclSetLastError(installed ? oxERR_NONE : oxERR_IRQ_HANDLER);
    return installed;
}

std::uint32_t oxHclReadRaw(std::uint32_t i_BaseIndex, std::uint32_t i_Offset,
                           std::uint32_t i_Width) {
    return oxgHclInterface.ReadRaw(i_BaseIndex, i_Offset, i_Width);
}

void oxHclWriteRaw(std::uint32_t i_BaseIndex, std::uint32_t i_Offset, std::uint32_t i_Width,
                   std::uint32_t i_Value) {
    oxgHclInterface.WriteRaw(i_BaseIndex, i_Offset, i_Width, i_Value);
    if (g_EchoEffective.load(std::memory_order_relaxed) == 0) {
        return;
    }
    const auto offset = static_cast<unsigned long>(i_Offset);
    switch (i_Width) {
    case 1:
        std::printf("   RAW%u [%04lX] W:%02X\n", i_BaseIndex, offset, i_Value & 0xFF);
        break;
    case 2:
        std::printf("   RAW%u [%04lX] W:%04X\n", i_BaseIndex, offset, i_Value & 0xFFFF);
        break;
    case 4:
        std::printf("   RAW%u [%04lX] W:%08X\n", i_BaseIndex, offset, i_Value);
        break;
    default:
        break;
    }
}

// --- Test support -------------------------------------------------------------------------

void oxHclSetTransportForTesting(const oxHclInterface* i_Table) {
    g_TransportOverride = i_Table;
}

void oxHclResetFrontForTesting() {
    g_Acquired = false;
    g_FirstStartDone = false;
    g_EchoSetting = 0;
    g_EchoEffective = 0;
    oxgHclInterface = kUnacquired;
}

#pragma once
// The interface table of the hardware control layer: the 38 operations through which the front
// (HclApi.h) reaches a transport, in slot order. A transport such as the USB implementation
// (UsbInterface.h) fills one constant table; start-up (HclStart.h) copies it into the front's
// live table. Only the type lives here, so a transport and the front share it without
// including each other.

#include <cstdint>

// The callback of the bridge's interrupt (slot 35).
using oxIrqCallback = void (*)();

// The 38 operations through which the front reaches a transport, in slot order. Counts are in
// elements of the operation's width; register indices are byte offsets in the register space;
// memory addresses are byte addresses of display memory.
struct oxHclInterface {
    bool (*AcquireController)();                                                            // 0
    bool (*InitializeController)();                                                         // 1
    std::uint8_t (*ReadReg8)(std::uint32_t index);                                          // 2
    std::uint16_t (*ReadReg16)(std::uint32_t index);                                        // 3
    void (*WriteReg8)(std::uint32_t index, std::uint8_t value);                             // 4
    void (*WriteReg16)(std::uint32_t index, std::uint16_t value);                           // 5
    std::uint8_t (*ModifyReg8)(std::uint32_t index, std::uint8_t mask, std::uint8_t value); // 6
    std::uint16_t (*ModifyReg16)(std::uint32_t index, std::uint16_t mask,
                                 std::uint16_t value);                                     // 7
    std::uint8_t (*ClearBitsReg8)(std::uint32_t index, std::uint8_t bits);                 // 8
    std::uint16_t (*ClearBitsReg16)(std::uint32_t index, std::uint16_t bits);              // 9
    std::uint8_t (*SetBitsReg8)(std::uint32_t index, std::uint8_t bits);                   // 10
    std::uint16_t (*SetBitsReg16)(std::uint32_t index, std::uint16_t bits);                // 11
    void (*BurstReadReg8)(std::uint32_t index, std::uint8_t* buffer, std::uint32_t count); // 12
    void (*BurstWriteReg8)(std::uint32_t index, const std::uint8_t* buffer,
                           std::uint32_t count); // 13
    void (*BurstReadReg16)(std::uint32_t index, std::uint16_t* buffer,
                           std::uint32_t count); // 14
    void (*BurstWriteReg16)(std::uint32_t index, const std::uint16_t* buffer,
                            std::uint32_t count); // 15
    bool (*WaitRegBitsClear8)(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                              std::uint32_t timeoutMs); // 16
    bool (*WaitRegBitsClear16)(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                               std::uint32_t timeoutMs); // 17
    bool (*WaitRegBitsSet8)(std::uint32_t index, std::uint8_t mask, std::uint32_t intervalMs,
                            std::uint32_t timeoutMs); // 18
    bool (*WaitRegBitsSet16)(std::uint32_t index, std::uint16_t mask, std::uint32_t intervalMs,
                             std::uint32_t timeoutMs);                                     // 19
    std::uint8_t (*ReadMemory8)(std::uint32_t address);                                    // 20
    std::uint16_t (*ReadMemory16)(std::uint32_t address);                                  // 21
    std::uint32_t (*ReadMemory32)(std::uint32_t address);                                  // 22
    void (*WriteMemory8)(std::uint32_t address, std::uint8_t value);                       // 23
    void (*WriteMemory16)(std::uint32_t address, std::uint16_t value);                     // 24
    void (*WriteMemory32)(std::uint32_t address, std::uint32_t value);                     // 25
    void (*FillMemory8)(std::uint32_t address, std::uint8_t value, std::uint32_t count);   // 26
    void (*FillMemory16)(std::uint32_t address, std::uint16_t value, std::uint32_t count); // 27
    void (*FillMemory32)(std::uint32_t address, std::uint32_t value, std::uint32_t count); // 28
    void (*BurstReadMemory8)(std::uint32_t address, std::uint8_t* buffer,
                             std::uint32_t count); // 29
    void (*BurstReadMemory16)(std::uint32_t address, std::uint16_t* buffer,
                              std::uint32_t count); // 30
    void (*BurstReadMemory32)(std::uint32_t address, std::uint32_t* buffer,
                              std::uint32_t count); // 31
    void (*BurstWriteMemory8)(std::uint32_t address, const std::uint8_t* buffer,
                              std::uint32_t count); // 32
    void (*BurstWriteMemory16)(std::uint32_t address, const std::uint16_t* buffer,
                               std::uint32_t count); // 33
    void (*BurstWriteMemory32)(std::uint32_t address, const std::uint32_t* buffer,
                               std::uint32_t count);   // 34
    bool (*InstallIrqHandler)(oxIrqCallback callback); // 35
    std::uint32_t (*ReadRaw)(std::uint32_t baseIndex, std::uint32_t offset,
                             std::uint32_t width); // 36
    void (*WriteRaw)(std::uint32_t baseIndex, std::uint32_t offset, std::uint32_t width,
                     std::uint32_t value); // 37
};
inline constexpr unsigned oxHCL_INTERFACE_SLOTS = 38;
static_assert(sizeof(oxHclInterface) == oxHCL_INTERFACE_SLOTS * sizeof(void (*)()));

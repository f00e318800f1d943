#pragma once
// A recording stand-in for a transport's interface table: a small register space and display
// memory in plain arrays, and a log of every slot call. Each slot call also prints one line
// "<slot NAME args trace=N>" on standard output, so a captured output shows, in order, the
// breakpoint prompts, the slot calls (with the number of trace records at that moment) and the
// write echo of one front call.

#include "hcl/HclApi.h"
#include "hcl/HclInitList.h"
#include "hcl/HclTrace.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace fronttest {

// Register space and display memory of the fake board.
struct FakeBoard {
    static constexpr std::uint32_t kRegBytes = 0x200;
    static constexpr std::uint32_t kMemBytes = 0x80000; // display memory and both look-up tables
    std::array<std::uint8_t, kRegBytes> Regs{};
    std::vector<std::uint8_t> Mem = std::vector<std::uint8_t>(kMemBytes, 0);
    bool AcquireResult = true;
    bool PrintCalls = true;

    std::uint32_t LoadReg(std::uint32_t index, std::uint32_t width) const {
        std::uint32_t v = 0;
        for (std::uint32_t i = 0; i < width && index + i < kRegBytes; ++i) {
            v |= std::uint32_t{Regs[index + i]} << (8 * i);
        }
        return v;
    }
    void StoreReg(std::uint32_t index, std::uint32_t width, std::uint32_t value) {
        for (std::uint32_t i = 0; i < width && index + i < kRegBytes; ++i) {
            Regs[index + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    std::uint32_t LoadMem(std::uint32_t address, std::uint32_t width) const {
        std::uint32_t v = 0;
        for (std::uint32_t i = 0; i < width && std::uint64_t{address} + i < kMemBytes; ++i) {
            v |= std::uint32_t{Mem[address + i]} << (8 * i);
        }
        return v;
    }
    void StoreMem(std::uint32_t address, std::uint32_t width, std::uint32_t value) {
        for (std::uint32_t i = 0; i < width && std::uint64_t{address} + i < kMemBytes; ++i) {
            Mem[address + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
};

inline FakeBoard*& Board() {
    static FakeBoard* s_Board = nullptr;
    return s_Board;
}

// The slot calls so far, as "NAME arg arg ..." (hexadecimal).
inline std::vector<std::string>& Calls() {
    static std::vector<std::string> s_Calls;
    return s_Calls;
}

inline void Note(const char* name, std::initializer_list<std::uint32_t> args) {
    std::string call = name;
    char buffer[16];
    for (std::uint32_t a : args) {
        std::snprintf(buffer, sizeof buffer, " %X", a);
        call += buffer;
    }
    Calls().push_back(call);
    if (Board()->PrintCalls) {
        std::printf("<slot %s trace=%u>\n", call.c_str(), oxHclTraceRecordCount());
    }
}

// The PLL of the fake is always locked: register 0x10 reads with bit 15 set.
inline std::uint32_t ReadRegValue(std::uint32_t index, std::uint32_t width) {
    std::uint32_t v = Board()->LoadReg(index, width);
    if (index == 0x10 && width == 2) {
        v |= 0x8000;
    }
    return v;
}

template <typename T> T ChangeReg(const char* name, std::uint32_t index, std::uint32_t newValue) {
    Board()->StoreReg(index, sizeof(T), newValue);
    Note(name, {index, newValue});
    return static_cast<T>(newValue);
}

template <typename T>
void BurstWriteMem(const char* name, std::uint32_t a, const T* b, std::uint32_t n) {
    Note(name, {a, n});
    for (std::uint32_t i = 0; i < n; ++i) {
        Board()->StoreMem(a + i * sizeof(T), sizeof(T), b[i]);
    }
}
template <typename T> void BurstReadMem(const char* name, std::uint32_t a, T* b, std::uint32_t n) {
    Note(name, {a, n});
    for (std::uint32_t i = 0; i < n; ++i) {
        b[i] = static_cast<T>(Board()->LoadMem(a + i * sizeof(T), sizeof(T)));
    }
}
template <typename T> void FillMem(const char* name, std::uint32_t a, T v, std::uint32_t n) {
    Note(name, {a, v, n});
    for (std::uint64_t i = 0; i < n && a + i * sizeof(T) < FakeBoard::kMemBytes; ++i) {
        Board()->StoreMem(static_cast<std::uint32_t>(a + i * sizeof(T)), sizeof(T), v);
    }
}

// The table: register bursts go to one index (a port), memory bursts walk through memory.
inline const oxHclInterface& FakeInterface() {
    using u8 = std::uint8_t;
    using u16 = std::uint16_t;
    using u32 = std::uint32_t;
    static const oxHclInterface s_Table = {
        [] {
            Note("AcquireController", {});
            return Board()->AcquireResult;
        },
        [] {
            Note("InitializeController", {});
            oxProgramInitRegisters();
            return true;
        },
        [](u32 i) {
            Note("ReadReg8", {i});
            return static_cast<u8>(ReadRegValue(i, 1));
        },
        [](u32 i) {
            Note("ReadReg16", {i});
            return static_cast<u16>(ReadRegValue(i, 2));
        },
        [](u32 i, u8 v) {
            Note("WriteReg8", {i, v});
            Board()->StoreReg(i, 1, v);
        },
        [](u32 i, u16 v) {
            Note("WriteReg16", {i, v});
            Board()->StoreReg(i, 2, v);
        },
        [](u32 i, u8 m, u8 v) {
            return ChangeReg<u8>("ModifyReg8", i, (Board()->LoadReg(i, 1) & ~u32{m}) | v);
        },
        [](u32 i, u16 m, u16 v) {
            return ChangeReg<u16>("ModifyReg16", i, (Board()->LoadReg(i, 2) & ~u32{m}) | v);
        },
        [](u32 i, u8 b) {
            return ChangeReg<u8>("ClearBitsReg8", i, Board()->LoadReg(i, 1) & ~u32{b});
        },
        [](u32 i, u16 b) {
            return ChangeReg<u16>("ClearBitsReg16", i, Board()->LoadReg(i, 2) & ~u32{b});
        },
        [](u32 i, u8 b) { return ChangeReg<u8>("SetBitsReg8", i, Board()->LoadReg(i, 1) | b); },
        [](u32 i, u16 b) { return ChangeReg<u16>("SetBitsReg16", i, Board()->LoadReg(i, 2) | b); },
        [](u32 i, u8* b, u32 n) {
            Note("BurstReadReg8", {i, n});
            for (u32 k = 0; k < n; ++k) {
                b[k] = static_cast<u8>(ReadRegValue(i, 1));
            }
        },
        [](u32 i, const u8* b, u32 n) {
            Note("BurstWriteReg8", {i, n});
            for (u32 k = 0; k < n; ++k) {
                Board()->StoreReg(i, 1, b[k]);
            }
        },
        [](u32 i, u16* b, u32 n) {
            Note("BurstReadReg16", {i, n});
            for (u32 k = 0; k < n; ++k) {
                b[k] = static_cast<u16>(ReadRegValue(i, 2));
            }
        },
        [](u32 i, const u16* b, u32 n) {
            Note("BurstWriteReg16", {i, n});
            for (u32 k = 0; k < n; ++k) {
                Board()->StoreReg(i, 2, b[k]);
            }
        },
        [](u32 i, u8 m, u32 iv, u32 to) {
            Note("WaitRegBitsClear8", {i, m, iv, to});
            return true;
        },
        [](u32 i, u16 m, u32 iv, u32 to) {
            Note("WaitRegBitsClear16", {i, m, iv, to});
            return true;
        },
        [](u32 i, u8 m, u32 iv, u32 to) {
            Note("WaitRegBitsSet8", {i, m, iv, to});
            return false;
        },
        [](u32 i, u16 m, u32 iv, u32 to) {
            Note("WaitRegBitsSet16", {i, m, iv, to});
            return false;
        },
        [](u32 a) {
            Note("ReadMemory8", {a});
            return static_cast<u8>(Board()->LoadMem(a, 1));
        },
        [](u32 a) {
            Note("ReadMemory16", {a});
            return static_cast<u16>(Board()->LoadMem(a, 2));
        },
        [](u32 a) {
            Note("ReadMemory32", {a});
            return Board()->LoadMem(a, 4);
        },
        [](u32 a, u8 v) {
            Note("WriteMemory8", {a, v});
            Board()->StoreMem(a, 1, v);
        },
        [](u32 a, u16 v) {
            Note("WriteMemory16", {a, v});
            Board()->StoreMem(a, 2, v);
        },
        [](u32 a, u32 v) {
            Note("WriteMemory32", {a, v});
            Board()->StoreMem(a, 4, v);
        },
        [](u32 a, u8 v, u32 n) { FillMem<u8>("FillMemory8", a, v, n); },
        [](u32 a, u16 v, u32 n) { FillMem<u16>("FillMemory16", a, v, n); },
        [](u32 a, u32 v, u32 n) { FillMem<u32>("FillMemory32", a, v, n); },
        [](u32 a, u8* b, u32 n) { BurstReadMem("BurstReadMemory8", a, b, n); },
        [](u32 a, u16* b, u32 n) { BurstReadMem("BurstReadMemory16", a, b, n); },
        [](u32 a, u32* b, u32 n) { BurstReadMem("BurstReadMemory32", a, b, n); },
        [](u32 a, const u8* b, u32 n) { BurstWriteMem("BurstWriteMemory8", a, b, n); },
        [](u32 a, const u16* b, u32 n) { BurstWriteMem("BurstWriteMemory16", a, b, n); },
        [](u32 a, const u32* b, u32 n) { BurstWriteMem("BurstWriteMemory32", a, b, n); },
        [](oxIrqCallback cb) {
            Note("InstallIrqHandler", {});
            return cb != nullptr;
        },
        [](u32 base, u32 offset, u32 width) {
            Note("ReadRaw", {base, offset, width});
            return Board()->LoadMem(offset, width);
        },
        [](u32 base, u32 offset, u32 width, u32 value) {
            Note("WriteRaw", {base, offset, width, value});
            Board()->StoreMem(offset, width, value);
        },
    };
    return s_Table;
}

} // namespace fronttest

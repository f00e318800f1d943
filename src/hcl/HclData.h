#pragma once
// The configuration block (oxHclData) that every program built on the hardware control layer
// carries in its own image, the program's instance oxgHclInfo, the block's CRC and the accessors
// of its adapter flag.
//
// The block is a file format shared with the configuration utility: 6014 bytes, packed, every
// multi-byte field little-endian. The u32 fields from offset 554 on are not aligned; read and
// write them with the accessors below (memcpy), never through a pointer or reference to the
// packed member.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

// Sizes of the block and its tables.
constexpr std::uint32_t oxHCL_DATA_SIZE = 6014;
constexpr std::uint32_t oxHCL_LCD1SIZE = 768;  // entries of the LCD1 init sequence
constexpr std::uint32_t oxHCL_REGSIZE = 593;   // pairs of the register initialisation list
constexpr std::uint32_t oxHCL_CRC_FIRST = 532; // the CRC covers offsets 532 .. 6013
constexpr std::uint16_t oxHCL_DETECT_ENDIAN = 0x1234;

// LCD1 init sequence entries: a flag nibble and 28 data bits.
constexpr std::uint32_t oxHCL_LCD_COMMAND = 0x10000000;
constexpr std::uint32_t oxHCL_LCD_PARAM = 0x20000000;
constexpr std::uint32_t oxHCL_LCD_DELAY = 0x40000000;
constexpr std::uint32_t oxHCL_LCD_FLAGMASK = 0xF0000000;
constexpr std::uint32_t oxHCL_LCD_DATAMASK = 0x0FFFFFFF;
constexpr std::uint32_t oxHCL_LCD_ENDOFTABLE = 0x00000000;

// HCL information flags (offset 566).
constexpr std::uint32_t oxfUSING_FPGA = 0x1;
constexpr std::uint32_t oxfNO_RESET = 0x2;
constexpr std::uint32_t oxfDEBUG_REG_WRITES = 0x4;
constexpr std::uint32_t oxfADAPTER_USB = 0x10;
constexpr std::uint32_t oxfNO_INIT_GPIO = 0x1000;
constexpr std::uint32_t oxfSOFT_BYTESWAP = 0x10000;
constexpr std::uint32_t oxfHOST_AUTO = 0x20000;
constexpr std::uint32_t oxfADAPTER_GENERIC = 0x20;

// The layer's flag-name table, in display order (names joined by "|").
struct oxHclFlagName {
    const char* Name;
    std::uint32_t Value;
};
constexpr std::size_t oxHCL_FLAG_NAME_COUNT = 8;
extern const oxHclFlagName oxgHclFlagNames[oxHCL_FLAG_NAME_COUNT];

// Pseudo-register indices of the register initialisation list.
constexpr std::uint16_t oxHCL_REG_PLL_WAIT = 252;  // wait for the PLL lock (DELAY)
constexpr std::uint16_t oxHCL_REG_OFF_DELAY = 253; // busy-wait value microseconds
constexpr std::uint16_t oxHCL_REG_ON_DELAY = 254;  // busy-wait value microseconds
constexpr std::uint16_t oxHCL_REG_END = 255;       // end of the list (END_OF_TABLE)

#pragma pack(push, 1)
struct oxHclRegEntry {
    std::uint16_t Index;
    std::uint16_t Value;
};

struct oxHclData {
    char szIdString[16];          // chip ID + " HAL EXE", NUL-padded
    char szConfigString[256];     // description, NUL-terminated; "" = none
    char sLCD1StringPool[256];    // comments of LCD1 sequence entries
    std::uint16_t Size;           // 6014
    std::uint16_t HclCRC;         // CRC of offsets 532 .. 6013; 0 = not configured
    char szChipId[8];             // chip ID, NUL-padded
    std::uint16_t DetectEndian;   // 0x1234 as written by a little-endian writer
    std::uint16_t Reserved1;      //
    std::uint32_t ClkI;           // CLKI frequency in Hz
    std::uint8_t USBConfig[6];    // usbconfig0 .. usbconfig5 (CONFIGA .. CONFIGD, two more)
    std::uint32_t BaseAddress;    // unaligned: use the accessors
    std::uint32_t RegisterOffset; // unaligned: use the accessors
    std::uint32_t MemoryOffset;   // unaligned: use the accessors
    std::uint32_t Flags;          // unaligned: use the accessors
    std::uint32_t LCD1Regs[oxHCL_LCD1SIZE]; // unaligned: use the accessors
    oxHclRegEntry Regs[oxHCL_REGSIZE];      // register initialisation list
};
#pragma pack(pop)

static_assert(sizeof(oxHclData) == oxHCL_DATA_SIZE);
static_assert(offsetof(oxHclData, szIdString) == 0);
static_assert(offsetof(oxHclData, szConfigString) == 16);
static_assert(offsetof(oxHclData, sLCD1StringPool) == 272);
static_assert(offsetof(oxHclData, Size) == 528);
static_assert(offsetof(oxHclData, HclCRC) == 530);
static_assert(offsetof(oxHclData, szChipId) == 532);
static_assert(offsetof(oxHclData, DetectEndian) == 540);
static_assert(offsetof(oxHclData, Reserved1) == 542);
static_assert(offsetof(oxHclData, ClkI) == 544);
static_assert(offsetof(oxHclData, USBConfig) == 548);
static_assert(offsetof(oxHclData, BaseAddress) == 554);
static_assert(offsetof(oxHclData, RegisterOffset) == 558);
static_assert(offsetof(oxHclData, MemoryOffset) == 562);
static_assert(offsetof(oxHclData, Flags) == 566);
static_assert(offsetof(oxHclData, LCD1Regs) == 570);
static_assert(offsetof(oxHclData, Regs) == 3642);
static_assert(sizeof(oxHclRegEntry) == 4);
static_assert(std::endian::native == std::endian::little,
              "the layer reads its own block in the machine's order, which must be little-endian");

// Byte offsets of the u32 fields, for the accessors.
constexpr std::size_t oxHCL_OFS_CLKI = 544;
constexpr std::size_t oxHCL_OFS_BASE_ADDRESS = 554;
constexpr std::size_t oxHCL_OFS_REGISTER_OFFSET = 558;
constexpr std::size_t oxHCL_OFS_MEMORY_OFFSET = 562;
constexpr std::size_t oxHCL_OFS_FLAGS = 566;
constexpr std::size_t oxHCL_OFS_LCD1REGS = 570;
constexpr std::size_t oxHCL_OFS_REGS = 3642;

// Unaligned access to a u16 or u32 of the block at a byte offset (machine order).
inline std::uint32_t oxHclLoadU32(const oxHclData& block, std::size_t offset) {
    std::uint32_t value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&block) + offset, 4);
    return value;
}
inline void oxHclStoreU32(oxHclData& block, std::size_t offset, std::uint32_t value) {
    std::memcpy(reinterpret_cast<unsigned char*>(&block) + offset, &value, 4);
}
inline std::uint16_t oxHclLoadU16(const oxHclData& block, std::size_t offset) {
    std::uint16_t value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&block) + offset, 2);
    return value;
}
inline void oxHclStoreU16(oxHclData& block, std::size_t offset, std::uint16_t value) {
    std::memcpy(reinterpret_cast<unsigned char*>(&block) + offset, &value, 2);
}

// Named accessors of the unaligned fields.
inline std::uint32_t oxHclGetClkI(const oxHclData& b) {
    return oxHclLoadU32(b, oxHCL_OFS_CLKI);
}
inline void oxHclSetClkI(oxHclData& b, std::uint32_t v) {
    oxHclStoreU32(b, oxHCL_OFS_CLKI, v);
}
inline std::uint32_t oxHclGetBaseAddress(const oxHclData& b) {
    return oxHclLoadU32(b, oxHCL_OFS_BASE_ADDRESS);
}
inline void oxHclSetBaseAddress(oxHclData& b, std::uint32_t v) {
    oxHclStoreU32(b, oxHCL_OFS_BASE_ADDRESS, v);
}
inline std::uint32_t oxHclGetRegisterOffset(const oxHclData& b) {
    return oxHclLoadU32(b, oxHCL_OFS_REGISTER_OFFSET);
}
inline void oxHclSetRegisterOffset(oxHclData& b, std::uint32_t v) {
    oxHclStoreU32(b, oxHCL_OFS_REGISTER_OFFSET, v);
}
inline std::uint32_t oxHclGetMemoryOffset(const oxHclData& b) {
    return oxHclLoadU32(b, oxHCL_OFS_MEMORY_OFFSET);
}
inline void oxHclSetMemoryOffset(oxHclData& b, std::uint32_t v) {
    oxHclStoreU32(b, oxHCL_OFS_MEMORY_OFFSET, v);
}
inline std::uint32_t oxHclGetFlags(const oxHclData& b) {
    return oxHclLoadU32(b, oxHCL_OFS_FLAGS);
}
inline void oxHclSetFlags(oxHclData& b, std::uint32_t v) {
    oxHclStoreU32(b, oxHCL_OFS_FLAGS, v);
}
// Entry i (0 .. 767) of the LCD1 init sequence.
inline std::uint32_t oxHclGetLcd1Reg(const oxHclData& b, std::size_t i) {
    return oxHclLoadU32(b, oxHCL_OFS_LCD1REGS + 4 * i);
}
inline void oxHclSetLcd1Reg(oxHclData& b, std::size_t i, std::uint32_t v) {
    oxHclStoreU32(b, oxHCL_OFS_LCD1REGS + 4 * i, v);
}
// Pair i (0 .. 592) of the register initialisation list.
inline oxHclRegEntry oxHclGetReg(const oxHclData& b, std::size_t i) {
    return {oxHclLoadU16(b, oxHCL_OFS_REGS + 4 * i), oxHclLoadU16(b, oxHCL_OFS_REGS + 4 * i + 2)};
}
inline void oxHclSetReg(oxHclData& b, std::size_t i, oxHclRegEntry e) {
    oxHclStoreU16(b, oxHCL_OFS_REGS + 4 * i, e.Index);
    oxHclStoreU16(b, oxHCL_OFS_REGS + 4 * i + 2, e.Value);
}

// The program's own block: constant-initialised in .data from the template, defined once
// (HclData.cpp). The configuration utility rewrites it in the program's file; the program sees
// the rewritten values when it starts.
extern constinit oxHclData oxgHclInfo;

// CRC-16 (polynomial 0x1021, initial 0xFFFF, MSB first, no reflection, no final XOR) of bytes.
constexpr std::uint16_t oxHclCrc16(std::span<const std::uint8_t> bytes,
                                   std::uint16_t crc = 0xFFFF) {
    std::uint16_t c = crc;
    for (std::uint8_t b : bytes) {
        c = static_cast<std::uint16_t>((c << 8) | ((c >> 8) ^ b));
        c = static_cast<std::uint16_t>(c ^ ((c & 0xFF) >> 4));
        c = static_cast<std::uint16_t>(c ^ (c << 12) ^ ((c & 0xFF) << 5));
    }
    return c;
}

// The CRC of a block: over offsets 532 .. 6013 as they stand in memory. Usable at compile time.
constexpr std::uint16_t oxHclCalcCrc(const oxHclData& block) {
    if (std::is_constant_evaluated()) {
        struct Bytes {
            std::uint8_t b[oxHCL_DATA_SIZE];
        };
        const Bytes bytes = std::bit_cast<Bytes>(block);
        return oxHclCrc16(std::span<const std::uint8_t>(bytes.b + oxHCL_CRC_FIRST,
                                                        oxHCL_DATA_SIZE - oxHCL_CRC_FIRST));
    }
    return oxHclCrc16(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(&block) +
                                                        oxHCL_CRC_FIRST,
                                                    oxHCL_DATA_SIZE - oxHCL_CRC_FIRST));
}

// State of a block's stored CRC.
enum class oxHclCrcState {
    Ok,           // stored CRC equals the computed one
    Unconfigured, // stored CRC is 0 (whatever the computed value)
    Error,        // stored CRC differs from the computed one
};
oxHclCrcState oxHclCheckCrc(const oxHclData& block);

// 16 when oxfADAPTER_USB is set in oxgHclInfo, else 0.
std::uint32_t oxHclIsAdapterUsb();
// Clears oxfADAPTER_USB in oxgHclInfo and returns oxHclIsAdapterUsb() afterwards (0).
std::uint32_t oxHclClearAdapterUsb();

#pragma once
// Little-endian loads and stores of 16-, 24- and 32-bit units at any byte address: the one set
// that every reader and writer of packed little-endian bytes uses (wire packets, descriptors,
// pixel rows, files).
//
//     const uint32_t address = LoadLe24(packet + 2);
//     StoreLe16(packet + 6, length);
//     const uint32_t value = LoadLe(reply + 4, width); // width 1 to 4
//
// memcpy-based, so unaligned addresses are fine and the compiler emits plain moves. Every
// function is always inlined: the pixel kernels are built once per instruction set, and a shared
// out-of-line copy would carry one build's instructions into the other.
//
// (The configuration block's own accessors in hcl/HclData.h read the machine's order on purpose;
// these are for bytes whose order is fixed by a wire or a file.)
#include <cstdint>
#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the loads and stores below assume a little-endian host");

[[gnu::always_inline]] inline uint16_t LoadLe16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
[[gnu::always_inline]] inline uint32_t LoadLe24(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16;
}
[[gnu::always_inline]] inline uint32_t LoadLe32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
[[gnu::always_inline]] inline void StoreLe16(uint8_t* p, uint16_t v) {
    std::memcpy(p, &v, sizeof v);
}
[[gnu::always_inline]] inline void StoreLe24(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
}
[[gnu::always_inline]] inline void StoreLe32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, sizeof v);
}

// A unit of width bytes (1 to 4; any other width reads 0 and stores nothing).
[[gnu::always_inline]] inline uint32_t LoadLe(const uint8_t* p, uint32_t width) {
    uint32_t v = 0;
    if (width >= 1 && width <= 4) {
        std::memcpy(&v, p, width);
    }
    return v;
}
[[gnu::always_inline]] inline void StoreLe(uint8_t* p, uint32_t width, uint32_t v) {
    if (width >= 1 && width <= 4) {
        std::memcpy(p, &v, width);
    }
}

// Big-endian 16-bit units, for blocks stored in the other byte order.
[[gnu::always_inline]] inline uint16_t LoadBe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
[[gnu::always_inline]] inline void StoreBe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

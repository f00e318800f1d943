#pragma once
// Typed loads and stores of little-endian 16- and 32-bit units at any byte address.
//
//     const uint16_t word = LoadLe16(line + 2 * x);   // an R565 pixel
//     StoreLe32(out + 4 * x, 0xFF000000u | rgb);
//
// memcpy-based, so unaligned addresses are fine and the compiler emits plain moves.
#include <cstdint>
#include <cstring>

[[gnu::always_inline]] inline uint16_t LoadLe16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
[[gnu::always_inline]] inline uint32_t LoadLe32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
[[gnu::always_inline]] inline void StoreLe16(uint8_t* p, uint16_t v) {
    std::memcpy(p, &v, sizeof v);
}
[[gnu::always_inline]] inline void StoreLe32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, sizeof v);
}
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the loads above assume a little-endian host");
// (Always inlined: the row kernels are built once per instruction set, and a shared
// out-of-line copy would carry one build's instructions into the other.)

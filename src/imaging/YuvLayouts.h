#pragma once
// Where luma and chroma bytes lie inside a group of each YCbCr layout: byte positions within a
// 4:1:1 group of 6 bytes, a 4:2:2 pair of 4 bytes and the even-line pair of 4:2:0 layouts 0-7.
//
//     const GroupBytes& g = kYuv422Bytes[2];   // "Y422.U-Y-V-Y": Cb Y0 Cr Y1
//     const uint8_t y1 = pair[g.Y[1]];
//
// One table for the per-pixel rows, the family loops and the row kernels.
#include <cstdint>

struct GroupBytes {
    uint8_t Y[4]; // luma of pixels 0-3 of the group (pairs use the first two)
    uint8_t Cb;
    uint8_t Cr;
};

// 4:1:1 layouts 0-3.
inline constexpr GroupBytes kYuv411Bytes[4] = {
    {{0, 2, 5, 4}, 1, 3},
    {{0, 2, 5, 4}, 3, 1},
    {{1, 3, 4, 5}, 0, 2},
    {{1, 3, 4, 5}, 2, 0},
};

// 4:2:2 layouts 0-3.
inline constexpr GroupBytes kYuv422Bytes[4] = {
    {{0, 2, 0, 0}, 1, 3},
    {{0, 2, 0, 0}, 3, 1},
    {{1, 3, 0, 0}, 0, 2},
    {{1, 3, 0, 0}, 2, 0},
};

// The even line of 4:2:0 layouts 0-7 (two layouts share each order; the odd layouts store the
// odd line's luma bytes swapped in pairs).
inline constexpr GroupBytes kYuv420EvenBytes[8] = {
    {{1, 3, 0, 0}, 0, 2}, {{1, 3, 0, 0}, 0, 2}, {{1, 3, 0, 0}, 2, 0}, {{1, 3, 0, 0}, 2, 0},
    {{0, 2, 0, 0}, 1, 3}, {{0, 2, 0, 0}, 1, 3}, {{0, 2, 0, 0}, 3, 1}, {{0, 2, 0, 0}, 3, 1},
};

// The 4:2:0 layouts that keep 3 bytes per pair on every line (Cb on the even line, Cr below).
[[gnu::always_inline]] inline bool IsYuv420ThreeByteLayout(int32_t layout) {
    return layout == 8 || layout == 9 || layout == 11;
}

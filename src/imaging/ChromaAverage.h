#pragma once
// The chroma average of the YCbCr family loops: with ChromaOffset the bytes are added unsigned
// and the sum shifted down; without it they are added signed and divided truncating toward 0.
//
//     const uint8_t cb = AverageChroma2(p0.Cb, p1.Cb, dst.ChromaOffset != 0);
#include <cstdint>

[[gnu::always_inline]] inline uint8_t AverageChroma2(uint8_t a, uint8_t b, bool offset) {
    if (offset) {
        return static_cast<uint8_t>((uint32_t{a} + b) >> 1);
    }
    return static_cast<uint8_t>((int32_t{static_cast<int8_t>(a)} + static_cast<int8_t>(b)) / 2);
}

[[gnu::always_inline]] inline uint8_t AverageChroma4(uint8_t a, uint8_t b, uint8_t c, uint8_t d,
                                                     bool offset) {
    if (offset) {
        return static_cast<uint8_t>((uint32_t{a} + b + c + d) >> 2);
    }
    return static_cast<uint8_t>((int32_t{static_cast<int8_t>(a)} + static_cast<int8_t>(b) +
                                 static_cast<int8_t>(c) + static_cast<int8_t>(d)) /
                                4);
}

#pragma once
// The built-in 8x8 font of the drawing primitives: characters 32 to 127, eight bytes per
// character, one per row from the top, bit 7 the leftmost pixel.
#include <cstdint>

inline constexpr uint32_t kFontFirstChar = 32;
inline constexpr uint32_t kFontLastChar = 127;
inline constexpr uint32_t kFontGlyphSize = 8;

// The glyph rows of ch, or nullptr when ch is outside 32 to 127.
const uint8_t* FontGlyph(uint32_t ch);

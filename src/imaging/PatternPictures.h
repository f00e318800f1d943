#pragma once
// The eight built-in 50x50 pictures of the FRUIT and CHILD tiles: 3 bytes per pixel in the
// order R, G, B, rows top to bottom. They are drawn by scripts/make_pattern_pictures.py from
// simple shapes; PatternPictures.inc holds its output.
#include <cstdint>

inline constexpr int32_t kPictureSide = 50;
inline constexpr int32_t kPictureBytes = kPictureSide * kPictureSide * 3;

// Picture 1 to 4 of set 0 (FRUIT) or set 1 (CHILD) as kPictureBytes bytes; nullptr outside.
const uint8_t* PatternPicture(uint32_t set, uint32_t picture);

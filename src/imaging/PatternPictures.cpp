// The built-in pictures of the FRUIT and CHILD tiles (data drawn by
// scripts/make_pattern_pictures.py).
#include "imaging/PatternPictures.h"

namespace {
#include "imaging/PatternPictures.inc"
} // namespace

const uint8_t* PatternPicture(uint32_t set, uint32_t picture) {
    if (set > 1 || picture < 1 || picture > 4) {
        return nullptr;
    }
    return kPatternPictureData[set][picture - 1];
}

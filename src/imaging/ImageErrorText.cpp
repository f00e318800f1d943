// The texts of the image-file and AVI result codes.
#include "imaging/ImageFile.h"

#include <array>

namespace {

constexpr std::array<const char*, 8> kImageTexts{
    "No error",  "File open", "Invalid header", "Unsupported format",
    "No memory", "File read", "File write",     "Data convert",
};

// Codes 0 to 13 of AviWin; those the table leaves without a text of their own say "Unknown".
constexpr std::array<const char*, 14> kAviTexts{
    "No error",  "No memory",   "No video stream", "File open",
    "File info", "Stream open", "Stream info",     "Stream read format",
    "Unknown",   "No codec",    "Unknown",         "Frame read",
    "Unknown",   "Unknown",
};

} // namespace

const char* ImageErrorText(IMAGE_ERROR code) {
    const uint32_t value = static_cast<uint32_t>(code);
    if ((value >> 16) != 0) {
        const uint32_t avi = value - kImageAviBase;
        return avi < kAviTexts.size() ? kAviTexts[avi] : "Unknown";
    }
    return value < kImageTexts.size() ? kImageTexts[value] : "Unknown";
}

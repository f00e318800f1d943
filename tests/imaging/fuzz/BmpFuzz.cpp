// Fuzz entry of the BMP reader: every input, as a stream in memory and as a file with a
// descriptor, is probed, then read into its natural row and into one row it chooses, each into a
// buffer of exactly the size the probe implies.
#include "FuzzSupport.h"

using namespace imagefuzz;

namespace {

// Bytes per pixel of the natural row for the probed depth; 4 (the most) for depths the reader
// refuses, which it does before writing anything.
int64_t NaturalBytesPerPixel(uint32_t bits) {
    switch (bits) {
    case 8:
    case 24:
        return 3;
    case 16:
        return 2;
    default:
        return 4;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WithEachStream(data, size, [&](FILE* file) {
        unsigned width = 0;
        unsigned height = 0;
        ImageInfo info{};
        const IMAGE_ERROR probed = ImageProbeBmpFile(file, &width, &height, &info);
        FuzzCheck(IsKnownCode(probed));
        if (probed == kImageOk) {
            ReadBothWays(file, data, size, NaturalBytesPerPixel(info.Frames & 0xFFFF), width,
                         height, ImageReadBmpFile);
        }
    });
    return 0;
}

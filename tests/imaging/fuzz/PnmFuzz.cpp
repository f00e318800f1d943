// Fuzz entry of the PPM and PGM reader: the magic's digit says which (2 and 5 are PGM); each
// input, as a stream in memory and as a file with a descriptor, is probed, then read into its
// natural row and into one row it chooses, each into a buffer of exactly the size the probe
// implies.
#include "FuzzSupport.h"

using namespace imagefuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool gray = size > 1 && (data[1] == '2' || data[1] == '5');
    WithEachStream(data, size, [&](FILE* file) {
        unsigned width = 0;
        unsigned height = 0;
        const IMAGE_ERROR probed = ImageProbePnmFile(file, gray, &width, &height);
        FuzzCheck(IsKnownCode(probed));
        if (probed == kImageOk) {
            ReadBothWays(file, data, size, gray ? 1 : 3, width, height,
                         [gray](FILE* f, uint8_t* buffer, int32_t row, uint32_t flags) {
                             return ImageReadPnmFile(f, gray, buffer, row, flags);
                         });
        }
    });
    return 0;
}

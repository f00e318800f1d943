// Fuzz entry of the PPM and PGM reader: the magic's digit says which (2 and 5 are PGM); each
// input is probed, then read into its natural row and into one row it chooses, each into a
// buffer of exactly the size the probe implies.
#include "FuzzSupport.h"

using namespace imagefuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = OpenInput(data, size);
    if (file == nullptr) {
        return 0;
    }
    const bool gray = size > 1 && (data[1] == '2' || data[1] == '5');
    unsigned width = 0;
    unsigned height = 0;
    const IMAGE_ERROR probed = ImageProbePnmFile(file, gray, &width, &height);
    Check(IsKnownCode(probed));
    if (probed == kImageOk) {
        Check(width > 0 && width <= INT32_MAX && height > 0 && height <= INT32_MAX);
        const int64_t natural = AffordableImage(gray ? 1 : 3, width, height);
        if (natural != 0) {
            const auto buffer = ExactBuffer(natural);
            std::rewind(file);
            Check(IsKnownCode(ImageReadPnmFile(file, gray, buffer.get(), -1, 0)));
        }
        Conv conv;
        const int32_t row = ChosenRow(data, size);
        const int64_t chosen = conv.GetImageSize(row, int32_t(width), int32_t(height));
        if (Affordable(chosen)) {
            const auto buffer = ExactBuffer(chosen);
            std::rewind(file);
            Check(IsKnownCode(ImageReadPnmFile(file, gray, buffer.get(), row, data[0] & 3)));
        }
    }
    std::fclose(file);
    return 0;
}

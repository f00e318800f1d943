// The PPM and PGM writer: the binary form, maximum value 255, the samples in one write.
#include "imaging/ImageFile.h"
#include "imaging/ImageFileSupport.h"

#include <cstdio>

using namespace imagefile;

namespace {

IMAGE_ERROR PreparePnm(bool gray, const uint8_t* buffer, int32_t row, uint32_t flags,
                       unsigned width, unsigned height, WriteSource* source) {
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) {
        return kImageDataConvert;
    }
    return source->Prepare(buffer, row, flags, FormatRow(gray ? kNameMono : kNameRgb),
                           static_cast<int32_t>(width), static_cast<int32_t>(height));
}

IMAGE_ERROR WritePnmSamples(FILE* file, bool gray, const uint8_t* samples, unsigned width,
                            unsigned height) {
    if (std::fprintf(file, "P%c%c%u %u%c255%c", gray ? '5' : '6', '\n', width, height, '\n', '\n') <
        0) {
        return kImageFileWrite;
    }
    const size_t size = size_t{width} * height * (gray ? 1 : 3);
    return WriteAll(file, samples, size) ? kImageOk : kImageFileWrite;
}

// Path created from the buffer.
IMAGE_ERROR WritePnm(const char* path, bool gray, const uint8_t* buffer, int32_t row,
                     uint32_t flags, unsigned width, unsigned height) {
    WriteSource source;
    if (const IMAGE_ERROR code = PreparePnm(gray, buffer, row, flags, width, height, &source);
        code != kImageOk) {
        return code;
    }
    return WriteTo(
        path, [&](FILE* out) { return WritePnmSamples(out, gray, source.Lines(), width, height); });
}

} // namespace

IMAGE_ERROR ImageWritePpm(const char* path, const uint8_t* buffer, int32_t row, uint32_t flags,
                          unsigned width, unsigned height) {
    return WritePnm(path, false, buffer, row, flags, width, height);
}

IMAGE_ERROR ImageWritePgm(const char* path, const uint8_t* buffer, int32_t row, uint32_t flags,
                          unsigned width, unsigned height) {
    return WritePnm(path, true, buffer, row, flags, width, height);
}

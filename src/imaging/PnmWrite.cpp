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

IMAGE_ERROR WritePnmPath(const char* path, bool gray, const uint8_t* buffer, int32_t row,
                         uint32_t flags, unsigned width, unsigned height) {
    WriteSource source;
    if (const IMAGE_ERROR code = PreparePnm(gray, buffer, row, flags, width, height, &source);
        code != kImageOk) {
        return code;
    }
    const FileHandle file(std::fopen(path, "wb"));
    if (file == nullptr) {
        return kImageFileOpen;
    }
    IMAGE_ERROR code = WritePnmSamples(file.get(), gray, source.Lines(), width, height);
    if (std::fflush(file.get()) != 0 && code == kImageOk) {
        code = kImageFileWrite;
    }
    return code;
}

} // namespace

IMAGE_ERROR ImageWritePnmFile(FILE* file, bool gray, const uint8_t* buffer, int32_t row,
                              uint32_t flags, unsigned width, unsigned height) {
    WriteSource source;
    if (const IMAGE_ERROR code = PreparePnm(gray, buffer, row, flags, width, height, &source);
        code != kImageOk) {
        return code;
    }
    return WritePnmSamples(file, gray, source.Lines(), width, height);
}

IMAGE_ERROR ImageWritePpm(const char* path, const uint8_t* buffer, int32_t row, uint32_t flags,
                          unsigned width, unsigned height) {
    return WritePnmPath(path, false, buffer, row, flags, width, height);
}

IMAGE_ERROR ImageWritePgm(const char* path, const uint8_t* buffer, int32_t row, uint32_t flags,
                          unsigned width, unsigned height) {
    return WritePnmPath(path, true, buffer, row, flags, width, height);
}

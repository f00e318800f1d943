// The BMP reader: stored lines in file order, each turned into its image line of the natural
// row (24-bit B, G, R reordered to R, G, B; palette indices looked up), then converted to the
// caller's row when it differs.
#include "imaging/BmpLayout.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFileSupport.h"

#include <cstring>
#include <sys/types.h>
#include <vector>

using namespace imagefile;

namespace {

void ReorderBgrLine(const uint8_t* in, uint8_t* out, int32_t width) {
    for (int32_t x = 0; x < width; ++x) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        in += 3;
        out += 3;
    }
}

void LookUpPaletteLine(const uint8_t* in, uint8_t* out, int32_t width, const BmpLayout& layout) {
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* entry = &layout.Palette[4 * size_t{in[x]}];
        out[0] = entry[2];
        out[1] = entry[1];
        out[2] = entry[0];
        out += 3;
    }
}

} // namespace

IMAGE_ERROR ImageReadBmpFile(FILE* file, uint8_t* buffer, int32_t row, uint32_t flags) {
    BmpLayout layout;
    if (const IMAGE_ERROR code = ReadBmpGeometry(file, &layout); code != kImageOk) {
        return code;
    }
    if (const IMAGE_ERROR code = ResolveBmpPixels(file, &layout); code != kImageOk) {
        return code;
    }
    // Every line must be there before anything is allocated for them.
    const size_t dataBytes = size_t(layout.Width) * (layout.BitsPerPixel / 8);
    if (layout.PixelOffset > uint64_t(INT64_MAX) ||
        fseeko(file, static_cast<off_t>(layout.PixelOffset), SEEK_SET) != 0) {
        return kImageFileRead;
    }
    const int64_t remaining = RemainingBytes(file);
    if (remaining >= 0 &&
        uint64_t(remaining) < layout.LineSize * uint64_t(layout.Height - 1) + dataBytes) {
        return kImageFileRead;
    }
    const int64_t naturalSize = NaturalSize(layout.NaturalRow, layout.Width, layout.Height);
    ReadTarget target;
    if (const IMAGE_ERROR code = target.Prepare(buffer, row, layout.NaturalRow, naturalSize);
        code != kImageOk) {
        return code;
    }
    const size_t imageLine = static_cast<size_t>(naturalSize / layout.Height);
    std::vector<uint8_t> stored(layout.LineSize);
    // The last line needs no padding after it: a file may end with its data.
    for (int32_t k = 0; k < layout.Height; ++k) {
        const size_t want = k + 1 < layout.Height ? stored.size() : dataBytes;
        if (!ReadAll(file, stored.data(), want)) {
            return kImageFileRead;
        }
        const int32_t line = layout.TopDown ? k : layout.Height - 1 - k;
        uint8_t* out = target.Lines() + size_t(line) * imageLine;
        switch (layout.BitsPerPixel) {
        case 24:
            ReorderBgrLine(stored.data(), out, layout.Width);
            break;
        case 8:
            LookUpPaletteLine(stored.data(), out, layout.Width, layout);
            break;
        default:
            std::memcpy(out, stored.data(), imageLine);
            break;
        }
    }
    return target.Finish(row, flags, layout.Width, layout.Height);
}

IMAGE_ERROR ImageReadBmp(const char* path, uint8_t* buffer, int32_t row, uint32_t flags) {
    const FileHandle file(std::fopen(path, "rb"));
    if (file == nullptr) {
        return kImageFileOpen;
    }
    return ImageReadBmpFile(file.get(), buffer, row, flags);
}

// The BMP writer: a 14-byte file header, a 40-byte information header and the lines, bottom-up
// unless the height is negative, each padded with zeros to a multiple of 4 bytes.
#include "common/ByteOrder.h"
#include "imaging/BmpLayout.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFileSupport.h"

#include <algorithm>
#include <array>
#include <vector>

using namespace imagefile;

namespace {

constexpr uint32_t kPixelsPerMetre = 3936;

// The row the file stores: the caller's when the file can hold it as it is, else B, G, R.
int32_t OutputRow(int32_t row) {
    for (const char* name : {kNameR555, kNameBgr, kNameArgb}) {
        if (row >= 0 && row == FormatRow(name)) {
            return row;
        }
    }
    return FormatRow(kNameBgr);
}

std::array<uint8_t, kBmpFileHeaderSize + kBmpInfoHeaderSize>
BmpHeaders(int32_t width, int32_t height, uint32_t bytesPerPixel, uint32_t imageBytes) {
    std::array<uint8_t, kBmpFileHeaderSize + kBmpInfoHeaderSize> h{};
    h[0] = 'B';
    h[1] = 'M';
    StoreLe32(&h[2], kBmpFileHeaderSize + kBmpInfoHeaderSize + imageBytes);
    StoreLe32(&h[10], kBmpFileHeaderSize + kBmpInfoHeaderSize);
    StoreLe32(&h[14], kBmpInfoHeaderSize);
    StoreLe32(&h[18], static_cast<uint32_t>(width));
    StoreLe32(&h[22], static_cast<uint32_t>(height));
    StoreLe16(&h[26], 1);
    StoreLe16(&h[28], static_cast<uint16_t>(8 * bytesPerPixel));
    StoreLe32(&h[30], kBiRgb);
    StoreLe32(&h[34], imageBytes);
    StoreLe32(&h[38], kPixelsPerMetre);
    StoreLe32(&h[42], kPixelsPerMetre);
    return h;
}

// Checks the geometry and prepares the samples of the stored row.
IMAGE_ERROR PrepareBmp(const uint8_t* buffer, int32_t row, uint32_t flags, unsigned width,
                       int32_t height, int32_t* outputRow, WriteSource* source) {
    if (width == 0 || width > INT32_MAX || height == 0 || height == INT32_MIN) {
        return kImageDataConvert;
    }
    *outputRow = OutputRow(row);
    const int32_t lines = height < 0 ? -height : height;
    const int32_t sourceRow = row < 0 ? -1 : row;
    IMAGE_ERROR code =
        source->Prepare(buffer, sourceRow, flags, *outputRow, static_cast<int32_t>(width), lines);
    if (code == kImageOk) {
        // The file sizes are 32-bit fields: the padded image must fit them.
        const uint64_t lineSize =
            (uint64_t{width} * (g_PixelFormats[*outputRow].StorageBits / 8) + 3) / 4 * 4;
        if (lineSize * uint64_t(lines) + kBmpFileHeaderSize + kBmpInfoHeaderSize > UINT32_MAX) {
            code = kImageDataConvert;
        }
    }
    return code;
}

IMAGE_ERROR WriteBmpLines(FILE* file, const uint8_t* samples, int32_t outputRow, unsigned width,
                          int32_t height) {
    const uint32_t bytesPerPixel = g_PixelFormats[outputRow].StorageBits / 8;
    const int32_t lines = height < 0 ? -height : height;
    const size_t lineBytes = size_t{width} * bytesPerPixel;
    const size_t lineSize = (lineBytes + 3) / 4 * 4;
    const auto headers = BmpHeaders(static_cast<int32_t>(width), height, bytesPerPixel,
                                    static_cast<uint32_t>(lineSize * size_t(lines)));
    if (!WriteAll(file, headers.data(), headers.size())) {
        return kImageFileWrite;
    }
    std::vector<uint8_t> line(lineSize, 0);
    for (int32_t k = 0; k < lines; ++k) {
        const int32_t imageLine = height < 0 ? k : lines - 1 - k;
        std::copy_n(samples + size_t(imageLine) * lineBytes, lineBytes, line.begin());
        if (!WriteAll(file, line.data(), lineSize)) {
            return kImageFileWrite;
        }
    }
    return kImageOk;
}

} // namespace

IMAGE_ERROR ImageWriteBmp(const char* path, const uint8_t* buffer, int32_t row, uint32_t flags,
                          unsigned width, int32_t height) {
    int32_t outputRow = -1;
    WriteSource source;
    if (const IMAGE_ERROR code = PrepareBmp(buffer, row, flags, width, height, &outputRow, &source);
        code != kImageOk) {
        return code;
    }
    return WriteTo(path, [&](FILE* out) {
        return WriteBmpLines(out, source.Lines(), outputRow, width, height);
    });
}

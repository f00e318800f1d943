// Checks of a BMP file's headers before its pixels are read.
#include "imaging/BmpLayout.h"

#include "imaging/ImageFileSupport.h"
#include "common/ByteOrder.h"

#include <algorithm>
#include <sys/types.h>

namespace imagefile {

namespace {

int32_t LoadLeS32(const uint8_t* p) {
    return static_cast<int32_t>(LoadLe32(p));
}

// The bytes per pixel of the natural row that a depth is read into (8-bit palettes become RGB).
uint32_t NaturalBytesPerPixel(uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 8:
    case 24:
        return 3;
    case 16:
        return 2;
    case 32:
        return 4;
    default:
        return 0;
    }
}

// The row of BI_BITFIELDS masks (red, green, blue, alpha as stored), -1 when not supported.
int32_t BitfieldsRow(uint32_t bitsPerPixel, uint32_t red, uint32_t green, uint32_t blue,
                     uint32_t alpha) {
    if (bitsPerPixel == 16 && alpha == 0 && blue == 0x001F) {
        if (red == 0x7C00 && green == 0x03E0) {
            return FormatRow(kNameR555);
        }
        if (red == 0xF800 && green == 0x07E0) {
            return FormatRow(kNameR565);
        }
    }
    if (bitsPerPixel == 32 && red == 0x00FF0000 && green == 0x0000FF00 && blue == 0x000000FF &&
        (alpha == 0 || alpha == 0xFF000000)) {
        return FormatRow(kNameArgb);
    }
    return -1;
}

} // namespace

IMAGE_ERROR ReadBmpGeometry(FILE* file, BmpLayout* layout) {
    std::array<uint8_t, kBmpFileHeaderSize + kBmpInfoHeaderSize> header{};
    if (!ReadAll(file, header.data(), kBmpFileHeaderSize + 4)) {
        return kImageInvalidHeader;
    }
    layout->PixelOffset = LoadLe32(&header[10]);
    layout->InfoSize = LoadLe32(&header[14]);
    if (layout->InfoSize == kBmpOs2HeaderSize) {
        return kImageUnsupportedFormat;
    }
    if (layout->InfoSize < kBmpInfoHeaderSize ||
        !ReadAll(file, &header[18], kBmpInfoHeaderSize - 4)) {
        return kImageInvalidHeader;
    }
    const int32_t width = LoadLeS32(&header[18]);
    const int32_t height = LoadLeS32(&header[22]);
    if (width <= 0 || height == 0 || height == INT32_MIN) {
        return kImageInvalidHeader;
    }
    layout->Width = width;
    layout->Height = height < 0 ? -height : height;
    layout->TopDown = height < 0;
    layout->BitsPerPixel = LoadLe16(&header[28]);
    layout->Compression = LoadLe32(&header[30]);
    layout->PaletteEntries = LoadLe32(&header[46]);
    // Depths the reader refuses are sized as one byte per pixel.
    const uint32_t bytesPerPixel = std::max(NaturalBytesPerPixel(layout->BitsPerPixel), 1u);
    if (!FitsImageSize(bytesPerPixel, uint32_t(layout->Width), uint32_t(layout->Height))) {
        return kImageInvalidHeader;
    }
    return kImageOk;
}

IMAGE_ERROR ResolveBmpPixels(FILE* file, BmpLayout* layout) {
    const uint32_t bits = layout->BitsPerPixel;
    if (NaturalBytesPerPixel(bits) == 0) {
        return kImageUnsupportedFormat;
    }
    layout->LineSize = (uint64_t(layout->Width) * (bits / 8) + 3) / 4 * 4;
    if (layout->Compression == kBiRgb) {
        switch (bits) {
        case 32:
            layout->NaturalRow = FormatRow(kNameArgb);
            break;
        case 16:
            layout->NaturalRow = FormatRow(kNameR555);
            break;
        default:
            layout->NaturalRow = FormatRow(kNameRgb);
            break;
        }
    } else if (layout->Compression == kBiBitfields) {
        // The masks follow the 40 bytes of information, inside a V4 or V5 header or after it.
        // After a 40-byte header they must lie before the pixels (some writers set the
        // compression and leave the masks out).
        std::array<uint8_t, 16> masks{};
        const size_t maskBytes = layout->InfoSize >= kBmpInfoHeaderSize + 16 ? 16 : 12;
        const uint64_t masksEnd = uint64_t{kBmpFileHeaderSize} + kBmpInfoHeaderSize + maskBytes;
        if (layout->InfoSize < kBmpInfoHeaderSize + 12 && layout->PixelOffset < masksEnd) {
            return kImageUnsupportedFormat;
        }
        if (!ReadAll(file, masks.data(), maskBytes)) {
            return kImageInvalidHeader;
        }
        layout->NaturalRow = BitfieldsRow(bits, LoadLe32(&masks[0]), LoadLe32(&masks[4]),
                                          LoadLe32(&masks[8]), LoadLe32(&masks[12]));
        if (layout->NaturalRow < 0) {
            return kImageUnsupportedFormat;
        }
    } else {
        return kImageUnsupportedFormat;
    }
    if (bits != 8) {
        layout->PaletteEntries = 0;
        return kImageOk;
    }
    const uint32_t used = layout->PaletteEntries;
    layout->PaletteEntries = (used >= 1 && used <= 256) ? used : 256;
    const uint64_t paletteOffset = uint64_t{kBmpFileHeaderSize} + layout->InfoSize;
    if (paletteOffset > uint64_t(INT64_MAX) ||
        fseeko(file, static_cast<off_t>(paletteOffset), SEEK_SET) != 0 ||
        !ReadAll(file, layout->Palette.data(), 4 * size_t{layout->PaletteEntries})) {
        return kImageFileRead;
    }
    return kImageOk;
}

} // namespace imagefile

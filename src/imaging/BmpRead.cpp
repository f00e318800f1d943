// The BMP reader: stored lines in file order, a block at a time, each turned into its image line
// of the natural row (24-bit B, G, R reordered to R, G, B; palette indices looked up), or, when
// the caller's row differs, converted into it from the block as the lines arrive. A top-down
// file's block is a run of image lines and goes through the converter in one call. A file of 16,
// 24 or 32 bits read into its natural row has its lines read straight into place (BmpLines).
#include "imaging/BmpLayout.h"
#include "imaging/BmpLines.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFileSupport.h"

#include <cstring>
#include <sys/types.h>
#include <vector>

using namespace imagefile;

namespace {

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
    // When a conversion follows anyway, 24-bit lines stay B, G, R: the converter reads them so.
    const bool keepBgr = layout.BitsPerPixel == 24 && row >= 0 && row != layout.NaturalRow;
    if (keepBgr) {
        layout.NaturalRow = FormatRow(kNameBgr);
    }
    ReadTarget target;
    if (const IMAGE_ERROR code =
            target.Prepare(buffer, row, flags, layout.NaturalRow, layout.Width, layout.Height);
        code != kImageOk) {
        return code;
    }
    if (!target.Converts() && ReadsBmpLinesInPlace(file, layout)) {
        return ReadBmpLinesInPlace(file, layout, buffer);
    }
    LineBlocks blocks(file, layout.LineSize, layout.Height, dataBytes);
    BgrLineReorder reorder(layout.Width);
    // count stored lines, one after the other from stored, to image lines y .. y + count - 1.
    const auto place = [&](const uint8_t* stored, int32_t y, int32_t count) {
        if (layout.BitsPerPixel == 8) {
            for (int32_t k = 0; k < count; ++k) {
                LookUpPaletteLine(stored + k * layout.LineSize, target.Line(y + k), layout.Width,
                                  layout);
            }
            return kImageOk;
        }
        if (layout.BitsPerPixel == 24 && !keepBgr) {
            // No conversion follows: the caller's lines lie one after the other.
            return reorder.Run(stored, layout.LineSize, target.Line(y), count) ? kImageOk
                                                                               : kImageDataConvert;
        }
        return target.StoreLines(stored, layout.LineSize, y, count);
    };
    for (int32_t k = 0; k < layout.Height;) {
        int32_t count = 0;
        const uint8_t* stored = blocks.NextLines(&count);
        if (stored == nullptr) {
            return kImageFileRead;
        }
        if (layout.TopDown) {
            if (const IMAGE_ERROR code = place(stored, k, count); code != kImageOk) {
                return code;
            }
        } else if (layout.BitsPerPixel != 8 && keepBgr == (layout.BitsPerPixel == 24)) {
            // Samples as they are stored, converted: the block, bottom line first, in one go.
            if (const IMAGE_ERROR code = target.StoreLinesUpward(stored, layout.LineSize,
                                                                 layout.Height - k - count, count);
                code != kImageOk) {
                return code;
            }
        } else {
            // File order is bottom to top: one image line at a time, upwards.
            for (int32_t n = 0; n < count; ++n) {
                if (const IMAGE_ERROR code =
                        place(stored + n * layout.LineSize, layout.Height - 1 - (k + n), 1);
                    code != kImageOk) {
                    return code;
                }
            }
        }
        k += count;
    }
    return target.Finish();
}

IMAGE_ERROR ImageReadBmp(const char* path, uint8_t* buffer, int32_t row, uint32_t flags) {
    const FileHandle file(std::fopen(path, "rb"));
    if (file == nullptr) {
        return kImageFileOpen;
    }
    return ImageReadBmpFile(file.get(), buffer, row, flags);
}

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

// B, G, R lines to R, G, B through the converter's row kernel, one line at a time.
class BgrLineReorder {
public:
    explicit BgrLineReorder(int32_t width)
        : m_In(Line(FormatRow(kNameBgr), width)), m_Out(Line(FormatRow(kNameRgb), width)) {}
    bool Run(const uint8_t* in, uint8_t* out) {
        // The converter only reads the source line.
        m_In.Buffer = const_cast<uint8_t*>(in);
        m_Out.Buffer = out;
        return m_Conv.Convert(&m_In, &m_Out) != 0;
    }

private:
    static Surface Line(int32_t row, int32_t width) {
        Surface s{};
        s.Format = row;
        s.Width = width;
        s.Height = 1;
        s.BufSize = 3 * width;
        return s;
    }
    Conv m_Conv;
    Surface m_In;
    Surface m_Out;
};

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
    const int64_t naturalSize = NaturalSize(layout.NaturalRow, layout.Width, layout.Height);
    ReadTarget target;
    if (const IMAGE_ERROR code = target.Prepare(buffer, row, layout.NaturalRow, naturalSize);
        code != kImageOk) {
        return code;
    }
    const size_t imageLine = static_cast<size_t>(naturalSize / layout.Height);
    LineBlocks blocks(file, layout.LineSize, layout.Height, dataBytes);
    BgrLineReorder reorder(layout.Width);
    for (int32_t k = 0; k < layout.Height; ++k) {
        const uint8_t* stored = blocks.Next();
        if (stored == nullptr) {
            return kImageFileRead;
        }
        const int32_t line = layout.TopDown ? k : layout.Height - 1 - k;
        uint8_t* out = target.Lines() + size_t(line) * imageLine;
        if (layout.BitsPerPixel == 24 && !keepBgr) {
            if (!reorder.Run(stored, out)) {
                return kImageDataConvert;
            }
        } else if (layout.BitsPerPixel == 8) {
            LookUpPaletteLine(stored, out, layout.Width, layout);
        } else {
            std::memcpy(out, stored, imageLine);
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

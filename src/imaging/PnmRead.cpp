// The PPM and PGM reader: samples line by line, one byte each below a maximum value of 256 and
// two (high byte first) above, scaled to 0..255 as (v * 255 + max / 2) / max. When the caller
// asks for another row, the lines are converted a block at a time as they are read.
#include "imaging/ImageFile.h"
#include "imaging/ImageFileSupport.h"
#include "imaging/PnmHeader.h"

#include <array>

using namespace imagefile;

namespace {

inline uint8_t Scale(uint32_t value, uint32_t maxValue) {
    return static_cast<uint8_t>((value * 255u + maxValue / 2) / maxValue);
}

IMAGE_ERROR ReadBinaryLines(FILE* file, const PnmHeader& header, ReadTarget& target) {
    const size_t samplesPerLine = size_t(header.Width) * header.Channels;
    if (header.MaxValue == 255 && !target.Converts()) {
        // The samples are the image's bytes: one read.
        return ReadAll(file, target.Line(0), samplesPerLine * size_t(header.Height))
                   ? kImageOk
                   : kImageFileRead;
    }
    const bool wide = header.MaxValue > 255;
    const size_t lineSize = samplesPerLine * (wide ? 2 : 1);
    LineBlocks blocks(file, lineSize, header.Height, lineSize);
    if (header.MaxValue == 255) {
        // The samples are natural lines: converted from the block as it comes.
        for (int32_t y = 0; y < header.Height;) {
            int32_t count = 0;
            const uint8_t* stored = blocks.NextLines(&count);
            if (stored == nullptr) {
                return kImageFileRead;
            }
            if (const IMAGE_ERROR code = target.StoreLines(stored, lineSize, y, count);
                code != kImageOk) {
                return code;
            }
            y += count;
        }
        return kImageOk;
    }
    std::array<uint8_t, 256> scale{};
    for (uint32_t v = 0; v < scale.size(); ++v) {
        scale[v] = v <= header.MaxValue ? Scale(v, header.MaxValue) : 0;
    }
    for (int32_t y = 0; y < header.Height; ++y) {
        const uint8_t* stored = blocks.Next();
        if (stored == nullptr) {
            return kImageFileRead;
        }
        uint8_t* out = target.Line(y);
        for (size_t i = 0; i < samplesPerLine; ++i) {
            const uint32_t v = wide ? uint32_t{stored[2 * i]} << 8 | stored[2 * i + 1] : stored[i];
            if (v > header.MaxValue) {
                return kImageFileRead;
            }
            out[i] = wide ? Scale(v, header.MaxValue) : scale[v];
        }
    }
    return kImageOk;
}

IMAGE_ERROR ReadPlainLines(FILE* file, const PnmHeader& header, ReadTarget& target) {
    const size_t samplesPerLine = size_t(header.Width) * header.Channels;
    for (int32_t y = 0; y < header.Height; ++y) {
        uint8_t* out = target.Line(y);
        for (size_t i = 0; i < samplesPerLine; ++i) {
            uint32_t v = 0;
            if (!ReadPnmNumber(file, false, header.MaxValue, &v)) {
                return kImageFileRead;
            }
            out[i] = Scale(v, header.MaxValue);
        }
    }
    return kImageOk;
}

IMAGE_ERROR ReadPnmPath(const char* path, bool gray, uint8_t* buffer, int32_t row, uint32_t flags) {
    const FileHandle file(std::fopen(path, "rb"));
    if (file == nullptr) {
        return kImageFileOpen;
    }
    return ImageReadPnmFile(file.get(), gray, buffer, row, flags);
}

} // namespace

IMAGE_ERROR ImageReadPnmFile(FILE* file, bool gray, uint8_t* buffer, int32_t row, uint32_t flags) {
    PnmHeader header;
    if (const IMAGE_ERROR code = ReadPnmHeader(file, gray, &header); code != kImageOk) {
        return code;
    }
    // The samples must be there before anything is allocated for them: two bytes each in the
    // binary form above 255, one below; at least a digit and a separator each in the plain form.
    const uint64_t samples = uint64_t(header.Width) * header.Channels * uint64_t(header.Height);
    const uint64_t least =
        header.Plain ? 2 * samples - 1 : samples * (header.MaxValue > 255 ? 2 : 1);
    const int64_t remaining = RemainingBytes(file);
    if (remaining >= 0 && uint64_t(remaining) < least) {
        return kImageFileRead;
    }
    const int32_t naturalRow = FormatRow(gray ? kNameMono : kNameRgb);
    ReadTarget target;
    if (const IMAGE_ERROR code =
            target.Prepare(buffer, row, flags, naturalRow, header.Width, header.Height);
        code != kImageOk) {
        return code;
    }
    const IMAGE_ERROR code =
        header.Plain ? ReadPlainLines(file, header, target) : ReadBinaryLines(file, header, target);
    return code != kImageOk ? code : target.Finish();
}

IMAGE_ERROR ImageReadPpm(const char* path, uint8_t* buffer, int32_t row, uint32_t flags) {
    return ReadPnmPath(path, false, buffer, row, flags);
}

IMAGE_ERROR ImageReadPgm(const char* path, uint8_t* buffer, int32_t row, uint32_t flags) {
    return ReadPnmPath(path, true, buffer, row, flags);
}

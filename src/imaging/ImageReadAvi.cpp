// A run of consecutive AVI frames into consecutive slots of a caller's buffer, converted to any
// row of the format table.
#include "imaging/AviWin.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFileSupport.h"

#include <memory>

using namespace imagefile;

namespace {

// What a run has taken, given back in order whatever the outcome.
struct AviRun {
    AviFile* File = nullptr;
    AviVideo* Video = nullptr;
    ~AviRun() {
        if (Video != nullptr) {
            if (Video->Decoder != nullptr) {
                AviFrameClose(Video);
            }
            AviReleaseVideo(Video);
        }
        if (File != nullptr) {
            AviClose(File);
        }
    }
};

IMAGE_ERROR AviCode(int32_t code) {
    return kImageAviBase + code;
}

IMAGE_ERROR ReadFrames(AviRun& run, uint8_t* buffer, int32_t row, uint32_t flags, int32_t position,
                       int32_t count) {
    if (const int32_t code = AviOpenVideo(run.File, &run.Video); code != kAviOk) {
        return AviCode(code);
    }
    AviVideo& video = *run.Video;
    const int32_t width = video.Width;
    const int32_t height = video.Height < 0 ? -video.Height : video.Height;
    if (const int32_t code = AviFrameOpen(&video); code != kAviOk) {
        return AviCode(code);
    }
    const uint32_t bits = AviFrameBits(&video);
    const uint32_t bytesPerPixel = bits / 8;
    if (bytesPerPixel == 0) {
        return kImageUnsupportedFormat;
    }
    Conv conv;
    if (!conv.IsValidRow(row)) {
        return kImageDataConvert;
    }
    const int64_t slotSize = conv.GetImageSize(row, width, height);
    if (slotSize == 0) {
        return kImageDataConvert;
    }
    const char* natural = bytesPerPixel == 3   ? kNameBgr
                          : bytesPerPixel == 4 ? kNameArgb
                          : bytesPerPixel == 2 ? kNameR555
                                               : kNameRgb;
    const int32_t naturalRow = FormatRow(natural);
    std::unique_ptr<uint8_t[]> temporary;
    if (row != naturalRow) {
        temporary = TryAllocate(int64_t{width} * height * (bits > 8 ? bytesPerPixel : 3));
        if (temporary == nullptr) {
            return kImageNoMemory;
        }
    }
    const int64_t frames = video.Frames;
    if (count > frames) {
        count = static_cast<int32_t>(frames);
    }
    if (int64_t{position} + count > frames) {
        position = 0;
    }
    if (position != 0) {
        AviSetNextFrame(&video, position);
    }
    for (int32_t k = 0; k < count; ++k) {
        uint8_t* slot = buffer + k * slotSize;
        if (const int32_t code = AviGetFrame(&video, temporary ? temporary.get() : slot);
            code != kAviOk) {
            return AviCode(code);
        }
        if (temporary) {
            if (const IMAGE_ERROR code =
                    ConvertImage(temporary.get(), naturalRow, 0, slot, row, flags, width, height);
                code != kImageOk) {
                return code;
            }
        }
    }
    return kImageOk;
}

} // namespace

IMAGE_ERROR ImageReadAviFile(FILE* file, uint8_t* buffer, int32_t row, uint32_t flags,
                             int32_t position, int32_t count) {
    AviRun run;
    if (const int32_t code = AviOpenFile(file, &run.File); code != kAviOk) {
        return AviCode(code);
    }
    return ReadFrames(run, buffer, row, flags, position, count);
}

IMAGE_ERROR ImageReadAvi(const char* path, uint8_t* buffer, int32_t row, uint32_t flags,
                         int32_t position, int32_t count) {
    AviRun run;
    if (const int32_t code = AviOpen(path, &run.File); code != kAviOk) {
        return AviCode(code);
    }
    return ReadFrames(run, buffer, row, flags, position, count);
}

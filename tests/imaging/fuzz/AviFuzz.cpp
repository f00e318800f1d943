// Fuzz entry of the AVI frame reader, on the input as a stream in memory and as a file with a
// descriptor: the video's frame size and length come from opening it as the probe does; then a few
// frames (1 to 4, chosen by the input) are read from a position the input chooses (negative ones
// too) into a row it chooses, into exactly that many slots. Any assertion (an unreleased stream or
// file) stops the run as a fault.
#include "FuzzSupport.h"

#include "imaging/AviWin.h"

using namespace imagefuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WithEachStream(data, size, [&](FILE* file) {
        int32_t width = 0;
        int32_t height = 0;
        AviFile* avi = nullptr;
        if (AviOpenFile(file, &avi) == kAviOk) {
            AviVideo* video = nullptr;
            if (AviOpenVideo(avi, &video) == kAviOk) {
                width = video->Width;
                height = video->Height < 0 ? -video->Height : video->Height;
                FuzzCheck(width > 0 && height > 0);
                AviReleaseVideo(video);
            }
            AviClose(avi);
        }
        if (width > 0) {
            const int32_t row = ChosenRow(data, size);
            const int32_t count = 1 + (data[0] & 3);
            const int32_t position = int32_t(int8_t(size > 2 ? data[size - 2] : 0));
            Conv conv;
            const int64_t slot = conv.GetImageSize(row, width, height);
            if (Affordable(slot * count)) {
                const auto buffer = ExactBuffer(slot * count);
                std::rewind(file);
                FuzzCheck(IsKnownCode(
                    ImageReadAviFile(file, buffer.get(), row, data[0] >> 6, position, count)));
            }
        }
    });
    return 0;
}

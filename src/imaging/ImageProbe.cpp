// The size of an image file from its header, chosen by the file name's extension.
#include "imaging/AviWin.h"
#include "imaging/BmpLayout.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFileSupport.h"
#include "imaging/PnmHeader.h"

#include "common/Assert.h"
#include "common/Text.h"

using namespace imagefile;

namespace {

IMAGE_ERROR ProbeAvi(const char* path, unsigned* width, unsigned* height, ImageInfo* info) {
    AviFile* file = nullptr;
    if (AviOpen(path, &file) != kAviOk) {
        return kImageFileOpen;
    }
    AviVideo* video = nullptr;
    if (AviOpenVideo(file, &video) != kAviOk) {
        AviClose(file);
        return kImageFileRead;
    }
    *width = static_cast<unsigned>(video->Width);
    *height = static_cast<unsigned>(video->Height < 0 ? -video->Height : video->Height);
    if (info != nullptr) {
        info->Frames = video->Frames;
        for (int k = 0; k < 4; ++k) {
            info->Codec[k] = static_cast<char>(video->Handler >> (8 * k));
        }
        info->Codec[4] = '\0';
    }
    AviReleaseVideo(video);
    AviClose(file);
    return kImageOk;
}

} // namespace

IMAGE_ERROR ImageProbeBmpFile(FILE* file, unsigned* width, unsigned* height, ImageInfo* info) {
    BmpLayout layout;
    if (const IMAGE_ERROR code = ReadBmpGeometry(file, &layout); code != kImageOk) {
        return code;
    }
    *width = static_cast<unsigned>(layout.Width);
    *height = static_cast<unsigned>(layout.Height);
    if (info != nullptr) {
        info->Frames = (info->Frames & 0xFFFF0000u) | (layout.BitsPerPixel & 0xFFFFu);
    }
    return kImageOk;
}

IMAGE_ERROR ImageProbePnmFile(FILE* file, bool gray, unsigned* width, unsigned* height) {
    PnmHeader header;
    if (const IMAGE_ERROR code = ReadPnmHeader(file, gray, &header); code != kImageOk) {
        return code;
    }
    *width = static_cast<unsigned>(header.Width);
    *height = static_cast<unsigned>(header.Height);
    return kImageOk;
}

IMAGE_ERROR ImageProbe(const char* path, unsigned* width, unsigned* height, ImageInfo* info) {
    const char* str = StrRChr(path, '.');
    if (!Q3V_ASSERT_TEXT(str != nullptr, "str != NULL")) {
        return kImageFileOpen;
    }
    if (EqualsNoCase(str, ".avi")) {
        return ProbeAvi(path, width, height, info);
    }
    const FileHandle file(std::fopen(path, "rb"));
    if (file == nullptr) {
        return kImageFileOpen;
    }
    if (EqualsNoCase(str, ".bmp")) {
        return ImageProbeBmpFile(file.get(), width, height, info);
    }
    if (EqualsNoCase(str, ".ppm") || EqualsNoCase(str, ".pgm")) {
        return ImageProbePnmFile(file.get(), EqualsNoCase(str, ".pgm"), width, height);
    }
    return kImageOk;
}

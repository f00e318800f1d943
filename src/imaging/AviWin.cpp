// The AVI frame reader's operations: each takes exactly what it needs from the file reader and,
// on every failure, gives back exactly what it had taken.
#include "imaging/AviWin.h"

#include "common/Assert.h"
#include "common/ByteOrder.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

// Program-wide count of the file reader's initialisation.
int32_t s_LibraryUses = 0;

constexpr uint32_t kBitmapHeaderBytes = 40;

int32_t OpenWith(AviFile** out, int32_t (*open)(avifile::FileHandle**, const void*),
                 const void* what) {
    if (s_LibraryUses == 0) {
        avifile::Init();
        s_LibraryUses = 1;
    }
    AviFile* file = new (std::nothrow) AviFile{};
    if (file == nullptr) {
        return kAviNoMemory;
    }
    if (const int32_t code = open(&file->Handle, what); code != avifile::kOk) {
        AviReportError(code);
        delete file;
        return kAviFileOpen;
    }
    avifile::FileInformation info{};
    if (const int32_t code = avifile::FileInfo(file->Handle, &info); code != avifile::kOk) {
        AviReportError(code);
        avifile::FileRelease(file->Handle);
        delete file;
        return kAviFileInfo;
    }
    file->Streams = info.Streams;
    *out = file;
    return kAviOk;
}

// Whether a bitmap header describes a frame size the copy can work with.
bool IsUsableFrameSize(int32_t width, int32_t height, uint32_t bits) {
    if (width <= 0 || height == 0 || height == INT32_MIN) {
        return false;
    }
    const uint64_t lines = uint64_t(height < 0 ? -int64_t{height} : height);
    const uint64_t lineSize = (uint64_t(width) * (bits / 8) + 3) / 4 * 4;
    return lines <= INT32_MAX / lineSize;
}

} // namespace

int32_t AviOpen(const char* path, AviFile** out) {
    return OpenWith(
        out,
        [](avifile::FileHandle** handle, const void* p) {
            return avifile::FileOpen(handle, static_cast<const char*>(p));
        },
        path);
}

int32_t AviOpenFile(FILE* stream, AviFile** out) {
    return OpenWith(
        out,
        [](avifile::FileHandle** handle, const void* p) {
            return avifile::FileOpenStream(handle, static_cast<FILE*>(const_cast<void*>(p)));
        },
        stream);
}

void AviClose(AviFile* file) {
    if (file == nullptr) {
        return;
    }
    const uint32_t fileRef = avifile::FileRelease(file->Handle);
    Q3V_ASSERT_TEXT(fileRef == 0, "fileref == 0");
    delete file;
    avifile::Exit();
    --s_LibraryUses;
}

int32_t AviOpenVideo(AviFile* file, AviVideo** out) {
    AviVideo* video = new (std::nothrow) AviVideo{};
    if (video == nullptr) {
        return kAviNoMemory;
    }
    avifile::StreamHandle* stream = nullptr;
    int32_t code = avifile::FileGetStream(file->Handle, &stream, avifile::kStreamVideo, 0);
    int32_t result = kAviStreamOpen;
    avifile::StreamInformation info{};
    int32_t formatSize = 0;
    std::vector<uint8_t> format;
    if (code == avifile::kOk) {
        result = kAviStreamInfo;
        code = avifile::StreamInfo(stream, &info);
    }
    if (code == avifile::kOk) {
        result = kAviStreamFormat;
        code = avifile::StreamReadFormat(stream, 0, nullptr, &formatSize);
    }
    if (code == avifile::kOk) {
        format.resize(size_t(formatSize));
        code = avifile::StreamReadFormat(stream, 0, format.data(), &formatSize);
    }
    if (code != avifile::kOk) {
        AviReportError(code);
    } else if (format.size() < kBitmapHeaderBytes) {
        code = -1;
    } else {
        const int32_t width = static_cast<int32_t>(LoadLe32(&format[4]));
        const int32_t height = static_cast<int32_t>(LoadLe32(&format[8]));
        const uint32_t bits = LoadLe16(&format[14]);
        if (bits != 24) {
            result = kAviNot24Bits;
            code = -1;
        } else if (!IsUsableFrameSize(width, height, bits)) {
            code = -1;
        } else {
            *video = AviVideo{stream, nullptr, 1, width, height, info.Length, 0, info.Handler};
            *out = video;
            return kAviOk;
        }
    }
    if (stream != nullptr) {
        avifile::StreamRelease(stream);
    }
    delete video;
    return result;
}

int32_t AviReleaseVideo(AviVideo* video) {
    if (video == nullptr || video->Valid != 1) {
        return kAviNotValid;
    }
    const uint32_t streamRef = avifile::StreamRelease(video->Stream);
    Q3V_ASSERT_TEXT(streamRef == 0, "strmref == 0");
    delete video;
    return kAviOk;
}

int32_t AviFrameOpen(AviVideo* video) {
    if (video == nullptr || video->Valid != 1) {
        return kAviNotValid;
    }
    if (video->Stream == nullptr) {
        return kAviNoStream;
    }
    if (video->Decoder != nullptr) {
        return kAviOk;
    }
    video->Decoder = avifile::StreamGetFrameOpen(video->Stream);
    return video->Decoder == nullptr ? kAviNoCodec : kAviOk;
}

int32_t AviFrameClose(AviVideo* video) {
    if (video == nullptr || video->Valid != 1) {
        return kAviNotValid;
    }
    if (video->Decoder == nullptr) {
        return kAviOk;
    }
    if (const int32_t code = avifile::StreamGetFrameClose(video->Decoder); code != avifile::kOk) {
        AviReportError(code);
        return kAviDecoderClose;
    }
    video->Decoder = nullptr;
    return kAviOk;
}

int32_t AviGetFrame(AviVideo* video, uint8_t* dest) {
    if (video == nullptr || video->Valid != 1) {
        return kAviNotValid;
    }
    if (video->Decoder == nullptr) {
        return kAviNoDecoder;
    }
    const uint8_t* bitmap = avifile::StreamGetFrame(video->Decoder, video->NextFrame);
    if (bitmap == nullptr) {
        return kAviFrameRead;
    }
    ++video->NextFrame;
    const uint32_t headerSize = LoadLe32(&bitmap[0]);
    const uint32_t bytesPerPixel = LoadLe16(&bitmap[14]) / 8;
    const uint32_t paletteBytes = 4 * LoadLe32(&bitmap[32]);
    const uint8_t* lines = bitmap + headerSize + paletteBytes;
    const size_t lineBytes = size_t(video->Width) * bytesPerPixel;
    const size_t lineSize = (lineBytes + 3) / 4 * 4;
    const bool topDown = video->Height < 0;
    const int32_t height = topDown ? -video->Height : video->Height;
    // Bottom-up frames store the top line last; top-down ones first.
    for (int32_t y = 0; y < height; ++y) {
        const int32_t stored = topDown ? y : height - 1 - y;
        std::memcpy(dest + size_t(y) * lineBytes, lines + size_t(stored) * lineSize, lineBytes);
    }
    return kAviOk;
}

uint32_t AviFrameBits(AviVideo* video) {
    if (video == nullptr || video->Valid != 1 || video->Decoder == nullptr) {
        return 0;
    }
    const uint8_t* bitmap = avifile::StreamGetFrame(video->Decoder, 0);
    if (bitmap == nullptr) {
        return 0;
    }
    const uint32_t bits = LoadLe16(&bitmap[14]);
    return bits % 8 == 0 ? bits : 0;
}

int32_t AviGetNextFrame(const AviVideo* video) {
    return video->NextFrame;
}

void AviSetNextFrame(AviVideo* video, int32_t frame) {
    video->NextFrame = frame;
}

void AviReportError(int32_t code) {
    std::fprintf(stderr, "ERROR: VFW AVIFILE library returned error code 0x%x.\n",
                 static_cast<unsigned>(code));
}

// FLOAD's frames: the size of one, the numbered run of files, the AVI positions, and loading
// them all into one buffer.
#include "imaging/ImageFile.h"
#include "play/FloadRequest.h"
#include "play/Output.h"
#include "play/PlayConv.h"
#include "play/WindowHelpers.h"

#include <cctype>
#include <cstring>

namespace {

// Files of a numbered run: "name0000.ext" with four digits before the extension.
constexpr size_t kRunDigits = 4;
constexpr uint32_t kRunLimit = 10000;

// Where the four digits stand in name, or npos.
size_t RunDigitsAt(const std::string& name) {
    const size_t dot = name.rfind('.');
    const size_t end = dot == std::string::npos ? name.size() : dot;
    if (end < kRunDigits) {
        return std::string::npos;
    }
    for (size_t i = end - kRunDigits; i < end; ++i) {
        if (std::isdigit(static_cast<unsigned char>(name[i])) == 0) {
            return std::string::npos;
        }
    }
    return end - kRunDigits;
}

std::string RunName(const std::string& first, size_t at, uint32_t number) {
    char digits[8];
    std::snprintf(digits, sizeof(digits), "%04u", number);
    return first.substr(0, at) + digits + first.substr(at + kRunDigits);
}

// The bytes of one frame of a file: a picture's size in the row, raw data's length after the
// offset. -1 when the file cannot be opened or read (the image error printed for pictures).
int64_t FrameSizeOf(const FloadRequest& request, const std::string& name, bool report) {
    if (request.Kind == FloadKind::kRaw) {
        FILE* file = filecmd::OpenExistingFile(name, "rb");
        if (file == nullptr) {
            return -1;
        }
        const uint64_t length = filecmd::FileLength(file);
        std::fclose(file);
        return length > request.Offset ? static_cast<int64_t>(length - request.Offset) : 0;
    }
    unsigned width = 0;
    unsigned height = 0;
    const IMAGE_ERROR code = ImageProbe(name.c_str(), &width, &height, nullptr);
    if (code != kImageOk) {
        if (report) {
            PlayPrint(CAT_ERR, "ERROR: %s\n", ImageErrorText(code));
        }
        return -1;
    }
    return QueryConv().GetImageSize(request.Row, static_cast<int32_t>(width),
                                    static_cast<int32_t>(height));
}

uint32_t FindAviFrames(FloadRequest& request, FloadFrames& frames) {
    unsigned width = 0;
    unsigned height = 0;
    ImageInfo info{};
    const IMAGE_ERROR code = ImageProbe(request.Name.c_str(), &width, &height, &info);
    if (code != kImageOk) {
        PlayPrint(CAT_ERR, "ERROR: %s\n", ImageErrorText(code));
        return FILE_ERROR_REPORTED;
    }
    PlayPrint(CAT_OUT, "AVI file: %dx%d, %d total frames found, codec=%s\n",
              static_cast<int>(width), static_cast<int>(height), static_cast<int>(info.Frames),
              info.Codec);
    if (request.LoadAll) {
        request.Position = 0;
        request.Frames = info.Frames;
    }
    if (request.Frames > info.Frames) {
        request.Frames = info.Frames;
    }
    if (static_cast<uint64_t>(request.Position) + request.Frames > info.Frames) {
        request.Position = 0;
    }
    frames.Files.push_back(request.Name);
    const int64_t size = QueryConv().GetImageSize(request.Row, static_cast<int32_t>(width),
                                                  static_cast<int32_t>(height));
    frames.FrameSize = size > 0 ? static_cast<uint64_t>(size) : 0;
    return request.Frames == 0 || frames.FrameSize == 0 ? FILE_ERROR_READ : FILE_ERROR_NONE;
}

// The reader leaves frames one after the other; each moves to its place stride bytes apart
// (the last first), and the pad behind it is zeroed.
void SpreadFrames(uint8_t* buffer, uint64_t frameSize, uint64_t stride, uint32_t count) {
    if (stride == frameSize) {
        return;
    }
    for (uint32_t i = count; i-- > 0;) {
        std::memmove(buffer + i * stride, buffer + i * frameSize, frameSize);
        std::memset(buffer + i * stride + frameSize, 0, stride - frameSize);
    }
}

} // namespace

uint32_t FindFloadFrames(FloadRequest& request, FloadFrames& frames, std::string* badName) {
    if (request.Kind == FloadKind::kAvi) {
        return FindAviFrames(request, frames);
    }
    const int64_t first = FrameSizeOf(request, request.Name, true);
    if (first < 0) {
        return request.Kind == FloadKind::kRaw ? FILE_ERROR_OPEN : FILE_ERROR_REPORTED;
    }
    frames.FrameSize = static_cast<uint64_t>(first);
    frames.Files.push_back(request.Name);
    const size_t at = RunDigitsAt(request.Name);
    if (at == std::string::npos || !request.Burst) {
        request.Frames = 1;
        return FILE_ERROR_NONE;
    }
    // Each following number while its file opens, up to V files without A=ON; every file of
    // the run must have the first one's size, or nothing is loaded.
    const uint32_t firstNumber = static_cast<uint32_t>(std::stoul(request.Name.substr(at, 4)));
    for (uint32_t number = firstNumber + 1; number < kRunLimit; ++number) {
        if (!request.LoadAll && frames.Files.size() >= request.Frames) {
            break;
        }
        const std::string name = RunName(request.Name, at, number);
        const int64_t size = FrameSizeOf(request, name, false);
        if (size < 0) {
            break;
        }
        if (static_cast<uint64_t>(size) != frames.FrameSize) {
            *badName = name;
            return FILE_ERROR_ENTRY;
        }
        frames.Files.push_back(name);
    }
    request.Frames = static_cast<uint32_t>(frames.Files.size());
    return FILE_ERROR_NONE;
}

uint32_t LoadFloadFrames(const FloadRequest& request, FILE* file, const FloadFrames& frames,
                         uint8_t* buffer) {
    const uint64_t stride = PaddedFrameSize(frames, request.Unit);
    if (request.Kind == FloadKind::kAvi) {
        const IMAGE_ERROR code = ImageReadAvi(request.Name.c_str(), buffer, request.Row, 0,
                                              static_cast<int32_t>(request.Position),
                                              static_cast<int32_t>(request.Frames));
        if (code != kImageOk) {
            PlayPrint(CAT_ERR, "ERROR: %s\n", ImageErrorText(code));
            return FILE_ERROR_REPORTED;
        }
        SpreadFrames(buffer, frames.FrameSize, stride, request.Frames);
        return FILE_ERROR_NONE;
    }
    for (size_t i = 0; i < frames.Files.size(); ++i) {
        const std::string& name = frames.Files[i];
        uint8_t* frame = buffer + i * stride;
        if (frames.Files.size() > 1) {
            PlayPrint(CAT_OUT, "loading %s\n", name.c_str());
        }
        IMAGE_ERROR code = kImageOk;
        if (request.Kind == FloadKind::kBmp) {
            code = ImageReadBmp(name.c_str(), frame, request.Row, 0);
        } else if (request.Kind == FloadKind::kPpm) {
            code = ImageReadPpm(name.c_str(), frame, request.Row, 0);
        } else {
            FILE* data = i == 0 ? file : filecmd::OpenExistingFile(name, "rb");
            bool read = data != nullptr;
            if (read && i != 0) {
                read = std::fseek(data, static_cast<long>(request.Offset), SEEK_SET) == 0;
            }
            read = read && std::fread(frame, 1, frames.FrameSize, data) == frames.FrameSize;
            if (data != nullptr && i != 0) {
                std::fclose(data);
            }
            if (!read) {
                return FILE_ERROR_READ;
            }
        }
        if (code != kImageOk) {
            PlayPrint(CAT_ERR, "ERROR: %s\n", ImageErrorText(code));
            return FILE_ERROR_REPORTED;
        }
    }
    return FILE_ERROR_NONE;
}

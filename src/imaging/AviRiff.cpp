// Our own AVI file reader: the RIFF chunks that lead to the first video stream and its frames.
#include "imaging/AviRiff.h"

#include "common/ByteOrder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <sys/types.h>
#include <vector>

namespace avifile {

namespace {

constexpr uint32_t kRiff = FourCc("RIFF");
constexpr uint32_t kAvi = FourCc("AVI ");
constexpr uint32_t kList = FourCc("LIST");
constexpr uint32_t kHdrl = FourCc("hdrl");
constexpr uint32_t kAvih = FourCc("avih");
constexpr uint32_t kStrl = FourCc("strl");
constexpr uint32_t kStrh = FourCc("strh");
constexpr uint32_t kStrf = FourCc("strf");
constexpr uint32_t kMovi = FourCc("movi");
constexpr uint32_t kBitmapHeaderSize = 40;
constexpr uint32_t kMaxFormatSize = 1u << 20;
constexpr uint32_t kStrhLengthOffset = 32;
constexpr int kMaxListDepth = 8;

struct Chunk {
    uint64_t Offset; // of its data
    uint32_t Size;
};

} // namespace

struct FileHandle {
    FILE* File = nullptr;
    bool Owned = false;
    uint32_t Refs = 1;
    uint64_t FileSize = 0;
    bool HasHeader = false;
    uint32_t Streams = 0;
    uint32_t StreamsSeen = 0; // "strl" lists so far
    bool HasVideo = false;
    uint32_t VideoNumber = 0;
    StreamInformation VideoInfo{};
    std::vector<uint8_t> VideoFormat;
    std::vector<Chunk> Frames;
};

struct StreamHandle {
    FileHandle* File = nullptr;
    uint32_t Refs = 1;
};

struct Decoder {
    StreamHandle* Stream = nullptr;
    uint64_t ImageBytes = 0;
    std::vector<uint8_t> Bitmap; // header, then the lines
};

namespace {

bool ReadAt(FILE* file, uint64_t offset, void* bytes, size_t size) {
    if (offset > uint64_t(INT64_MAX) || fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) {
        return false;
    }
    return size == 0 || std::fread(bytes, 1, size, file) == size;
}

// The two-digit stream number of a frame chunk id "NNdb" / "NNdc", or -1.
int32_t FrameChunkStream(uint32_t id) {
    const auto c = [id](int k) { return static_cast<char>(id >> (8 * k)); };
    if (c(0) < '0' || c(0) > '9' || c(1) < '0' || c(1) > '9' || c(2) != 'd' ||
        (c(3) != 'b' && c(3) != 'c')) {
        return -1;
    }
    return (c(0) - '0') * 10 + (c(1) - '0');
}

// Calls visit(id, dataOffset, size, listType) for each chunk in [begin, end). A list whose size
// passes end is cut at end; any other chunk that does ends the walk (visit is not called).
template <typename Visit> bool WalkChunks(FILE* file, uint64_t begin, uint64_t end, Visit&& visit) {
    uint64_t at = begin;
    while (at + 8 <= end) {
        std::array<uint8_t, 12> head{};
        if (!ReadAt(file, at, head.data(), 8)) {
            return false;
        }
        const uint32_t id = LoadLe32(&head[0]);
        const uint64_t size = LoadLe32(&head[4]);
        const uint64_t data = at + 8;
        uint32_t listType = 0;
        if (id == kList || id == kRiff) {
            if (size < 4 || data + 4 > end || !ReadAt(file, data, &head[8], 4)) {
                return false;
            }
            listType = LoadLe32(&head[8]);
            visit(id, data + 4, std::min(size, end - data) - 4, listType);
        } else {
            if (data + size > end) {
                return false;
            }
            visit(id, data, size, listType);
        }
        at = data + size + (size & 1);
    }
    return true;
}

void ReadStreamList(FileHandle& h, uint64_t begin, uint64_t end) {
    const uint32_t number = h.StreamsSeen++;
    StreamInformation info{};
    bool haveHeader = false;
    std::vector<uint8_t> format;
    WalkChunks(h.File, begin, end, [&](uint32_t id, uint64_t data, uint64_t size, uint32_t) {
        if (id == kStrh && size >= kStrhLengthOffset + 4 && !haveHeader) {
            std::array<uint8_t, kStrhLengthOffset + 4> strh{};
            if (ReadAt(h.File, data, strh.data(), strh.size())) {
                info.Type = LoadLe32(&strh[0]);
                info.Handler = LoadLe32(&strh[4]);
                info.Length = LoadLe32(&strh[kStrhLengthOffset]);
                haveHeader = true;
            }
        } else if (id == kStrf && format.empty() && size > 0 && size <= kMaxFormatSize) {
            format.resize(size);
            if (!ReadAt(h.File, data, format.data(), format.size())) {
                format.clear();
            }
        }
    });
    if (!h.HasVideo && haveHeader && info.Type == kStreamVideo) {
        h.HasVideo = true;
        h.VideoNumber = number;
        h.VideoInfo = info;
        h.VideoFormat = std::move(format);
    }
}

void ReadHeaderList(FileHandle& h, uint64_t begin, uint64_t end) {
    WalkChunks(h.File, begin, end, [&](uint32_t id, uint64_t data, uint64_t size, uint32_t type) {
        if (id == kAvih && size >= 28 && !h.HasHeader) {
            std::array<uint8_t, 28> avih{};
            if (ReadAt(h.File, data, avih.data(), avih.size())) {
                h.Streams = LoadLe32(&avih[24]);
                h.HasHeader = true;
            }
        } else if (id == kList && type == kStrl) {
            ReadStreamList(h, data, data + size);
        }
    });
}

void CollectFrames(FileHandle& h, uint64_t begin, uint64_t end, int depth) {
    WalkChunks(h.File, begin, end, [&](uint32_t id, uint64_t data, uint64_t size, uint32_t) {
        if (id == kList && depth < kMaxListDepth) {
            CollectFrames(h, data, data + size, depth + 1);
        } else if (FrameChunkStream(id) == int32_t(h.VideoNumber)) {
            h.Frames.push_back(Chunk{data, static_cast<uint32_t>(size)});
        }
    });
}

int32_t Parse(FileHandle& h) {
    if (fseeko(h.File, 0, SEEK_END) != 0) {
        return kErrRead;
    }
    const off_t fileSize = ftello(h.File);
    if (fileSize < 0) {
        return kErrRead;
    }
    h.FileSize = static_cast<uint64_t>(fileSize);
    std::array<uint8_t, 12> riff{};
    if (!ReadAt(h.File, 0, riff.data(), riff.size()) || LoadLe32(&riff[0]) != kRiff ||
        LoadLe32(&riff[8]) != kAvi) {
        return kErrNotAvi;
    }
    const uint64_t end = std::min<uint64_t>(8 + uint64_t{LoadLe32(&riff[4])}, h.FileSize);
    uint64_t moviBegin = 0;
    uint64_t moviEnd = 0;
    WalkChunks(h.File, 12, end, [&](uint32_t id, uint64_t data, uint64_t size, uint32_t type) {
        if (id == kList && type == kHdrl && !h.HasHeader) {
            ReadHeaderList(h, data, data + size);
        } else if (id == kList && type == kMovi && moviEnd == 0) {
            moviBegin = data;
            moviEnd = data + size;
        }
    });
    if (!h.HasHeader) {
        return kErrNotAvi;
    }
    if (h.HasVideo && h.VideoNumber < 100) {
        CollectFrames(h, moviBegin, moviEnd, 0);
    }
    return kOk;
}

void DropFileReference(FileHandle* file) {
    if (--file->Refs == 0) {
        if (file->Owned) {
            std::fclose(file->File);
        }
        delete file;
    }
}

int32_t Open(FileHandle** out, FILE* file, bool owned) {
    FileHandle* h = new (std::nothrow) FileHandle;
    if (h == nullptr) {
        if (owned) {
            std::fclose(file);
        }
        return kErrNoMemory;
    }
    h->File = file;
    h->Owned = owned;
    int32_t code = kOk;
    try {
        code = Parse(*h);
    } catch (const std::bad_alloc&) {
        code = kErrNoMemory;
    }
    if (code != kOk) {
        DropFileReference(h);
        return code;
    }
    *out = h;
    return kOk;
}

} // namespace

void Init() {}
void Exit() {}

int32_t FileOpen(FileHandle** out, const char* path) {
    if (out == nullptr || path == nullptr) {
        return kErrBadArgument;
    }
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return kErrOpen;
    }
    return Open(out, file, true);
}

int32_t FileOpenStream(FileHandle** out, FILE* file) {
    if (out == nullptr || file == nullptr) {
        return kErrBadArgument;
    }
    return Open(out, file, false);
}

int32_t FileInfo(FileHandle* file, FileInformation* info) {
    if (file == nullptr || info == nullptr) {
        return kErrBadArgument;
    }
    info->Streams = file->Streams;
    return kOk;
}

uint32_t FileRelease(FileHandle* file) {
    if (file == nullptr) {
        return 0;
    }
    const uint32_t remaining = file->Refs - 1;
    DropFileReference(file);
    return remaining;
}

int32_t FileGetStream(FileHandle* file, StreamHandle** out, uint32_t type, int32_t index) {
    if (file == nullptr || out == nullptr) {
        return kErrBadArgument;
    }
    if (type != kStreamVideo || index != 0 || !file->HasVideo) {
        return kErrNoStream;
    }
    StreamHandle* stream = new (std::nothrow) StreamHandle;
    if (stream == nullptr) {
        return kErrNoMemory;
    }
    stream->File = file;
    ++file->Refs;
    *out = stream;
    return kOk;
}

int32_t StreamInfo(StreamHandle* stream, StreamInformation* info) {
    if (stream == nullptr || info == nullptr) {
        return kErrBadArgument;
    }
    *info = stream->File->VideoInfo;
    return kOk;
}

int32_t StreamReadFormat(StreamHandle* stream, int32_t position, void* format, int32_t* size) {
    if (stream == nullptr || size == nullptr || position < 0) {
        return kErrBadArgument;
    }
    const std::vector<uint8_t>& bytes = stream->File->VideoFormat;
    if (bytes.size() < kBitmapHeaderSize) {
        return kErrBadFormat;
    }
    if (format == nullptr) {
        *size = static_cast<int32_t>(bytes.size());
        return kOk;
    }
    if (*size < 0) {
        return kErrBadArgument;
    }
    const size_t count = std::min(bytes.size(), size_t(*size));
    std::memcpy(format, bytes.data(), count);
    *size = static_cast<int32_t>(count);
    return kOk;
}

uint32_t StreamRelease(StreamHandle* stream) {
    if (stream == nullptr) {
        return 0;
    }
    const uint32_t remaining = --stream->Refs;
    if (remaining == 0) {
        DropFileReference(stream->File);
        delete stream;
    }
    return remaining;
}

Decoder* StreamGetFrameOpen(StreamHandle* stream) {
    if (stream == nullptr) {
        return nullptr;
    }
    const std::vector<uint8_t>& format = stream->File->VideoFormat;
    if (format.size() < kBitmapHeaderSize) {
        return nullptr;
    }
    const int32_t width = static_cast<int32_t>(LoadLe32(&format[4]));
    const int32_t height = static_cast<int32_t>(LoadLe32(&format[8]));
    const uint32_t bits = LoadLe16(&format[14]);
    const uint32_t compression = LoadLe32(&format[16]);
    if (compression != 0 || (bits != 24 && bits != 32) || width <= 0 || height == 0 ||
        height == INT32_MIN) {
        return nullptr;
    }
    const uint64_t lineSize = (uint64_t(width) * (bits / 8) + 3) / 4 * 4;
    const uint64_t lines = uint64_t(height < 0 ? -int64_t{height} : height);
    if (lines > INT32_MAX / lineSize) {
        return nullptr;
    }
    const uint64_t imageBytes = lineSize * lines;
    Decoder* decoder = new (std::nothrow) Decoder;
    if (decoder == nullptr) {
        return nullptr;
    }
    decoder->Stream = stream;
    decoder->ImageBytes = imageBytes;
    ++stream->Refs;
    return decoder;
}

const uint8_t* StreamGetFrame(Decoder* decoder, int32_t frame) {
    if (decoder == nullptr || frame < 0) {
        return nullptr;
    }
    FileHandle& file = *decoder->Stream->File;
    if (size_t(frame) >= file.Frames.size()) {
        return nullptr;
    }
    const Chunk chunk = file.Frames[size_t(frame)];
    if (chunk.Size < decoder->ImageBytes) {
        return nullptr;
    }
    std::vector<uint8_t>& bitmap = decoder->Bitmap;
    try {
        bitmap.resize(kBitmapHeaderSize + decoder->ImageBytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    std::memcpy(bitmap.data(), file.VideoFormat.data(), kBitmapHeaderSize);
    StoreLe32(&bitmap[0], kBitmapHeaderSize);
    StoreLe32(&bitmap[20], static_cast<uint32_t>(decoder->ImageBytes));
    StoreLe32(&bitmap[32], 0); // no palette follows
    if (!ReadAt(file.File, chunk.Offset, bitmap.data() + kBitmapHeaderSize, decoder->ImageBytes)) {
        return nullptr;
    }
    return bitmap.data();
}

int32_t StreamGetFrameClose(Decoder* decoder) {
    if (decoder == nullptr) {
        return kErrBadArgument;
    }
    StreamRelease(decoder->Stream);
    delete decoder;
    return kOk;
}

} // namespace avifile

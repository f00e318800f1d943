#pragma once
// Shared steps of the image-file fuzz targets: the input as a FILE* of each kind the readers
// tell apart, buffers sized exactly (so any write past them is caught), a cap on what an input
// may make us allocate, and the row an input chooses.
#include "imaging/ImageFile.h"
#include "support/FuzzChecks.h"

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>

namespace imagefuzz {

using q3vtest::FuzzCheck;

inline constexpr int64_t kMaxBuffer = 64ll << 20;

// The input as a read-only stream in memory (no descriptor: the readers go through the stream);
// nullptr for an empty input.
inline FILE* OpenInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return nullptr;
    }
    return fmemopen(const_cast<uint8_t*>(data), size, "rb");
}

// The input as a file of its own in memory (memfd), positioned at its start: the readers read
// its lines at the descriptor. nullptr for an empty input or when no such file can be made.
inline FILE* OpenInputFile(const uint8_t* data, size_t size) {
    if (size == 0) {
        return nullptr;
    }
    const int fd = memfd_create("fuzz-input", MFD_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    for (size_t done = 0; done < size;) {
        const ssize_t wrote = write(fd, data + done, size - done);
        if (wrote <= 0) {
            close(fd);
            return nullptr;
        }
        done += size_t(wrote);
    }
    FILE* file = lseek(fd, 0, SEEK_SET) == 0 ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        close(fd);
    }
    return file;
}

// Runs entry(file) on the input as each kind of stream, closing it after: in memory, and as a
// file with a descriptor, so that both ways the readers take to their lines are fuzzed.
template <typename Entry> void WithEachStream(const uint8_t* data, size_t size, Entry&& entry) {
    for (FILE* (*open)(const uint8_t*, size_t) : {&OpenInput, &OpenInputFile}) {
        FILE* file = open(data, size);
        if (file != nullptr) {
            entry(file);
            std::fclose(file);
        }
    }
}

// A row of the table picked by the input's last byte.
inline int32_t ChosenRow(const uint8_t* data, size_t size) {
    return size == 0 ? 0 : int32_t(data[size - 1] % kPixelFormatRows);
}

// Whether a buffer of size bytes is one the target allocates.
inline bool Affordable(int64_t size) {
    return size > 0 && size <= kMaxBuffer;
}

// bytesPerPixel x width x height when that is affordable, else 0 (never an overflow).
inline int64_t AffordableImage(int64_t bytesPerPixel, unsigned width, unsigned height) {
    const uint64_t pixels = uint64_t{width} * height; // below 2^64: both are 32-bit
    if (pixels == 0 || pixels > uint64_t(kMaxBuffer)) {
        return 0;
    }
    const int64_t size = bytesPerPixel * int64_t(pixels);
    return Affordable(size) ? size : 0;
}

// An uninitialised buffer of exactly size bytes, so the sanitizer sees any access past it
// (and filling 64 MiB with zeros for every input would slow the run).
inline std::unique_ptr<uint8_t[]> ExactBuffer(int64_t size) {
    return std::unique_ptr<uint8_t[]>(new uint8_t[static_cast<size_t>(size)]);
}

// A code that a reader may give.
inline bool IsKnownCode(IMAGE_ERROR code) {
    return (code >= kImageOk && code <= kImageDataConvert) ||
           (code > kImageAviBase && code <= kImageAviBase + 13);
}

// Reads the input from its start into its natural row (naturalBytesPerPixel per pixel) and into
// the row it chooses, each into a buffer of exactly the size the probed width and height imply;
// read(file, buffer, row, flags) is the reader. Every answer must be a known code.
template <typename Read>
void ReadBothWays(FILE* file, const uint8_t* data, size_t size, int64_t naturalBytesPerPixel,
                  unsigned width, unsigned height, Read&& read) {
    FuzzCheck(width > 0 && width <= INT32_MAX && height > 0 && height <= INT32_MAX);
    if (const int64_t natural = AffordableImage(naturalBytesPerPixel, width, height); natural) {
        const auto buffer = ExactBuffer(natural);
        std::rewind(file);
        FuzzCheck(IsKnownCode(read(file, buffer.get(), -1, 0u)));
    }
    Conv conv;
    const int32_t row = ChosenRow(data, size);
    const int64_t chosen = conv.GetImageSize(row, int32_t(width), int32_t(height));
    if (Affordable(chosen)) {
        const auto buffer = ExactBuffer(chosen);
        std::rewind(file);
        FuzzCheck(IsKnownCode(read(file, buffer.get(), row, uint32_t(data[0] & 3))));
    }
}

} // namespace imagefuzz

#pragma once
// Pieces that the image readers and writers share: an owning FILE* handle, the rows of the
// files' natural formats, buffers that may fail to allocate, and the conversion between a
// caller's buffer and the natural-format lines of a file (ReadTarget, WriteSource), and stored
// lines read in blocks (LineBlocks).
#include "imaging/ImageFile.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <sys/types.h>
#include <sys/uio.h>
#include <vector>

namespace imagefile {

// Rows of the format table that the files use.
inline constexpr const char* kNameR555 = "R555.xRGB";
inline constexpr const char* kNameR565 = "R565.RGB";
inline constexpr const char* kNameRgb = "R888.R-G-B";
inline constexpr const char* kNameBgr = "R888.B-G-R";
inline constexpr const char* kNameArgb = "ARGB8888.ARGB";
inline constexpr const char* kNameMono = "M8.n0";
inline constexpr const char* kNameR666Stream = "R666.RG-gB-b";

// The row of a format name of the table (exact spelling), -1 when absent.
int32_t FormatRow(const char* name);

// The natural image size of row for width x height, in 64 bits; 0 when either is <= 0.
int64_t NaturalSize(int32_t row, int64_t width, int64_t height);

// Whether a natural size is one the converter can describe (1..INT32_MAX).
inline bool FitsImageSize(int64_t size) {
    return size > 0 && size <= INT32_MAX;
}

// Whether bytesPerPixel (at most 4) x width x height is such a size; never overflows for
// width and height up to UINT32_MAX.
inline bool FitsImageSize(uint32_t bytesPerPixel, uint32_t width, uint32_t height) {
    const uint64_t pixels = uint64_t{width} * height;
    return pixels != 0 && pixels <= INT32_MAX && FitsImageSize(int64_t(pixels) * bytesPerPixel);
}

// A FILE* that is closed when the handle goes.
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

// Bytes that may fail to allocate (nullptr then), without an exception.
std::unique_ptr<uint8_t[]> TryAllocate(int64_t size);

// Converts a whole image from one buffer and row to another; kImageDataConvert on failure.
IMAGE_ERROR ConvertImage(uint8_t* src, int32_t srcRow, uint32_t srcFlags, uint8_t* dst,
                         int32_t dstRow, uint32_t dstFlags, int32_t width, int32_t height);

// Where a reader puts the natural samples. Without a conversion they go straight into the
// caller's buffer. With one, they are converted into the caller's buffer a band of lines at a
// time while the band is still in the processor's cache (a destination whose lines stand alone:
// RGB, ARGB and mono rows), or, for YCbCr destinations, whose lines are built in pairs or planes,
// gathered in a temporary that Finish converts in one call.
//
//     ReadTarget target;
//     if (const IMAGE_ERROR code = target.Prepare(buffer, row, flags, naturalRow, w, h)) {
//         return code;                                   // kImageNoMemory
//     }
//     target.StoreLines(stored, lineStep, y, count);     // natural lines that lie elsewhere, or
//     MakeLine(target.Line(y));                          // one made in place
//     return target.Finish();                            // kImageDataConvert on failure
class ReadTarget {
public:
    IMAGE_ERROR Prepare(uint8_t* buffer, int32_t row, uint32_t flags, int32_t naturalRow,
                        int32_t width, int32_t height);
    // Where natural line y is to be made; valid until Line is asked for a line of another band
    // or the target finishes. Lines may come in any order within a band, bands top to bottom or
    // bottom to top.
    uint8_t* Line(int32_t y);
    // Natural lines y .. y + count - 1, lineStep bytes apart in lines; converted from there
    // without a copy where the target converts by bands.
    IMAGE_ERROR StoreLines(const uint8_t* lines, size_t lineStep, int32_t y, int32_t count);
    // The same for lines stored bottom-up: lines holds natural lines y + count - 1 down to y.
    IMAGE_ERROR StoreLinesUpward(const uint8_t* lines, size_t lineStep, int32_t y, int32_t count);
    // Whether the caller asked for another row than the natural one (false: natural lines go
    // into the caller's buffer as they are).
    [[nodiscard]] bool Converts() const { return m_Converts; }
    IMAGE_ERROR Finish();

private:
    // Natural bytes of a band: small enough to stay in the processor's cache.
    static constexpr size_t kBandBytes = 64u << 10;
    // Whether row's lines can be converted a band at a time (see the class comment).
    static bool LinesStandAlone(int32_t row, int32_t width, int32_t height);
    // Converts the made lines of the band in hand into the caller's buffer.
    void FlushBand();
    // Converts count natural lines into the caller's lines from y; a failure is kept for Finish.
    IMAGE_ERROR ConvertLines(const uint8_t* lines, size_t lineStep, int32_t y, int32_t count);

    uint8_t* m_Buffer = nullptr;
    int32_t m_Row = -1;
    uint32_t m_Flags = 0;
    int32_t m_NaturalRow = -1;
    int32_t m_Width = 0;
    int32_t m_Height = 0;
    size_t m_NaturalLine = 0;
    size_t m_RowLine = 0;
    bool m_Converts = false;
    bool m_ByBands = false;
    int32_t m_BandLines = 0;  // lines of the temporary: a band, or the whole picture
    int32_t m_BandFirst = 0;  // the band in hand starts at this line
    int32_t m_MadeFirst = -1; // made lines of the band in hand; -1 when none
    int32_t m_MadeLast = -1;
    IMAGE_ERROR m_Failure = kImageOk;
    std::unique_ptr<uint8_t[]> m_Temporary;
    Conv m_Conv;
};

// The natural samples a writer stores: the caller's buffer as it is, or its conversion.
class WriteSource {
public:
    IMAGE_ERROR Prepare(const uint8_t* buffer, int32_t row, uint32_t flags, int32_t naturalRow,
                        int32_t width, int32_t height);
    [[nodiscard]] const uint8_t* Lines() const { return m_Lines; }

private:
    const uint8_t* m_Lines = nullptr;
    std::unique_ptr<uint8_t[]> m_Temporary;
};

// The bytes from the current position to the end of the file (the position is kept); -1 when
// the stream cannot tell. Readers compare it with what a header promises before allocating.
int64_t RemainingBytes(FILE* file);

// The bytes of stored lines read at a time: a few system calls per picture rather than one or two
// per line, and a block small enough to stay in the processor's cache between the read and the use
// of its lines.
inline constexpr size_t kReadBlockBytes = 256u << 10;

// Stored lines read in blocks of about kReadBlockBytes, from where the stream stands; the last line
// may end early, at lastLineBytes (a file may end with its data). A file with a descriptor is read
// there, one read per block, and the stream's own position is left behind.
//
//     LineBlocks blocks(file, lineSize, height, width * 3);
//     for (int32_t k = 0; k < height;) {
//         int32_t count = 0;
//         const uint8_t* lines = blocks.NextLines(&count);   // or blocks.Next() for one line
//         if (lines == nullptr) { return kImageFileRead; }
//         k += count;
//     }
class LineBlocks {
public:
    LineBlocks(FILE* file, size_t lineSize, int32_t lines, size_t lastLineBytes);
    // The next stored line, nullptr on a short read.
    const uint8_t* Next();
    // The next stored lines, lineSize bytes apart: the rest of the block in hand or a new
    // block, *count lines; nullptr on a short read.
    const uint8_t* NextLines(int32_t* count);

private:
    // Reads the next block; false on a short read or when no line is left.
    bool Refill();

    FILE* m_File;
    int m_Fd = -1;      // the file's descriptor, -1 for a stream in memory
    off_t m_Offset = 0; // where the next block starts, with a descriptor
    size_t m_LineSize;
    int32_t m_LinesLeft;
    size_t m_LastLineBytes;
    static constexpr size_t kCopyAlignment = 64; // a cache line
    std::unique_ptr<uint8_t[]> m_Block;
    uint8_t* m_Lines = nullptr; // the block's first line, inside m_Block
    size_t m_BlockLines = 0;
    size_t m_LinesInBlock = 0;
    size_t m_NextInBlock = 0;
};

// Runs write on path created for binary writing: kImageFileOpen when it cannot be created,
// kImageFileWrite when the bytes do not reach it.
template <typename Write> IMAGE_ERROR WriteTo(const char* path, Write&& write) {
    const FileHandle created(std::fopen(path, "wb"));
    if (created == nullptr) {
        return kImageFileOpen;
    }
    IMAGE_ERROR code = write(created.get());
    if (std::fflush(created.get()) != 0 && code == kImageOk) {
        code = kImageFileWrite;
    }
    return code;
}

// Writes size bytes; false on a short write.
inline bool WriteAll(FILE* file, const void* bytes, size_t size) {
    return size == 0 || std::fwrite(bytes, 1, size, file) == size;
}
// Reads the count pieces (a vector read) from offset at of a file's descriptor on, resuming
// after a partial read; false when the file ends first or the read fails. The pieces are used up.
bool ReadPiecesAt(int fd, iovec* pieces, int count, off_t at);
// The same for size bytes at bytes.
bool ReadAt(int fd, uint8_t* bytes, size_t size, off_t at);
// Reads size bytes; false on a short read.
inline bool ReadAll(FILE* file, void* bytes, size_t size) {
    return size == 0 || std::fread(bytes, 1, size, file) == size;
}

} // namespace imagefile

// Shared pieces of the image readers and writers.
#include "imaging/ImageFileSupport.h"

#include "imaging/ConvGeometry.h"
#include "imaging/FastPath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

namespace imagefile {

int32_t FormatRow(const char* name) {
    for (int32_t row = 0; row < kPixelFormatRows; ++row) {
        if (std::strcmp(g_PixelFormats[row].Name, name) == 0) {
            return row;
        }
    }
    return -1;
}

int64_t NaturalSize(int32_t row, int64_t width, int64_t height) {
    if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX) {
        return 0;
    }
    // The natural rows are packed: bytes per pixel times pixels.
    const int64_t bytesPerPixel = g_PixelFormats[row].StorageBits / 8;
    return bytesPerPixel * width * height;
}

std::unique_ptr<uint8_t[]> TryAllocate(int64_t size) {
    if (size <= 0 || static_cast<uint64_t>(size) > SIZE_MAX) {
        return nullptr;
    }
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
}

int64_t RemainingBytes(FILE* file) {
    const off_t here = ftello(file);
    if (here < 0 || fseeko(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const off_t end = ftello(file);
    if (fseeko(file, here, SEEK_SET) != 0 || end < here) {
        return -1;
    }
    return int64_t{end - here};
}

bool ReadPiecesAt(int fd, iovec* pieces, int count, off_t at) {
    while (count > 0) {
        const ssize_t got = preadv(fd, pieces, count, at);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        at += got;
        size_t left = size_t(got);
        while (count > 0 && left >= pieces->iov_len) {
            left -= pieces->iov_len;
            ++pieces;
            --count;
        }
        if (count > 0) {
            pieces->iov_base = static_cast<uint8_t*>(pieces->iov_base) + left;
            pieces->iov_len -= left;
        }
    }
    return true;
}

bool ReadAt(int fd, uint8_t* bytes, size_t size, off_t at) {
    iovec piece{bytes, size};
    return ReadPiecesAt(fd, &piece, 1, at);
}

LineBlocks::LineBlocks(FILE* file, size_t lineSize, int32_t lines, size_t lastLineBytes)
    : m_File(file), m_LineSize(lineSize), m_LinesLeft(lines), m_LastLineBytes(lastLineBytes) {
    // A file of its own is read at its descriptor, one read a block, from where the stream
    // stands (its buffer taken into account); a stream in memory through the stream.
    const off_t at = ftello(file);
    if (at >= 0 && fileno(file) >= 0) {
        m_Fd = fileno(file);
        m_Offset = at;
    }
    const size_t linesPerBlock =
        std::max<size_t>(1, kReadBlockBytes / std::max<size_t>(lineSize, 1));
    m_BlockLines = std::min<size_t>(linesPerBlock, size_t(std::max(lines, 1)));
    m_Block.reset(new (std::nothrow) uint8_t[m_BlockLines * lineSize + kCopyAlignment - 1]);
    m_Lines = m_Block.get();
}

bool LineBlocks::Refill() {
    if (m_LinesLeft <= 0 || m_Block == nullptr) {
        return false;
    }
    const size_t lines = std::min(m_BlockLines, size_t(m_LinesLeft));
    const bool last = lines == size_t(m_LinesLeft);
    const size_t bytes = lines * m_LineSize - (last ? m_LineSize - m_LastLineBytes : 0);
    if (m_Fd >= 0) {
        // The block starts as far into a cache line as its bytes do in the file: the system's
        // copy out of its page cache then runs line for line, about a tenth faster.
        const uintptr_t start = reinterpret_cast<uintptr_t>(m_Block.get());
        m_Lines = m_Block.get() + ((uintptr_t(m_Offset) - start) & (kCopyAlignment - 1));
        if (!ReadAt(m_Fd, m_Lines, bytes, m_Offset)) {
            return false;
        }
        m_Offset += off_t(bytes);
    } else if (!ReadAll(m_File, m_Lines, bytes)) {
        return false;
    }
    m_LinesLeft -= int32_t(lines);
    m_LinesInBlock = lines;
    m_NextInBlock = 0;
    return true;
}

const uint8_t* LineBlocks::Next() {
    if (m_NextInBlock == m_LinesInBlock && !Refill()) {
        return nullptr;
    }
    return m_Lines + m_LineSize * m_NextInBlock++;
}

const uint8_t* LineBlocks::NextLines(int32_t* count) {
    *count = 0;
    if (m_NextInBlock == m_LinesInBlock && !Refill()) {
        return nullptr;
    }
    const uint8_t* lines = m_Lines + m_LineSize * m_NextInBlock;
    *count = int32_t(m_LinesInBlock - m_NextInBlock);
    m_NextInBlock = m_LinesInBlock;
    return lines;
}

IMAGE_ERROR ConvertImage(uint8_t* src, int32_t srcRow, uint32_t srcFlags, uint8_t* dst,
                         int32_t dstRow, uint32_t dstFlags, int32_t width, int32_t height) {
    Conv conv;
    if (!conv.IsValidRow(srcRow) || !conv.IsValidRow(dstRow)) {
        return kImageDataConvert;
    }
    Surface in{};
    Surface out{};
    ImageSetupSurfaces(&in, src, srcRow, srcFlags, &out, dst, dstRow, dstFlags, width, height);
    return conv.Convert(&in, &out) == 0 ? kImageDataConvert : kImageOk;
}

IMAGE_ERROR ReadTarget::Prepare(uint8_t* buffer, int32_t row, uint32_t flags, int32_t naturalRow,
                                int32_t width, int32_t height) {
    m_Buffer = buffer;
    m_Row = row;
    m_Flags = flags;
    m_NaturalRow = naturalRow;
    m_Width = width;
    m_Height = height;
    m_NaturalLine = size_t(NaturalSize(naturalRow, width, 1));
    m_Converts = row >= 0 && row != naturalRow;
    if (!m_Converts) {
        return kImageOk;
    }
    m_ByBands = LinesStandAlone(row, width, height);
    m_BandLines = height;
    if (m_ByBands) {
        m_RowLine = size_t(RowStride64(row, width));
        m_BandLines = int32_t(std::clamp<size_t>(kBandBytes / m_NaturalLine, 1, size_t(height)));
    }
    m_Temporary = TryAllocate(NaturalSize(naturalRow, width, m_BandLines));
    return m_Temporary != nullptr ? kImageOk : kImageNoMemory;
}

bool ReadTarget::LinesStandAlone(int32_t row, int32_t width, int32_t height) {
    // The 18-bit stream row packs its pixels across line ends; YCbCr rows build lines in pairs
    // or planes. A picture the converter refuses keeps the whole-picture path, which reports it.
    static const int32_t s_StreamRow = FormatRow(kNameR666Stream);
    return row >= 0 && row < kPixelFormatRows && row != s_StreamRow &&
           YuvFamilyOfRow(row) == YuvFamily::None &&
           ToSize32(RowImageSize64(row, width, height)) != 0;
}

uint8_t* ReadTarget::Line(int32_t y) {
    if (!m_Converts) {
        return m_Buffer + size_t(y) * m_NaturalLine;
    }
    if (y < m_BandFirst || y - m_BandFirst >= m_BandLines) {
        FlushBand();
        m_BandFirst = y - y % m_BandLines;
    }
    m_MadeFirst = m_MadeFirst < 0 ? y : std::min(m_MadeFirst, y);
    m_MadeLast = std::max(m_MadeLast, y);
    return m_Temporary.get() + size_t(y - m_BandFirst) * m_NaturalLine;
}

IMAGE_ERROR ReadTarget::StoreLines(const uint8_t* lines, size_t lineStep, int32_t y,
                                   int32_t count) {
    if (m_ByBands) {
        return ConvertLines(lines, lineStep, y, count);
    }
    for (int32_t k = 0; k < count; ++k) {
        uint8_t* line = Line(y + k);
        const uint8_t* stored = lines + size_t(k) * lineStep;
        if (line != stored) {
            std::memcpy(line, stored, m_NaturalLine);
        }
    }
    return kImageOk;
}

IMAGE_ERROR ReadTarget::StoreLinesUpward(const uint8_t* lines, size_t lineStep, int32_t y,
                                         int32_t count) {
    if (m_ByBands && count > 1 && lineStep <= size_t(INT32_MAX)) {
        // The row kernels read lines at any stride: the block upside down, from its last line
        // on with a negative stride, in one pass. The surfaces are those Convert would settle.
        Surface in{};
        Surface out{};
        ImageSetupSurfaces(&in, const_cast<uint8_t*>(lines + size_t(count - 1) * lineStep),
                           m_NaturalRow, 0, &out, m_Buffer + size_t(y) * m_RowLine, m_Row, m_Flags,
                           m_Width, count);
        in.Stride = -int32_t(lineStep);
        if (ConvertByRows(in, out, m_Conv.GetColorimetry(), SelectKernels(KernelVariant::Best))) {
            return m_Failure;
        }
    }
    for (int32_t k = 0; k < count; ++k) {
        if (const IMAGE_ERROR code =
                StoreLines(lines + size_t(k) * lineStep, lineStep, y + count - 1 - k, 1);
            code != kImageOk) {
            return code;
        }
    }
    return kImageOk;
}

IMAGE_ERROR ReadTarget::ConvertLines(const uint8_t* lines, size_t lineStep, int32_t y,
                                     int32_t count) {
    Surface in{};
    Surface out{};
    // The converter reads through a non-const Surface; the source bytes are not changed.
    ImageSetupSurfaces(&in, const_cast<uint8_t*>(lines), m_NaturalRow, 0, &out,
                       m_Buffer + size_t(y) * m_RowLine, m_Row, m_Flags, m_Width, count);
    in.Stride = int32_t(lineStep);
    if (m_Conv.Convert(&in, &out) == 0) {
        m_Failure = kImageDataConvert;
    }
    return m_Failure;
}

void ReadTarget::FlushBand() {
    if (m_MadeFirst >= 0) {
        ConvertLines(m_Temporary.get() + size_t(m_MadeFirst - m_BandFirst) * m_NaturalLine,
                     m_NaturalLine, m_MadeFirst, m_MadeLast - m_MadeFirst + 1);
    }
    m_MadeFirst = -1;
    m_MadeLast = -1;
}

IMAGE_ERROR ReadTarget::Finish() {
    if (!m_Converts) {
        return kImageOk;
    }
    if (!m_ByBands) {
        return ConvertImage(m_Temporary.get(), m_NaturalRow, 0, m_Buffer, m_Row, m_Flags, m_Width,
                            m_Height);
    }
    FlushBand();
    return m_Failure;
}

IMAGE_ERROR WriteSource::Prepare(const uint8_t* buffer, int32_t row, uint32_t flags,
                                 int32_t naturalRow, int32_t width, int32_t height) {
    const int64_t size = NaturalSize(naturalRow, width, height);
    if (!FitsImageSize(size)) {
        return kImageDataConvert;
    }
    if (row < 0 || row == naturalRow) {
        m_Lines = buffer;
        return kImageOk;
    }
    m_Temporary = TryAllocate(size);
    if (m_Temporary == nullptr) {
        return kImageNoMemory;
    }
    m_Lines = m_Temporary.get();
    // The converter reads through a non-const Surface; the source bytes are not changed.
    return ConvertImage(const_cast<uint8_t*>(buffer), row, flags, m_Temporary.get(), naturalRow, 0,
                        width, height);
}

} // namespace imagefile

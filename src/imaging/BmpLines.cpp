// The stored lines of a BMP file turned into natural lines: the 24-bit reorder, and stored lines
// read through the file's descriptor straight into their image lines (a vector read of a block of
// lines at a time, each line's samples to its place, its padding to a scratch), reordered while
// the block is still in the processor's cache.
#include "imaging/BmpLines.h"

#include "imaging/ImageFileSupport.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <sys/types.h>
#include <sys/uio.h>

namespace imagefile {

namespace {

// Stored bytes read at a time: a block small enough to stay in the processor's cache until it
// is reordered, in at most kMaxLines lines (two pieces each, within the vector read's limit).
constexpr size_t kBlockBytes = 256u << 10;
constexpr int32_t kMaxLines = 256;

// Reads the pieces of pieces from offset at on, resuming after a partial read; false when the
// file ends first or the read fails.
bool ReadPieces(int fd, iovec* pieces, int count, off_t at) {
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

} // namespace

BgrLineReorder::BgrLineReorder(int32_t width)
    : m_Width(width), m_BgrRow(FormatRow(kNameBgr)), m_RgbRow(FormatRow(kNameRgb)) {}

bool BgrLineReorder::Run(const uint8_t* in, size_t inStep, uint8_t* out, int32_t count) {
    // The converter only reads the source lines.
    Surface from{};
    from.Buffer = const_cast<uint8_t*>(in);
    from.Format = m_BgrRow;
    from.Width = m_Width;
    from.Height = count;
    from.Stride = int32_t(inStep);
    Surface to = from;
    to.Buffer = out;
    to.Format = m_RgbRow;
    to.Stride = 3 * m_Width;
    to.BufSize = 3 * m_Width * count;
    return m_Conv.Convert(&from, &to) != 0;
}

bool ReadsBmpLinesInPlace(FILE* file, const BmpLayout& layout) {
    const uint32_t bits = layout.BitsPerPixel;
    return (bits == 16 || bits == 24 || bits == 32) && fileno(file) >= 0 &&
           layout.PixelOffset + layout.LineSize * uint64_t(layout.Height) <= uint64_t(INT64_MAX);
}

IMAGE_ERROR ReadBmpLinesInPlace(FILE* file, const BmpLayout& layout, uint8_t* buffer) {
    const int fd = fileno(file);
    const size_t dataBytes = size_t(layout.Width) * (layout.BitsPerPixel / 8);
    const size_t padding = layout.LineSize - dataBytes;
    const int32_t perBlock =
        int32_t(std::clamp<uint64_t>(kBlockBytes / layout.LineSize, 1, kMaxLines));
    uint8_t scratch[4]; // the padding to 4 bytes
    // 24-bit lines read for "R888.B-G-R" stay as they are stored.
    const bool reorders = layout.BitsPerPixel == 24 && layout.NaturalRow == FormatRow(kNameRgb);
    BgrLineReorder reorder(layout.Width);
    iovec pieces[2 * kMaxLines];
    for (int32_t k = 0; k < layout.Height;) {
        const int32_t count = std::min(perBlock, layout.Height - k);
        // The image lines of stored lines k .. k + count - 1, from the first upwards when the
        // file is stored bottom-up: together one run of lines in the buffer.
        const int32_t first = layout.TopDown ? k : layout.Height - k - count;
        int used = 0;
        for (int32_t n = 0; n < count; ++n) {
            const int32_t y = layout.TopDown ? k + n : layout.Height - 1 - (k + n);
            uint8_t* line = buffer + size_t(y) * dataBytes;
            if (used > 0 &&
                static_cast<uint8_t*>(pieces[used - 1].iov_base) + pieces[used - 1].iov_len ==
                    line) {
                pieces[used - 1].iov_len += dataBytes; // follows the last piece
            } else {
                pieces[used++] = iovec{line, dataBytes};
            }
            // The file may end after the last line's samples.
            if (padding != 0 && k + n != layout.Height - 1) {
                pieces[used++] = iovec{scratch, padding};
            }
        }
        const off_t at = off_t(layout.PixelOffset + layout.LineSize * uint64_t(k));
        if (!ReadPieces(fd, pieces, used, at)) {
            return kImageFileRead;
        }
        if (reorders) {
            uint8_t* lines = buffer + size_t(first) * dataBytes;
            if (!reorder.Run(lines, dataBytes, lines, count)) {
                return kImageDataConvert;
            }
        }
        k += count;
    }
    return kImageOk;
}

} // namespace imagefile

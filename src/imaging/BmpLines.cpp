// The stored lines of a BMP file turned into natural lines: the 24-bit reorder, and stored lines
// read through the file's descriptor straight into their image lines (a vector read of a block of
// lines at a time, each line's samples to its place, its padding to a scratch; 24-bit lines
// without padding in one read per block, upside down for a bottom-up file, and put right while
// they are swapped), reordered while the block is still in the processor's cache.
#include "imaging/BmpLines.h"

#include "imaging/FastPath.h"
#include "imaging/ImageFileSupport.h"
#include "imaging/KernelSet.h"

#include <algorithm>
#include <climits>
#include <sys/types.h>
#include <sys/uio.h>

namespace imagefile {

namespace {

// Stored lines read at a time: a block of kReadBlockBytes, reordered while it is still in the
// processor's cache, in at most kMaxLines lines (two pieces each, within the vector read's limit).
constexpr int32_t kMaxLines = 256;

// Lines of 24-bit samples without padding, read a block at a time with one read each into the
// block's run of image lines as they lie in the file (bottom-up blocks upside down), then
// reordered there: each line's bytes swapped, and a bottom-up block's lines exchanged end for
// end in the same pass.
bool ReadUnpaddedBgrLines(int fd, const BmpLayout& layout, uint8_t* buffer, int32_t perBlock) {
    const size_t lineBytes = size_t(layout.Width) * 3;
    const SwapLinesFn swapLines = SelectKernels(KernelVariant::Best).SwapLinesRgb24;
    for (int32_t k = 0; k < layout.Height;) {
        const int32_t count = std::min(perBlock, layout.Height - k);
        const int32_t first = layout.TopDown ? k : layout.Height - k - count;
        uint8_t* lines = buffer + size_t(first) * lineBytes;
        iovec piece{lines, lineBytes * size_t(count)};
        if (!ReadPiecesAt(fd, &piece, 1, off_t(layout.PixelOffset + lineBytes * uint64_t(k)))) {
            return false;
        }
        for (int32_t n = 0; n < count; ++n) {
            const int32_t other = layout.TopDown ? n : count - 1 - n;
            if (other < n) {
                break; // exchanged already
            }
            swapLines(lines + size_t(n) * lineBytes, lines + size_t(other) * lineBytes,
                      layout.Width);
        }
        k += count;
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
        int32_t(std::clamp<uint64_t>(kReadBlockBytes / layout.LineSize, 1, kMaxLines));
    uint8_t scratch[4]; // the padding to 4 bytes
    // 24-bit lines read for "R888.B-G-R" stay as they are stored.
    const bool reorders = layout.BitsPerPixel == 24 && layout.NaturalRow == FormatRow(kNameRgb);
    if (reorders && padding == 0) {
        return ReadUnpaddedBgrLines(fd, layout, buffer, perBlock) ? kImageOk : kImageFileRead;
    }
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
        if (!ReadPiecesAt(fd, pieces, used, at)) {
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

// TestPatternDraw: the zeroed work buffer, the painter of the request's kind, and the one
// conversion into the caller's format.
#include "imaging/TestPattern.h"

#include "imaging/Conv.h"
#include "imaging/Draw.h"
#include "imaging/PatternPainters.h"

#include <cstdint>
#include <memory>
#include <new>

namespace {

void Paint(PatternCanvas& canvas, uint32_t kind) {
    switch (kind) {
    case kPatternNone:
    case kPatternUber:
        PatUber(canvas);
        break;
    case kPatternFill:
        PatFill(canvas);
        break;
    case kPatternGrid:
        PatGrid(canvas);
        break;
    case kPatternBars:
    case kPatternN100R:
        PatBars(canvas, 0xFF);
        break;
    case kPatternN075R:
        PatBars(canvas, 0xBF);
        break;
    case kPatternOld:
        PatOld(canvas);
        break;
    default:
        if (kind >= kPatternFirstQuad && kind <= kPatternLastQuad) {
            PatQuad(canvas, kind);
        }
        break;
    }
}

} // namespace

uint64_t PatternWorkBytes(uint32_t width, uint32_t height) {
    return uint64_t{width} * height * 4;
}

bool TestPatternDraw(const PatternRequest* request) {
    const uint64_t workBytes = PatternWorkBytes(request->Width, request->Height);
    // A surface describes at most INT32_MAX bytes.
    if (workBytes == 0 || workBytes > INT32_MAX) {
        return false;
    }
    const uint64_t pixels = workBytes / 4;
    // Zeroed: kinds that paint nothing, and OLD below 5 pixels, hand over transparent black.
    std::unique_ptr<uint32_t[]> work(new (std::nothrow) uint32_t[pixels]());
    if (!work) {
        return false;
    }
    PatternRequest copy = *request;
    copy.Buffer = reinterpret_cast<uint8_t*>(work.get());
    const auto width = static_cast<int32_t>(request->Width);
    const auto height = static_cast<int32_t>(request->Height);
    Surface source{copy.Buffer,
                   static_cast<int32_t>(workBytes),
                   "ARGB8888.ARGB",
                   0,
                   width,
                   height,
                   width * 4,
                   0,
                   0,
                   0,
                   0,
                   nullptr};
    Conv conv;
    source.Format = conv.FindFormat(source.FormatName);
    Surface* previous = DrawSetTarget(&source);
    PatternCanvas canvas(copy);
    Paint(canvas, copy.Kind);
    DrawSetTarget(previous);

    if (!conv.IsValidRow(request->Format)) {
        return false;
    }
    Surface destination{request->Buffer,
                        conv.GetImageSize(request->Format, width, height),
                        nullptr,
                        request->Format,
                        width,
                        height,
                        conv.GetStride(request->Format, width),
                        0,
                        0,
                        static_cast<uint8_t>((request->Flags & kPatternChromaOffset) != 0),
                        static_cast<uint8_t>((request->Flags & kPatternVideoRange) != 0),
                        nullptr};
    conv.SetColorimetry(request->Colorimetry);
    return conv.Convert(&source, &destination) != 0;
}

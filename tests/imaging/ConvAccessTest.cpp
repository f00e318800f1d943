// A surface with an access function gets exactly the writers' stores, at their widths.
#include "imaging/Conv.h"

#include "ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<AccessCall> PutThroughAccess(int32_t row, int32_t x, int32_t y, uint32_t colour,
                                         std::vector<uint8_t>& buffer, int32_t width = 4,
                                         int32_t height = 2) {
    AccessRecorder recorder(buffer);
    Surface s = MakeSurface(buffer, row, width, height);
    Conv conv;
    s.Stride = conv.GetStride(row, width);
    s.Access = &AccessRecorder::Access;
    conv.PutPixel(x, y, &s, colour);
    return recorder.Calls;
}

TEST(ConvAccess, WritersStoreAtTheirUnitWidths) {
    const struct {
        int32_t Row;
        int32_t X;
        std::vector<AccessCall> Calls;
    } cases[] = {
        {5, 1, {{2, 0x1F, 8, "WR"}, {3, 0xF8, 8, "WR"}}},
        {4, 1, {{2, 0x7C1F, 16, "WR"}}},
        {14, 0, {{0, 0x00FC00FC, 32, "WR"}}},
        {25, 1, {{4, 0x00FF00FF, 32, "WR"}}},
        {17, 0, {{0, 0xFF, 16, "WR"}, {2, 0x00FF, 16, "WR"}}},
        {1, 1, {{1, 0x0F, 8, "AND"}, {1, 0xF0, 8, "OR"}, {2, 0xF0, 8, "WR"}}},
        {1, 0, {{0, 0x0F, 8, "WR"}, {1, 0xF0, 8, "AND"}, {1, 0x0F, 8, "OR"}}},
        {21, 1, {{2, 0xFF, 8, "WR"}, {5, 0x00, 8, "WR"}, {4, 0xFF, 8, "WR"}}},
        // Magenta: Y 105, Cb 84, Cr 106, each merged with the stored 0.
        {37,
         1,
         {{2, 105, 8, "WR"}, {1, 0, 8, "RD"}, {1, 42, 8, "WR"}, {3, 0, 8, "RD"}, {3, 53, 8, "WR"}}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> buffer(64, 0);
        const std::vector<AccessCall> calls = PutThroughAccess(c.Row, c.X, 0, 0x00FF00FF, buffer);
        EXPECT_EQ(calls, c.Calls) << "row " << c.Row;
    }
}

TEST(ConvAccess, R666StreamMergesOnlyItsSharedBytes) {
    std::vector<uint8_t> buffer(16, 0);
    // Pixel 1 of the stream: bits 18-35, bytes 2 (shared, bits 2-7), 3 and 4 (whole, bits
    // 24-31 and 32-39 with bits 36-39 shared with pixel 2).
    const std::vector<AccessCall> calls = PutThroughAccess(8, 1, 0, 0x00FCFCFC, buffer);
    const std::vector<AccessCall> expected{
        {2, 0x03, 8, "AND"}, {2, 0xFC, 8, "OR"}, {3, 0xFF, 8, "WR"},
        {4, 0xF0, 8, "AND"}, {4, 0x0F, 8, "OR"},
    };
    EXPECT_EQ(calls, expected);
}

TEST(ConvAccess, LaneSwappedReadersReadThroughIt) {
    std::vector<uint8_t> buffer{0x02, 0x01, 0x04, 0x03, 0x06, 0x05};
    AccessRecorder recorder(buffer);
    Surface s = MakeSurface(buffer, 21, 2, 1);
    s.Access = &AccessRecorder::Access;
    Conv conv;
    EXPECT_EQ(conv.GetPixel(1, 0, &s), 0x00040506u);
    const std::vector<AccessCall> expected{{2, 0, 8, "RD"}, {5, 0, 8, "RD"}, {4, 0, 8, "RD"}};
    EXPECT_EQ(recorder.Calls, expected);
}

TEST(ConvAccess, ConvertIntoSuchASurfaceTakesTheReferencePath) {
    std::vector<uint8_t> src{1, 2, 3, 4, 5, 6, 7, 8};
    Surface s = MakeSurface(src, 25, 2, 1);
    std::vector<uint8_t> buffer(4, 0);
    AccessRecorder recorder(buffer);
    Surface d = MakeSurface(buffer, 5, 2, 1);
    d.Access = &AccessRecorder::Access;
    Conv conv;
    EXPECT_EQ(conv.Convert(&s, &d), 4);
    EXPECT_EQ(recorder.Calls.size(), 4u);
}

} // namespace

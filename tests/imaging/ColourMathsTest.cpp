// The colour maths against a table computed from the formulas by make_colour_goldens.py.
#include "imaging/ColourMaths.h"

#include "ImagingTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct RgbToYuvGolden {
    uint32_t Colorimetry;
    bool Video;
    bool Offset;
    uint8_t R, G, B, Y, Cb, Cr;
};
struct YuvToRgbGolden {
    uint32_t Colorimetry;
    bool Video;
    bool Offset;
    uint8_t Y, Cb, Cr, R, G, B;
};
struct AdaptGolden {
    bool SrcVideo;
    bool SrcOffset;
    bool DstVideo;
    bool DstOffset;
    uint8_t Y, Cb, Cr, OutY, OutCb, OutCr;
};

#include "ColourGoldens.inc"

TEST(ColourMaths, RgbToYuvMatchesTheFormulas) {
    for (const RgbToYuvGolden& g : kRgbToYuvGoldens) {
        Pixel p{0, g.R, g.G, g.B, 0, 0, 0};
        RgbToYuv(p, g.Colorimetry, YuvConvention{g.Video, g.Offset});
        SCOPED_TRACE(testing::Message()
                     << "colorimetry " << g.Colorimetry << " video " << g.Video << " offset "
                     << g.Offset << " rgb " << int(g.R) << "," << int(g.G) << "," << int(g.B));
        EXPECT_EQ(p.Y, g.Y);
        EXPECT_EQ(p.Cb, g.Cb);
        EXPECT_EQ(p.Cr, g.Cr);
    }
}

TEST(ColourMaths, YuvToRgbMatchesTheFormulas) {
    for (const YuvToRgbGolden& g : kYuvToRgbGoldens) {
        Pixel p{0, 0, 0, 0, g.Y, g.Cb, g.Cr};
        YuvToRgb(p, g.Colorimetry, YuvConvention{g.Video, g.Offset});
        SCOPED_TRACE(testing::Message()
                     << "colorimetry " << g.Colorimetry << " video " << g.Video << " offset "
                     << g.Offset << " yuv " << int(g.Y) << "," << int(g.Cb) << "," << int(g.Cr));
        EXPECT_EQ(p.R, g.R);
        EXPECT_EQ(p.G, g.G);
        EXPECT_EQ(p.B, g.B);
    }
}

TEST(ColourMaths, AdaptationsMatchTheFormulas) {
    for (const AdaptGolden& g : kAdaptGoldens) {
        Pixel p{0, 0, 0, 0, g.Y, g.Cb, g.Cr};
        const YuvConvention src{g.SrcVideo, g.SrcOffset};
        const YuvConvention dst{g.DstVideo, g.DstOffset};
        if (g.SrcVideo) {
            AdaptYuvIn(p, src, dst);
        } else {
            AdaptYuvOut(p, src, dst);
        }
        SCOPED_TRACE(testing::Message()
                     << "src " << g.SrcVideo << g.SrcOffset << " dst " << g.DstVideo << g.DstOffset
                     << " yuv " << int(g.Y) << "," << int(g.Cb) << "," << int(g.Cr));
        EXPECT_EQ(p.Y, g.OutY);
        EXPECT_EQ(p.Cb, g.OutCb);
        EXPECT_EQ(p.Cr, g.OutCr);
    }
}

TEST(ColourMaths, KnownValues) {
    Pixel white{0, 255, 255, 255, 0, 0, 0};
    RgbToYuv(white, COLORIMETRY_BT601, YuvConvention{true, true});
    EXPECT_EQ(white.Y, 235);
    EXPECT_EQ(white.Cb, 128);
    EXPECT_EQ(white.Cr, 128);

    Pixel blue{0, 0, 0, 255, 0, 0, 0};
    RgbToYuv(blue, COLORIMETRY_BT709, YuvConvention{false, false});
    EXPECT_EQ(blue.Y, 18);
    EXPECT_EQ(static_cast<int8_t>(blue.Cb), 127);
    EXPECT_EQ(static_cast<int8_t>(blue.Cr), -11);

    for (uint32_t c = 0; c < COLORIMETRY_COUNT; ++c) {
        Pixel grey{0, 77, 77, 77, 0, 0, 0};
        RgbToYuv(grey, c, YuvConvention{true, true});
        EXPECT_EQ(grey.Cb, 128) << c;
        EXPECT_EQ(grey.Cr, 128) << c;
    }
}

TEST(ColourMaths, ClampS8TakesTheLow16Bits) {
    EXPECT_EQ(ClampS8(127), 127);
    EXPECT_EQ(ClampS8(128), 127);
    EXPECT_EQ(ClampS8(-129), -128);
    EXPECT_EQ(ClampS8(0x10005), 5);
}

} // namespace

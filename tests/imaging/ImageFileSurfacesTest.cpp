// ImageSetupSurfaces and the probe's preconditions.
#include "ImageFileTestSupport.h"

#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageSetupSurfaces, FillsBothSidesOfAWholeImageConversion) {
    std::vector<uint8_t> in(64);
    std::vector<uint8_t> out(64);
    Surface src{};
    Surface dst{};
    ImageSetupSurfaces(&src, in.data(), 19, 0, &dst, out.data(), 5,
                       kImageVideoRange | kImageChromaOffset, 5, 3);
    EXPECT_EQ(src.Buffer, in.data());
    EXPECT_EQ(src.BufSize, 0);
    EXPECT_EQ(src.FormatName, nullptr);
    EXPECT_EQ(src.Format, 19);
    EXPECT_EQ(src.Stride, 15);
    EXPECT_EQ(src.VideoRange, 0);
    EXPECT_EQ(dst.Buffer, out.data());
    EXPECT_EQ(dst.BufSize, 30);
    EXPECT_EQ(dst.Stride, 10);
    EXPECT_EQ(dst.Width, 5);
    EXPECT_EQ(dst.Height, 3);
    EXPECT_EQ(dst.VideoRange, 1);
    EXPECT_EQ(dst.ChromaOffset, 1);
    EXPECT_EQ(dst.Access, nullptr);
}

TEST(ImageSetupSurfaces, PreconditionsAreAssertions) {
    AssertRecorder asserts;
    std::vector<uint8_t> bytes(16);
    Surface src{};
    Surface dst{};
    ImageSetupSurfaces(&src, bytes.data(), 19, 0, &dst, bytes.data(), 19, 0, 0, 1);
    EXPECT_TRUE(asserts.Saw("w>0"));
    ImageSetupSurfaces(&src, bytes.data(), 19, 0, &dst, bytes.data(), 19, 0, 1, -1);
    EXPECT_TRUE(asserts.Saw("h>0"));
    ImageSetupSurfaces(&src, nullptr, 19, 0, &dst, bytes.data(), 19, 0, 1, 1);
    EXPECT_TRUE(asserts.Saw("iBuf != NULL"));
    ImageSetupSurfaces(nullptr, bytes.data(), 19, 0, &dst, bytes.data(), 19, 0, 1, 1);
    EXPECT_TRUE(asserts.Saw("iDat != NULL"));
}

TEST(ImageProbe, APathWithoutAnExtensionIsAnAssertion) {
    AssertRecorder asserts;
    unsigned width = 0;
    unsigned height = 0;
    EXPECT_EQ(ImageProbe("no-extension", &width, &height, nullptr), kImageFileOpen);
    EXPECT_TRUE(asserts.Saw("str != NULL"));
}

} // namespace

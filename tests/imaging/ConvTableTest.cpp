// The format table and the converter's queries: names, strides and image sizes.
#include "imaging/Conv.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ConvTable, RowsAndFirstYuvRow) {
    Conv conv;
    EXPECT_TRUE(conv.IsValidRow(53));
    EXPECT_FALSE(conv.IsValidRow(54));
    EXPECT_FALSE(conv.IsValidRow(-1));
    EXPECT_EQ(conv.GetFirstYuvRow(), 28);
    EXPECT_FALSE(conv.IsYuv(27));
    EXPECT_TRUE(conv.IsYuv(28));
    EXPECT_STREQ(conv.GetFormatName(24), "ARGB8565.ARxGxBx");
    EXPECT_STREQ(conv.GetFormatOrder(24), "ARGB");
    EXPECT_EQ(conv.GetBpp(41), -12);
    EXPECT_EQ(conv.GetBusWidth(52), 2u);
}

TEST(ConvTable, FindFormatIgnoresCase) {
    Conv conv;
    EXPECT_EQ(conv.FindFormat("r565.rgb"), 5);
    EXPECT_EQ(conv.FindFormat("Y420.U01-Y-Y+V01-Y-Y"), 53);
    EXPECT_EQ(conv.FindFormat("R565.RGBX"), -1);
    EXPECT_EQ(conv.FindFormat(""), -1);
    for (int32_t row = 0; row < kPixelFormatRows; ++row) {
        EXPECT_EQ(conv.FindFormat(conv.GetFormatName(row)), row);
    }
}

TEST(ConvTable, FormatStringsAndColorimetryNames) {
    Conv conv;
    const char* name = nullptr;
    const char* desc = nullptr;
    const char* order = nullptr;
    ASSERT_TRUE(conv.GetFormatStrings(37, &name, &desc, &order));
    EXPECT_STREQ(name, "Y422.Y-U-Y-V");
    EXPECT_STREQ(desc, "YUV 4:2:2");
    EXPECT_STREQ(order, "Y-U-Y-V");
    EXPECT_FALSE(conv.GetFormatStrings(54, &name, &desc, &order));
    EXPECT_STREQ(name, "Y422.Y-U-Y-V");

    const char* colorimetry = nullptr;
    ASSERT_TRUE(Conv::GetColorimetryName(4, &colorimetry));
    EXPECT_STREQ(colorimetry, "SMPTE 240M");
    ASSERT_TRUE(Conv::GetColorimetryName(2, &colorimetry));
    EXPECT_STREQ(colorimetry, "ITR BT 601");
    EXPECT_FALSE(Conv::GetColorimetryName(5, &colorimetry));
    EXPECT_FALSE(Conv::GetColorimetryName(-1, &colorimetry));
}

// Stride of width 5 and 3, image size of 5 x 3, per row, from the table's formulas.
TEST(ConvTable, StrideAndSizeOfEveryRowAtOddSizes) {
    const struct {
        int32_t Row;
        int32_t Stride5;
        int32_t Stride3;
        int32_t Size5x3;
    } cases[] = {
        {0, 5, 3, 15},    {1, 8, 5, 24},    {2, 10, 6, 30},   {3, 10, 6, 30},   {4, 10, 6, 30},
        {5, 10, 6, 30},   {6, 10, 6, 30},   {7, 10, 6, 30},   {8, 12, 7, 34},   {9, 15, 9, 45},
        {10, 16, 10, 48}, {11, 15, 9, 45},  {12, 20, 12, 60}, {13, 20, 12, 60}, {14, 20, 12, 60},
        {15, 20, 12, 60}, {16, 20, 12, 60}, {17, 20, 12, 60}, {18, 20, 12, 60}, {19, 15, 9, 45},
        {20, 15, 9, 45},  {21, 16, 10, 48}, {22, 10, 6, 30},  {23, 10, 6, 30},  {24, 20, 12, 60},
        {25, 20, 12, 60}, {26, 20, 12, 60}, {27, 5, 3, 15},   {28, 12, 6, 36},  {29, 12, 6, 36},
        {30, 12, 6, 36},  {31, 12, 6, 36},  {32, 12, 8, 36},  {33, 12, 8, 36},  {34, 12, 8, 36},
        {35, 12, 8, 36},  {36, 6, 4, 36},   {37, 12, 8, 36},  {38, 12, 8, 36},  {39, 12, 8, 36},
        {40, 12, 8, 36},  {41, 9, 6, 36},   {42, 6, 4, 36},   {43, 9, 6, 36},   {44, 9, 6, 36},
        {45, 9, 6, 36},   {46, 9, 6, 36},   {47, 9, 6, 36},   {48, 9, 6, 36},   {49, 9, 6, 36},
        {50, 9, 6, 36},   {51, 9, 6, 36},   {52, 9, 6, 36},   {53, 9, 6, 36},
    };
    static_assert(std::size(cases) == kPixelFormatRows);
    Conv conv;
    for (const auto& c : cases) {
        EXPECT_EQ(conv.GetStride(c.Row, 5), c.Stride5) << c.Row;
        EXPECT_EQ(conv.GetStride(c.Row, 3), c.Stride3) << c.Row;
        EXPECT_EQ(conv.GetImageSize(c.Row, 5, 3), c.Size5x3) << c.Row;
    }
    EXPECT_EQ(conv.GetImageSize(8, 3, 3), 21);
    EXPECT_EQ(conv.GetImageSize(43, 5, 5), 54);
    EXPECT_EQ(conv.GetImageSize(28, 5, 2), 24);
}

// Sizes used to wrap in 32 bits: 40000 x 30000 x 4 gave 505032704, 32768 x 32768 x 4 gave 0.
TEST(ConvTable, SizesThatDoNotFitGiveZero) {
    const struct {
        int32_t Row;
        int32_t Width;
        int32_t Height;
    } cases[] = {
        {25, 40000, 30000}, {25, 32768, 32768}, {25, 0, 10},       {25, 10, 0},
        {25, -4, 10},       {25, 10, -4},       {8, 65536, 65536}, {43, 65536, 32768},
    };
    Conv conv;
    // The largest sizes of every row give 0 without overflowing on the way there.
    for (int32_t row = 1; row < kPixelFormatRows; ++row) {
        EXPECT_EQ(conv.GetImageSize(row, INT32_MAX, INT32_MAX), 0) << row;
    }
    for (const auto& c : cases) {
        EXPECT_EQ(conv.GetImageSize(c.Row, c.Width, c.Height), 0)
            << c.Row << " " << c.Width << "x" << c.Height;
    }
    EXPECT_EQ(conv.GetStride(25, 0x40000000), 0);
    EXPECT_EQ(conv.GetStride(25, -1), 0);
    EXPECT_EQ(conv.GetStride(25, 0x1FFFFFFF), 0x7FFFFFFC);
}

} // namespace

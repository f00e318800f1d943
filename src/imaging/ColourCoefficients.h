#pragma once
// The integer coefficients of RGB<->YCbCr conversion for the five colour standards, full range
// and video range, in the form value = (a * first + b * second + c * third) / Divisor.
//
//     const LinearRow& luma = kFullRangeRgbToYuv[COLORIMETRY_BT601].Y;
//     const int32_t y = (luma.A * r + luma.B * g + luma.C * b) / luma.Divisor;
//
// Shared by the per-pixel colour maths and the row kernels, so both compute from one table.
// SMPTE 240M's video-range Cr takes 483 for its blue coefficient, the value that makes the row
// sum zero, so that grey has no chroma.
#include <cstdint>

// One output component as a linear combination of three inputs divided (truncating) by Divisor.
struct LinearRow {
    int32_t A;
    int32_t B;
    int32_t C;
    int32_t Divisor;
};

// Rows over (R, G, B).
struct RgbToYuvCoefficients {
    LinearRow Y;
    LinearRow Cb;
    LinearRow Cr;
};

// Rows over (Y, Cb, Cr).
struct YuvToRgbCoefficients {
    LinearRow R;
    LinearRow G;
    LinearRow B;
};

inline constexpr RgbToYuvCoefficients kFullRangeRgbToYuv[5] = {
    {{2126, 7152, 722, 10000}, {-115, -386, 500, 1000}, {500, -454, -46, 1000}},
    {{300, 590, 110, 1000}, {-169, -331, 500, 1000}, {500, -421, -79, 1000}},
    {{299, 587, 114, 1000}, {-169, -331, 500, 1000}, {500, -419, -81, 1000}},
    {{299, 587, 114, 1000}, {-169, -331, 500, 1000}, {500, -419, -81, 1000}},
    {{212, 701, 87, 1000}, {-116, -384, 500, 1000}, {500, -445, -55, 1000}},
};

// Y - 16, Cb - 128 and Cr - 128 of video range.
inline constexpr RgbToYuvCoefficients kVideoRangeRgbToYuv[5] = {
    {{1826, 6142, 620, 10000}, {-1010, -3391, 4392, 10000}, {4392, -3988, -404, 10000}},
    {{2576, 5067, 945, 10000}, {-1485, -2908, 4392, 10000}, {4392, -3698, -694, 10000}},
    {{257, 504, 98, 1000}, {-148, -291, 439, 1000}, {439, -368, -71, 1000}},
    {{2568, 5041, 979, 10000}, {-1485, -2908, 4392, 10000}, {4392, -3681, -712, 10000}},
    {{1821, 6020, 747, 10000}, {-1019, -3373, 4392, 10000}, {4392, -3909, -483, 10000}},
};

inline constexpr YuvToRgbCoefficients kFullRangeYuvToRgb[5] = {
    {{1000, 0, 1575, 1000}, {1000, -187, -468, 1000}, {1002, 1855, 0, 1000}},
    {{1000, 0, 1400, 1000}, {1000, -333, -712, 1000}, {1000, 1780, 2, 1000}},
    {{1000, 0, 1402, 1000}, {1000, -344, -714, 1000}, {1000, 1772, 0, 1000}},
    {{1000, 0, 1402, 1000}, {1000, -344, -714, 1000}, {1000, 1772, 0, 1000}},
    {{1000, 0, 1576, 1000}, {1000, -226, -477, 1000}, {1000, 1826, 0, 1000}},
};

// Over (Y - 16, Cb - 128, Cr - 128).
inline constexpr YuvToRgbCoefficients kVideoRangeYuvToRgb[5] = {
    {{11644, 0, 17930, 10000}, {11644, -2129, -5328, 10000}, {11647, 21117, 0, 10000}},
    {{11644, 11, 15938, 10000}, {11644, -3791, -8105, 10000}, {11644, 20263, 23, 10000}},
    {{11644, 0, 15960, 10000}, {11644, -3916, -8128, 10000}, {11644, 20172, 0, 10000}},
    {{11644, 0, 15960, 10000}, {11644, -3916, -8128, 10000}, {11644, 20172, 0, 10000}},
    {{11644, 0, 17941, 10000}, {11644, -2573, -5430, 10000}, {11644, 20787, 0, 10000}},
};

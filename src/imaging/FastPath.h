#pragma once
// The fast path of Convert: converts a settled pair of surfaces line by line through the row
// kernels, with the pair resolved once per picture and no call per pixel.
//
//     if (!ConvertByRows(src, dst, colorimetry, SelectKernels(KernelVariant::Best))) {
//         /* no kernel for this pair: take the reference loops */
//     }
//
// The source and destination arrive as Convert leaves them before its loop: formats resolved,
// destination clipped, strides filled in and the destination's bytes checked against BufSize.
// The bytes written are those of the reference path, for every pair the kernels take.
#include "imaging/ConvTypes.h"

struct KernelSet;

// The kernel build for variant (the baseline when the processor lacks the one named).
const KernelSet& SelectKernels(KernelVariant variant);
// Whether the processor runs the AVX2 build.
bool CpuHasAvx2();
// Converts; false (nothing written) when no kernel serves the pair, a surface has an access
// function or the destination's origin lies left of or above pixel (0, 0).
bool ConvertByRows(const Surface& src, const Surface& dst, uint32_t colorimetry,
                   const KernelSet& kernels);

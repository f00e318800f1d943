#pragma once
// What the kernel sources of one build share: the kernel set they fill, in the namespace of
// their build (Q3V_KERNEL_VARIANT, set by the build: kernels_baseline or kernels_avx2).
//
//     namespace Q3V_KERNEL_VARIANT {
//     void FillRgbKernels(KernelSet& k); // KernelsRgb.cpp
//     }
#include "imaging/KernelSet.h"

#ifndef Q3V_KERNEL_VARIANT
#error "kernel sources are built with Q3V_KERNEL_VARIANT set"
#endif

namespace Q3V_KERNEL_VARIANT {
void FillRgbKernels(KernelSet& k);
void FillYuvKernels(KernelSet& k);
void FillColourKernels(KernelSet& k);
} // namespace Q3V_KERNEL_VARIANT

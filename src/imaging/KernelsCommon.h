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

// Asks for the cache line kAhead bytes after p: a stream read a vector at a time keeps more lines
// in flight so than its loads alone do (a hint only; an address past the buffer is harmless).
template <int kAhead = 1024> [[gnu::always_inline]] inline void PrefetchAhead(const void* p) {
    __builtin_prefetch(static_cast<const char*>(p) + kAhead, 0, 3);
}

void FillRgbKernels(KernelSet& k);
void FillYuvKernels(KernelSet& k);
void FillColourKernels(KernelSet& k);
} // namespace Q3V_KERNEL_VARIANT

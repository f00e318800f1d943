// The kernel set of this build, filled once from the family files.
#include "imaging/KernelsCommon.h"

#define Q3V_STRINGIFY2(x) #x
#define Q3V_STRINGIFY(x) Q3V_STRINGIFY2(x)

namespace Q3V_KERNEL_VARIANT {

const KernelSet& Kernels() {
    static const KernelSet s_Kernels = [] {
        KernelSet k{};
        k.Name = Q3V_STRINGIFY(Q3V_KERNEL_VARIANT);
        FillRgbKernels(k);
        FillYuvKernels(k);
        FillColourKernels(k);
        return k;
    }();
    return s_Kernels;
}

} // namespace Q3V_KERNEL_VARIANT

#include "imaging/FastPath.h"

struct KernelSet {};

const KernelSet& SelectKernels(KernelVariant) {
    static const KernelSet s_None{};
    return s_None;
}

bool CpuHasAvx2() {
    return false;
}

bool ConvertByRows(const Surface&, const Surface&, uint32_t, const KernelSet&) {
    return false;
}

// Byte-order conversion of a configuration block between the machine's order and the other.
#include "setup/core/BlockByteOrder.h"

#include <bit>
#include <cstddef>

namespace {

void SwapU16At(oxHclData& block, std::size_t offset) {
    oxHclStoreU16(block, offset, __builtin_bswap16(oxHclLoadU16(block, offset)));
}

void SwapU32At(oxHclData& block, std::size_t offset) {
    oxHclStoreU32(block, offset, __builtin_bswap32(oxHclLoadU32(block, offset)));
}

constexpr std::size_t kU16Fields[] = {528, 530, 540};
constexpr std::size_t kU32Fields[] = {oxHCL_OFS_CLKI, oxHCL_OFS_BASE_ADDRESS,
                                      oxHCL_OFS_REGISTER_OFFSET, oxHCL_OFS_MEMORY_OFFSET,
                                      oxHCL_OFS_FLAGS};

} // namespace

void SwapBlockOrder(oxHclData& block) {
    for (std::size_t offset : kU16Fields) {
        SwapU16At(block, offset);
    }
    for (std::size_t offset : kU32Fields) {
        SwapU32At(block, offset);
    }
    for (std::size_t i = 0; i < oxHCL_REGSIZE; ++i) {
        SwapU16At(block, oxHCL_OFS_REGS + 4 * i);
        SwapU16At(block, oxHCL_OFS_REGS + 4 * i + 2);
    }
}

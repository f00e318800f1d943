#pragma once
// The byte order of a configuration block as a file stores it. A file for a big-endian
// processor holds the block's numeric fields big-endian; its endian-detect field then reads
// 0x3412 in the machine's order. SwapBlockOrder turns such a block into the machine's order and
// back: the u16 size, CRC and endian fields, the u32 clock, address and flag fields, and both
// halves of every register-list pair. Texts, the USB configuration bytes, the reserved u16 and
// the LCD sequence entries stay as they are.
//
//     if (block.DetectEndian == kSwappedEndian) { SwapBlockOrder(block); }
#include "hcl/HclData.h"

#include <cstdint>

// The endian field of a block stored in the other byte order, read in the machine's order.
constexpr std::uint16_t kSwappedEndian = 0x3412;

void SwapBlockOrder(oxHclData& block);

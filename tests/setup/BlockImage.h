#pragma once
// Test images holding configuration blocks, built in memory: a block placed at an offset
// among filler bytes, in either byte order, with its CRC set or cleared.
#include "hcl/HclData.h"
#include "setup/core/SetupChipDef.h"

#include <cstdint>
#include <cstring>
#include <vector>

// The template block of the program (the one the chip definition starts from).
inline oxHclData TemplateBlock() {
    oxHclData block;
    std::memcpy(&block, &oxgHclInfo, sizeof block);
    return block;
}

// The block as a file would store it: big-endian when asked, with its CRC computed over the
// stored bytes.
inline oxHclData StoredBlock(oxHclData block, bool bigEndian) {
    if (bigEndian) {
        ChipDef::SwapBlockByteOrder(block);
    }
    block.HclCRC = 0;
    const std::uint16_t crc = ChipDef::ComputeBlockCrc(block);
    block.HclCRC = bigEndian ? static_cast<std::uint16_t>((crc << 8) | (crc >> 8)) : crc;
    return block;
}

// Copies the block's bytes into the image at offset.
inline void PutBlock(std::vector<std::uint8_t>& image, std::size_t offset, const oxHclData& block) {
    std::memcpy(image.data() + offset, &block, sizeof block);
}

// An image of size filler bytes with the block at offset.
inline std::vector<std::uint8_t> ImageWithBlock(std::size_t size, std::size_t offset,
                                                const oxHclData& block) {
    std::vector<std::uint8_t> image(size, 0xA5);
    PutBlock(image, offset, block);
    return image;
}

inline oxHclData BlockAt(const std::vector<std::uint8_t>& image, std::size_t offset) {
    oxHclData block;
    std::memcpy(&block, image.data() + offset, sizeof block);
    return block;
}

#pragma once
// Test images holding configuration blocks, built in memory: a block placed at an offset
// among filler bytes, in either byte order (the big-endian one written out by hand), with its
// CRC set or cleared.
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

// The block's bytes as a big-endian writer stores them, put down field by field from the
// block's layout (not through the program's own byte swap, so that a fault there shows): the
// u16 fields at 528 (size), 530 (CRC) and 540 (byte-order mark), the u32 fields at 544 (CLKI),
// 554 (base address), 558 (register offset), 562 (memory offset) and 566 (flags), and both
// halves of every register-list pair, most significant byte first. The texts, the USB
// configuration bytes, the reserved u16 at 542 and the LCD1 sequence stay as they are.
inline oxHclData BigEndianBlock(const oxHclData& block) {
    unsigned char bytes[oxHCL_DATA_SIZE];
    std::memcpy(bytes, &block, sizeof bytes);
    const auto put16 = [&bytes](std::size_t offset, std::uint16_t value) {
        bytes[offset] = static_cast<unsigned char>(value >> 8);
        bytes[offset + 1] = static_cast<unsigned char>(value);
    };
    const auto put32 = [&bytes](std::size_t offset, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i) {
            bytes[offset + i] = static_cast<unsigned char>(value >> (24 - 8 * i));
        }
    };
    put16(528, block.Size);
    put16(530, block.HclCRC);
    put16(540, block.DetectEndian);
    put32(544, oxHclGetClkI(block));
    put32(554, oxHclGetBaseAddress(block));
    put32(558, oxHclGetRegisterOffset(block));
    put32(562, oxHclGetMemoryOffset(block));
    put32(566, oxHclGetFlags(block));
    for (std::size_t i = 0; i < oxHCL_REGSIZE; ++i) {
        put16(3642 + 4 * i, block.Regs[i].Index);
        put16(3642 + 4 * i + 2, block.Regs[i].Value);
    }
    oxHclData stored;
    std::memcpy(&stored, bytes, sizeof stored);
    return stored;
}

// The block as a file would store it: big-endian when asked, with its CRC computed over the
// stored bytes.
inline oxHclData StoredBlock(oxHclData block, bool bigEndian) {
    block.HclCRC = 0;
    if (bigEndian) {
        block = BigEndianBlock(block);
    }
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

// Finding, loading and storing the configuration block inside a configurable file's image.
#include "setup/core/SetupChipDef.h"

#include "common/ByteOrder.h"

#include <cstddef>
#include <cstring>

namespace {

// A u16 field of a block as a file holds it: little-endian, or big-endian when swapped.
std::uint16_t ReadU16(const std::uint8_t* block, std::size_t offset, bool swapped) {
    return swapped ? LoadBe16(block + offset) : LoadLe16(block + offset);
}

// Two chip IDs compared within their 8-byte fields (a full field has no NUL).
bool SameChipId(const char* a, const char* b) {
    const std::size_t size = sizeof(oxHclData::szChipId);
    const std::size_t length = strnlen(a, size);
    return length == strnlen(b, size) && std::memcmp(a, b, length) == 0;
}

} // namespace

const SetupChipDef::BlockCodec SetupChipDef::kCodecs[] = {
    {&SetupChipDef::DecodeBlockFromImage, &SetupChipDef::EncodeBlockToImage},
};

int SetupChipDef::DecodeBlockFromImage(oxHclData* dst, const std::uint8_t* image,
                                       std::uint32_t imageSize, bool checkCrc,
                                       const char** errorText, std::uint32_t* offset) {
    const char* message = kTextNoConfigData;
    int result = kBlockNone;
    bool seen = false;
    std::uint32_t found = 0;
    const std::size_t idLength = std::strlen(g_HclIdText);
    // A block that would end at the image's last byte is not examined (the file's own rule);
    // images of 6014 bytes or less have no candidates.
    for (std::uint64_t o = 0; image != nullptr && o + oxHCL_DATA_SIZE < imageSize; ++o) {
        const std::uint8_t* candidate = image + o;
        if (std::memcmp(candidate, g_HclIdText, idLength) != 0) {
            continue;
        }
        const std::uint16_t endian = ReadU16(candidate, offsetof(oxHclData, DetectEndian), false);
        if (endian != oxHCL_DETECT_ENDIAN && endian != kSwappedEndian) {
            continue;
        }
        const bool swapped = endian == kSwappedEndian;
        if (ReadU16(candidate, offsetof(oxHclData, Size), swapped) != oxHCL_DATA_SIZE) {
            if (result != kBlockFound) {
                result = kBlockRefused;
                message = kTextSizeIncorrect;
            }
            continue;
        }
        if (seen) {
            result = kBlockRefused;
            message = kTextMultipleBlocks;
            break;
        }
        seen = true;
        oxHclData block;
        std::memcpy(&block, candidate, sizeof block);
        if (!SameChipId(block.szChipId, m_HclData.szChipId)) {
            result = kBlockRefused;
            message = kTextOtherChip;
            break;
        }
        if (checkCrc) {
            const std::uint16_t stored = ReadU16(candidate, offsetof(oxHclData, HclCRC), swapped);
            // A stored CRC of 0 marks a block never configured, whatever the bytes compute to.
            if (stored == 0 || stored != ComputeBlockCrc(block)) {
                result = kBlockRefused;
                message = stored == 0 ? kTextNotConfigured : kTextCorrupted;
                continue;
            }
        }
        result = kBlockFound;
        found = static_cast<std::uint32_t>(o);
    }
    if (result == kBlockFound) {
        if (dst != nullptr) {
            std::memcpy(dst, image + found, sizeof *dst);
        }
        if (offset != nullptr) {
            *offset = found;
        }
    }
    if (errorText != nullptr) {
        *errorText = message;
    }
    return result;
}

int SetupChipDef::EncodeBlockToImage(const oxHclData& block, std::uint8_t* image,
                                     std::uint32_t* imageSize, const char** errorText) {
    std::uint32_t offset = 0;
    const int result = DecodeBlockFromImage(nullptr, image, *imageSize, false, errorText, &offset);
    if (result == kBlockFound) {
        std::memcpy(image + offset, &block, sizeof block);
    }
    return result;
}

int SetupChipDef::DecodeWithTable(oxHclData* dst, const std::uint8_t* image,
                                  std::uint32_t imageSize, bool checkCrc, const char** errorText,
                                  const BlockCodec** row) {
    int result = kBlockNone;
    for (const BlockCodec& codec : kCodecs) {
        *row = &codec;
        result = (this->*codec.Decode)(dst, image, imageSize, checkCrc, errorText, nullptr);
        if (result != kBlockNone) {
            break;
        }
    }
    return result;
}

bool SetupChipDef::LoadFromImage(const std::uint8_t* image, std::uint32_t imageSize,
                                 const char** errorText) {
    oxHclData block;
    const BlockCodec* row = nullptr;
    if (DecodeWithTable(&block, image, imageSize, true, errorText, &row) != kBlockFound) {
        return false;
    }
    if (block.DetectEndian == kSwappedEndian) {
        SwapBlockByteOrder(block);
    }
    std::memcpy(&m_HclData, &block, sizeof block);
    m_RegListCount = 0;
    while (m_RegListCount < oxHCL_REGSIZE - 1 &&
           oxHclGetReg(m_HclData, m_RegListCount).Index != oxHCL_REG_END) {
        ++m_RegListCount;
    }
    m_fInitialized = 0;
    m_fHotHotHot = 0;
    return true;
}

bool SetupChipDef::StoreToImage(std::uint8_t* image, std::uint32_t* imageSize, bool keepBaseAddress,
                                const char** errorText) {
    oxHclData block;
    const BlockCodec* row = nullptr;
    if (DecodeWithTable(&block, image, *imageSize, false, errorText, &row) != kBlockFound) {
        return false;
    }
    const bool bigEndian = block.DetectEndian == kSwappedEndian;
    // The file's own base address, kept in the file's byte order.
    const std::uint32_t baseAddress = oxHclGetBaseAddress(block);
    std::memcpy(&block, &m_HclData, sizeof block);
    if (bigEndian) {
        SwapBlockByteOrder(block);
    }
    if (keepBaseAddress) {
        oxHclSetBaseAddress(block, baseAddress);
    }
    // The CRC in the file's byte order.
    const std::uint16_t crc = ComputeBlockCrc(block);
    auto* crcBytes = reinterpret_cast<std::uint8_t*>(&block) + offsetof(oxHclData, HclCRC);
    if (bigEndian) {
        StoreBe16(crcBytes, crc);
    } else {
        StoreLe16(crcBytes, crc);
    }
    return (this->*row->Encode)(block, image, imageSize, errorText) == kBlockFound;
}

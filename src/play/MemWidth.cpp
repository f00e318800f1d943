// Width helpers of the memory and register commands and of token access.
#include "play/MemWidth.h"

#include "hcl/HclApi.h"
#include "play/Output.h"

#include <cstring>

uint32_t ReadMemByWidth(uint32_t address, uint32_t bytes) {
    switch (bytes) {
    case 2:
        return oxHclReadMemory16(address) & 0xFFFFu;
    case 4:
        return oxHclReadMemory32(address);
    default:
        return oxHclReadMemory8(address) & 0xFFu;
    }
}

void WriteMemByWidth(uint32_t address, uint32_t value, uint32_t bytes) {
    switch (bytes) {
    case 2:
        oxHclWriteMemory16(address, static_cast<uint16_t>(value));
        break;
    case 4:
        oxHclWriteMemory32(address, value);
        break;
    default:
        oxHclWriteMemory8(address, static_cast<uint8_t>(value));
        break;
    }
}

bool PrintAsciiColumn(uint32_t value, uint32_t bytes) {
    char column[5] = {};
    for (uint32_t i = 0; i < bytes && i < 4; ++i) {
        column[i] = AsciiColumnChar((value >> (8 * i)) & 0xFFu);
    }
    return PlayPrint(CAT_OUT, "%s", column);
}

void WriteRegByBits(uint32_t bits, uint32_t index, uint32_t value) {
    switch (bits) {
    case 16:
        oxHclWriteReg16(index, static_cast<uint16_t>(value));
        break;
    case 32:
        oxHclWriteReg32(index, value);
        break;
    default:
        oxHclWriteReg8(index, static_cast<uint8_t>(value));
        break;
    }
}

uint32_t ReadRegByBits(uint32_t bits, uint32_t index) {
    switch (bits) {
    case 16:
        return oxHclReadReg16(index);
    case 32:
        return oxHclReadReg32(index);
    default:
        return oxHclReadReg8(index);
    }
}

uint32_t LoadByWidth(uint32_t bytes, const void* pointer) {
    switch (bytes) {
    case 1: {
        uint8_t v = 0;
        std::memcpy(&v, pointer, 1);
        return v;
    }
    case 2: {
        uint16_t v = 0;
        std::memcpy(&v, pointer, 2);
        return v;
    }
    case 4: {
        uint32_t v = 0;
        std::memcpy(&v, pointer, 4);
        return v;
    }
    default:
        return 0;
    }
}

void FillByWidth(uint32_t bytes, void* buffer, uint32_t value, uint32_t count) {
    if (bytes != 1 && bytes != 2 && bytes != 4) {
        return;
    }
    const uint16_t v16 = static_cast<uint16_t>(value);
    const uint8_t v8 = static_cast<uint8_t>(value);
    const void* unit = bytes == 4   ? static_cast<const void*>(&value)
                       : bytes == 2 ? static_cast<const void*>(&v16)
                                    : static_cast<const void*>(&v8);
    auto* out = static_cast<unsigned char*>(buffer);
    for (uint32_t k = 0; k < count; ++k) {
        std::memcpy(out + static_cast<size_t>(k) * bytes, unit, bytes);
    }
}

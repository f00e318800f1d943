#include "imaging/SurfaceBytes.h"

#include "common/Assert.h"
#include "common/ByteOrder.h"

#include <cstdint>

namespace {

bool LaneIndexValid(int64_t p, int32_t i) {
    const int32_t last = (p % 2 != 0) ? 2 : 3;
    return Q3V_ASSERT_TEXT(i >= 0 && i <= last, "false");
}

} // namespace

uint32_t AccessAddress(const Surface& surface, int64_t offset) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(surface.Buffer) +
                                 static_cast<uintptr_t>(offset));
}

uint8_t LoadByte(const Surface& surface, int64_t offset) {
    if (surface.Access != nullptr) {
        uint8_t value = 0;
        surface.Access(AccessAddress(surface, offset), 0, 8, "RD", &value);
        return value;
    }
    return surface.Buffer[offset];
}

void StoreByte(const Surface& surface, int64_t offset, uint8_t value) {
    if (surface.Access != nullptr) {
        surface.Access(AccessAddress(surface, offset), value, 8, "WR", nullptr);
        return;
    }
    surface.Buffer[offset] = value;
}

void StoreUnit16(const Surface& surface, int64_t offset, uint16_t value) {
    if (surface.Access != nullptr) {
        surface.Access(AccessAddress(surface, offset), value, 16, "WR", nullptr);
        return;
    }
    StoreLe16(surface.Buffer + offset, value);
}

void StoreUnit32(const Surface& surface, int64_t offset, uint32_t value) {
    if (surface.Access != nullptr) {
        surface.Access(AccessAddress(surface, offset), value, 32, "WR", nullptr);
        return;
    }
    StoreLe32(surface.Buffer + offset, value);
}

void MergeByte(const Surface& surface, int64_t offset, uint8_t keep, uint8_t bits) {
    if (surface.Access != nullptr) {
        surface.Access(AccessAddress(surface, offset), keep, 8, "AND", nullptr);
        surface.Access(AccessAddress(surface, offset), bits, 8, "OR", nullptr);
        return;
    }
    surface.Buffer[offset] = static_cast<uint8_t>((surface.Buffer[offset] & keep) | bits);
}

uint8_t ReadByte(const Surface& surface, int64_t p, int32_t i) {
    if (!LaneIndexValid(p, i)) {
        return 0;
    }
    return LoadByte(surface, (p + i) ^ 1);
}

void WriteByte(const Surface& surface, int64_t p, int32_t i, uint8_t value) {
    if (!LaneIndexValid(p, i)) {
        return;
    }
    StoreByte(surface, (p + i) ^ 1, value);
}

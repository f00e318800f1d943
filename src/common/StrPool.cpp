#include "common/StrPool.h"

#include "common/Assert.h"

#include <cstdlib>

namespace {

// The pool table, and the default pool's own pointer (the default pool also takes a slot).
constinit StrPool* s_Pools[kStrPoolSlots] = {};
constinit StrPool* s_DefaultPool = nullptr;
constinit bool s_HelperNotInitialised = true;

StrPool* PoolOrDefault(StrPool* pool) {
    if (pool) {
        return pool;
    }
    if (!s_DefaultPool) {
        s_DefaultPool = StrPoolCreate(kStrPoolDefaultCount, kStrPoolDefaultSize);
    }
    return s_DefaultPool;
}

void Advance(StrPool* p) {
    if (++p->CurStr >= p->NumStr) {
        p->CurStr = 0;
    }
}

// Gives the current slot a buffer of size bytes when it has none; nullptr on failure.
char* FillCurrent(StrPool* p, int32_t size) {
    char*& entry = p->StrList[p->CurStr];
    if (!entry) {
        entry = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
        if (!Q3V_ASSERT_TEXT(entry != nullptr, "P->StrList[P->CurStr]")) {
            return nullptr;
        }
        p->StrSize[p->CurStr] = static_cast<uint32_t>(size);
    }
    entry[0] = '\0';
    return entry;
}

} // namespace

bool HelperInit() {
    if (s_HelperNotInitialised) {
        // The slot table is constant-initialised empty; pools that a constructor made before
        // this call are kept in their slots rather than forgotten.
        std::atexit(&StrPoolFreeAll);
        s_HelperNotInitialised = false;
    }
    return true;
}

StrPool* StrPoolCreate(int32_t count, int32_t size) {
    if (count < 1) {
        count = 1; // a ring needs at least one buffer
    }
    for (StrPool*& slot : s_Pools) {
        if (slot) {
            continue;
        }
        auto* p = static_cast<StrPool*>(std::malloc(sizeof(StrPool)));
        if (!Q3V_ASSERT_TEXT(p != nullptr, "P != NULL")) {
            return nullptr;
        }
        p->StrList = static_cast<char**>(std::calloc(static_cast<size_t>(count), sizeof(char*)));
        p->StrSize =
            static_cast<uint32_t*>(std::calloc(static_cast<size_t>(count), sizeof(uint32_t)));
        if (!Q3V_ASSERT_TEXT(p->StrList != nullptr && p->StrSize != nullptr,
                             "P->StrList != NULL")) {
            // No half-made pool is kept: the caller sees no pool, as when the slots are full.
            std::free(p->StrList);
            std::free(p->StrSize);
            std::free(p);
            return nullptr;
        }
        p->NumStr = count;
        p->DefaultSize = size > 0 ? size : 1024;
        p->CurStr = 0;
        slot = p;
        return p;
    }
    return nullptr;
}

char* NextStr(StrPool* pool) {
    StrPool* p = PoolOrDefault(pool);
    if (!p) {
        return nullptr;
    }
    Advance(p);
    return FillCurrent(p, p->DefaultSize);
}

char* NextStrSized(StrPool* pool, int32_t SizeRequired) {
    StrPool* p = PoolOrDefault(pool);
    if (!p) {
        return nullptr;
    }
    Advance(p);
    Q3V_ASSERT(SizeRequired > 0);
    int32_t size = SizeRequired < p->DefaultSize ? p->DefaultSize : SizeRequired;
    char*& entry = p->StrList[p->CurStr];
    uint32_t& have = p->StrSize[p->CurStr];
    if (entry && (have < static_cast<uint32_t>(size) ||
                  (size == p->DefaultSize && have > static_cast<uint32_t>(p->DefaultSize)))) {
        std::free(entry);
        entry = nullptr;
        have = 0;
    }
    return FillCurrent(p, size);
}

uint32_t StrSizeInPool(StrPool* pool, const char* text) {
    StrPool* p = PoolOrDefault(pool);
    if (p) {
        for (int32_t i = 0; i < p->NumStr; ++i) {
            if (p->StrList[i] && p->StrList[i] == text) {
                return p->StrSize[i];
            }
        }
    }
    Q3V_ASSERT(false);
    return 0;
}

void StrPoolFree(StrPool* pool) {
    if (!pool) {
        return;
    }
    for (int32_t slot = 0; slot < kStrPoolSlots; ++slot) {
        if (s_Pools[slot] == pool) {
            StrPoolFreeAt(slot);
        }
    }
}

void StrPoolFreeAll() {
    for (int32_t slot = 0; slot < kStrPoolSlots; ++slot) {
        StrPoolFreeAt(slot);
    }
}

void StrPoolFreeAt(int32_t slot) {
    if (slot < 0 || slot >= kStrPoolSlots || !s_Pools[slot]) {
        return;
    }
    StrPool* p = s_Pools[slot];
    for (int32_t i = 0; i < p->NumStr; ++i) {
        std::free(p->StrList[i]);
    }
    std::free(p->StrList);
    std::free(p->StrSize);
    std::free(p);
    s_Pools[slot] = nullptr;
    // Forget the default pool once it is gone, so that a text formatted later (during the
    // destructors that run at exit) makes a new one instead of writing into freed memory.
    if (s_DefaultPool == p) {
        s_DefaultPool = nullptr;
    }
}

#pragma once
// The owner of the chip database's texts: copies are carved out of large blocks, so loading the
// database costs a handful of allocations, and every text lives until the store is destroyed.
//
//     TextStore store;
//     const char* name = store.Copy("REV_CODE");      // "REV_CODE", owned by store
//     const char* part = store.Copy("abcdef", 3);     // "abc"
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

class TextStore {
public:
    // A zero-terminated copy of text, owned by the store.
    const char* Copy(std::string_view text);
    const char* Copy(const char* text, size_t length) {
        return Copy(std::string_view(text, length));
    }

    // A zero-filled writable buffer of size bytes, owned by the store.
    char* Allocate(size_t size);

private:
    static constexpr size_t kBlockSize = 16384;
    std::vector<std::unique_ptr<char[]>> m_Blocks;
    size_t m_Used = kBlockSize; // bytes used of the last block
};

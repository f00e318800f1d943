#include "chipdef/TextStore.h"

#include <cstring>

char* TextStore::Allocate(size_t size) {
    if (size > kBlockSize / 4) {
        // A large text gets a block of its own, placed before the current one so that the
        // current block keeps filling.
        auto block = std::make_unique<char[]>(size);
        char* text = block.get();
        m_Blocks.insert(m_Blocks.empty() ? m_Blocks.end() : m_Blocks.end() - 1, std::move(block));
        return text;
    }
    if (m_Used + size > kBlockSize) {
        m_Blocks.push_back(std::make_unique<char[]>(kBlockSize));
        m_Used = 0;
    }
    char* text = m_Blocks.back().get() + m_Used;
    m_Used += size;
    return text;
}

const char* TextStore::Copy(std::string_view text) {
    char* copy = Allocate(text.size() + 1);
    if (!text.empty()) {
        std::memcpy(copy, text.data(), text.size());
    }
    copy[text.size()] = '\0';
    return copy;
}

// The look-up of a command word in a command table.
#include "play/CommandHandlers.h"

#include <cstring>

bool MatchAlias(const char* aliases, size_t length, const char* word) {
    const size_t wordLength = std::strlen(word);
    size_t start = 0;
    while (start <= length) {
        size_t end = start;
        while (end < length && aliases[end] != ';') {
            ++end;
        }
        if (end - start == wordLength && std::memcmp(aliases + start, word, wordLength) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool FindCommand(std::span<const CommandEntry> table, const char* word, uint32_t* row) {
    for (size_t i = 0; i < table.size(); ++i) {
        const char* aliases = table[i].m_Aliases;
        if (MatchAlias(aliases, std::strlen(aliases), word)) {
            if (row != nullptr) {
                *row = static_cast<uint32_t>(i);
            }
            return true;
        }
    }
    return false;
}

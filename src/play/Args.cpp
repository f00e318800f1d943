// The argument vector: allocation, the word splitter and the column of a word.
#include "play/Args.h"

#include <cstdlib>
#include <cstring>

char* g_Argv[kMaxArgs];
int32_t g_Argc = 0;

bool ArgvAlloc(char** argv) {
    bool ok = true;
    for (int32_t i = 0; i < kMaxArgs; ++i) {
        argv[i] = static_cast<char*>(std::calloc(kArgSize, 1));
        ok = ok && argv[i] != nullptr;
    }
    return ok;
}

void ArgvFree(char** argv) {
    for (int32_t i = 0; i < kMaxArgs; ++i) {
        std::free(argv[i]);
        argv[i] = nullptr;
    }
}

ArgVector::ArgVector() : m_Storage(new char[kMaxArgs * kArgSize]()) {
    for (int32_t i = 0; i < kMaxArgs; ++i) {
        m_Words[static_cast<size_t>(i)] = m_Storage.get() + static_cast<size_t>(i) * kArgSize;
    }
}

bool ResetArgv() {
    ArgvFree(g_Argv);
    g_Argc = 0;
    return ArgvAlloc(g_Argv);
}

namespace {

// Longest word, and longest quoted run inside a word.
constexpr size_t kWordMax = kArgSize - 1;
constexpr size_t kQuotedMax = 254;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsSeparator(char c) {
    return IsBlank(c) || c == '\r' || c == '\n';
}

// Appends one character to the word being built; characters past the word's limit are dropped.
struct WordBuilder {
    char* m_Word;
    size_t m_Length = 0;
    void Add(char c) {
        if (m_Length < kWordMax) {
            m_Word[m_Length++] = c;
            m_Word[m_Length] = '\0';
        }
    }
};

} // namespace

int32_t SplitArgs(const char* text, size_t length, char** argv) {
    for (int32_t i = 0; i < kMaxArgs; ++i) {
        argv[i][0] = '\0';
    }
    size_t pos = 0;
    int32_t count = 0;
    while (count < kMaxArgs) {
        while (pos < length && IsSeparator(text[pos])) {
            ++pos;
        }
        if (pos >= length) {
            break;
        }
        WordBuilder word{argv[count]};
        while (pos < length && !IsSeparator(text[pos])) {
            const char c = text[pos];
            if (c == '"') {
                // A quoted run, separators included; \x is copied as a pair.
                word.Add(c);
                ++pos;
                size_t quoted = 1; // the run's opening quote
                while (pos < length && text[pos] != '"') {
                    if (text[pos] == '\\' && pos + 1 < length) {
                        if (quoted < kQuotedMax) {
                            word.Add(text[pos]);
                        }
                        ++quoted;
                        ++pos;
                    }
                    if (quoted < kQuotedMax) {
                        word.Add(text[pos]);
                    }
                    ++quoted;
                    ++pos;
                }
                if (pos < length) {
                    word.Add('"');
                    ++pos;
                }
            } else if (c == '(' || c == '[') {
                // A group up to the matching bracket of the same kind.
                const char close = c == '(' ? ')' : ']';
                int depth = 0;
                while (pos < length) {
                    const char g = text[pos];
                    word.Add(g);
                    ++pos;
                    if (g == c) {
                        ++depth;
                    } else if (g == close && --depth == 0) {
                        break;
                    }
                }
            } else {
                word.Add(c);
                ++pos;
            }
        }
        ++count;
    }
    return count;
}

uint32_t ArgsTextLength(char* const* argv, int32_t n) {
    uint32_t total = 0;
    for (int32_t i = 0; i < n && i < kMaxArgs; ++i) {
        total += static_cast<uint32_t>(std::strlen(argv[i])) + 1;
    }
    return total;
}

std::string JoinWords(char* const* argv, int32_t first, int32_t argc) {
    std::string joined;
    for (int32_t i = first; i < argc && i < kMaxArgs; ++i) {
        if (i > first) {
            joined += ' ';
        }
        joined += argv[i];
    }
    return joined;
}

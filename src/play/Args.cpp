// The argument vector: allocation, the word splitter and the column of a word.
#include "play/Args.h"

#include <algorithm>
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

// Longest word, and longest quoted run inside a word (its opening quote and what follows it up
// to the closing quote), so that a word of one quoted run keeps its closing quote.
constexpr size_t kWordMax = kArgSize - 1;
constexpr size_t kQuotedMax = kWordMax - 1;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsSeparator(char c) {
    return IsBlank(c) || c == '\r' || c == '\n';
}

// Scans one word from pos as the splitter takes it: quoted runs (\x counted as a pair) and
// (groups) or [groups] are taken whole; with separatorsEnd a blank, tab, CR or LF outside them
// ends the word. Returns where the word ends; *longestRun is its longest quoted run.
size_t ScanWord(std::string_view text, size_t pos, bool separatorsEnd, size_t* longestRun) {
    const size_t length = text.size();
    *longestRun = 0;
    while (pos < length && !(separatorsEnd && IsSeparator(text[pos]))) {
        const char c = text[pos];
        if (c == '"') {
            const size_t open = pos++;
            while (pos < length && text[pos] != '"') {
                if (text[pos] == '\\' && pos + 1 < length) {
                    ++pos;
                }
                ++pos;
            }
            *longestRun = std::max(*longestRun, pos - open);
            if (pos < length) {
                ++pos; // the closing quote
            }
        } else if (c == '(' || c == '[') {
            // A group up to the matching bracket of the same kind.
            const char close = c == '(' ? ')' : ']';
            int depth = 0;
            while (pos < length) {
                const char g = text[pos++];
                if (g == c) {
                    ++depth;
                } else if (g == close && --depth == 0) {
                    break;
                }
            }
        } else {
            ++pos;
        }
    }
    return pos;
}

const char* Refusal(size_t wordLength, size_t longestRun) {
    if (longestRun > kQuotedMax) {
        return kQuotedTooLongText;
    }
    return wordLength > kWordMax ? kWordTooLongText : nullptr;
}

} // namespace

const char* WordRefusal(std::string_view word) {
    size_t longestRun = 0;
    ScanWord(word, 0, false, &longestRun);
    return Refusal(word.size(), longestRun);
}

int32_t SplitArgs(const char* text, size_t length, char** argv, SplitRefusal* refusal) {
    for (int32_t i = 0; i < kMaxArgs; ++i) {
        argv[i][0] = '\0';
    }
    const std::string_view all(text, length);
    size_t pos = 0;
    int32_t count = 0;
    while (count < kMaxArgs) {
        while (pos < length && IsSeparator(text[pos])) {
            ++pos;
        }
        if (pos >= length) {
            break;
        }
        size_t longestRun = 0;
        const size_t end = ScanWord(all, pos, true, &longestRun);
        if (const char* why = Refusal(end - pos, longestRun); why != nullptr) {
            if (refusal != nullptr) {
                *refusal = {why, pos};
            }
            return kSplitRefused;
        }
        std::memcpy(argv[count], text + pos, end - pos);
        argv[count][end - pos] = '\0';
        pos = end;
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

// The statement executor, the word splitter and the dispatcher.
#include "play/Executor.h"

#include "common/Text.h"
#include "play/Commands.h"
#include "play/Output.h"
#include "play/Session.h"

#include <cstdlib>
#include <cstring>

bool ArgvAlloc(char** argv) {
    bool ok = true;
    for (int32_t i = 0; i < MAX_ARGS; ++i) {
        argv[i] = static_cast<char*>(std::calloc(ARG_SIZE, 1));
        ok = ok && argv[i] != nullptr;
    }
    return ok;
}

void ArgvFree(char** argv) {
    for (int32_t i = 0; i < MAX_ARGS; ++i) {
        std::free(argv[i]);
        argv[i] = nullptr;
    }
}

ArgVector::ArgVector() : m_Storage(new char[MAX_ARGS * ARG_SIZE]()) {
    for (int32_t i = 0; i < MAX_ARGS; ++i) {
        m_Words[static_cast<size_t>(i)] = m_Storage.get() + static_cast<size_t>(i) * ARG_SIZE;
    }
}

namespace {

// Longest word, and longest quoted run inside a word.
constexpr size_t WORD_MAX = ARG_SIZE - 1;
constexpr size_t QUOTED_MAX = 254;

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
        if (m_Length < WORD_MAX) {
            m_Word[m_Length++] = c;
            m_Word[m_Length] = '\0';
        }
    }
};

// The first word of a statement compared as a whole word, ignoring case, with IF, ELSE, WHILE.
bool IsFlowWord(const char* word, size_t length) {
    static const char* const flow[] = {"IF", "ELSE", "WHILE"};
    for (const char* keyword : flow) {
        if (EqualsNoCase({word, length}, keyword)) {
            return true;
        }
    }
    return false;
}

// Stores the command's result in the assignment's target; false after the error.
bool Assign(const char* line, size_t targetStart, size_t targetLength, const ExprValue& value) {
    const char* target = line + targetStart;
    if (target[0] == '$') {
        const char* scope = CurrentScope();
        char name[256];
        size_t nameLength = 0;
        const char* errorText = nullptr;
        const uint32_t error =
            ExprElementName(target, targetLength, scope, name, &nameLength, &errorText);
        if (error != 0) {
            return PrintCaretError(static_cast<uint32_t>(targetStart + error - 1), "ERROR: %s\n",
                                   errorText != nullptr ? errorText : "Invalid syntax.");
        }
        if (!ExprSetVar(name, nameLength, &value, scope)) {
            return PrintCaretError(static_cast<uint32_t>(targetStart),
                                   "ERROR: Failed to create user variable; exceeded maximum "
                                   "number of variables.\n");
        }
        return true;
    }
    // Token access (registers, features, display memory; echoed when CAT_SET is shown or a
    // script is single-stepping) is not built yet: every token is one that cannot be set.
    return PrintCaretError(static_cast<uint32_t>(targetStart), "ERROR: %s\n",
                           "Unknown feature or token.");
}

} // namespace

int32_t SplitArgs(const char* text, size_t length, char** argv) {
    for (int32_t i = 0; i < MAX_ARGS; ++i) {
        argv[i][0] = '\0';
    }
    size_t pos = 0;
    int32_t count = 0;
    while (count < MAX_ARGS) {
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
                        if (quoted < QUOTED_MAX) {
                            word.Add(text[pos]);
                        }
                        ++quoted;
                        ++pos;
                    }
                    if (quoted < QUOTED_MAX) {
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
    for (int32_t i = 0; i < n && i < MAX_ARGS; ++i) {
        total += static_cast<uint32_t>(std::strlen(argv[i])) + 1;
    }
    return total;
}

bool DispatchCommand(int32_t argc, char** argv, ExprValue* result) {
    LowerAsciiInPlace(argv[0]);
    uint32_t row = 0;
    if (!FindCommand(argv[0], &row)) {
        return RunScript(true, argc, argv, result);
    }
    const CommandEntry& entry = g_Commands[row];
    if (entry.m_Handler == nullptr) {
        return PlayPrint(CAT_ERR, "ERROR: This command is not implemented yet.\n");
    }
    if (!g_Acquired && entry.m_NoCardOk == 0 && !(argc == 2 && argv[1][0] == '?')) {
        return PlayPrint(CAT_ERR,
                         "!!!!! ERROR: This command cannot be invoked with the /nocard switch.\n");
    }
    return entry.m_Handler(argc, argv, result);
}

bool ExecuteStatements(const char* line, size_t length, bool* ran) {
    if (ran != nullptr) {
        *ran = false;
    }
    ArgVector args;
    size_t pos = 0;
    for (;;) {
        // The statement starts at its first character other than a blank or a tab.
        size_t start = pos;
        while (start < length && IsBlank(line[start])) {
            ++start;
        }
        size_t firstWordEnd = start;
        while (firstWordEnd < length && !IsBlank(line[firstWordEnd])) {
            ++firstWordEnd;
        }
        const bool flow = IsFlowWord(line + start, firstWordEnd - start);

        bool assignment = false;
        size_t targetEnd = start;
        size_t commandStart = start;
        size_t end = length;
        bool lineDone = true;
        bool firstBlankSeen = false;
        bool quoted = false;
        for (size_t i = start; i < length; ++i) {
            const char c = line[i];
            if (c == ' ' && !firstBlankSeen) {
                firstBlankSeen = true;
                if (i + 2 < length && line[i + 1] == '=' && line[i + 2] == ' ') {
                    assignment = true;
                    targetEnd = i;
                    commandStart = i + 2;
                    while (commandStart < length && IsBlank(line[commandStart])) {
                        ++commandStart;
                    }
                    i = i + 2;
                    continue;
                }
                if (flow) {
                    break; // the flow command takes the rest of the line
                }
            }
            if (c == '"' && (i == 0 || line[i - 1] != '\\')) {
                quoted = !quoted;
            } else if (!quoted && c == '\'') {
                end = i;
                break;
            } else if (!quoted && c == ';') {
                end = i;
                lineDone = false;
                break;
            }
        }

        if (end > start) {
            const size_t commandLength = end > commandStart ? end - commandStart : 0;
            const int32_t argc = SplitArgs(line + commandStart, commandLength, args.Words());
            if (argc >= MAX_ARGS) {
                return PlayPrint(CAT_ERR, "ERROR: Too many arguments (max %u).\n",
                                 static_cast<unsigned>(MAX_ARGS - 1));
            }
            if (argc > 0) {
                if (ran != nullptr) {
                    *ran = true;
                }
                ExprValue value{};
                if (!DispatchCommand(argc, args.Words(), &value)) {
                    return false;
                }
                if (assignment && !Assign(line, start, targetEnd - start, value)) {
                    return false;
                }
            }
        }
        if (lineDone) {
            return true;
        }
        pos = end + 1;
    }
}

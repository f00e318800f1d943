// Play's output: categories, paging, the log file and caret errors; VERBOSE, FLOG and H.
#include "play/Output.h"

#include "platform/PathCase.h"

#include "common/Text.h"
#include "platform/Console.h"
#include "play/ArgParsers.h"
#include "play/Session.h"

#include <cstdarg>
#include <cstring>
#include <string>
#include <string_view>

uint32_t g_Verbose = CAT_ALL;
FILE* g_FlogFile = nullptr;
uint32_t g_FlogMask = CAT_ALL;
uint32_t g_HaltLines = 0;
uint32_t g_LinesPrinted = 0;
const char* g_MorePrompt = "-- more [ESC to exit] --";

namespace {

constexpr int KEY_ESCAPE = 27;

// Formats without a fixed limit (a "%s" argument may be far longer than the format): into
// buffer when the text fits, which is the common case of one output line, else into overflow.
template <size_t N>
std::string_view FormatText(char (&buffer)[N], std::string& overflow, const char* format,
                            va_list args) {
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(buffer, N, format, args);
    std::string_view text;
    if (needed > 0 && static_cast<size_t>(needed) < N) {
        text = std::string_view(buffer, static_cast<size_t>(needed));
    } else if (needed > 0) {
        overflow.resize(static_cast<size_t>(needed) + 1);
        std::vsnprintf(overflow.data(), overflow.size(), format, again);
        overflow.resize(static_cast<size_t>(needed));
        text = overflow;
    }
    va_end(again);
    return text;
}

void WriteConsole(const char* text, size_t length) {
    std::fwrite(text, 1, length, stdout);
}

// Applies one of the words CMD, OUT, SET followed by ":" or "=" and ON or OFF (any case) to
// mask; false when the word is none of them.
bool ApplyMaskWord(const char* word, uint32_t* mask) {
    static const struct {
        const char* m_Key;
        uint32_t m_Bit;
    } keys[] = {{"CMD", CAT_CMD}, {"OUT", CAT_OUT}, {"SET", CAT_SET}};
    if (std::strlen(word) < 4 || (word[3] != ':' && word[3] != '=')) {
        return false;
    }
    const std::string_view state = word + 4;
    for (const auto& key : keys) {
        if (!EqualsNoCase({word, 3}, key.m_Key)) {
            continue;
        }
        if (EqualsNoCase(state, "ON")) {
            *mask |= key.m_Bit;
            return true;
        }
        if (EqualsNoCase(state, "OFF")) {
            *mask &= ~key.m_Bit;
            return true;
        }
        return false;
    }
    return false;
}

// Applies the words from argv[first] on; false (after the error) at the first unknown word, the
// words before it staying applied.
bool ApplyMaskWords(int32_t argc, char** argv, int32_t first, uint32_t* mask) {
    for (int32_t i = first; i < argc; ++i) {
        if (!ApplyMaskWord(argv[i], mask)) {
            return PlayPrint(CAT_ERR, "ERROR: \"%s\" is unknown.", argv[i]);
        }
    }
    return true;
}

const char* OnOff(uint32_t mask, uint32_t bit) {
    return (mask & bit) != 0 ? "ON" : "OFF";
}

// The report of VERBOSE and FLOG: "<label> = CMD:ON OUT:ON SET:OFF" (CAT_SET).
void PrintMask(const char* label, uint32_t mask) {
    PlayPrint(CAT_SET, "%s = CMD:%s OUT:%s SET:%s\n", label, OnOff(mask, CAT_CMD),
              OnOff(mask, CAT_OUT), OnOff(mask, CAT_SET));
}

// The mask that VERBOSE changes: the running script level's, or the top-level one at the prompt
// and in a script started as "play.txt".
uint32_t* VerboseTarget() {
    if (g_CurFrame == nullptr) {
        return &g_Verbose;
    }
    const char* name = g_CurFrame->m_Argv != nullptr ? g_CurFrame->m_Argv[0] : nullptr;
    if (name != nullptr && std::strcmp(name, "play.txt") == 0) {
        return &g_Verbose;
    }
    return &g_CurFrame->m_Verbose;
}

} // namespace

uint32_t EffectiveVerbose() {
    return g_CurFrame != nullptr ? (g_Verbose & g_CurFrame->m_Verbose) : g_Verbose;
}

bool PlayPrint(uint32_t category, const char* format, ...) {
    const bool stepping = SingleStepping();
    const bool toLog = g_FlogFile != nullptr && (stepping || (category & g_FlogMask) != 0);
    const bool toConsole = stepping || (category & EffectiveVerbose()) != 0;
    const bool result = category != CAT_ERR;
    if (!toLog && !toConsole) {
        return result;
    }

    char buffer[512];
    std::string overflow;
    va_list args;
    va_start(args, format);
    const std::string_view text = FormatText(buffer, overflow, format, args);
    va_end(args);

    if (toLog) {
        std::fwrite(text.data(), 1, text.size(), g_FlogFile);
        // Flushed at once, so that an interrupted run keeps its log.
        std::fflush(g_FlogFile);
    }
    if (!toConsole) {
        return result;
    }
    size_t start = 0;
    for (;;) {
        const size_t lineFeed = text.find('\n', start);
        if (lineFeed == std::string_view::npos) {
            break;
        }
        WriteConsole(text.data() + start, lineFeed + 1 - start);
        start = lineFeed + 1;
        if (PagePause()) {
            return false;
        }
    }
    WriteConsole(text.data() + start, text.size() - start);
    return result;
}

bool PrintUsageLines(std::span<const char* const> lines) {
    for (const char* line : lines) {
        if (!PlayPrint(CAT_OUT, "%s", line)) {
            break;
        }
    }
    return true;
}

bool PagePause() {
    ++g_LinesPrinted;
    if (g_HaltLines == 0 || g_LinesPrinted != g_HaltLines) {
        return false;
    }
    g_LinesPrinted = 0;
    std::fputs(g_MorePrompt, stdout);
    std::fflush(stdout);
    int key = ConsoleGetch();
    if (key == kConsolePrefixFunction || key == kConsolePrefixExtended) {
        key = ConsoleGetch();
    }
    // At the end of the input the listing goes on (no key can stop it).
    const size_t length = std::strlen(g_MorePrompt);
    for (size_t i = 0; i < length; ++i) {
        std::fputs("\b \b", stdout);
    }
    return key == KEY_ESCAPE;
}

bool PrintCaretError(uint32_t column, const char* format, ...) {
    const std::string blanks(std::strlen(g_Prompt) + column, ' ');
    PlayPrint(CAT_CMD, "%s^\n", blanks.c_str());
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    return false;
}

bool CmdVerbose(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        static const char* const usage[] = {
            "\n",
            " VERBOSE [CMD=ON|OFF] [OUT=ON|OFF] [SET=ON|OFF]\n",
            " VERBOSE CMD=OFF OUT=ON\n",
            " VERBOSE SET=OFF\n",
            "\n",
            " Selects verbose levels of command-line and prompt (CMD), output generated\n",
            " by most commands (OUT), and output generated from the SET command (SET).\n",
        };
        return PrintUsageLines(usage);
    }
    if (!ApplyMaskWords(argc, argv, 1, VerboseTarget())) {
        return false;
    }
    if (g_CurFrame == nullptr || argc == 1) {
        PrintMask("VERBOSE", EffectiveVerbose());
    }
    return true;
}

bool CmdFlog(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        static const char* const usage[] = {
            "\n",
            " FLOG Filename [CMD|OUT|SET:ON|OFF]\n",
            " FLOG log.txt CMD:OFF OUT:ON\n",
            " FLOG log.txt SET:OFF\n",
            "\n",
            " Writes to Filename one or more of the following:\n",
            "      CMD - output from command-line and prompts\n",
            "      OUT - any general output or output from PRINT command\n",
            "      SET - output generated from the SET command\n\n",
            " If Filename already exists, output is appended to file.\n",
            " To stop file logging, set the filename to NUL.\n",
        };
        return PrintUsageLines(usage);
    }
    if (argc > 1 && EqualsNoCase(argv[1], "NUL")) {
        if (g_FlogFile == nullptr) {
            return PlayPrint(CAT_ERR,
                             "ERROR: FLOG NUL can only be used after file logging is started.\n");
        }
        std::fclose(g_FlogFile);
        g_FlogFile = nullptr;
        PlayPrint(CAT_ALL, "FLOG stopped file logging.\n");
        return true;
    }
    if (!ApplyMaskWords(argc, argv, 2, &g_FlogMask)) {
        return false;
    }
    if (g_CurFrame == nullptr || argc == 1) {
        PrintMask("FLOG VERBOSE", g_FlogMask);
    }
    if (argc == 1) {
        return true;
    }

    // The name is the word's value (so "flog $LogName" works), or the word itself when it does
    // not evaluate.
    std::string name = argv[1];
    ExprValue value{};
    if (ExprEvaluate(argv[1], std::strlen(argv[1]), &value, CurrentScope(), nullptr) == 0) {
        name = value.IsString != 0 ? std::string(value.Text) : std::to_string(value.Number);
    }
    if (g_FlogFile != nullptr) {
        std::fclose(g_FlogFile);
        g_FlogFile = nullptr;
    }
    g_FlogFile = std::fopen(ResolvePathIgnoringCase(name).c_str(), "a+");
    if (g_FlogFile == nullptr) {
        return PlayPrint(CAT_ERR, "ERROR: Could not open file '%s' for writing.\n", name.c_str());
    }
    return true;
}

bool CmdHalt(int32_t argc, char** argv, ExprValue* result) {
    if (WantsUsage(argc, argv)) {
        static const char* const usage[] = {
            "\n",
            " H [Lines]\n",
            "\n",
            " Set halt lines.\n",
            " Lines - The number of lines to display before pausing.\n",
            "         Set lines to 0 to never pause display.\n",
        };
        return PrintUsageLines(usage);
    }
    if (argc == 2) {
        result->IsString = 0;
        result->Number = g_HaltLines;
        uint32_t lines = 0;
        if (ParseNumber(argv[1], 10, &lines) != 0) {
            return PlayPrint(CAT_ERR, "ERROR: Invalid argument.\n");
        }
        g_HaltLines = lines;
    }
    return PlayPrint(CAT_SET, "Current Halt setting: %d lines\n", static_cast<int>(g_HaltLines));
}

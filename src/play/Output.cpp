// Play's output: categories, paging, the log file and caret errors.
#include "play/Output.h"

#include "platform/Console.h"
#include "play/ScriptState.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <string>
#include <string_view>

uint32_t g_Verbose = CAT_ALL;
FILE* g_FlogFile = nullptr;
std::string g_FlogName;
uint32_t g_FlogMask = CAT_ALL;
uint32_t g_HaltLines = 0;
uint32_t g_LinesPrinted = 0;
uint32_t g_ScreenWidth = 80;
const char* g_MorePrompt = "-- more [ESC to exit] --";
const char* g_Prompt = "=";

namespace {

constexpr int kKeyEscape = 27;

// Formats without a fixed limit (a "%s" argument may be far longer than the format): into
// buffer when the text fits, which is the common case of one output line, else into overflow.
template <size_t N>
std::string_view FormatText(char (&buffer)[N], std::string& overflow, const char* format,
                            va_list args) {
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(buffer, N, format, args);
    std::string_view text;
    if (needed >= 0 && static_cast<size_t>(needed) < N) {
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

// Copies the text to the log. A write that fails closes the log and says so once, with the
// file's name and the system's reason: the log never stops without a word.
void WriteLog(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), g_FlogFile) == text.size() &&
        std::fflush(g_FlogFile) == 0) {
        return;
    }
    const int error = errno;
    std::fclose(g_FlogFile);
    g_FlogFile = nullptr;
    PlayPrint(CAT_ERR, "ERROR: Could not write to log file '%s' (%s).\n", g_FlogName.c_str(),
              std::strerror(error));
    PlayPrint(CAT_ALL, "FLOG stopped file logging.\n");
}

} // namespace

void ResetOutput() {
    g_LinesPrinted = 0;
    g_HaltLines = 0;
    g_Verbose = CAT_ALL;
    g_FlogMask = CAT_ALL;
    g_ScreenWidth = 80;
}

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
        // Flushed at once, so that an interrupted run keeps its log.
        WriteLog(text);
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
    return key == kKeyEscape;
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

// The script runner.
#include "play/ScriptRunner.h"

#include "common/Text.h"
#include "platform/Console.h"
#include "play/Args.h"
#include "play/Executor.h"
#include "play/FileWord.h"
#include "play/Output.h"
#include "play/RunState.h"
#include "play/ScriptFiles.h"
#include "play/ScriptSections.h"
#include "play/ScriptState.h"
#include "play/WordValue.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kKeyEscape = 27;
constexpr size_t kVerboseLookAhead = 5;
constexpr char kStepPrompt[] = "Press any key to continue or ESC to exit...";

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The number (from 1) of the line holding offset: a line ends at a line feed, a carriage return
// or the pair of both.
unsigned LineNumberAt(const std::string& text, size_t offset) {
    unsigned line = 1;
    for (size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && text[i + 1] != '\n')) {
            ++line;
        }
    }
    return line;
}

// The script could not be opened: the last path tried, and the name typed when that path
// came from a RUNPATH entry (the path alone would hide what was asked for).
void ReportMissingScript(const std::string& name, const std::string& path) {
    if (path == name || path == name + ".txt") {
        PlayPrint(CAT_ERR,
                  "ERROR: '%s' is not a valid command or script file which can be opened.\n",
                  path.c_str());
        return;
    }
    PlayPrint(CAT_ERR,
              "ERROR: '%s' is not a valid command or script file which can be opened (last "
              "path tried '%s').\n",
              name.c_str(), path.c_str());
}

// An argument word as the script sees it: a text value unchanged, a number as hexadecimal
// digits with "h", a word that does not evaluate as it is.
void ArgumentWord(const char* word, char* out) {
    ExprValue value{};
    const char* errorText = nullptr;
    if (EvaluateWord(word, &value, &errorText) != 0) {
        std::snprintf(out, kArgSize, "%s", word);
    } else if (value.IsString != 0) {
        std::snprintf(out, kArgSize, "%s", value.Text);
    } else {
        std::snprintf(out, kArgSize, "%Xh", value.Number);
    }
}

// One running level: fills the next frame and makes it current; the destructor frees what the
// frame holds, deletes the script's variables and makes the caller's frame current again.
class FrameLevel {
public:
    FrameLevel() : m_Frame(g_Frames[g_ScriptDepth]) { m_Frame = ScriptFrame{}; }
    ~FrameLevel() {
        if (m_Entered) {
            ExprDeleteScope(m_Frame.m_Scope);
            --g_ScriptDepth;
            g_CurFrame = g_ScriptDepth > 0 ? &g_Frames[g_ScriptDepth - 1] : nullptr;
        }
        if (m_Frame.m_Argv != nullptr) {
            ArgvFree(m_Frame.m_Argv);
            delete[] m_Frame.m_Argv;
        }
        std::free(m_Frame.m_Scope);
        std::free(m_Frame.m_Text);
        m_Frame = ScriptFrame{};
    }
    FrameLevel(const FrameLevel&) = delete;
    FrameLevel& operator=(const FrameLevel&) = delete;

    // Copies the words (evaluated in the caller's scope) and the text, then enters the level.
    // False when memory ran out.
    bool Enter(int32_t argc, char** argv, const std::string& text) {
        m_Frame.m_Argv = new char*[kMaxArgs]();
        if (!ArgvAlloc(m_Frame.m_Argv)) {
            return false;
        }
        m_Frame.m_Argc = static_cast<uint32_t>(argc);
        std::snprintf(m_Frame.m_Argv[0], kArgSize, "%s", argv[0]);
        for (int32_t i = 1; i < argc && i < kMaxArgs; ++i) {
            ArgumentWord(argv[i], m_Frame.m_Argv[i]);
        }
        m_Frame.m_Text = static_cast<char*>(std::malloc(text.size() + 1));
        const std::string scope = std::string(argv[0]) + std::to_string(g_ScriptDepth + 1);
        m_Frame.m_Scope = strdup(scope.c_str());
        if (m_Frame.m_Text == nullptr || m_Frame.m_Scope == nullptr) {
            return false;
        }
        std::memcpy(m_Frame.m_Text, text.data(), text.size());
        m_Frame.m_Text[text.size()] = '\0';
        m_Frame.m_Pos = 0;
        m_Frame.m_Verbose = CAT_ALL;
        m_Frame.m_RetVal = ExprValue{};
        g_CurFrame = &m_Frame;
        ++g_ScriptDepth;
        m_Entered = true;
        return true;
    }

    ScriptFrame& Frame() { return m_Frame; }

private:
    ScriptFrame& m_Frame;
    bool m_Entered = false;
};

// Runs the first line among the first lines of the text that begins with VERBOSE, so that a
// script can silence the echo of its own first lines. False when that line failed.
bool RunVerboseFirst(const char* text) {
    size_t pos = 0;
    for (size_t line = 0; line < kVerboseLookAhead && text[pos] != '\0'; ++line) {
        while (IsLineEnd(text[pos])) {
            ++pos;
        }
        size_t end = pos;
        while (text[end] != '\0' && !IsLineEnd(text[end])) {
            ++end;
        }
        if (end - pos >= 7 && CompareNoCase(text + pos, "VERBOSE", 7) == 0) {
            return ExecuteStatements(text + pos, end - pos, nullptr);
        }
        pos = end;
    }
    return true;
}

// The pause after a line while single-stepping; true when the user pressed ESC. At the end of
// the input the script goes on.
bool StepPause() {
    std::fflush(stdout);
    ConsoleWrite(kStepPrompt);
    int key = ConsoleGetch();
    if (key == kConsolePrefixFunction || key == kConsolePrefixExtended) {
        key = ConsoleGetch();
    }
    const std::string blanks(sizeof(kStepPrompt) - 1, ' ');
    const std::string backspaces(sizeof(kStepPrompt) - 1, '\b');
    ConsoleWrite((backspaces + blanks + backspaces).c_str());
    return key == kKeyEscape;
}

// The line loop: runs the lines from the start of the text until the quit flag is set, the text
// ends, a line fails or ESC was pressed at a single-step pause. False when a line failed.
bool RunLines(ScriptFrame& frame) {
    const char* text = frame.m_Text;
    size_t start = 0;
    while (!g_Quit && text[start] != '\0') {
        size_t end = start;
        while (text[end] != '\0' && !IsLineEnd(text[end])) {
            ++end;
        }
        frame.m_Pos = static_cast<uint32_t>(end);
        const std::string line(text + start, end - start);
        PlayPrint(CAT_CMD, "\n");
        PlayPrint(CAT_CMD, "%s%s\n", g_Prompt, line.c_str());
        if (!ExecuteStatements(line.c_str(), line.size(), nullptr)) {
            return false;
        }
        if (SingleStepping() && StepPause()) {
            return true;
        }
        start = frame.m_Pos;
        while (IsLineEnd(text[start])) {
            ++start;
        }
    }
    return true;
}

} // namespace

bool RunScript(bool reportMissing, int32_t argc, char** argv, ExprValue* result) {
    if (g_ScriptDepth >= kMaxScriptDepth) {
        return PlayPrint(CAT_ERR, "ERROR: Exceeded allowed number of nested scripts.\n");
    }
    std::string path;
    std::string text;
    const std::string name = FileNameOfWord(argv[0]);
    if (!FindScriptFile(name, &path) || !ReadWholeFile(path, &text)) {
        if (reportMissing) {
            ReportMissingScript(name, path);
        }
        return false;
    }

    // The text runs up to its end: a NUL byte would end it early, the lines after it unrun.
    if (const size_t nul = text.find('\0'); nul != std::string::npos) {
        return PlayPrint(CAT_ERR, "ERROR: Script '%s' holds a NUL byte in line %u.\n", path.c_str(),
                         LineNumberAt(text, nul));
    }

    FrameLevel level;
    if (!level.Enter(argc, argv, text)) {
        return PlayPrint(CAT_ERR, "ERROR: Insufficient memory.\n");
    }
    ScriptFrame& frame = level.Frame();
    g_LinesPrinted = 0;
    BuildSectionIndex(frame.m_Text, frame.m_Sections);

    const bool ok = RunVerboseFirst(frame.m_Text) && RunLines(frame);
    if (result != nullptr) {
        *result = frame.m_RetVal;
    }
    return ok;
}

// The entry of Play: start-up, the command-line switches, one-command mode and the prompt loop.
#include "common/StrPool.h"
#include "common/Text.h"
#include "expr/Expr.h"
#include "hcl/HclApi.h"
#include "hcl/HclBreak.h"
#include "hcl/HclError.h"
#include "hcl/HclTrace.h"
#include "hcl/HclVersion.h"
#include "play/ArgParsers.h"
#include "play/Executor.h"
#include "play/Keywords.h"
#include "play/LineEditor.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/Session.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t LINE_SIZE = 256;

bool StartsWith(const char* word, const char* prefix) {
    return std::strncmp(word, prefix, std::strlen(prefix)) == 0;
}

// The switches of the command line. A switch that ends the program sets m_Exit.
struct Switches {
    bool m_Exit = false;
    int m_ExitCode = 0;
    bool m_CpuGiven = false;
    bool m_DebugGiven = false;
};

// Tests every word in order (so switches stand anywhere, in any case) and empties the
// recognised ones.
Switches HandleSwitches(int argc, char** argv) {
    Switches s;
    for (int i = 0; i < argc; ++i) {
        char* word = argv[i];
        LowerAsciiInPlace(word);
        if (std::strcmp(word, "/?") == 0) {
            PrintUsage();
            s.m_Exit = true;
            return s;
        }
        if (std::strcmp(word, "/nocard") == 0) {
            PlayPrint(CAT_OUT, "!!!!! WARNING: Detected /nocard switch!\n!!!!! The LCD controller "
                               "was not acquired.\n!!!!! Only the HELP command is supported in "
                               "this mode.\n\n");
            g_Acquired = false;
        } else if (StartsWith(word, "/debug:")) {
            // A refused switch fails the run, so that a script calling play sees it.
            if (!oxHclParseDebugOptions(word + 7)) {
                s.m_Exit = true;
                s.m_ExitCode = 1;
                return s;
            }
            s.m_DebugGiven = true;
        } else if (StartsWith(word, "/break:")) {
            if (!oxHclParseBreakpoints(word + 7)) {
                char text[256];
                const uint32_t code = oxHclGetLastError(text, sizeof(text));
                std::printf("\n\n%s (%d)", text, static_cast<int>(code));
                s.m_Exit = true;
                s.m_ExitCode = 1;
                return s;
            }
        } else if (StartsWith(word, "/cpu:")) {
            uint32_t mask = 0;
            if (ParseNumber(word + 5, 16, &mask) != 0) {
                s.m_Exit = true;
                s.m_ExitCode = 1;
                return s;
            }
            ApplyAffinity(CpusFromMask(mask, AllowedCpus()));
            s.m_CpuGiven = true;
        } else {
            continue;
        }
        word[0] = '\0';
    }
    return s;
}

// Writes the requested trace; false when it was requested and could not be written, which
// fails the run (the trace's own message says why).
bool WriteTraceAtExit(bool debugGiven) {
    return !debugGiven || oxHclWriteDebugLog();
}

// Runs the remaining command-line words once as one command: true when it succeeded.
bool RunCommandLine(int argc, char** argv) {
    int32_t count = 0;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '\0') {
            continue; // a switch
        }
        if (count >= MAX_ARGS - 1) {
            return PlayPrint(CAT_ERR, "ERROR: Too many arguments (max %u).\n",
                             static_cast<unsigned>(MAX_ARGS - 1));
        }
        // A word keeps at most 255 characters, as the statement splitter keeps them.
        std::snprintf(g_Argv[count], ARG_SIZE, "%s", argv[i]);
        ++count;
    }
    g_Argc = count;
    g_HaltLines = 0;
    ExprValue result{};
    return DispatchCommand(g_Argc, g_Argv, &result);
}

void PromptLoop() {
    while (!g_Quit) {
        char line[LINE_SIZE] = {};
        g_LinesPrinted = 0;
        PlayPrint(CAT_CMD, "%s", g_Prompt);
        std::fflush(stdout);
        if (ReadCommandLine(line, LINE_SIZE) != nullptr && line[0] != '\0') {
            bool ran = false;
            ExecuteStatements(line, std::strlen(line), &ran);
            if (ran) {
                PlayPrint(CAT_CMD, "\n");
            }
        }
        if (LineInputEnded()) {
            break;
        }
    }
}

bool HasCommandWords(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '\0') {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    InitSession(argc, argv);
    HelperInit();
    ConsoleInit();
    // Token access is not built yet: the evaluator gets no resolver for register, feature and
    // memory names.
    SetExprHook(EvalArgHook);
    oxHclClearBreakpoints();

    char banner[256];
    oxHclGetVersionText("PLAY", "test utility", " $Revision: 73 $", banner, sizeof(banner));
    PlayPrint(CAT_OUT, "%s\n", banner);

    g_Acquired = true;
    const Switches switches = HandleSwitches(argc, argv);
    if (switches.m_Exit) {
        std::fflush(stdout);
        return switches.m_ExitCode;
    }
    if (!switches.m_CpuGiven) {
        ApplyAffinity(CpusFromMask(1, AllowedCpus()));
    }

    // The completion dictionary: the feature names of the chip definition.
    FillFeatureDictionary(&g_Keywords);

    if (g_Acquired && !oxHclInitialize()) {
        char text[80];
        oxHclGetLastError(text, sizeof(text));
        PlayPrint(CAT_OUT, "%s\n", text);
        std::fflush(stdout);
        return 1;
    }
    // The chip definition (hot mode, the autostride features) and the start-up script
    // "play.txt" are not built yet.

    if (HasCommandWords(argc, argv)) {
        const bool ok = RunCommandLine(argc, argv);
        const bool traced = WriteTraceAtExit(switches.m_DebugGiven);
        std::fflush(stdout);
        return ok && traced ? 0 : 1;
    }

    PromptLoop();
    const bool traced = WriteTraceAtExit(switches.m_DebugGiven);
    ArgvFree(g_Argv);
    ExprFreeVars();
    std::fflush(stdout);
    return traced ? 0 : 1;
}

// The entry of Play: start-up, the command-line switches, one-command mode and the prompt loop.
#include "common/StrPool.h"
#include "expr/Expr.h"
#include "hcl/HclApi.h"
#include "hcl/HclBreak.h"
#include "hcl/HclError.h"
#include "hcl/HclStart.h"
#include "hcl/HclTrace.h"
#include "hcl/ServicesAffinity.h"
#include "play/ArgParsers.h"
#include "play/Args.h"
#include "play/CommandLine.h"
#include "play/Commands.h"
#include "play/Executor.h"
#include "play/InfoCommands.h"
#include "play/Keywords.h"
#include "play/LineEditor.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/RegCommands.h"
#include "play/RunState.h"
#include "play/ScriptRunner.h"
#include "play/Session.h"
#include "play/StartupScript.h"
#include "play/TokenAccess.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kLineSize = 256;

// Writes the requested trace; false when it was requested and could not be opened or written,
// which fails the run (the trace's own message, printed before, says which and why).
bool WriteTraceAtExit(bool debugGiven) {
    return !debugGiven || oxHclWriteDebugLog();
}

// Runs the words that are no switch once as one command (an empty word is a word too, as a
// wrapper passing an empty variable gives it): true when it succeeded.
bool RunCommandLine(char** argv, const std::vector<int>& words) {
    int32_t count = 0;
    for (const int i : words) {
        if (count >= kMaxArgs - 1) {
            return PlayPrint(CAT_ERR, "ERROR: Too many arguments (max %u).\n",
                             static_cast<unsigned>(kMaxArgs - 1));
        }
        // A word holds what a word of a statement may hold; a longer one is refused, not cut.
        if (const char* refusal = WordRefusal(argv[i]); refusal != nullptr) {
            return PrintCaretError(ArgsTextLength(g_Argv, count), "ERROR: %s\n", refusal);
        }
        std::snprintf(g_Argv[count], kArgSize, "%s", argv[i]);
        ++count;
    }
    g_Argc = count;
    g_HaltLines = 0;
    ExprValue result{};
    return DispatchCommand(g_Argc, g_Argv, &result);
}

void PromptLoop() {
    while (!g_Quit) {
        char line[kLineSize] = {};
        g_LinesPrinted = 0;
        PlayPrint(CAT_CMD, "%s", g_Prompt);
        std::fflush(stdout);
        if (ReadCommandLine(line, kLineSize) != nullptr && line[0] != '\0') {
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

} // namespace

int main(int argc, char** argv) {
    InitSession(argc, argv);
    HelperInit();
    ConsoleInit();
    // The evaluator hands every name it does not know to token access.
    ExprSetResolver(ResolveToken);
    SetExprHook(EvalArgHook);
    SetCommandTable(g_Commands, RunScript);
    oxHclClearBreakpoints();

    char banner[256];
    GetPlayBanner(banner, sizeof(banner));
    PlayPrint(CAT_OUT, "%s\n", banner);

    g_Acquired = true;
    const Switches switches = HandleSwitches(argc, argv);
    if (switches.Exit) {
        std::fflush(stdout);
        return switches.ExitCode;
    }
    // Without "/cpu:" the program runs on the first CPU it may use.
    oxSetProcessAffinityMask(switches.CpuGiven ? switches.CpuMask : 1);

    // The completion dictionary: the feature names of the chip definition.
    FillFeatureDictionary(&g_Keywords);

    if (g_Acquired && !oxHclInitialize()) {
        char text[80];
        oxHclGetLastError(text, sizeof(text));
        PlayPrint(CAT_OUT, "%s\n", text);
        std::fflush(stdout);
        return 1;
    }
    StartChipDefinition(g_Acquired);
    InitRegCmdStates();
    RunStartupScript();

    if (!switches.Words.empty()) {
        const bool ok = RunCommandLine(argv, switches.Words);
        const bool traced = WriteTraceAtExit(switches.DebugGiven);
        std::fflush(stdout);
        return ok && traced ? 0 : 1;
    }

    PromptLoop();
    const bool traced = WriteTraceAtExit(switches.DebugGiven);
    ArgvFree(g_Argv);
    ExprFreeVars();
    std::fflush(stdout);
    return traced ? 0 : 1;
}

// SHELL: one command line through /bin/sh, or an interactive shell, and its exit code.
#include "common/Text.h"
#include "platform/ChildProcess.h"
#include "platform/Console.h"
#include "play/Args.h"
#include "play/Output.h"
#include "play/ScriptCommands.h"
#include "play/WordValue.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char kShellPath[] = "/bin/sh";

void PrintUsage(const char* commandWord) {
    const std::string word = UpperAsciiCopy(commandWord);
    const char* w = word.c_str();
    PlayPrint(CAT_OUT, "\n");
    PlayPrint(CAT_OUT, " [$retval =] %s\n", w);
    PlayPrint(CAT_OUT, " [$retval =] %s \"command-line\"\n", w);
    PlayPrint(CAT_OUT, " [$retval =] %s \"command\" [\"arg1\"] [\"arg2\"] [..]\n\n", w);
    PlayPrint(CAT_OUT, "\n");
    PlayPrint(CAT_OUT, " %s\n", w);
    PlayPrint(CAT_OUT, " %s \"dir\"\n", w);
    PlayPrint(CAT_OUT, " %s \"dir /b \"+$filemask\n", w);
    PlayPrint(CAT_OUT, " %s \"dir\" \"/b\" $filemask\n", w);
    PlayPrint(CAT_OUT, " $ProgErrorCode = %s \"prog /x /y /z\"\n", w);
    PlayPrint(CAT_OUT, "\n");
    PlayPrint(CAT_OUT,
              "Start a command line shell, or execute one command line and return to PLAY.\n");
    PlayPrint(CAT_OUT, "To get the return value of the executable, place a user variable after\n");
    PlayPrint(CAT_OUT, "the expression.\n");
}

// The words of the child: the user's shell, or /bin/sh running the command line.
std::vector<std::string> ChildWords(int32_t argc, const std::string& commandLine) {
    if (argc < 2) {
        const char* shell = std::getenv("SHELL");
        return {shell != nullptr && shell[0] != '\0' ? shell : kShellPath};
    }
    return {kShellPath, "-c", commandLine};
}

} // namespace

bool CmdShell(int32_t argc, char** argv, ExprValue* result) {
    if (WantsUsage(argc, argv)) {
        PrintUsage(argv[0]);
        return true;
    }
    // Every word must be a text; the texts are joined with single blanks.
    std::string commandLine;
    for (int32_t i = 1; i < argc; ++i) {
        ExprValue value{};
        const char* errorText = nullptr;
        const uint32_t error = EvaluateWord(argv[i], &value, &errorText);
        if (error != 0) {
            return PrintCaretError(ArgsTextLength(argv, i) + error - 1, "ERROR: %s\n", errorText);
        }
        if (value.IsString == 0) {
            return PrintCaretError(ArgsTextLength(argv, i),
                                   "ERROR: All SHELL arguments must be text (not numbers).\n");
        }
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += value.Text;
    }
    if (argc < 2) {
        PlayPrint(CAT_OUT, "Starting command line shell.\n");
        PlayPrint(CAT_OUT, "To return to PLAY, type:  EXIT <ENTER>\n");
    }
    const std::vector<std::string> words = ChildWords(argc, commandLine);
    std::fflush(stdout);
    ConsoleRestore();
    const ChildResult child = RunChildAndWait(words);
    ConsoleResume();
    if (!child.Started) {
        return PlayPrint(CAT_ERR, "ERROR: Could not start '%s': %s.\n", words[0].c_str(),
                         child.ErrorText.c_str());
    }
    *result = ExprValue{};
    result->Number = static_cast<uint32_t>(child.Status);
    return true;
}

// The switches of Play's command line and the usage text.
#include "play/CommandLine.h"

#include "common/Text.h"
#include "hcl/HclBreak.h"
#include "hcl/HclError.h"
#include "hcl/HclTrace.h"
#include "play/ArgParsers.h"
#include "play/Output.h"
#include "play/RunState.h"

#include <cstdio>
#include <cstring>

namespace {

bool StartsWith(const char* word, const char* prefix) {
    return std::strncmp(word, prefix, std::strlen(prefix)) == 0;
}

} // namespace

Switches HandleSwitches(int argc, char** argv) {
    Switches switches;
    for (int i = 0; i < argc; ++i) {
        char* word = argv[i];
        LowerAsciiInPlace(word);
        if (std::strcmp(word, "/?") == 0) {
            PrintUsage();
            switches.Exit = true;
            return switches;
        }
        if (std::strcmp(word, "/nocard") == 0) {
            PlayPrint(CAT_OUT, "!!!!! WARNING: Detected /nocard switch!\n!!!!! The LCD controller "
                               "was not acquired.\n!!!!! Only the HELP command is supported in "
                               "this mode.\n\n");
            g_Acquired = false;
            g_NoCard = true;
        } else if (StartsWith(word, "/debug:")) {
            // A refused switch fails the run, so that a script calling play sees it.
            if (!oxHclParseDebugOptions(word + 7)) {
                switches.Exit = true;
                switches.ExitCode = 1;
                return switches;
            }
            switches.DebugGiven = true;
        } else if (StartsWith(word, "/break:")) {
            if (!oxHclParseBreakpoints(word + 7)) {
                char text[256];
                const uint32_t code = oxHclGetLastError(text, sizeof(text));
                std::printf("\n\n%s (%d)", text, static_cast<int>(code));
                switches.Exit = true;
                switches.ExitCode = 1;
                return switches;
            }
        } else if (StartsWith(word, "/cpu:")) {
            uint32_t mask = 0;
            if (ParseNumber(word + 5, 16, &mask) != 0) {
                switches.Exit = true;
                switches.ExitCode = 1;
                return switches;
            }
            switches.CpuMask = mask;
            switches.CpuGiven = true;
        } else {
            if (i > 0) {
                switches.Words.push_back(i);
            }
            continue;
        }
        word[0] = '\0';
    }
    return switches;
}

void PrintUsage() {
    static const char* const lines[] = {
        "\nDebugger for LCD Controller.\n",
        "\nUsage: PLAY [cmd] [/?]",
        "\n",
        "\nWhere: cmd    A command which can also be typed at the PLAY prompt.",
        "\n       /?     Show this usage message",
        "\n       /BREAK:list       Breakpoint list",
        "\n       /DEBUG:rwx:file   Debug logging",
        "\n       /CPU:mask         CPU affinity mask (32bit hex; 1=CPU0[default], 2=CPU1)",
        "\n                         Select which core(s) the program is allowed to run on.",
        "\n",
    };
    for (const char* line : lines) {
        PlayPrint(CAT_OUT, "%s", line);
    }
}

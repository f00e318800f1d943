// VERBOSE: silences categories of the console output.
#include "play/OutputCommands.h"

#include "play/MaskWords.h"
#include "play/Output.h"
#include "play/ScriptState.h"

#include <cstring>

namespace {

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

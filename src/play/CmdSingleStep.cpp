// SINGLESTEP: the pause after every script line.
#include "common/Text.h"
#include "play/Output.h"
#include "play/ScriptCommands.h"
#include "play/ScriptState.h"

#include <string>

bool CmdSingleStep(int32_t argc, char** argv, ExprValue* /*result*/) {
    const std::string word = UpperAsciiCopy(argv[0]);
    if (WantsUsage(argc, argv)) {
        PlayPrint(CAT_OUT, "\n");
        PlayPrint(CAT_OUT, " %s [ON|OFF]\n\n", word.c_str());
        PlayPrint(CAT_OUT, " Runs scripts one line at a time.\n");
        return true;
    }
    if (argc > 2) {
        return PlayPrint(CAT_ERR, "ERROR: Too many arguments.\n");
    }
    if (argc == 1) {
        return PlayPrint(CAT_SET, "SingleStep = %s\n", g_SingleStep ? "ON" : "OFF");
    }
    if (EqualsNoCase(argv[1], "on")) {
        g_SingleStep = true;
    } else if (EqualsNoCase(argv[1], "off")) {
        g_SingleStep = false;
    } else {
        return PlayPrint(CAT_ERR, "ERROR: %s accepts only ON or OFF\n", word.c_str());
    }
    return true;
}

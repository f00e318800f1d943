// Q: sets the quit flag.
#include "play/CmdQuit.h"

#include "play/Output.h"
#include "play/RunState.h"

bool CmdQuit(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        PlayPrint(CAT_OUT, "Quit program.\n");
        return true;
    }
    g_Quit = true;
    return true;
}

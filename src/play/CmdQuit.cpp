#include "play/CmdQuit.h"

#include "play/Output.h"
#include "play/Session.h"

bool CmdQuit(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (argc > 1 && argv[1][0] == '?') {
        PlayPrint(CAT_OUT, "Quit program.\n");
        return true;
    }
    g_Quit = true;
    return true;
}

// The start of a Play session.
#include "play/Session.h"

#include "play/Args.h"
#include "play/Output.h"
#include "play/RunState.h"
#include "play/ScriptState.h"

void InitSession(int /*argc*/, char** /*argv*/) {
    ResetRunState();
    ResetScriptState();
    ResetOutput();
    if (!ResetArgv()) {
        PlayPrint(CAT_OUT, "\n!!!!! ERROR: Insufficient memory.\n\n");
    }
}

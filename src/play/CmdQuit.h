#pragma once
// Q: ends Play, row "q;quit;ex;exit" of the command table.
#include "play/CommandHandlers.h"

// "q ?" prints its one-line usage; otherwise sets the quit flag, which ends the running scripts
// and the interactive loop. Always succeeds.
bool CmdQuit(int32_t argc, char** argv, ExprValue* result);

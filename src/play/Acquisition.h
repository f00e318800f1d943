#pragma once
// Whether Play may reach the controller, and what it says when it may not. The controller is
// out of reach under /nocard, and after a RESET that could not open the board again (the layer
// then answers every access without reaching a board); a later RESET that opens it takes it
// back.
//
//     if (!g_Acquired) { return ReportNotAcquired(); }   // before any access of a command
//     ControllerReset(oxHclReinitialize());               // RESET
#include "play/RunState.h"

// Prints the refusal of a command that needs the controller (CAT_ERR) and gives false: under
// /nocard "!!!!! ERROR: This command cannot be invoked with the /nocard switch.", otherwise
// "ERROR: The controller has not been acquired.".
bool ReportNotAcquired();

// After RESET, with whether the board was opened again. Without it Play goes into the state
// of /nocard: commands and tokens that need the controller are refused, and features and
// registers of the chip definition are those of the configuration block's copy (hot mode off).
// With it the controller is acquired and hot mode is on again. Under /nocard nothing changes:
// the switch keeps the controller out of reach for the whole run.
void ControllerReset(bool acquired);

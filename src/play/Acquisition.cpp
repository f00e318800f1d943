// The controller's reach from Play: the refusal text and the state after RESET.
#include "play/Acquisition.h"

#include "play/Output.h"
#include "play/PlayChipDef.h"

bool ReportNotAcquired() {
    if (g_NoCard) {
        return PlayPrint(CAT_ERR,
                         "!!!!! ERROR: This command cannot be invoked with the /nocard switch.\n");
    }
    return PlayPrint(CAT_ERR, "ERROR: The controller has not been acquired.\n");
}

void ControllerReset(bool acquired) {
    if (g_NoCard) {
        return;
    }
    g_Acquired = acquired;
    g_ChipDef.SetHotMode(acquired);
}

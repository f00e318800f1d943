// M: prints the chip definition's summary of the configuration.
#include "play/DisplayCommands.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"

namespace {

const char* const kModeUsage[] = {
    "\n",
    " M\n",
    "\n",
    " Shows a summary of the current mode: the configuration's main settings.\n",
};

} // namespace

bool CmdMode(int32_t argc, char** argv, ExprValue*) {
    if (WantsUsage(argc, argv)) {
        return PrintUsageLines(kModeUsage);
    }
    PlayPrint(CAT_OUT, "\n");
    // The summary is text, never a format: a "%" in a value prints as itself.
    PlayPrint(CAT_OUT, "%s", g_ChipDef.GetSummaryText(" "));
    return true;
}

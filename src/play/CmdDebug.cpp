// DEBUG: toggles the layer's echo of register writes.
#include "hcl/HclApi.h"
#include "play/InfoCommands.h"
#include "play/Output.h"

#include <array>

namespace {

constexpr std::array kUsageLines = {
    "\n",
    " Toggle HCL debugging flag.\n",
    " This command toggles the state of HCL debugging.  When enabled,\n",
    " the HCL will display all register writes, except for LUT\n",
    " programming.  Register reads are NOT displayed.\n",
};

} // namespace

bool CmdDebug(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        return PrintUsageLines(kUsageLines);
    }
    const bool enabled = oxHclGetDebugWrites() == 0;
    oxHclSetDebugWrites(enabled ? 1 : 0);
    return PlayPrint(CAT_SET, "HCL debugging is %s!\n", enabled ? "ENABLED" : "DISABLED");
}

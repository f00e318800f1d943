// DIAGNOSE: the chip definition's diagnostics and its warnings about the configuration.
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/TokenCommands.h"

#include <vector>

namespace {

// Diagnostics and warnings together.
constexpr uint32_t kDiagnoseSize = 4096;

} // namespace

bool CmdDiagnose(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        PlayPrint(CAT_OUT, "\n");
        PlayPrint(CAT_OUT, " %s\n\n", argv[0]);
        PlayPrint(CAT_OUT, " Diagnose using spec restrictions.\n");
        return true;
    }
    if (argc > 1) {
        return PlayPrint(CAT_ERR, "ERROR: This command doesn't support any arguments.\n");
    }
    std::vector<char> text(kDiagnoseSize + 1, '\0');
    uint32_t used = g_ChipDef.GetDiagnosticText(text.data(), kDiagnoseSize);
    if (used < kDiagnoseSize) {
        used += g_ChipDef.GetWarningText(text.data() + used, kDiagnoseSize - used);
    }
    text[used < kDiagnoseSize ? used : kDiagnoseSize] = '\0';
    if (text[0] == '\0') {
        return PlayPrint(CAT_OUT, "No problems detected.\n");
    }
    return PlayPrint(CAT_OUT, "%s", text.data());
}

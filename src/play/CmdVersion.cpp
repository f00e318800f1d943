// VER: the banner that Play prints at start.
#include "hcl/HclVersion.h"
#include "play/InfoCommands.h"
#include "play/Output.h"

#include <array>

void GetPlayBanner(char* text, size_t size) {
    oxHclGetVersionText("PLAY", "test utility", " $Revision: 73 $", text, size);
}

bool CmdVersion(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        static constexpr std::array kUsageLines = {
            "\n",
            " VER\n",
            "\n",
            " Shows build version information.\n",
        };
        return PrintUsageLines(kUsageLines);
    }
    char banner[512];
    GetPlayBanner(banner, sizeof banner);
    return PlayPrint(CAT_OUT, "%s", banner);
}

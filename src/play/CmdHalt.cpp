// H: the number of lines shown before the output pauses.
#include "play/OutputCommands.h"

#include "play/ArgParsers.h"
#include "play/Output.h"

bool CmdHalt(int32_t argc, char** argv, ExprValue* result) {
    if (WantsUsage(argc, argv)) {
        static const char* const usage[] = {
            "\n",
            " H [Lines]\n",
            "\n",
            " Set halt lines.\n",
            " Lines - The number of lines to display before pausing.\n",
            "         Set lines to 0 to never pause display.\n",
        };
        return PrintUsageLines(usage);
    }
    if (argc == 2) {
        result->IsString = 0;
        result->Number = g_HaltLines;
        uint32_t lines = 0;
        if (ParseNumber(argv[1], 10, &lines) != 0) {
            return PlayPrint(CAT_ERR, "ERROR: Invalid argument.\n");
        }
        g_HaltLines = lines;
    }
    return PlayPrint(CAT_SET, "Current Halt setting: %d lines\n", static_cast<int>(g_HaltLines));
}

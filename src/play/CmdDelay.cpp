// DELAY and SLEEP: wait a number of microseconds (busy) or milliseconds (sleeping).
#include "hcl/Services.h"
#include "play/ArgParsers.h"
#include "play/Output.h"
#include "play/ScriptCommands.h"

#include <iterator>

namespace {

// What one of the two commands says and does.
struct WaitCommand {
    const char* const* Usage;
    size_t UsageLines;
    const char* BadTime; // the error for a time that is no decimal number
    void (*Wait)(uint32_t amount);
};

bool RunWait(const WaitCommand& command, int32_t argc, char** argv) {
    if (WantsUsage(argc, argv)) {
        return PrintUsageLines({command.Usage, command.UsageLines});
    }
    if (argc != 2) {
        return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
    }
    uint32_t amount = 0;
    if (ParseNumber(argv[1], 10, &amount) != 0) {
        return PlayPrint(CAT_ERR, command.BadTime, argv[1]);
    }
    command.Wait(amount);
    return true;
}

} // namespace

bool CmdDelay(int32_t argc, char** argv, ExprValue* /*result*/) {
    static const char* const usage[] = {
        "\n",
        " DELAY time\n\n",
        " Delay for a given number of microseconds.\n",
        " time - Delay time in microseconds (decimal).\n",
    };
    static const WaitCommand command{usage, std::size(usage),
                                     "ERROR: '%s' isn't a valid delay time.\n", oxDelayUs};
    return RunWait(command, argc, argv);
}

bool CmdSleep(int32_t argc, char** argv, ExprValue* /*result*/) {
    static const char* const usage[] = {
        "\n",
        " SLEEP time\n\n",
        " Sleep for a given number of milliseconds.\n",
        " time - Sleep time in milliseconds (decimal).\n",
    };
    static const WaitCommand command{usage, std::size(usage),
                                     "ERROR: '%s' isn't a valid sleep time.\n", oxSleepMs};
    return RunWait(command, argc, argv);
}

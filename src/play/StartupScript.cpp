// The start-up script "play.txt".
#include "play/StartupScript.h"

#include "play/Args.h"
#include "play/Output.h"
#include "play/ScriptRunner.h"

#include <cstdio>

namespace {

constexpr char kStartupScript[] = "play.txt";

} // namespace

bool RunStartupScript() {
    std::snprintf(g_Argv[0], kArgSize, "%s", kStartupScript);
    g_Argc = 1;
    g_Verbose = 0;
    ExprValue result{};
    const bool ran = RunScript(false, g_Argc, g_Argv, &result);
    g_Verbose = CAT_ALL;
    if (ran) {
        PlayPrint(CAT_ALL, "User preferences loaded from '%s'.\n\n", kStartupScript);
    }
    return ran;
}

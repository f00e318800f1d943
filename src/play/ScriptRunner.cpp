// The script runner's entry.
#include "play/ScriptRunner.h"

#include "play/Output.h"
#include "play/ScriptState.h"

#include <cstdio>
#include <cstring>
#include <string>

bool RunScript(bool reportMissing, int32_t argc, char** argv, ExprValue* /*result*/) {
    (void)argc;
    // Script files are not run yet: every name is one that opens no file. The name is the
    // word's value (a text as it is, a number as hexadecimal digits), or the word itself.
    std::string name = argv[0];
    ExprValue value{};
    if (ExprEvaluate(argv[0], std::strlen(argv[0]), &value, CurrentScope(), nullptr) == 0) {
        if (value.IsString != 0) {
            name = value.Text;
        } else {
            char digits[16];
            std::snprintf(digits, sizeof(digits), "%X", value.Number);
            name = digits;
        }
    }
    if (reportMissing) {
        // The last path tried: the last search entry, the name and ".txt".
        const std::string path = std::string(g_RunPath[kRunPathEntries - 1]) + name + ".txt";
        PlayPrint(CAT_ERR,
                  "ERROR: '%s' is not a valid command or script file which can be opened.\n",
                  path.c_str());
    }
    return false;
}

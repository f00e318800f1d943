// INIT: initialises the controller from the configuration block, part by part as its flags
// allow.
#include "common/Text.h"
#include "hcl/HclError.h"
#include "hcl/HclStart.h"
#include "play/DisplayCommands.h"
#include "play/Output.h"

#include <string>

namespace {

struct InitWord {
    const char* Word;
    uint32_t Flag;
};

constexpr InitWord kInitWords[] = {
    {"NOREGS", oxHCL_INIT_NOREGS},     {"NOLCDS", oxHCL_INIT_NOLCDS},
    {"NOLUT", oxHCL_INIT_NOLUT},       {"NOVRAM", oxHCL_INIT_NOVRAM},
    {"NOCRC", oxHCL_INIT_NOCRC},       {"ONLYREGS", oxHCL_INIT_ONLYREGS},
    {"ONLYLCDS", oxHCL_INIT_ONLYLCDS}, {"ONLYLUT", oxHCL_INIT_ONLYLUT},
    {"ONLYVRAM", oxHCL_INIT_ONLYVRAM}, {"ONLYCRC", oxHCL_INIT_ONLYCRC},
};

constexpr uint32_t kNoFlags =
    oxHCL_INIT_NOREGS | oxHCL_INIT_NOLCDS | oxHCL_INIT_NOLUT | oxHCL_INIT_NOVRAM | oxHCL_INIT_NOCRC;

const char* const kInitUsage[] = {
    "\n",
    " INIT [NOREGS] [NOLCDS] [NOLUT] [NOVRAM]\n",
    " INIT |ONLYREGS|ONLYLCDS|ONLYLUT|ONLYVRAM]\n",
    "\n",
    " Initialize registers based on configuration values.\n",
    " NOREGS   - Do not initialize registers.\n",
    " NOLCDS   - Do not initialize the LCD panel.\n",
    " NOLUT    - Do not initialize the Look-Up Tables.\n",
    " NOVRAM   - Do not clear display memory.\n",
    " ONLYREGS - Only initialize registers.\n",
    " ONLYLCDS - Only initialize the LCD panel.\n",
    " ONLYLUT  - Only initialize the Look-Up Tables.\n",
    " ONLYVRAM - Only clear display memory.\n",
    "\nDefault values for INIT:",
    " NOVRAM\n",
};

} // namespace

bool ParseInitFlags(int32_t argc, char** argv, uint32_t* flags, int32_t* badWord) {
    *flags = 0;
    for (int32_t i = 1; i < argc; ++i) {
        const std::string word = UpperAsciiCopy(argv[i]);
        bool known = false;
        for (const InitWord& entry : kInitWords) {
            if (word == entry.Word) {
                *flags |= entry.Flag;
                known = true;
            }
        }
        if (!known) {
            *badWord = i;
            return false;
        }
    }
    if ((*flags & oxHCL_INIT_ONLY_MASK) == 0) {
        *flags |= oxHCL_INIT_NOVRAM;
        return true;
    }
    if ((*flags & kNoFlags) != 0) {
        *badWord = 0;
        return false;
    }
    *flags |= oxHCL_INIT_ONLYCRC;
    return true;
}

bool CmdInit(int32_t argc, char** argv, ExprValue*) {
    if (WantsUsage(argc, argv)) {
        return PrintUsageLines(kInitUsage);
    }
    uint32_t flags = 0;
    int32_t badWord = 0;
    if (!ParseInitFlags(argc, argv, &flags, &badWord)) {
        if (badWord == 0) {
            return PlayPrint(CAT_ERR, "ERROR: INIT cannot combine NOflags with ONLYflags.\n");
        }
        return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
    }
    if (oxHclInitRegisters(flags)) {
        return true;
    }
    // A block that fails its check, or a list that gave up, is the command's failure.
    char text[80];
    oxHclGetLastError(text, sizeof text);
    return PlayPrint(CAT_ERR, "%s\n", text);
}

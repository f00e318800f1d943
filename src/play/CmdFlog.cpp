// FLOG: copies categories of the output to a log file.
#include "play/OutputCommands.h"

#include "common/Text.h"
#include "platform/BoardFiles.h"
#include "platform/PathCase.h"
#include "play/MaskWords.h"
#include "play/Output.h"
#include "play/ScriptState.h"

#include <cstdio>
#include <cstring>
#include <string>

bool CmdFlog(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        static const char* const usage[] = {
            "\n",
            " FLOG Filename [CMD|OUT|SET:ON|OFF]\n",
            " FLOG log.txt CMD:OFF OUT:ON\n",
            " FLOG log.txt SET:OFF\n",
            "\n",
            " Writes to Filename one or more of the following:\n",
            "      CMD - output from command-line and prompts\n",
            "      OUT - any general output or output from PRINT command\n",
            "      SET - output generated from the SET command\n\n",
            " If Filename already exists, output is appended to file.\n",
            " To stop file logging, set the filename to NUL.\n",
        };
        return PrintUsageLines(usage);
    }
    if (argc > 1 && EqualsNoCase(argv[1], "NUL")) {
        if (g_FlogFile == nullptr) {
            return PlayPrint(CAT_ERR,
                             "ERROR: FLOG NUL can only be used after file logging is started.\n");
        }
        std::fclose(g_FlogFile);
        g_FlogFile = nullptr;
        PlayPrint(CAT_ALL, "FLOG stopped file logging.\n");
        return true;
    }
    if (!ApplyMaskWords(argc, argv, 2, &g_FlogMask)) {
        return false;
    }
    if (g_CurFrame == nullptr || argc == 1) {
        PrintMask("FLOG VERBOSE", g_FlogMask);
    }
    if (argc == 1) {
        return true;
    }

    // The name is the word's value (so "flog $LogName" works), or the word itself when it does
    // not evaluate.
    std::string name = argv[1];
    ExprValue value{};
    if (ExprEvaluate(argv[1], std::strlen(argv[1]), &value, CurrentScope(), nullptr) == 0) {
        name = value.IsString != 0 ? std::string(value.Text) : std::to_string(value.Number);
    }
    if (g_FlogFile != nullptr) {
        std::fclose(g_FlogFile);
        g_FlogFile = nullptr;
    }
    const std::string path = ResolvePathIgnoringCase(name);
    g_FlogFile = IsBoardFile(path) ? nullptr : std::fopen(path.c_str(), "a+");
    if (g_FlogFile == nullptr) {
        return PlayPrint(CAT_ERR, "ERROR: Could not open file '%s' for writing.\n", name.c_str());
    }
    g_FlogName = name;
    return true;
}

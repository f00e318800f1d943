// INPUT: a key, a key already pressed, or a line typed by the user, given back as a text.
#include "common/Text.h"
#include "platform/Console.h"
#include "play/Args.h"
#include "play/KeyName.h"
#include "play/LineEditor.h"
#include "play/Output.h"
#include "play/ScriptCommands.h"

#include <cstdio>
#include <string>

namespace {

constexpr uint32_t kInputLineSize = 256;

void PrintUsage(const char* commandWord) {
    const std::string word = UpperAsciiCopy(commandWord);
    const char* w = word.c_str();
    PlayPrint(CAT_OUT, "\n");
    PlayPrint(CAT_OUT, " %s LINE|KEY|PEEK\n", w);
    PlayPrint(CAT_OUT, " %s PEEK\n\n", w);
    PlayPrint(CAT_OUT, " $var = %s PEEK\n", w);
    PlayPrint(CAT_OUT, " $var = %s LINE\n", w);
    PlayPrint(CAT_OUT,
              " Gets user keyboard input. KEY waits for only one keystroke, where LINE will\n");
    PlayPrint(CAT_OUT, " cause this command to wait until the user types the Enter key. PEEK is\n");
    PlayPrint(CAT_OUT, " similar to KEY, but returns immediately (with $var=) if user had not\n");
    PlayPrint(CAT_OUT, " hit any key. If user did hit a key, then $var will contain that value.\n");
}

bool EndOfInput() {
    return PlayPrint(CAT_ERR, "ERROR: End of input.\n");
}

void SetText(ExprValue* result, const char* text) {
    *result = ExprValue{};
    result->IsString = 1;
    std::snprintf(result->Text, sizeof(result->Text), "%s", text);
}

} // namespace

bool CmdInput(int32_t argc, char** argv, ExprValue* result) {
    if (WantsUsage(argc, argv)) {
        PrintUsage(argv[0]);
        return true;
    }
    if (argc < 2) {
        return PlayPrint(CAT_ERR, "ERROR: Not enough arguments.\n");
    }
    if (argc > 2) {
        return PlayPrint(CAT_ERR, "ERROR: Too many arguments.\n");
    }
    const std::string_view mode = argv[1];
    if (EqualsNoCase(mode, "key") || EqualsNoCase(mode, "peek")) {
        std::fflush(stdout);
        if (EqualsNoCase(mode, "peek") && !ConsoleKbhit()) {
            SetText(result, "");
            return true;
        }
        char name[kKeyNameSize];
        if (!ReadKeyName(name)) {
            return EndOfInput();
        }
        SetText(result, name);
        return true;
    }
    if (EqualsNoCase(mode, "line")) {
        std::fflush(stdout);
        char line[kInputLineSize] = {};
        if (ReadPlainLine(line, sizeof(line)) == nullptr && LineInputEnded()) {
            return EndOfInput();
        }
        SetText(result, line);
        return true;
    }
    return PrintCaretError(ArgsTextLength(argv, 1), "ERROR: Invalid argument.\n");
}

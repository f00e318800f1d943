// PRINT: writes text expressions, escapes resolved, without a line end of its own.
#include "common/Text.h"
#include "play/Args.h"
#include "play/Output.h"
#include "play/ScriptCommands.h"
#include "play/WordValue.h"

#include <string>

namespace {

void PrintUsage(const char* commandWord) {
    const std::string word = UpperAsciiCopy(commandWord);
    const char* w = word.c_str();
    PlayPrint(CAT_OUT, "\n");
    PlayPrint(CAT_OUT, " %s \"Hello world\\n\"                     = \"Hello world\" (linewrap)\n",
              w);
    PlayPrint(CAT_OUT, " %s $usertext                           = \"hi mom\"\n", w);
    PlayPrint(CAT_OUT, " %s $var.s                              = \"4\"\n", w);
    PlayPrint(CAT_OUT, " %s $var.s10                            = \"0000000004\"\n", w);
    PlayPrint(CAT_OUT, " %s 3c.s                                = \"3C\"\n", w);
    PlayPrint(CAT_OUT, " %s 3c.st                               = \"60\"\n", w);
    PlayPrint(CAT_OUT, " %s 3c.sh4                              = \"  3C\"\n", w);
    PlayPrint(CAT_OUT, " %s 3c.sh04                             = \"003C\"\n", w);
    PlayPrint(CAT_OUT, " %s REG[0104h].sh4 \"h\"                  = \"1234h\"\n", w);
    PlayPrint(CAT_OUT,
              " %s \"coords=\" $x.st \",\" $y.st \"\\n\"      = \"coords=4,6\" (linewrap)\n", w);
    PlayPrint(CAT_OUT, " %s \"coords={$x.st},{$y.st}\\n\"          = \"coords=4,6\" (linewrap)\n\n",
              w);
    PlayPrint(CAT_OUT,
              " Prints a message, text token, or any expression that evaluates to text.\n");
    PlayPrint(CAT_OUT,
              " Use \"\\n\" to wrap to the next line. Any valid expression within {braces}\n");
    PlayPrint(CAT_OUT, " will be processed and substituted by the results.\n");
}

} // namespace

bool CmdPrint(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        PrintUsage(argv[0]);
        return true;
    }
    for (int32_t i = 1; i < argc; ++i) {
        ExprValue value{};
        const char* errorText = nullptr;
        const uint32_t error = EvaluateWord(argv[i], &value, &errorText);
        if (error != 0) {
            PlayPrint(CAT_ERR, "\n");
            return PrintCaretError(ArgsTextLength(argv, i) + error - 1, "\nERROR: %s\n", errorText);
        }
        if (value.IsString == 0) {
            PlayPrint(CAT_ERR, "\n");
            return PrintCaretError(ArgsTextLength(argv, i),
                                   "\nERROR: Expected a text expression here (not numerical).\n");
        }
        UnescapeStr(value.Text);
        if (!PlayPrint(CAT_OUT, "%s", value.Text)) {
            return false;
        }
    }
    return true;
}

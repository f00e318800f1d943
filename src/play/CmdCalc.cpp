// CALC: evaluates one expression and prints its value.
#include "play/CmdCalc.h"

#include "common/Text.h"
#include "play/Args.h"
#include "play/Output.h"
#include "play/ScriptState.h"

#include <cstring>
#include <string>

namespace {

// The value CALC keeps between calls.
ExprValue s_CalcValue{};

} // namespace

bool CmdCalc(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        PlayPrint(CAT_OUT, "\n");
        PlayPrint(CAT_OUT, " %s expression\n\n", UpperAsciiCopy(argv[0]).c_str());
        PlayPrint(CAT_OUT, " Built-in calculator.\n");
        return true;
    }
    if (argc > 2) {
        return PlayPrint(CAT_ERR, "ERROR: %s only takes one parameter.\n",
                         UpperAsciiCopy(argv[0]).c_str());
    }
    if (argc == 2) {
        // A failed evaluation leaves the kept value as it was.
        ExprValue value{};
        const char* errorText = nullptr;
        const uint32_t error =
            ExprEvaluate(argv[1], std::strlen(argv[1]), &value, CurrentScope(), &errorText);
        if (error != 0) {
            return PrintCaretError(ArgsTextLength(argv, 1) + error - 1, "ERROR: %s\n",
                                   errorText != nullptr ? errorText : "Invalid syntax.");
        }
        s_CalcValue = value;
    }
    if (s_CalcValue.IsString) {
        return PlayPrint(CAT_SET, "\"%s\"\n", s_CalcValue.Text);
    }
    return PlayPrint(CAT_SET, "%lXh (%lut)\n", static_cast<unsigned long>(s_CalcValue.Number),
                     static_cast<unsigned long>(s_CalcValue.Number));
}

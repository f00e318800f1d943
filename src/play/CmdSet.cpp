// SET: shows and sets tokens and $variables, lists the variables, and asks for values.
#include "common/Numbers.h"
#include "play/Args.h"
#include "play/ChipTexts.h"
#include "play/FeatureAccess.h"
#include "play/LineEditor.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/ScriptState.h"
#include "play/TokenAccess.h"
#include "play/TokenCommands.h"
#include "play/TokenParts.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kAnswerSize = 256;

// clang-format off
constexpr std::array kUsageLines = {
    "\n",
    " %s token    [expression]\n",
    "\n",
    " %s 28       14                          = Sets REG[28] to 14h\n",
    " %s 28       .                           = Prompts user for value\n",
    " %s reg[28]  35                          = Sets REG[28] to 35h\n",
    " %s hdp      320t                        = Sets HDP feature to 320 (dec)\n",
    " %s clki     \"27.000 MHz\"                = Sets CLKI feature's frequency\n",
    " %s $MyVar   42                          = Sets/creates local variable\n",
    " %s $a[0]    95                          = Sets/creates 1-D array variable\n",
    " %s $$Foo    38t                         = Sets/creates global variable\n",
    "\n",
    " Set [or view] tokens.\n",
    " token      - Registers, features (bitfields), $variables, $$globals.\n",
    " expression - Value to write to token or period (.) to prompt user.\n",
};
// clang-format on

bool PrintUsage(const char* word) {
    for (const char* line : kUsageLines) {
        if (!PlayPrint(CAT_OUT, line, word, word)) {
            break;
        }
    }
    return true;
}

bool EchoSets() {
    return (EffectiveVerbose() & CAT_SET) != 0 || SingleStepping();
}

bool PrintVariable(const char* name, const ExprValue& value) {
    if (value.IsString != 0) {
        return PlayPrint(CAT_SET, "%s = \"%s\"\n", name, value.Text);
    }
    return PlayPrint(CAT_SET, "%s = %Xh (%lut)\n", name, value.Number,
                     static_cast<unsigned long>(value.Number));
}

// "set" alone: the variables of the running script's scope (the globals at the prompt).
bool ListVariables() {
    const char* scope = CurrentScope();
    const char* name = nullptr;
    uint32_t n = 0;
    ExprValue value{};
    for (; ExprVarName(n, &name, scope, &value); ++n) {
        if (!PrintVariable(name, value)) {
            return true;
        }
    }
    if (n == 0) {
        return PlayPrint(CAT_OUT, "No user variables were found.\n");
    }
    return true;
}

// Evaluates a word that stands at column of the echoed line; a caret error under it.
bool EvaluateWord(const char* word, uint32_t column, ExprValue* value) {
    const char* errorText = nullptr;
    const uint32_t error = ExprEvaluate(word, std::strlen(word), value, CurrentScope(), &errorText);
    if (error != 0) {
        return PrintCaretError(column + error - 1, "ERROR: %s\n",
                               errorText != nullptr ? errorText : "Invalid syntax.");
    }
    return true;
}

bool SetVariable(int32_t argc, char** argv) {
    const char* scope = CurrentScope();
    char name[256];
    size_t nameLength = 0;
    const char* errorText = nullptr;
    const uint32_t error =
        ExprElementName(argv[1], std::strlen(argv[1]), scope, name, &nameLength, &errorText);
    if (error != 0) {
        return PrintCaretError(ArgsTextLength(argv, 1) + error - 1, "ERROR: %s\n",
                               errorText != nullptr ? errorText : "Invalid syntax.");
    }
    ExprValue value{};
    if (argc == 2) {
        if (!ExprGetVar(name, nameLength, &value, scope)) {
            return PlayPrint(CAT_ERR, "ERROR: Variable does not exist.\n");
        }
    } else {
        if (!EvaluateWord(argv[2], ArgsTextLength(argv, 2), &value)) {
            return false;
        }
        if (!ExprSetVar(name, nameLength, &value, scope)) {
            return PlayPrint(CAT_ERR, "ERROR: Failed to create user variable; exceeded maximum "
                                      "number of variables.\n");
        }
    }
    PrintVariable(name, value);
    return true;
}

// A token word that is a hexadecimal number names that register: "28" becomes "REG[28h]".
void RewriteRegisterIndex(char* word) {
    const size_t length = std::strlen(word);
    uint32_t radix = 16;
    if (length == 0 || !GetNumberRadix(word, length, 16, &radix) || radix != 16) {
        return;
    }
    const uint32_t index = StrToNumN(word, length, 16);
    std::snprintf(word, kArgSize, "REG[%0*Xh]", static_cast<int>(g_ChipDef.GetDefaultIndexWidth()),
                  index);
}

bool SetToken(int32_t argc, char** argv) {
    // Carets stand under the words as typed, before a register index is rewritten.
    const uint32_t valueColumn = ArgsTextLength(argv, 2);
    RewriteRegisterIndex(argv[1]);
    const char* token = argv[1];
    const uint32_t length = static_cast<uint32_t>(std::strlen(token));
    const uint32_t column = ArgsTextLength(argv, 1);
    if (argc == 3 && std::strcmp(argv[2], ".") == 0) {
        return SetRegisterInteractive(token, length, column);
    }
    const char* errorText = nullptr;
    ExprValue value{};
    uint32_t error = 0;
    if (argc == 3) {
        if (!EvaluateWord(argv[2], valueColumn, &value)) {
            return false;
        }
        error = SetTokenValue(token, length, &value, EchoSets(), &errorText);
    } else {
        error = GetTokenValue(token, length, &value, EchoSets(), &errorText);
    }
    if (error != 0) {
        return PrintCaretError(column + error - 1, "ERROR: %s\n", errorText);
    }
    return true;
}

// Asks for a bit location of register index and then for its feature's value.
bool AskRegisterBit(uint32_t index) {
    const std::string detail = RegisterDetailText(index, g_ScreenWidth);
    PlayPrint(CAT_OUT, "%s\n", detail.c_str());
    if (g_ChipDef.IsRegisterReadOnly(index, false)) {
        PlayPrint(CAT_OUT, "WARNING: This register is read-only and should not be set.\n");
    }
    PlayPrint(CAT_OUT, "Select bit location>");
    std::fflush(stdout);
    char answer[kAnswerSize] = {};
    if (ReadPlainLine(answer, kAnswerSize) == nullptr || answer[0] == '\0') {
        return true;
    }
    const size_t length = std::strlen(answer);
    // A register holds bits 0 to 31 only.
    if (!IsNumberInRadix(answer, length, 10) || length > 2 || StrToNumN(answer, length, 10) > 31) {
        return PlayPrint(CAT_ERR, "ERROR: Not a valid bit location.\n");
    }
    const char* feature = g_ChipDef.GetFeatureAtBit(index, false, StrToNumN(answer, length, 10));
    if (feature == nullptr) {
        return PlayPrint(CAT_ERR, "ERROR: No feature exists at that bit location.\n");
    }
    const std::string name = feature;
    PlayPrint(CAT_OUT, "\n");
    PlayPrint(CAT_OUT, "=set %s .\n", name.c_str());
    const char* errorText = nullptr;
    if (ShowFeatureValue(name.c_str(), static_cast<uint32_t>(name.size()), &errorText) != 0) {
        return PlayPrint(CAT_ERR, "ERROR: %s\n", errorText);
    }
    return true;
}

} // namespace

bool SetRegisterInteractive(const char* target, uint32_t length, uint32_t caretColumn) {
    ParsedToken token;
    const char* errorText = nullptr;
    uint32_t error = ParseToken(target, length, &token, &errorText);
    if (error == 0) {
        switch (token.Kind) {
        case TokenKind::Reg: {
            uint32_t index = 0;
            uint32_t mask = 0;
            uint32_t high = 0;
            uint32_t low = 0;
            const char* contents = target + token.Contents;
            const char* indexError = nullptr;
            if (!ParseRegisterSpec(contents, token.Length, &index, &mask, &high, &low) &&
                (LooksLikeRegisterSpec(contents, token.Length) ||
                 EvalToNumber(contents, token.Length, &index, &indexError) != 0)) {
                error = TokenError(&errorText, "Invalid syntax.", token.Contents + 1);
                break;
            }
            if (!g_ChipDef.FindRegister(index, false, nullptr, nullptr)) {
                error = TokenError(&errorText, "Not a valid register.", 1);
                break;
            }
            return AskRegisterBit(index);
        }
        case TokenKind::Disp:
        case TokenKind::Sys:
            error = TokenError(&errorText, "Not supported.", 1);
            break;
        case TokenKind::Arg:
            error = TokenError(&errorText, "ARG[] is read-only and cannot be set.", 1);
            break;
        case TokenKind::ArgN:
            error = TokenError(&errorText, "ARGN is read-only and cannot be set.", 1);
            break;
        case TokenKind::RetVal:
        case TokenKind::Rand:
        case TokenKind::Feature:
            error = ShowFeatureValue(target, length, &errorText);
            break;
        default:
            error = TokenError(&errorText, "Unknown array.", 1);
            break;
        }
    }
    if (error != 0) {
        return PrintCaretError(caretColumn + error - 1, "ERROR: %s\n", errorText);
    }
    return true;
}

bool CmdSet(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        return PrintUsage(argv[0]);
    }
    if (argc >= 4) {
        return PlayPrint(CAT_ERR, "ERROR: Too many arguments.\n");
    }
    if (argc == 1) {
        return ListVariables();
    }
    if (argv[1][0] == '$') {
        return SetVariable(argc, argv);
    }
    return SetToken(argc, argv);
}

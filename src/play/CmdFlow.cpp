// IF, ELSE and WHILE: single-line conditions and loops. The executor gives each of them the rest
// of its line; their statements are the words after the condition (and THEN or DO), joined
// with single blanks and run through the executor again, however long the line is.
#include "play/Args.h"
#include "play/Executor.h"
#include "play/FlowWords.h"
#include "play/Output.h"
#include "play/RunState.h"
#include "play/ScriptCommands.h"
#include "play/ScriptState.h"
#include "play/WordValue.h"

#include <string>

namespace {

// The index of the first statement word after the condition and the optional keyword.
int32_t StatementStart(int32_t argc, char** argv, bool (*isKeyword)(const char*)) {
    return argc > 2 && isKeyword(argv[2]) ? 3 : 2;
}

bool RunStatements(const std::string& statements) {
    return ExecuteStatements(statements.c_str(), statements.size(), nullptr);
}

} // namespace

bool CmdIf(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        static const char* const usage[] = {
            "\n",
            " IF expression [THEN] statements\n\n",
            " Conditional IF construct.\n",
        };
        return PrintUsageLines(usage);
    }
    const int32_t first = StatementStart(argc, argv, IsThenWord);
    if (first >= argc) {
        return PlayPrint(CAT_ERR, "ERROR: Improper IF construct.\n");
    }
    const char* errorText = nullptr;
    const uint32_t error = EvaluateWord(argv[1], &g_LastIf, &errorText);
    if (error != 0) {
        g_LastIf = ExprValue{};
        return PrintCaretError(ArgsTextLength(argv, 1) + error - 1, "ERROR: %s\n", errorText);
    }
    if (!IsTrueCondition(g_LastIf)) {
        return true;
    }
    return RunStatements(JoinWords(argv, first, argc));
}

bool CmdElse(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        static const char* const usage[] = {
            "\n",
            " ELSE statements\n\n",
            " Contrary condition of the last IF statement.\n",
        };
        return PrintUsageLines(usage);
    }
    if (argc < 2) {
        return PlayPrint(CAT_ERR, "ERROR: Missing statements in ELSE construct.\n");
    }
    if (IsTrueCondition(g_LastIf)) {
        return true;
    }
    return RunStatements(JoinWords(argv, 1, argc));
}

bool CmdWhile(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        static const char* const usage[] = {
            "\n",
            " WHILE expression [DO] statements\n\n",
            " Conditional WHILE construct.\n",
        };
        return PrintUsageLines(usage);
    }
    const int32_t first = StatementStart(argc, argv, IsDoWord);
    if (first >= argc) {
        return PlayPrint(CAT_ERR, "ERROR: Improper WHILE construct.\n");
    }
    const std::string statements = JoinWords(argv, first, argc);
    // Q inside the loop ends it, as it ends every running script.
    for (bool firstTime = true; !g_Quit; firstTime = false) {
        ExprValue condition{};
        const char* errorText = nullptr;
        const uint32_t error = EvaluateWord(argv[1], &condition, &errorText);
        if (error != 0) {
            if (firstTime) {
                return PrintCaretError(ArgsTextLength(argv, 1) + error - 1, "ERROR: %s\n",
                                       errorText);
            }
            return PlayPrint(CAT_ERR, "ERROR: %s\n", errorText);
        }
        if (!IsTrueCondition(condition)) {
            return true;
        }
        if (!RunStatements(statements)) {
            return false;
        }
    }
    return true;
}

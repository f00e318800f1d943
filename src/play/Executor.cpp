// The statement executor and the dispatcher.
#include "play/Executor.h"

#include "common/Text.h"
#include "hcl/HclBoard.h"
#include "play/Acquisition.h"
#include "play/Output.h"
#include "play/RunState.h"
#include "play/ScriptState.h"
#include "play/TokenAccess.h"

#include <cstring>

namespace {

// What the dispatcher runs: the command table and the runner of a word that names no command.
std::span<const CommandEntry> s_Commands;
ScriptRunnerHook s_RunScript = nullptr;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The first word of a statement compared as a whole word, ignoring case, with IF, ELSE, WHILE.
bool IsFlowWord(const char* word, size_t length) {
    static const char* const flow[] = {"IF", "ELSE", "WHILE"};
    for (const char* keyword : flow) {
        if (EqualsNoCase({word, length}, keyword)) {
            return true;
        }
    }
    return false;
}

// Stores the command's result in the assignment's target; false after the error.
bool Assign(const char* line, size_t targetStart, size_t targetLength, const ExprValue& value) {
    const char* target = line + targetStart;
    if (target[0] == '$') {
        const char* scope = CurrentScope();
        char name[256];
        size_t nameLength = 0;
        const char* errorText = nullptr;
        const uint32_t error =
            ExprElementName(target, targetLength, scope, name, &nameLength, &errorText);
        if (error != 0) {
            return PrintCaretError(static_cast<uint32_t>(targetStart + error - 1), "ERROR: %s\n",
                                   errorText != nullptr ? errorText : "Invalid syntax.");
        }
        if (!ExprSetVar(name, nameLength, &value, scope)) {
            return PrintCaretError(static_cast<uint32_t>(targetStart),
                                   "ERROR: Failed to create user variable; exceeded maximum "
                                   "number of variables.\n");
        }
        return true;
    }
    // A token: registers, features, memory and the script's own tokens (echoed when CAT_SET is
    // shown or a script is single-stepping).
    const bool echo = (EffectiveVerbose() & CAT_SET) != 0 || SingleStepping();
    const char* errorText = nullptr;
    const uint32_t error =
        SetTokenValue(target, static_cast<uint32_t>(targetLength), &value, echo, &errorText);
    if (error != 0) {
        return PrintCaretError(static_cast<uint32_t>(targetStart + error - 1), "ERROR: %s\n",
                               errorText);
    }
    return true;
}

} // namespace

void SetCommandTable(std::span<const CommandEntry> table, ScriptRunnerHook runScript) {
    s_Commands = table;
    s_RunScript = runScript;
}

bool DispatchCommand(int32_t argc, char** argv, ExprValue* result) {
    LowerAsciiInPlace(argv[0]);
    uint32_t row = 0;
    if (!FindCommand(s_Commands, argv[0], &row)) {
        return s_RunScript != nullptr && s_RunScript(true, argc, argv, result);
    }
    const CommandEntry& entry = s_Commands[row];
    if (entry.m_Handler == nullptr) {
        return PlayPrint(CAT_ERR, "ERROR: This command is not implemented yet.\n");
    }
    if (!g_Acquired && entry.m_NoCardOk == 0 && !(argc == 2 && argv[1][0] == '?')) {
        return ReportNotAcquired();
    }
    // Only RESET changes Q3VBOARD while Play runs, and it reports the change: the command's
    // requests read the board number once instead of searching the environment each time.
    const HclBoardScope boardScope;
    return entry.m_Handler(argc, argv, result);
}

bool ExecuteStatements(const char* line, size_t length, bool* ran) {
    if (ran != nullptr) {
        *ran = false;
    }
    ArgVector args;
    size_t pos = 0;
    for (;;) {
        // The statement starts at its first character other than a blank or a tab.
        size_t start = pos;
        while (start < length && IsBlank(line[start])) {
            ++start;
        }
        size_t firstWordEnd = start;
        while (firstWordEnd < length && !IsBlank(line[firstWordEnd])) {
            ++firstWordEnd;
        }
        const bool flow = IsFlowWord(line + start, firstWordEnd - start);

        bool assignment = false;
        size_t targetEnd = start;
        size_t commandStart = start;
        size_t end = length;
        bool lineDone = true;
        bool firstBlankSeen = false;
        bool quoted = false;
        for (size_t i = start; i < length; ++i) {
            const char c = line[i];
            if (c == ' ' && !firstBlankSeen) {
                firstBlankSeen = true;
                if (i + 2 < length && line[i + 1] == '=' && line[i + 2] == ' ') {
                    assignment = true;
                    targetEnd = i;
                    commandStart = i + 2;
                    while (commandStart < length && IsBlank(line[commandStart])) {
                        ++commandStart;
                    }
                    i = i + 2;
                    continue;
                }
                if (flow) {
                    break; // the flow command takes the rest of the line
                }
            }
            if (c == '"' && (i == 0 || line[i - 1] != '\\')) {
                quoted = !quoted;
            } else if (!quoted && c == '\'') {
                end = i;
                break;
            } else if (!quoted && c == ';') {
                end = i;
                lineDone = false;
                break;
            }
        }

        if (end > start) {
            const size_t commandLength = end > commandStart ? end - commandStart : 0;
            SplitRefusal refusal;
            const int32_t argc =
                SplitArgs(line + commandStart, commandLength, args.Words(), &refusal);
            if (argc == kSplitRefused) {
                return PrintCaretError(static_cast<uint32_t>(commandStart + refusal.Column),
                                       "ERROR: %s\n", refusal.Text);
            }
            if (argc >= kMaxArgs) {
                return PlayPrint(CAT_ERR, "ERROR: Too many arguments (max %u).\n",
                                 static_cast<unsigned>(kMaxArgs - 1));
            }
            if (argc > 0) {
                if (ran != nullptr) {
                    *ran = true;
                }
                ExprValue value{};
                if (!DispatchCommand(argc, args.Words(), &value)) {
                    return false;
                }
                if (assignment && !Assign(line, start, targetEnd - start, value)) {
                    return false;
                }
            }
        }
        if (lineDone) {
            return true;
        }
        pos = end + 1;
    }
}

// The tokens that a running script answers itself: arg[n], argn and retval.
#include "play/ScriptTokens.h"

#include "common/Text.h"
#include "play/Output.h"
#include "play/ScriptState.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

// A name without brackets names the word when it is a beginning of it (any case).
bool BeginsWord(std::string_view name, const char* word) {
    return !name.empty() && name.size() <= std::strlen(word) &&
           CompareNoCase(name.data(), word, name.size()) == 0;
}

uint32_t Fail(const char** errorText, const char* text, uint32_t column) {
    *errorText = text;
    return column;
}

// The index of arg[...]: the expression between the brackets, evaluated in the running
// script's scope. 0 or a column.
uint32_t ArgIndex(const char* text, uint32_t length, uint32_t* index, const char** errorText) {
    const char* open = static_cast<const char*>(std::memchr(text, '[', length));
    const uint32_t openAt = static_cast<uint32_t>(open - text);
    const char* close = static_cast<const char*>(std::memchr(open + 1, ']', length - openAt - 1));
    if (close == nullptr) {
        return Fail(errorText, "Missing closing bracket.", openAt + 1);
    }
    const uint32_t closeAt = static_cast<uint32_t>(close - text);
    if (closeAt == openAt + 1) {
        return Fail(errorText, "Missing contents in brackets.", closeAt + 1);
    }
    ExprValue value{};
    const char* indexError = nullptr;
    const uint32_t error =
        ExprEvaluate(open + 1, closeAt - openAt - 1, &value, CurrentScope(), &indexError);
    if (error != 0) {
        return Fail(errorText, "Unknown token or expression.", openAt + 2);
    }
    if (value.IsString != 0) {
        return Fail(errorText, "Value cannot be a string.", openAt + 2);
    }
    *index = value.Number;
    return 0;
}

} // namespace

ScriptToken FindScriptToken(const char* text, uint32_t length) {
    const std::string_view name(text, length);
    const size_t bracket = name.find('[');
    if (bracket != std::string_view::npos) {
        return EqualsNoCase(name.substr(0, bracket), "arg") ? ScriptToken::Arg : ScriptToken::None;
    }
    // The order of the name rule: argn first, then retval.
    if (BeginsWord(name, "argn")) {
        return ScriptToken::ArgN;
    }
    if (BeginsWord(name, "retval")) {
        return ScriptToken::RetVal;
    }
    return ScriptToken::None;
}

uint32_t GetScriptToken(const char* text, uint32_t length, ExprValue* value,
                        const char** errorText) {
    const ScriptToken token = FindScriptToken(text, length);
    switch (token) {
    case ScriptToken::ArgN:
        if (g_CurFrame == nullptr) {
            return Fail(errorText, "ARGN does not exist (only in script files).", 1);
        }
        *value = ExprValue{};
        value->Number = g_CurFrame->m_Argc;
        return 0;
    case ScriptToken::RetVal:
        if (g_CurFrame == nullptr) {
            return Fail(errorText, "RETVAL does not exist (only in script files).", 1);
        }
        *value = g_CurFrame->m_RetVal;
        return 0;
    case ScriptToken::Arg: {
        if (g_CurFrame == nullptr) {
            return Fail(errorText, "ARG does not exist (only in script files).", 1);
        }
        uint32_t index = 0;
        const uint32_t error = ArgIndex(text, length, &index, errorText);
        if (error != 0) {
            return error;
        }
        if (index >= g_CurFrame->m_Argc) {
            return Fail(errorText, "Trying to access an ARG[] that exceeds ARGN.", 1);
        }
        *value = ExprValue{};
        value->IsString = 1;
        std::snprintf(value->Text, sizeof(value->Text), "%s", g_CurFrame->m_Argv[index]);
        return 0;
    }
    case ScriptToken::None:
        break;
    }
    return Fail(errorText, "Unknown token or expression.", 1);
}

uint32_t SetScriptToken(const char* text, uint32_t length, const ExprValue* value, bool echo,
                        const char** errorText) {
    switch (FindScriptToken(text, length)) {
    case ScriptToken::ArgN:
        return Fail(errorText, "ARGN is read-only and cannot be set.", 1);
    case ScriptToken::Arg:
        return Fail(errorText, "ARG[] is read-only and cannot be set.", 1);
    case ScriptToken::RetVal:
        if (g_CurFrame == nullptr) {
            return Fail(errorText, "RETVAL does not exist (only in script files).", 1);
        }
        g_CurFrame->m_RetVal = *value;
        g_CurFrame->m_RetVal.Text[EXPR_TEXT_MAX] = '\0';
        if (echo) {
            if (value->IsString != 0) {
                PlayPrint(CAT_SET, "RETVAL = \"%s\"\n", g_CurFrame->m_RetVal.Text);
            } else {
                PlayPrint(CAT_SET, "RETVAL = %Xh (%dt)\n", value->Number,
                          static_cast<int>(value->Number));
            }
        }
        return 0;
    case ScriptToken::None:
        break;
    }
    return Fail(errorText, "Unknown feature or token.", 1);
}

uint32_t ResolveScriptTokens(const char* text, uint32_t length, ExprValue* value,
                             const char** errorText) {
    return GetScriptToken(text, length, value, errorText);
}

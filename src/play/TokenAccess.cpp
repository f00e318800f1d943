// Token access: the name rule, the parse of a token text, and reading and writing the tokens
// that need no hardware (the script's own, rand, fexist); registers and memory are in
// TokenHardware.cpp, features in TokenFeatures.cpp.
#include "play/TokenAccess.h"

#include "common/Text.h"
#include "platform/PathCase.h"
#include "play/FeatureAccess.h"
#include "play/Output.h"
#include "play/RunState.h"
#include "play/ScriptState.h"
#include "play/ScriptTokens.h"
#include "play/TokenParts.h"

#include <cctype>
#include <cstring>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace {

constexpr uint64_t kRandMultiplier = 16807;
constexpr uint64_t kRandModulus = 2147483647; // 2^31 - 1

// A name without brackets names the word when it is a beginning of it (any case).
bool BeginsWord(std::string_view name, const char* word) {
    return !name.empty() && name.size() <= std::strlen(word) &&
           CompareNoCase(name.data(), word, name.size()) == 0;
}

bool StartsNoCase(std::string_view name, const char* prefix) {
    const size_t length = std::strlen(prefix);
    return name.size() >= length && CompareNoCase(name.data(), prefix, length) == 0;
}

// The width digit after an array's name: "1" 16, "3" 32, "8" 8; none gives 0 (the default).
uint32_t WidthAfterName(std::string_view rest) {
    for (char c : rest) {
        if (c == '1') {
            return 16;
        }
        if (c == '3') {
            return 32;
        }
        if (c == '8') {
            return 8;
        }
        if (c >= '0' && c <= '9') {
            break;
        }
    }
    return 0;
}

TokenKind ArrayKind(std::string_view name, uint32_t* stem) {
    struct Row {
        const char* Prefix;
        TokenKind Kind;
    };
    // Tested in this order; a name beginning with "reg" is a register.
    static const Row rows[] = {
        {"reg", TokenKind::Reg}, {"disp", TokenKind::Disp},         {"sys", TokenKind::Sys},
        {"bar", TokenKind::Bar}, {"usbsetup", TokenKind::UsbSetup}, {"fexist", TokenKind::Fexist},
    };
    for (const Row& row : rows) {
        if (StartsNoCase(name, row.Prefix)) {
            *stem = static_cast<uint32_t>(std::strlen(row.Prefix));
            return row.Kind;
        }
    }
    return TokenKind::UnknownArray;
}

// fexist[...]: 1 when the name exists, whatever it is (a file, a folder, a device), looked up
// again ignoring case when not found as given (command-line words arrive lower-cased).
uint32_t FileExists(const char* text, const ParsedToken& token, ExprValue* value, bool show,
                    const char** errorText) {
    ExprValue name{};
    const char* nameError = nullptr;
    const uint32_t error =
        ExprEvaluate(text + token.Contents, token.Length, &name, CurrentScope(), &nameError);
    if (error != 0) {
        return TokenError(errorText, nameError != nullptr ? nameError : "Invalid syntax.",
                          token.Contents + error);
    }
    if (name.IsString == 0) {
        return TokenError(errorText, "Value must be a string.", token.Contents + 1);
    }
    struct stat info {};
    const bool exists = ::stat(ResolvePathIgnoringCase(name.Text).c_str(), &info) == 0;
    *value = ExprValue{};
    value->Number = exists ? 1 : 0;
    if (show) {
        PlayPrint(CAT_SET, "fexist[\"%s\"] = %d\n", name.Text, exists ? 1 : 0);
    }
    return 0;
}

void ShowScriptToken(ScriptToken kind, const ExprValue& value) {
    if (kind == ScriptToken::ArgN) {
        PlayPrint(CAT_SET, "ARGN = %Xh (%dt)\n", value.Number, static_cast<int>(value.Number));
    } else if (value.IsString != 0) {
        PlayPrint(CAT_SET, "RETVAL = \"%s\"\n", value.Text);
    } else {
        PlayPrint(CAT_SET, "RETVAL = %Xh (%dt)\n", value.Number, static_cast<int>(value.Number));
    }
}

} // namespace

PlainToken ClassifyPlainName(const char* text, uint32_t length) {
    // The script's own names come first, as the script runner matches them.
    switch (FindScriptToken(text, length)) {
    case ScriptToken::ArgN:
        return PlainToken::ArgN;
    case ScriptToken::RetVal:
        return PlainToken::RetVal;
    default:
        break;
    }
    return BeginsWord(std::string_view(text, length), "rand") ? PlainToken::Rand
                                                              : PlainToken::Feature;
}

bool ParseRegisterSpec(const char* text, uint32_t length, uint32_t* index, uint32_t* mask,
                       uint32_t* highBit, uint32_t* lowBit) {
    uint32_t pos = 0;
    uint64_t number = 0;
    const auto hexDigit = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    };
    while (pos < length && hexDigit(text[pos])) {
        const char c = LowerAscii(text[pos]);
        number = number * 16 + static_cast<uint64_t>(c <= '9' ? c - '0' : c - 'a' + 10);
        if (number > 0xFFFFFFFFu) {
            return false;
        }
        ++pos;
    }
    if (pos == 0) {
        return false;
    }
    if (pos < length && LowerAscii(text[pos]) == 'h') {
        ++pos;
    }
    if (pos + 1 >= length || text[pos] != '-' || LowerAscii(text[pos + 1]) != 'b') {
        return false;
    }
    pos += 2;
    // A decimal bit number from 0 to 31.
    const auto readBit = [&](uint32_t* bit) {
        const uint32_t first = pos;
        uint32_t value = 0;
        while (pos < length && text[pos] >= '0' && text[pos] <= '9') {
            value = value * 10 + static_cast<uint32_t>(text[pos] - '0');
            if (value > 31) {
                return false;
            }
            ++pos;
        }
        *bit = value;
        return pos > first;
    };
    uint32_t high = 0;
    if (!readBit(&high)) {
        return false;
    }
    uint32_t low = high;
    if (pos < length && text[pos] == ':') {
        ++pos;
        if (!readBit(&low)) {
            return false;
        }
    }
    if (pos != length || high < low) {
        return false;
    }
    // Built in 64 bits: a field up to bit 31 needs the shift by 32.
    const uint64_t field = ((uint64_t{1} << (high + 1)) - 1) & ~((uint64_t{1} << low) - 1);
    *index = static_cast<uint32_t>(number);
    *mask = static_cast<uint32_t>(field);
    *highBit = high;
    *lowBit = low;
    return true;
}

bool LooksLikeRegisterSpec(const char* text, uint32_t length) {
    uint32_t pos = 0;
    while (pos < length && std::isxdigit(static_cast<unsigned char>(text[pos])) != 0) {
        ++pos;
    }
    if (pos == 0) {
        return false;
    }
    if (pos < length && LowerAscii(text[pos]) == 'h') {
        ++pos;
    }
    return pos + 2 < length && text[pos] == '-' && LowerAscii(text[pos + 1]) == 'b' &&
           std::isdigit(static_cast<unsigned char>(text[pos + 2])) != 0;
}

uint32_t NextRandom() {
    g_RandSeed = static_cast<uint32_t>((g_RandSeed * kRandMultiplier) % kRandModulus);
    return g_RandSeed;
}

uint32_t EvalToNumber(const char* text, uint32_t length, uint32_t* number, const char** errorText) {
    ExprValue value{};
    const char* evalError = nullptr;
    const uint32_t error = ExprEvaluate(text, length, &value, CurrentScope(), &evalError);
    if (error != 0) {
        return TokenError(errorText, evalError != nullptr ? evalError : "Invalid syntax.", error);
    }
    if (value.IsString != 0) {
        return TokenError(errorText, "Value cannot be a string.", 1);
    }
    *number = value.Number;
    return 0;
}

uint32_t ParseToken(const char* text, uint32_t length, ParsedToken* token, const char** errorText) {
    const std::string_view whole(text, length);
    const size_t open = whole.find('[');
    if (open == std::string_view::npos) {
        switch (ClassifyPlainName(text, length)) {
        case PlainToken::ArgN:
            token->Kind = TokenKind::ArgN;
            return 0;
        case PlainToken::RetVal:
            token->Kind = TokenKind::RetVal;
            return 0;
        case PlainToken::Rand:
            token->Kind = TokenKind::Rand;
            return 0;
        case PlainToken::Feature:
            break;
        }
        token->Kind = TokenKind::Feature;
        token->Name.assign(text, length);
        LowerAsciiInPlace(token->Name.data());
        return 0;
    }
    const size_t close = whole.find(']', open + 1);
    if (close == std::string_view::npos) {
        return TokenError(errorText, "Missing closing bracket.", static_cast<uint32_t>(open + 1));
    }
    if (close == open + 1) {
        return TokenError(errorText, "Missing contents in brackets.",
                          static_cast<uint32_t>(close + 1));
    }
    token->Open = static_cast<uint32_t>(open);
    token->Contents = static_cast<uint32_t>(open + 1);
    token->Length = static_cast<uint32_t>(close - open - 1);
    const std::string_view name = whole.substr(0, open);
    if (FindScriptToken(text, length) == ScriptToken::Arg) {
        token->Kind = TokenKind::Arg;
        return 0;
    }
    uint32_t stem = 0;
    token->Kind = ArrayKind(name, &stem);
    token->Bits = WidthAfterName(name.substr(stem));
    return 0;
}

uint32_t GetTokenValue(const char* text, uint32_t length, ExprValue* value, bool show,
                       const char** errorText) {
    ParsedToken token;
    const uint32_t error = ParseToken(text, length, &token, errorText);
    if (error != 0) {
        return error;
    }
    switch (token.Kind) {
    case TokenKind::ArgN:
    case TokenKind::RetVal:
    case TokenKind::Arg: {
        const uint32_t scriptError = GetScriptToken(text, length, value, errorText);
        if (scriptError == 0 && show) {
            if (token.Kind == TokenKind::Arg) {
                uint32_t index = 0;
                const char* indexError = nullptr;
                EvalToNumber(text + token.Contents, token.Length, &index, &indexError);
                PlayPrint(CAT_SET, "ARG[%d] = \"%s\"\n", static_cast<int>(index), value->Text);
            } else {
                ShowScriptToken(FindScriptToken(text, length), *value);
            }
        }
        return scriptError;
    }
    case TokenKind::Rand:
        *value = ExprValue{};
        value->Number = NextRandom();
        if (show) {
            PlayPrint(CAT_SET, "RAND = %lXh (%lut)\n", static_cast<unsigned long>(value->Number),
                      static_cast<unsigned long>(value->Number));
        }
        return 0;
    case TokenKind::Feature:
        return GetFeatureToken(token, value, show, errorText);
    case TokenKind::Fexist:
        return FileExists(text, token, value, show, errorText);
    case TokenKind::UnknownArray:
        return TokenError(errorText, "Unknown array.", 1);
    default:
        return GetHardwareToken(text, token, value, show, errorText);
    }
}

uint32_t SetTokenValue(const char* target, uint32_t length, const ExprValue* value, bool echo,
                       const char** errorText) {
    ParsedToken token;
    const uint32_t error = ParseToken(target, length, &token, errorText);
    if (error != 0) {
        return error;
    }
    switch (token.Kind) {
    case TokenKind::ArgN:
    case TokenKind::RetVal:
    case TokenKind::Arg:
        return SetScriptToken(target, length, value, echo, errorText);
    case TokenKind::Rand:
        if (value->IsString != 0) {
            return TokenError(errorText, "Cannot use string value.", 1);
        }
        g_RandSeed = value->Number;
        if (echo) {
            PlayPrint(CAT_SET, "RAND = %lXh (%lut)\n", static_cast<unsigned long>(value->Number),
                      static_cast<unsigned long>(value->Number));
        }
        return 0;
    case TokenKind::Feature:
        return SetFeatureChecked(token.Name.c_str(), value, echo, errorText);
    case TokenKind::Fexist:
        return TokenError(errorText, "fexist[] is read-only and cannot be set.", 1);
    case TokenKind::UnknownArray:
        return TokenError(errorText, "Unknown array.", 1);
    default:
        return SetHardwareToken(target, token, value, echo, errorText);
    }
}

uint32_t ResolveToken(const char* text, uint32_t length, ExprValue* value, const char** errorText) {
    return GetTokenValue(text, length, value, false, errorText);
}

// Features as tokens: reading and showing, setting with range and step checks, the explanation
// with the range, and the prompt for a new value.
#include "common/Numbers.h"
#include "common/Text.h"
#include "play/ChipTexts.h"
#include "play/FeatureAccess.h"
#include "play/LineEditor.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/TokenParts.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t kAnswerSize = 256;
// The location of a feature in the echo of a write: "REG[24h-b6:0]", "REG[06h-b8] [WO]".
constexpr uint32_t kEchoLocation =
    ChipDefBase::kLocPlace | ChipDefBase::kLocAccess | ChipDefBase::kLocShort;

// The text of a range or step error, kept until the next one.
char s_Message[160];

const char* Message(const char* format, const std::string& a, const std::string& b = {}) {
    std::snprintf(s_Message, sizeof s_Message, format, a.c_str(), b.c_str());
    return s_Message;
}

bool IsNumberOrAddress(uint32_t type) {
    return type == FT_NUMB || type == FT_ADDR;
}

std::string Lower(const char* name, uint32_t length) {
    std::string text(name, length);
    LowerAsciiInPlace(text.data());
    return text;
}

const char* RadixWord(uint32_t radix) {
    switch (radix) {
    case 2:
        return "binary";
    case 8:
        return "octal";
    case 16:
        return "hexidecimal";
    default:
        return "decimal";
    }
}

// The prompt for a new value of the feature's type.
void PrintValuePrompt(const char* name) {
    switch (g_ChipDef.GetFeatureType(name)) {
    case FT_NUMB:
        PlayPrint(CAT_OUT, "New NUMB%s in %s>", g_ChipDef.GetFeatureUnit(name),
                  RadixWord(g_ChipDef.GetFeatureRadix(name)));
        break;
    case FT_ADDR:
        PlayPrint(CAT_OUT, "New ADDR in hexidecimal>");
        break;
    case FT_FREQ:
        PlayPrint(CAT_OUT, "New FREQ in NN.NNN XHz>");
        break;
    case FT_TEXT:
        PlayPrint(CAT_OUT, "New TEXT>");
        break;
    case FT_LIST:
        PlayPrint(CAT_OUT, "New LIST in hexidecimal>");
        break;
    case FT_BOOL:
        PlayPrint(CAT_OUT, "New BOOL in hexidecimal>");
        break;
    default:
        PlayPrint(CAT_OUT, "New SEQU>");
        break;
    }
}

// A text value of a number or address feature in its radix (radix letters allowed).
bool ParseInRadix(const char* text, uint32_t radix, uint32_t* number) {
    const size_t length = std::strlen(text);
    uint32_t textRadix = radix;
    if (length == 0 || !GetNumberRadix(text, length, radix, &textRadix)) {
        return false;
    }
    *number = StrToNumN(text, length, textRadix);
    return true;
}

uint32_t SetNumber(ChipDefBase& chip, const char* name, const ExprValue* value, bool echo,
                   const char** errorText) {
    const uint32_t radix = chip.GetFeatureRadix(name);
    uint32_t number = value->Number;
    if (value->IsString != 0 && !ParseInRadix(value->Text, radix, &number)) {
        return TokenError(errorText, "Not a number.", static_cast<uint32_t>(std::strlen(name)) + 1);
    }
    const uint32_t min = chip.GetFeatureMin(name);
    const uint32_t max = chip.GetFeatureMax(name);
    const uint32_t step = chip.GetFeatureStep(name);
    if (number < min || number > max) {
        return TokenError(errorText,
                          Message("Must be between %s and %s!", FormatInRadix(min, radix),
                                  FormatInRadix(max, radix)),
                          1);
    }
    // A STEP of 0 asks for no alignment.
    if (step != 0 && (number - min) % step != 0) {
        return TokenError(errorText, Message("Must be aligned by %s!", FormatInRadix(step, radix)),
                          1);
    }
    if (!chip.SetFeatureValue(name, number)) {
        return TokenError(errorText, "Failed to set feature. (Invalid value?)", 1);
    }
    if (echo) {
        const std::string location = FeatureLocationText(name, kEchoLocation, chip);
        PlayPrint(CAT_SET, "%s (%s) <- %s\n", name, location.c_str(),
                  FormatInRadix(number, radix).c_str());
    }
    return 0;
}

uint32_t SetText(ChipDefBase& chip, const char* name, const ExprValue* value, bool echo,
                 const char** errorText) {
    char text[EXPR_TEXT_MAX + 1];
    if (value->IsString != 0) {
        std::snprintf(text, sizeof text, "%s", value->Text);
    } else {
        std::snprintf(text, sizeof text, "%X", value->Number);
    }
    if (!chip.SetFeatureText(name, text)) {
        return TokenError(errorText, "Failed to set feature. (Invalid value?)", 1);
    }
    if (echo) {
        const std::string location = FeatureLocationText(name, kEchoLocation, chip);
        PlayPrint(CAT_SET, "%s (%s) <- \"%s\"\n", name, location.c_str(), text);
    }
    return 0;
}

} // namespace

std::string FormatInRadix(uint32_t value, uint32_t radix) {
    char text[40];
    if (radix == 16) {
        std::snprintf(text, sizeof text, "%Xh", value);
    } else if (radix == 2) {
        NumToStr(text, value, 2, 0, false, false);
    } else {
        std::snprintf(text, sizeof text, "%u", value);
    }
    return text;
}

uint32_t GetFeatureToken(const ParsedToken& token, ExprValue* value, bool show,
                         const char** errorText) {
    const char* name = token.Name.c_str();
    if (!g_ChipDef.IsFeatureInProduct(name)) {
        return TokenError(errorText, "Unknown feature or token.", 1);
    }
    if (g_ChipDef.IsFeatureWriteOnly(name)) {
        return TokenError(errorText, "Cannot show value as this feature is write-only.", 1);
    }
    const uint32_t type = g_ChipDef.GetFeatureType(name);
    const bool textFeature = type == FT_TEXT || type == FT_SEQU;
    const bool wantsText = textFeature || value->IsString != 0;
    *value = ExprValue{};
    if (wantsText) {
        const char* text = g_ChipDef.GetFeatureText(name, true);
        value->IsString = 1;
        std::snprintf(value->Text, sizeof value->Text, "%s", text != nullptr ? text : "");
    } else {
        value->Number = g_ChipDef.GetFeatureValue(name);
    }
    if (!show) {
        return 0;
    }
    const std::string location =
        FeatureLocationText(name, ChipDefBase::kLocPlace | ChipDefBase::kLocShort);
    if (textFeature) {
        PlayPrint(CAT_SET, "%s (%s) = \"%s\"\n", name, location.c_str(), value->Text);
        return 0;
    }
    char raw[16];
    std::snprintf(raw, sizeof raw, "%Xh", g_ChipDef.GetFeatureRawValue(name));
    const char* text = g_ChipDef.GetFeatureText(name, true);
    PlayPrint(CAT_SET, "%s (%s) = %s", name, location.c_str(), raw);
    if (text != nullptr && std::strcmp(text, raw) != 0) {
        PlayPrint(CAT_SET, " (%s)", text);
    }
    PlayPrint(CAT_SET, "\n");
    return 0;
}

uint32_t SetFeatureChecked(const char* name, const ExprValue* value, bool echo,
                           const char** errorText) {
    return SetFeatureChecked(g_ChipDef, name, value, echo, errorText);
}

uint32_t SetFeatureChecked(ChipDefBase& chip, const char* name, const ExprValue* value, bool echo,
                           const char** errorText) {
    if (!chip.IsFeatureInProduct(name)) {
        return TokenError(errorText, "Unknown feature or token.", 1);
    }
    if (IsNumberOrAddress(chip.GetFeatureType(name))) {
        return SetNumber(chip, name, value, echo, errorText);
    }
    return SetText(chip, name, value, echo, errorText);
}

uint32_t ShowFeature(const char* name, uint32_t length, const char* prefix,
                     const char** errorText) {
    const std::string key = Lower(name, length);
    if (!g_ChipDef.IsFeatureInProduct(key.c_str())) {
        return TokenError(errorText, "Unknown feature or token.", 1);
    }
    const std::string explanation = FeatureExplanation(key.c_str(), g_ScreenWidth);
    PlayPrint(CAT_OUT, "%s\n", explanation.c_str());
    if (IsNumberOrAddress(g_ChipDef.GetFeatureType(key.c_str()))) {
        const uint32_t radix = g_ChipDef.GetFeatureRadix(key.c_str());
        const uint32_t step = g_ChipDef.GetFeatureStep(key.c_str());
        PlayPrint(CAT_OUT, "%s  %s = MIN:%s, MAX:%s", prefix != nullptr ? prefix : "", key.c_str(),
                  FormatInRadix(g_ChipDef.GetFeatureMin(key.c_str()), radix).c_str(),
                  FormatInRadix(g_ChipDef.GetFeatureMax(key.c_str()), radix).c_str());
        if (step > 1) {
            PlayPrint(CAT_OUT, ", STEP:%s", FormatInRadix(step, radix).c_str());
        }
        PlayPrint(CAT_OUT, "\n");
    }
    return 0;
}

uint32_t ShowFeatureValue(const char* name, uint32_t length, const char** errorText) {
    const uint32_t error = ShowFeature(name, length, nullptr, errorText);
    if (error != 0) {
        return error;
    }
    const std::string key = Lower(name, length);
    if (g_ChipDef.IsFeatureReadOnly(key.c_str())) {
        PlayPrint(CAT_OUT, "WARNING: This feature is read-only and should not be set.\n");
    }
    PrintValuePrompt(key.c_str());
    std::fflush(stdout);
    char answer[kAnswerSize] = {};
    if (ReadPlainLine(answer, kAnswerSize) == nullptr || answer[0] == '\0') {
        return 0;
    }
    ExprValue value{};
    value.IsString = 1;
    std::snprintf(value.Text, sizeof value.Text, "%s", answer);
    return SetFeatureChecked(key.c_str(), &value, true, errorText);
}

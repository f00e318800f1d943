// Reading decimal numbers with thousandths from dialog texts.
#include "setup/core/DialogNumbers.h"

namespace {

constexpr std::size_t kMaxFieldText = 40; // a field's text is read up to 40 characters
constexpr std::uint64_t kLimit = 0xFFFFFFFFull;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

bool GetDlgItemMilli(std::string_view text, std::uint32_t* whole, std::uint32_t* thousandths) {
    text = text.substr(0, kMaxFieldText);
    std::uint64_t wholePart = 0;
    std::uint64_t fraction = 0;
    int fractionDigits = 0;
    bool afterPoint = false;
    for (const char c : text) {
        if (IsBlank(c)) {
            continue;
        }
        if (c == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (c < '0' || c > '9') {
            return false;
        }
        if (!afterPoint) {
            wholePart = wholePart * 10 + static_cast<std::uint64_t>(c - '0');
            if (wholePart > kLimit) {
                return false;
            }
        } else if (fractionDigits < 3) {
            fraction = fraction * 10 + static_cast<std::uint64_t>(c - '0');
            ++fractionDigits;
        }
    }
    for (; fractionDigits < 3; ++fractionDigits) {
        fraction *= 10;
    }
    const std::uint64_t milli = wholePart * 1000 + fraction;
    if (milli > kLimit) {
        return false;
    }
    *whole = static_cast<std::uint32_t>(wholePart);
    *thousandths = static_cast<std::uint32_t>(milli);
    return true;
}

const char* SkipSpaces(const char* text) {
    while (*text == ' ' || *text == '\t') {
        ++text;
    }
    return text;
}

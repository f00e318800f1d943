#include "chipdef/IniValues.h"

#include "common/Numbers.h"

namespace inivalues {

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

} // namespace

bool KeyPosition(const std::string& key, uint32_t count, uint32_t* position) {
    if (key.empty() || key.size() > 4) {
        return false;
    }
    uint32_t value = 0;
    for (char c : key) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    *position = value;
    return value < count;
}

std::optional<uint32_t> ReadHex(std::string_view text, size_t length) {
    text = SkipBlanks(text);
    if (text.empty() || !IsHexDigit(text.front())) {
        return std::nullopt;
    }
    const std::string digits(text.substr(0, length));
    return StrToNumN(digits.c_str(), digits.size(), 16);
}

std::optional<oxHclRegEntry> ReadRegPair(std::string_view text) {
    text = SkipBlanks(text);
    size_t digits = 0;
    while (digits < 4 && digits < text.size() && IsHexDigit(text[digits])) {
        ++digits;
    }
    const std::optional<uint32_t> index = ReadHex(text.substr(0, digits), 4);
    std::string_view rest = text.substr(digits);
    if (digits < 4 || rest.empty() || !IsHexDigit(rest.front())) {
        rest = SkipBlanks(rest);
        if (!rest.empty() && !IsHexDigit(rest.front())) {
            rest.remove_prefix(1); // the separator
        }
    }
    const std::optional<uint32_t> value = ReadHex(rest, 4);
    if (!index || !value) {
        return std::nullopt;
    }
    return oxHclRegEntry{static_cast<uint16_t>(*index), static_cast<uint16_t>(*value)};
}

} // namespace inivalues

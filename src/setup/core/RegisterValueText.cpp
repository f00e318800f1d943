// The register dialog's number texts.
#include "setup/core/RegisterValueText.h"

#include <limits>

namespace {

// The digit's value, or radix when c is no digit of radix.
uint32_t DigitValue(char c, uint32_t radix) {
    uint32_t digit = radix;
    if (c >= '0' && c <= '9') {
        digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
        digit = static_cast<uint32_t>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
        digit = static_cast<uint32_t>(c - 'a' + 10);
    }
    return digit < radix ? digit : radix;
}

uint32_t KnownRadix(uint32_t radix) {
    return radix == 2 || radix == 10 ? radix : 16;
}

} // namespace

std::string RegisterValueText(uint64_t value, uint32_t radix) {
    radix = KnownRadix(radix);
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[value % radix]);
        value /= radix;
    } while (value != 0);
    return text;
}

std::optional<uint64_t> ReadRegisterValue(const std::string& text, uint32_t radix) {
    radix = KnownRadix(radix);
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return 0;
    }
    const size_t last = text.find_last_not_of(" \t");
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t value = 0;
    bool anyDigit = false;
    for (size_t i = first; i <= last; ++i) {
        if (text[i] == '_') {
            continue;
        }
        const uint32_t digit = DigitValue(text[i], radix);
        if (digit == radix) {
            return std::nullopt;
        }
        anyDigit = true;
        value = value > (kMax - digit) / radix ? kMax : value * radix + digit;
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    return value;
}

std::string NotANumberText(const std::string& text, uint32_t radix) {
    radix = KnownRadix(radix);
    const char* name = radix == 2 ? "binary" : radix == 10 ? "decimal" : "hexadecimal";
    return "\"" + text + "\" is not a " + name + " number.";
}

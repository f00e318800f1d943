#include "chipdef/ExportText.h"

#include "common/Assert.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace exporttext {

namespace {

void AppendV(std::string& out, const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) {
        return;
    }
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(length) + 1);
    std::vsnprintf(out.data() + start, static_cast<size_t>(length) + 1, format, args);
    out.resize(start + static_cast<size_t>(length));
}

} // namespace

char CEscapeLetter(uint8_t byte) {
    switch (byte) {
    case '\a':
        return 'a';
    case '\b':
        return 'b';
    case '\t':
        return 't';
    case '\n':
        return 'n';
    case '\v':
        return 'v';
    case '\f':
        return 'f';
    case '\r':
        return 'r';
    case '"':
        return '"';
    case '\\':
        return '\\';
    default:
        return 0;
    }
}

void Appendf(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendV(out, format, args);
    va_end(args);
}

std::string Pad(int width, const char* suffix, const char* format, ...) {
    std::string text;
    va_list args;
    va_start(args, format);
    AppendV(text, format, args);
    va_end(args);
    text += suffix ? suffix : "";
    if (width >= 0 && text.size() <= static_cast<size_t>(width)) {
        text.resize(static_cast<size_t>(width), ' ');
    } else {
        text += "  ";
    }
    return text;
}

std::string CLiteral(const void* field, size_t width) {
    const auto* bytes = static_cast<const uint8_t*>(field);
    size_t used = width;
    while (used > 0 && bytes[used - 1] == 0) {
        --used;
    }
    std::string out = "\"";
    for (size_t i = 0; i < used; ++i) {
        const uint8_t byte = bytes[i];
        if (const char letter = CEscapeLetter(byte)) {
            out += '\\';
            out += letter;
        } else if (byte == '?') {
            // The text is compiled: "??" and a third character would be a trigraph to a compiler
            // in strict ISO mode before C23 ("??/" a backslash), so no "?" stands unescaped.
            out += "\\?";
        } else if (byte < 0x20 || byte >= 0x7F) {
            Appendf(out, "\\x%02X", byte);
            if (i + 1 < used && std::isxdigit(bytes[i + 1])) {
                out += "\" \"";
            }
        } else {
            out += static_cast<char>(byte);
        }
    }
    out += "\"";
    return out;
}

std::string FieldText(const void* field, size_t width) {
    const auto* text = static_cast<const char*>(field);
    const void* nul = std::memchr(text, 0, width);
    return std::string(text, nul ? static_cast<const char*>(nul) - text : width);
}

uint32_t Deliver(const std::string& text, char* buffer, uint32_t size, const char* check) {
    if (!buffer || size == 0) {
        return 0;
    }
    size_t length = text.size();
    if (!Q3V_ASSERT_TEXT(length < size, check)) {
        length = size - 1;
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<uint32_t>(length);
}

} // namespace exporttext

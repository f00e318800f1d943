// The name of one key read from the console.
#include "play/KeyName.h"

#include "platform/Console.h"

#include <cstdio>

namespace {

struct KeyNameRow {
    int Code;
    const char* Name;
};

constexpr KeyNameRow kPlainKeys[] = {
    {8, "BS"}, {9, "TAB"}, {13, "RETURN"}, {27, "ESC"}, {32, "SPACE"},
};

constexpr KeyNameRow kExtendedKeys[] = {
    {kConsoleKeyHome, "HOME"}, {kConsoleKeyUp, "UP"},       {kConsoleKeyPgUp, "PGUP"},
    {kConsoleKeyLeft, "LEFT"}, {kConsoleKeyRight, "RIGHT"}, {kConsoleKeyEnd, "END"},
    {kConsoleKeyDown, "DOWN"}, {kConsoleKeyPgDn, "PGDN"},   {kConsoleKeyIns, "INS"},
    {kConsoleKeyDel, "DEL"},
};

template <size_t N> const char* FindName(const KeyNameRow (&rows)[N], int code) {
    for (const KeyNameRow& row : rows) {
        if (row.Code == code) {
            return row.Name;
        }
    }
    return nullptr;
}

} // namespace

bool ReadKeyName(char (&buffer)[kKeyNameSize]) {
    const int key = ConsoleGetch();
    if (key == kConsoleEndOfInput) {
        return false;
    }
    if (key == kConsolePrefixExtended || key == kConsolePrefixFunction) {
        const int code = ConsoleGetch();
        if (code == kConsoleEndOfInput) {
            return false;
        }
        const char* name = FindName(kExtendedKeys, code);
        std::snprintf(buffer, kKeyNameSize, "%s", name != nullptr ? name : "UNKNOWN");
        return true;
    }
    const char* name = FindName(kPlainKeys, key);
    if (name != nullptr) {
        std::snprintf(buffer, kKeyNameSize, "%s", name);
    } else {
        buffer[0] = static_cast<char>(key);
        buffer[1] = '\0';
    }
    return true;
}

// INPUT KEY's names of keys read from the console, including the second code of the prefixes
// 224 and 0.
#include "play/KeyName.h"

#include "platform/Console.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Reads names from the given bytes until the end of the input.
std::string NamesOf(const std::string& bytes) {
    ConsoleSetInputForTesting(bytes.data(), static_cast<unsigned>(bytes.size()));
    std::string names;
    char name[kKeyNameSize];
    while (ReadKeyName(name)) {
        names += name;
        names += ' ';
    }
    ConsoleSetInputForTesting("", 0);
    return names + "<end>";
}

} // namespace

TEST(KeyName, NamesOfKeys) {
    struct Case {
        std::string Bytes;
        const char* Names;
    };
    const Case cases[] = {
        {"\b\t\r\x1b a~", "BS TAB RETURN ESC SPACE a ~ <end>"},
        {"\xe0G\xe0H\xe0I\xe0K\xe0M\xe0O\xe0P\xe0Q\xe0R\xe0S",
         "HOME UP PGUP LEFT RIGHT END DOWN PGDN INS DEL <end>"},
        {std::string("\xe0H") + "\xe0\x10" + "x", "UP UNKNOWN x <end>"},
        // Function keys come as 0 and a code: the code belongs to the same key.
        {std::string("\0;", 2) + std::string("\0S", 2) + "x", "UNKNOWN DEL x <end>"},
        {"", "<end>"},
        // A prefix whose second code never comes is the end of the input.
        {"a\xe0", "a <end>"},
        {std::string("a\0", 2), "a <end>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Names);
        EXPECT_EQ(NamesOf(c.Bytes), c.Names);
    }
}

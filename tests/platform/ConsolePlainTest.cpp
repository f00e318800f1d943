#include "platform/Console.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string KeysOf(const std::string& bytes) {
    ConsoleSetInputForTesting(bytes.data(), static_cast<unsigned>(bytes.size()));
    std::string out;
    for (int c; (c = ConsoleGetch()) != kConsoleEndOfInput;) {
        out += static_cast<char>(c);
    }
    ConsoleSetInputForTesting(nullptr, 0);
    return out;
}

} // namespace

TEST(ConsolePlain, LineEndsAreOneEnter) {
    EXPECT_EQ(KeysOf("a\r\nb\nc\rd"), "a\rb\rc\rd");
    EXPECT_EQ(KeysOf("\r\n\r\n"), "\r\r");
}

TEST(ConsolePlain, EndOfInputKeepsAnsweringAndPollsReportAKey) {
    ConsoleSetInputForTesting("x", 1);
    EXPECT_EQ(ConsoleGetch(), 'x');
    EXPECT_EQ(ConsoleGetch(), kConsoleEndOfInput);
    EXPECT_EQ(ConsoleGetch(), kConsoleEndOfInput);
    EXPECT_TRUE(ConsoleKbhit());
    ConsoleSetInputForTesting(nullptr, 0);
}

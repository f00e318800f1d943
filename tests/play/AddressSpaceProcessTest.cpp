// disp[..], bar[0,..] and BAR reach display memory through the bridge's 24-bit addresses: a
// unit that does not lie wholly below 1000000h is refused (the tokens' caret error under the
// address, BAR's error line naming the word typed) instead of being wrapped round to another
// address, and every unit inside the space is taken as before. Typed in one session through a
// pipe, and as one-shot commands for the exit code.
#include "PlayBench.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Unit {
    const char* Digits; // after the token's or the command's name
    uint32_t Bytes;
};

constexpr Unit kUnits[] = {{"", 1}, {"8", 1}, {"16", 2}, {"32", 4}};

// Each address as typed, and whether a unit of each size there lies inside the space.
struct Address {
    const char* Word;
    uint64_t Value;
};

constexpr Address kAddresses[] = {
    {"ffffff", 0xFFFFFF}, {"fffffe", 0xFFFFFE},   {"fffffd", 0xFFFFFD},
    {"fffffc", 0xFFFFFC}, {"1000000", 0x1000000}, {"ffffffff", 0xFFFFFFFF},
};

struct Typed {
    std::string Line;
    std::string Refusal; // "" when the access is taken
};

// The caret error under the address of a token in the typed line (the prompt "=" before it).
std::string TokenRefusal(const std::string& line, const char* word) {
    const size_t open = line.find_first_of("[,");
    const size_t column = line.find(word, open);
    return std::string(column + 1, ' ') + "^\nERROR: Not a valid address.\n";
}

std::vector<Typed> Lines() {
    std::vector<Typed> lines;
    for (const Unit& unit : kUnits) {
        for (const Address& address : kAddresses) {
            const bool inside = address.Value + unit.Bytes <= 0x1000000;
            const std::string disp = std::string("disp") + unit.Digits + "[" + address.Word + "]";
            const std::string bar = std::string("bar") + unit.Digits + "[0," + address.Word + "]";
            for (const std::string& token : {disp, bar}) {
                for (const std::string& line :
                     {"calc " + token, "set " + token + " 5", token + " = calc 5"}) {
                    lines.push_back({line, inside ? "" : TokenRefusal(line, address.Word)});
                }
            }
            if (*unit.Digits == '\0') {
                continue; // plain BAR takes the register width: its sizes are the rows above
            }
            const std::string command = std::string("bar") + unit.Digits + " 0 " + address.Word;
            const std::string refusal =
                std::string("ERROR: '") + address.Word + "' isn't a valid index.\n";
            lines.push_back({command, inside ? "" : refusal});
            lines.push_back({command + " 5", inside ? "" : refusal});
        }
    }
    return lines;
}

TEST(AddressSpaceProcess, DispAndBarRefuseAUnitPastThe24BitSpaceAndTakeTheRest) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::PlayBench bench;
    // Where a wrapped address would land: 1000000h is 0, and a unit across the end reaches it.
    std::string input = "w32 0 a1b2c3d4\nw32 4 e5f60718\n";
    const std::vector<Typed> lines = Lines();
    for (const Typed& typed : lines) {
        input += typed.Line + "\n";
    }
    input += "d32 0 L8\n";
    const q3vtest::PlayRun run = bench.Run("", input);
    const std::string& out = run.Output;
    ASSERT_EQ(run.Code, 0) << out;

    size_t at = out.find("=w32 4 e5f60718\n");
    ASSERT_NE(at, std::string::npos) << out;
    for (const Typed& typed : lines) {
        SCOPED_TRACE(typed.Line);
        const std::string echo = "\n=" + typed.Line + "\n";
        at = out.find(echo, at);
        ASSERT_NE(at, std::string::npos) << out;
        at += echo.size();
        std::string reply = out.substr(at, out.find("\n=", at) - at);
        if (typed.Line.find(" = calc 5") != std::string::npos) {
            // The command of an assignment runs before its target is written.
            ASSERT_EQ(reply.substr(0, 8), "5h (5t)\n");
            reply.erase(0, 8);
        }
        if (typed.Refusal.empty()) {
            EXPECT_EQ(reply.find("ERROR"), std::string::npos) << reply;
            EXPECT_NE(reply, "");
        } else {
            EXPECT_EQ(reply, typed.Refusal);
        }
    }
    EXPECT_NE(out.find("=d32 0 L8\n00000000:  A1B2C3D4 E5F60718  "), std::string::npos) << out;

    // One-shot, as the words of the command line: refused with exit code 1, taken with 0.
    q3vtest::PlayRun once = bench.Run("set disp32[1000000] 12345678");
    EXPECT_EQ(once.Code, 1) << once.Output;
    EXPECT_NE(once.Output.find("ERROR: Not a valid address.\n"), std::string::npos);
    once = bench.Run("bar32 0 1000020 cafebabe");
    EXPECT_EQ(once.Code, 1) << once.Output;
    EXPECT_NE(once.Output.find("ERROR: '1000020' isn't a valid index.\n"), std::string::npos);
    once = bench.Run("set disp32[fffffc] 12345678");
    EXPECT_EQ(once.Code, 0) << once.Output;
    once = bench.Run("r32 0 20");
    EXPECT_NE(once.Output.find("00000000:  A1B2C3D4  "), std::string::npos) << once.Output;
    EXPECT_NE(once.Output.find("00000020:  00000000  "), std::string::npos) << once.Output;
}

} // namespace

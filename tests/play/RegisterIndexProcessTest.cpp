// Register indices and raw bases that the bridge's interface would report (an odd index to the
// 16-bit accesses and to the 8- and 16-bit bursts, a raw base other than 0), typed through every
// route as a user types them: refused with the interface's own text before anything is read or
// written (the board's log shows only the acquisition), never its Abort prompt; the accesses it
// takes (single 8-bit accesses at odd indices, even indices, 32 bits, base 0) work as before.
#include "PlayBench.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kRead16 = "oxReadReg16() Index must be even.";
constexpr const char* kWrite16 = "oxWriteReg16() Index must be even.";
constexpr const char* kBurstRead8 = "oxBurstReadReg8() Index must be even.";
constexpr const char* kBurstWrite8 = "oxBurstWriteReg8() Index must be even.";
constexpr const char* kBurstRead16 = "oxBurstReadReg16() Index must be even.";
constexpr const char* kBurstWrite16 = "oxBurstWriteReg16() Index must be even.";
constexpr const char* kReadRaw = "oxReadRaw() BaseIndex must be zero for USB interface.";
constexpr const char* kWriteRaw = "oxWriteRaw() BaseIndex must be zero for USB interface.";

struct Route {
    const char* Typed;   // words of a one-command run, or with Session the line piped in
    bool Session;        // typed at the prompt (assignments have no one-command form)
    const char* Refusal; // the interface's text, or nullptr when the access is taken
    const char* Shows;   // for a taken access: a line of its output
};

const Route kRoutes[] = {
    // Tokens, SET and assignments.
    {"calc reg[25]", false, kRead16, nullptr},
    {"calc reg16[25]", false, kRead16, nullptr},
    {"calc reg[24]", false, nullptr, "0h (0t)"},
    {"calc reg8[25]", false, nullptr, "0h (0t)"},
    {"calc reg32[25]", false, nullptr, "0h (0t)"},
    {"set 25 1", false, kWrite16, nullptr},
    {"set reg[25] 1", false, kWrite16, nullptr},
    {"set reg[25-b3] 1", false, kRead16, nullptr}, // a bit-field is read first
    {"set 24 1", false, nullptr, "REG[24h] <- 0001h (1t)"},
    {"set reg8[25] 1", false, nullptr, "<- 01h (1t)"},
    {"reg[25] = calc 5", true, kWrite16, nullptr},
    {"reg16[27] = calc 5", true, kWrite16, nullptr},
    {"reg8[27] = calc 5", true, nullptr, "5h (5t)"},
    // X, XF, XR, XFB, XRB, XBS.
    {"x 25", false, kRead16, nullptr},
    {"x 25 1", false, kWrite16, nullptr},
    {"x16 25", false, kRead16, nullptr},
    {"x8 25", false, nullptr, "[25] > 00  00000000b   0t"},
    {"x8 25 1", false, nullptr, "[25] < 01"},
    {"x32 25", false, nullptr, "[25] > 00000000"},
    {"x 24 1", false, nullptr, "[24] < 0001"},
    {"xf 25 1 1", false, kWrite16, nullptr},
    {"xf8 25 1 1", false, nullptr, "REG[0025] < 01"},
    {"xf 24 1 1", false, nullptr, "REG[0024] < 0001"},
    {"xr 25 1", false, kRead16, nullptr},
    {"xr8 25 1", false, nullptr, "1: REG[0025h]= 0h"},
    {"xfb8 25 2 1", false, kBurstWrite8, nullptr},
    {"xfb 25 1 1", false, kBurstWrite16, nullptr},
    {"xfb8 24 2 1", false, nullptr, "REG[0024] < 01"},
    {"xrb8 25 2", false, kBurstRead8, nullptr},
    {"xrb 25 2", false, kBurstRead16, nullptr},
    {"xrb8 24 2", false, nullptr, "2: REG[0024]=00"},
    {"xbs r=25", false, kRead16, nullptr},
    {"xbs r8=24 r16=25", false, kRead16, nullptr},
    {"xbs r8=25", false, nullptr, "REG[25h]=00"},
    // FDUMP and FLOAD of a register (one burst for one unit, else unit by unit).
    {"fdump o.bin reg 25 L1", false, kBurstRead8, nullptr},
    {"fdump16 o.bin reg 25 L1", false, kBurstRead16, nullptr},
    {"fdump16 o.bin reg 25 L1 b=off", false, kRead16, nullptr},
    {"fdump o.bin reg 25 L1 b=off", false, nullptr, "Register->o.bin  Start=00025h"},
    {"fdump16 o.bin reg 24 L1", false, nullptr, "Register->o.bin  Start=00024h"},
    {"fload five.bin reg 25 L1", false, kBurstWrite8, nullptr},
    {"fload16 five.bin reg 25 L1", false, kBurstWrite16, nullptr},
    {"fload16 five.bin reg 25 L1 b=off", false, kWrite16, nullptr},
    {"fload five.bin reg 25 L1 b=off", false, nullptr, "five.bin->Register  Delay=0us"},
    // Raw access through the bar token, SET, assignments and BAR.
    {"calc bar[0,10]", false, nullptr, "0h (0t)"},
    {"calc bar[1,0]", false, kReadRaw, nullptr},
    {"calc bar[2,0]", false, kReadRaw, nullptr},
    {"calc bar16[3,0]", false, kReadRaw, nullptr},
    {"calc bar[4,0]", false, kReadRaw, nullptr},
    {"calc bar[5,0]", false, kReadRaw, nullptr},
    {"calc bar[6,0]", false, kReadRaw, nullptr},
    {"calc bar[ffffffff,0]", false, kReadRaw, nullptr},
    {"set bar[0,10] 1", false, nullptr, "BAR0[00000010h] = 01h (1t)"},
    {"set bar[3,0] 1", false, kWriteRaw, nullptr},
    {"bar[0,10] = calc 5", true, nullptr, "5h (5t)"},
    {"bar[1,0] = calc 5", true, kWriteRaw, nullptr},
    {"bar[6,0] = calc 5", true, kWriteRaw, nullptr},
    {"bar[ffffffff,0] = calc 5", true, kWriteRaw, nullptr},
    {"bar 1 0", false, kReadRaw, nullptr},
    {"bar 5 0 1", false, kWriteRaw, nullptr},
};

TEST(RegisterIndexProcess, RefusedAccessesReachNothingAndNeverPrompt) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    for (const Route& route : kRoutes) {
        SCOPED_TRACE(route.Typed);
        const q3vtest::PlayBench bench;
        bench.WriteFile("five.bin", "\x01\x02\x03\x04\x05");
        // What a run that only acquires the board leaves in the log, in the same form of run.
        const std::string words = route.Session ? "" : route.Typed;
        const std::string input = route.Session ? std::string(route.Typed) + "\n" : "";
        const q3vtest::PlayRun quiet = route.Session ? bench.Run("", "calc 5\n", "quiet.log")
                                                     : bench.Run("calc 5", "", "quiet.log");
        ASSERT_EQ(quiet.Code, 0) << quiet.Output;
        ASSERT_FALSE(bench.ReadFile("quiet.log").empty()) << "the board's log was not written";
        const q3vtest::PlayRun run = bench.Run(words, input, "run.log");

        EXPECT_EQ(run.Output.find("Abort"), std::string::npos) << run.Output;
        EXPECT_EQ(run.Output.find("ASSERT"), std::string::npos) << run.Output;
        if (route.Refusal != nullptr) {
            EXPECT_EQ(run.Code, route.Session ? 0 : 1) << run.Output;
            EXPECT_NE(run.Output.find("ERROR: " + std::string(route.Refusal) + "\n"),
                      std::string::npos)
                << run.Output;
            EXPECT_EQ(bench.ReadFile("run.log"), bench.ReadFile("quiet.log"))
                << "a refused access reached the board";
            EXPECT_FALSE(bench.Exists("o.bin")) << "the dump file is made only for a dump";
        } else {
            EXPECT_EQ(run.Code, 0) << run.Output;
            EXPECT_EQ(run.Output.find("ERROR"), std::string::npos) << run.Output;
            EXPECT_NE(run.Output.find(route.Shows), std::string::npos) << run.Output;
        }
    }
}

TEST(RegisterIndexProcess, ARefusedWriteLeavesTheEvenRegisterBelowIt) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::PlayBench bench;
    ASSERT_EQ(bench.Run("x 24 1234").Code, 0);
    const q3vtest::PlayRun set = bench.Run("set 25 1");
    EXPECT_EQ(set.Code, 1) << set.Output;
    const q3vtest::PlayRun read = bench.Run("x 24");
    EXPECT_NE(read.Output.find("[24] > 1234"), std::string::npos) << read.Output;
}

} // namespace

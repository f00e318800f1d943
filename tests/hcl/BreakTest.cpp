// The /break: breakpoints: the list parser and its error codes, the placement of an entry in
// its register word, matching of accesses, the prompt and the printed form.

#include "FrontFixture.h"

#include "hcl/HclError.h"

#include <gmock/gmock.h>

#include <string>

using namespace fronttest;
using ::testing::HasSubstr;

namespace {

class BreakTest : public ::testing::Test {
protected:
    void SetUp() override {
        oxHclResetBreakpointsForTesting();
        oxHclSetLastError(oxERR_NONE);
    }
    void TearDown() override {
        ConsoleSetInputForTesting("", 0);
        oxHclResetBreakpointsForTesting();
        oxHclSetLastError(oxERR_NONE);
    }
    static unsigned UsedSlots() {
        unsigned n = 0;
        while (n < oxHCL_MAX_BREAKPOINTS && oxHclGetBreakpoint(n) != nullptr) {
            ++n;
        }
        return n;
    }
};

std::string Entries(unsigned count) {
    std::string text;
    for (unsigned i = 0; i < count; ++i) {
        text += "bw:reg[" + std::to_string(2 * i) + "];";
    }
    return text;
}

} // namespace

TEST_F(BreakTest, ParserAcceptsOrRefusesWithItsErrorCode) {
    struct Case {
        std::string Text;
        bool Result;
        std::uint32_t Error;
        unsigned Slots; // slots in use afterwards
    };
    const Case cases[] = {
        {"", true, oxERR_NONE, 0},
        {"bw:reg[40]", true, oxERR_NONE, 1},
        {"BW:REG[4A]", true, oxERR_NONE, 1},
        {"bw:reg[40h]", true, oxERR_NONE, 1},
        {";;bw:reg[40];;ar:reg8[41];", true, oxERR_NONE, 2},
        {"bw:reg[40]==1234;ar:reg[42]", true, oxERR_NONE, 2},
        {"bw:reg[40]==12 ignored;ar:reg[42]", true, oxERR_NONE, 2},
        {"br-reg16[40--4e]", true, oxERR_NONE, 1},
        {"bw:reg32[40-b31:0]", true, oxERR_NONE, 1},
        {"bw:reg8[40-b7:0]", true, oxERR_NONE, 1},
        {"bw:reg[41]", false, oxERR_BRK_ALIGNMENT, 0},
        {"bw:reg16[40--43]", false, oxERR_BRK_ALIGNMENT, 0},
        {"bw:reg32[42]", false, oxERR_BRK_ALIGNMENT, 0},
        {"bw:reg32[40--46]", false, oxERR_BRK_ALIGNMENT, 0},
        {"bw:reg8[41-b9]", false, oxERR_BRK_MASK, 0},
        {"bw:reg[40-b16]", false, oxERR_BRK_MASK, 0},
        {"bw:reg32[40-b32]", false, oxERR_BRK_MASK, 0},
        {"bw:reg32[40-b99999999999]", false, oxERR_BRK_MASK, 0},
        {"xw:reg[40]", false, oxERR_BRK_TIMING, 0},
        {"bx:reg[40]", false, oxERR_BRK_ACCESS_TYPE, 0},
        {"bw:foo[40]", false, oxERR_BRK_REG_FORMAT, 0},
        {"bw:reg[zz]", false, oxERR_BRK_REG_FORMAT, 0},
        {"bw:reg[]", false, oxERR_BRK_REG_FORMAT, 0},
        {"bw:reg[41-b3:9]", false, oxERR_BRK_REG_FORMAT, 0},
        {"bw:reg[40", false, oxERR_BRK_BRACE, 0},
        {"bw:reg[40]x", false, oxERR_BRK_MATCH_VALUE, 0},
        {"bw:reg[40]=1", false, oxERR_BRK_MATCH_VALUE, 0},
        {"bw:reg[40]==", false, oxERR_BRK_MATCH_VALUE, 0},
        {"bw:reg[40]==zz", false, oxERR_BRK_MATCH_VALUE, 0},
        {"bw:reg[40]==123456789", false, oxERR_BRK_MATCH_VALUE, 0},
        // Entries that end before their register: the text is never read past its end.
        {"b", false, oxERR_BRK_ACCESS_TYPE, 0},
        {"bw", false, oxERR_BRK_REG_FORMAT, 0},
        {"bw:", false, oxERR_BRK_REG_FORMAT, 0},
        {"bw:reg", false, oxERR_BRK_REG_FORMAT, 0},
        // An error keeps the entries before it and reads no further.
        {"bw:reg[40];xw:reg[42];bw:reg[44]", false, oxERR_BRK_TIMING, 1},
        {Entries(32), true, oxERR_NONE, 32},
        {Entries(33), false, oxERR_BRK_MAX, 32},
    };
    for (const Case& c : cases) {
        oxHclResetBreakpointsForTesting();
        oxHclSetLastError(oxERR_NONE);
        EXPECT_EQ(oxHclParseBreakpoints(c.Text.c_str()), c.Result) << c.Text;
        EXPECT_EQ(oxHclGetLastError(nullptr, 0), c.Error) << c.Text;
        EXPECT_EQ(UsedSlots(), c.Slots) << c.Text;
        EXPECT_TRUE(oxHclBreakpointsInUse()) << c.Text;
    }
}

TEST_F(BreakTest, EntriesArePlacedInTheirRegisterWord) {
    struct Case {
        const char* Text;
        oxHclBreakpoint Slot;
    };
    constexpr std::uint32_t N = oxHCL_BREAK_NO_END;
    // {access, timing, start, end, range, mask, shift, value flag, value}
    const Case cases[] = {
        {"bw:reg[40]", {1, 0, 0x40, N, 0, 0xFFFF, 0, 0, 0}},
        {"bw:reg[42]", {1, 0, 0x40, N, 0, 0xFFFF0000, 16, 0, 0}},
        {"br:reg16[46]", {0, 0, 0x44, N, 0, 0xFFFF0000, 16, 0, 0}},
        {"bw:reg8[43]", {1, 0, 0x40, N, 0, 0xFF000000, 24, 0, 0}},
        {"bw:reg8[41-b3]", {1, 0, 0x40, N, 0, 0x0800, 11, 0, 0}},
        {"bw:reg16[42-b7:4]", {1, 0, 0x40, N, 0, 0x00F00000, 20, 0, 0}},
        {"bw:reg32[44]", {1, 0, 0x44, N, 0, 0xFFFFFFFF, 0, 0, 0}},
        {"bw:reg32[44-b31:0]", {1, 0, 0x44, N, 0, 0xFFFFFFFF, 0, 0, 0}},
        {"br:reg[40--4e]", {0, 0, 0x40, 0x4F, 1, 0, 0, 0, 0}},
        {"br:reg32[40--4c]", {0, 0, 0x40, 0x4F, 1, 0, 0, 0, 0}},
        {"br:reg8[40--45]", {0, 0, 0x40, 0x45, 1, 0, 0, 0, 0}},
        {"aw:reg[40]==1234", {1, 1, 0x40, N, 0, 0xFFFF, 0, 1, 0x1234}},
        {"ar:reg8[42-b1]==1", {0, 1, 0x40, N, 0, 0x00020000, 17, 1, 1}},
    };
    for (const Case& c : cases) {
        oxHclResetBreakpointsForTesting();
        ASSERT_TRUE(oxHclParseBreakpoints(c.Text)) << c.Text;
        const oxHclBreakpoint* slot = oxHclGetBreakpoint(0);
        ASSERT_NE(slot, nullptr) << c.Text;
        const oxHclBreakpoint& e = c.Slot;
        EXPECT_EQ(slot->Access, e.Access) << c.Text;
        EXPECT_EQ(slot->Timing, e.Timing) << c.Text;
        EXPECT_EQ(slot->Start, e.Start) << c.Text;
        EXPECT_EQ(slot->End, e.End) << c.Text;
        EXPECT_EQ(slot->Range, e.Range) << c.Text;
        EXPECT_EQ(slot->Mask, e.Mask) << c.Text;
        EXPECT_EQ(slot->Shift, e.Shift) << c.Text;
        EXPECT_EQ(slot->ValueFlag, e.ValueFlag) << c.Text;
        EXPECT_EQ(slot->Value, e.Value) << c.Text;
    }
}

TEST_F(BreakTest, AccessesMatchByLaneRangeTimingAndValue) {
    struct Case {
        const char* List;
        std::uint32_t Index, Access, After, Value, Width;
        bool Hit;
    };
    const std::uint32_t R = oxHCL_BREAK_READ, W = oxHCL_BREAK_WRITE, E = oxHCL_BREAK_EITHER;
    const Case cases[] = {
        {"bw:reg[42]", 0x42, W, 0, 0, 2, true},
        {"bw:reg[42]", 0x42, W, 0, 0, 1, true},
        {"bw:reg[42]", 0x43, W, 0, 0, 1, true},
        {"bw:reg[42]", 0x40, W, 0, 0, 2, false},
        {"bw:reg[42]", 0x41, W, 0, 0, 1, false},
        {"bw:reg[42]", 0x42, R, 0, 0, 2, false},
        {"bw:reg[42]", 0x42, E, 0, 0, 2, true},
        {"bw:reg[42]", 0x42, W, 1, 0, 2, false},
        {"aw:reg[40]==1234", 0x40, W, 1, 0x1234, 2, true},
        {"aw:reg[40]==1234", 0x40, W, 1, 0x1235, 2, false},
        {"aw:reg[42]==1234", 0x42, W, 1, 0x1234, 2, true},
        {"aw:reg8[41]==12", 0x41, W, 1, 0x12, 1, true},
        {"aw:reg8[41]==12", 0x40, W, 1, 0x1234, 2, true},
        {"aw:reg8[41]==12", 0x40, W, 1, 0x1334, 2, false},
        {"bw:reg[40-b3]==1", 0x40, W, 0, 0x0008, 2, true},
        {"bw:reg[40-b3]==1", 0x40, W, 0, 0x0000, 2, false},
        {"bw:reg[40-b3]", 0x41, W, 0, 0, 1, false},
        {"br:reg[40--42]", 0x3F, R, 0, 0, 1, false}, // both ends of a range, by byte
        {"br:reg[40--42]", 0x40, R, 0, 0, 1, true},
        {"br:reg[40--42]", 0x43, R, 0, 0, 1, true},
        {"br:reg[40--42]", 0x44, R, 0, 0, 1, false},
        {"br:reg[40--42]", 0x42, R, 0, 0, 2, true},
        {"br:reg[40--42]", 0x44, R, 0, 0, 2, false},
        {"br:reg[40--42]", 0x3E, R, 0, 0, 2, false},
        {"br:reg[40--42]==1", 0x40, R, 0, 0x5, 2, true}, // ranges compare no value
        {"bw:reg32[44]", 0x46, W, 0, 0, 2, true},
        {"bw:reg32[44]", 0x44, W, 0, 0, 4, true},
    };
    for (const Case& c : cases) {
        oxHclResetBreakpointsForTesting();
        ASSERT_TRUE(oxHclParseBreakpoints(c.List)) << c.List;
        EXPECT_EQ(oxHclFindBreakpoint(c.Index, c.Access, c.After, c.Value, c.Width) != nullptr,
                  c.Hit)
            << c.List << " at " << std::hex << c.Index << " width " << c.Width;
    }
}

TEST_F(BreakTest, TheFirstMatchingSlotIsTheOneShown) {
    ASSERT_TRUE(oxHclParseBreakpoints("bw:reg[44];bw:reg[40--4e];bw:reg[40]"));
    EXPECT_EQ(oxHclFindBreakpoint(0x40, 1, 0, 0, 2), oxHclGetBreakpoint(1));
}

TEST_F(BreakTest, PrintedFormsOfABreakpoint) {
    ASSERT_TRUE(oxHclParseBreakpoints("br:reg[40--4e];aw:reg[42]==12;bw:reg8[41-b3]"));
    ::testing::internal::CaptureStdout();
    for (unsigned i = 0; i < 3; ++i) {
        oxHclPrintBreakpoint(*oxHclGetBreakpoint(i));
    }
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Before read break: Reg: 0040 - 004F\n"
              "After write break: Reg: 0040 Mask: FFFF0000 Value: 0012\n"
              "Before write break: Reg: 0040 Mask: 0800\n");
}

TEST_F(BreakTest, PromptListsItsCommandsRingsForOthersAndSwitchesStepMode) {
    ConsoleSetInputForTesting("?xS", 3);
    ::testing::internal::CaptureStdout();
    oxHclBreakpointPrompt(nullptr, 0x42);
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\nCurrent Register: 0042\nCommand: "
                                                        "\nS - step mode"
                                                        "\nR - run until next breakpoint\n"
                                                        "\nCommand: \as\n\n");
    EXPECT_TRUE(oxHclGetStepMode());

    ConsoleSetInputForTesting("r", 1);
    ::testing::internal::CaptureStdout();
    oxHclBreakpointPrompt(nullptr, 0x42);
    std::fflush(stdout);
    EXPECT_THAT(::testing::internal::GetCapturedStdout(), ::testing::EndsWith("Command: r\n\n"));
    EXPECT_FALSE(oxHclGetStepMode());
}

TEST_F(BreakTest, AtTheEndOfInputThePromptRunsOn) {
    ConsoleSetInputForTesting("s", 1);
    ::testing::internal::CaptureStdout();
    oxHclBreakpointPrompt(nullptr, 0x40);
    oxHclBreakpointPrompt(nullptr, 0x40); // no key left
    std::fflush(stdout);
    ::testing::internal::GetCapturedStdout();
    EXPECT_FALSE(oxHclGetStepMode());
}

TEST_F(BreakTest, NumbersOfEachRadix) {
    struct Case {
        const char* Text;
        std::size_t Length;
        std::uint32_t Radix, Value;
    };
    const Case cases[] = {
        {"101", 0, 2, 5},   {"1012", 0, 2, 5}, {"19z", 0, 10, 19}, {"fF", 0, 16, 255},
        {"123", 2, 10, 12}, {"777", 0, 8, 0},  {"", 0, 16, 0},     {"123456789", 0, 16, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(oxHclParseNumber(c.Text, c.Length, c.Radix), c.Value) << c.Text;
    }
}

TEST_F(BreakTest, RegisterTermForms) {
    struct Case {
        const char* Text;
        bool Result;
        std::uint32_t Index, End, Mask, High, Low;
    };
    constexpr std::uint32_t N = oxHCL_BREAK_NO_END;
    const Case cases[] = {
        {"40--4e", true, 0x40, 0x4E, 0, 0, 0}, {"40h--4eh", true, 0x40, 0x4E, 0, 0, 0},
        {"41-b9", true, 0x41, N, 0x200, 9, 9}, {"41-b9:3", true, 0x41, N, 0x3F8, 9, 3},
        {"40h-b1", true, 0x40, N, 0x2, 1, 1},  {"41-b3:9", false, 0, 0, 0, 0, 0},
        {"40", false, 0, 0, 0, 0, 0},          {"40-x", false, 0, 0, 0, 0, 0},
        {"40--", false, 0, 0, 0, 0, 0},        {"40-b", false, 0, 0, 0, 0, 0},
        {"40-b1:", false, 0, 0, 0, 0, 0},      {"40-b1x", false, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::uint32_t index = 0, end = 0, mask = 0, high = 0, low = 0;
        const bool ok =
            oxHclParseBreakRegister(c.Text, std::strlen(c.Text), index, end, mask, high, low);
        EXPECT_EQ(ok, c.Result) << c.Text;
        if (ok && c.Result) {
            EXPECT_EQ(index, c.Index) << c.Text;
            EXPECT_EQ(end, c.End) << c.Text;
            EXPECT_EQ(mask, c.Mask) << c.Text;
            EXPECT_EQ(high, c.High) << c.Text;
            EXPECT_EQ(low, c.Low) << c.Text;
        }
    }
}

// Through the front: step mode stops every checked access twice, with no breakpoint shown.
TEST_F(FrontTest, StepModeStopsBeforeAndAfterEveryRegisterAccess) {
    Acquire();
    ASSERT_TRUE(oxHclParseBreakpoints("br:reg[40]"));
    Keys("sss");
    Capture();
    oxHclReadReg16(0x40); // stops at the breakpoint, then steps
    oxHclWriteReg8(0x51, 1);
    const std::string out = Captured();
    EXPECT_EQ(out, "\nCurrent Register: 0040\nBefore read break: Reg: 0040 Mask: FFFF\n"
                   "Command: s\n\n"
                   "<slot ReadReg16 40 trace=0>\n"
                   "\nCurrent Register: 0040\nCommand: s\n\n"
                   "\nCurrent Register: 0051\nCommand: s\n\n"
                   "<slot WriteReg8 51 1 trace=0>\n"
                   "\nCurrent Register: 0051\nCommand: \n\n");
    EXPECT_FALSE(oxHclGetStepMode()); // the input ended at the last stop
}

TEST_F(FrontTest, BurstsMemoryAndRawAccessAreNeverChecked) {
    Acquire();
    m_Board->PrintCalls = false;
    ASSERT_TRUE(oxHclParseBreakpoints("br:reg[0--1fe];bw:reg[0--1fe]"));
    std::uint16_t words[2] = {};
    Capture();
    oxHclBurstReadReg16(0x40, words, 2);
    oxHclBurstWriteReg16(0x40, words, 2);
    oxHclWriteMemory16(0x40, 1);
    oxHclReadRaw(0, 0x40, 2);
    EXPECT_EQ(Captured(), "");
}

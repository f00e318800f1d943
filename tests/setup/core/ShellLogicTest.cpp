// The shell's logic without windows: command lines, the status box, the debug terminal,
// numbers in dialog fields and the words of Save and Run.
#include "setup/core/DebugTerminal.h"
#include "setup/core/DialogNumbers.h"
#include "setup/core/SaveAndRun.h"
#include "setup/core/SetupStart.h"
#include "setup/core/ShellTexts.h"
#include "setup/core/StatusBox.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, DecidesBetweenTheMainWindowAndConfigureMultiple) {
    struct Case {
        std::vector<std::string> Words;
        bool MainWindow;
        std::vector<std::string> Files;
    };
    const Case cases[] = {
        {{}, true, {}},
        {{"/TEST"}, true, {}},
        {{"/testing", "a.exe"}, true, {}},
        {{"my file.exe"}, false, {"my file.exe"}},
        {{"a.exe", "b.exe"}, false, {"a.exe", "b.exe"}},
        {{"a.exe", "-x", "b.exe"}, false, {"a.exe"}},
        {{"-x", "a.exe"}, true, {}},
        {{"/usr/bin/true", "b.s19"}, false, {"/usr/bin/true", "b.s19"}},
        // An existing file whose path begins "/test" is a file, not the switch.
        {{"/tmp"}, false, {"/tmp"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Words.empty() ? std::string("(none)") : c.Words[0]);
        const SetupStart start = ParseCommandLine(c.Words);
        EXPECT_EQ(start.MainWindow, c.MainWindow);
        EXPECT_EQ(start.Files, c.Files);
    }
}

struct StatusFixture : ::testing::Test {
    StatusDiagnostics Diagnostics;
    StatusBox Box{[this] { return Diagnostics; }};
};

TEST_F(StatusFixture, StickyTextStaysBelowOtherMessagesUntilItsOwnerSpeaks) {
    struct Step {
        std::uint32_t Id;
        std::uint32_t Flags;
        const char* Text;
        bool Changed;
        const char* Shown;
    };
    const Step steps[] = {
        {1, 0, "plain\n", true, "plain"},
        {1, 0, "plain\n", false, "plain"}, // the same text is not written again
        {2, kStatusSticky, "sticky\n", true, "sticky"},
        {3, 0, "other\n", true, "other\nsticky"}, // shown once below the next message
        {4, 0, "later\n", true, "later"},
        {2, kStatusSticky, "sticky\n", true, "sticky"},
        {2, 0, "owner\n", true, "owner"}, // the owner's own message clears it
        {5, kStatusSticky | kStatusNoSticky, "not kept\n", true, "not kept"},
        {6, 0, "next\n", true, "next"},
        {5, kStatusKeep, "kept\n", true, "kept"},
        {6, kStatusForce, "forced\n", true, "forced"}, // force clears the sticky text too
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Text);
        EXPECT_EQ(Box.SetStatusText(step.Id, step.Flags, step.Text).Changed, step.Changed);
        EXPECT_EQ(Box.Text(), step.Shown);
    }
}

TEST_F(StatusFixture, AHoldKeepsOtherOwnersOutUnlessForced) {
    Box.SetStatusText(1, 0, "first");
    Box.Hold(8);
    EXPECT_FALSE(Box.SetStatusText(2, 0, "ignored").Accepted);
    EXPECT_FALSE(Box.SetStatusText(0, kStatusForce, "no owner").Accepted);
    EXPECT_EQ(Box.Text(), "first");
    EXPECT_TRUE(Box.SetStatusText(2, kStatusForce, "forced").Changed);
    EXPECT_TRUE(Box.SetStatusText(3, 0, "free again").Changed);
}

TEST_F(StatusFixture, DiagnosticsAreAppendedAndSetTheWarningFlag) {
    struct Case {
        StatusDiagnostics Diagnostics;
        std::uint32_t Flags;
        const char* Shown;
        bool Warning;
    };
    const Case cases[] = {
        {{"", "", ""}, 0, "msg", false},
        {{"", "", ""}, kStatusWarning, "msg", true},
        {{"model\n", "", ""}, 0, "msg\nmodel", true},
        {{"", "CHIPDEF ERROR: x\n", ""}, 0, "msg\nCHIPDEF ERROR: x", true},
        {{"", "", "warn\n"}, 0, "msg\nwarn", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Shown);
        Diagnostics = c.Diagnostics;
        Box.SetStatusText(1, c.Flags | kStatusForce, "msg\n");
        EXPECT_EQ(Box.Text(), c.Shown);
        EXPECT_EQ(Box.Warning(), c.Warning);
    }
}

TEST_F(StatusFixture, LongTextsAreKeptWhole) {
    const std::string message(10000, 'm');
    Diagnostics.Chip = std::string(5000, 'c');
    Box.SetStatusText(1, kStatusSticky, message);
    Box.SetStatusText(2, 0, message + "x");
    EXPECT_EQ(Box.Text(), message + "x" + message + Diagnostics.Chip);
}

TEST(DebugTerminal, CarriageReturnsOverwriteAndLineFeedsEndLines) {
    struct Case {
        std::vector<std::string> Appends;
        const char* Text;
    };
    const Case cases[] = {
        {{"50%", "\r", "75%", "\r", "100%", "\n"}, "100%\n"},
        {{"abcdef\rXY"}, "XYcdef"},
        {{"one\ntwo\n", "three"}, "one\ntwo\nthree"},
        {{"a\a", "b"}, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        int bells = 0;
        DebugTerminal terminal([&bells] { ++bells; });
        for (const std::string& text : c.Appends) {
            terminal.Append(text);
        }
        EXPECT_EQ(terminal.Text(), c.Text);
    }
}

TEST(DebugTerminal, LinesLongerThanFourThousandCharactersStayWhole) {
    DebugTerminal terminal;
    const std::string line(9000, 'x');
    terminal.Append(line + "\n" + line);
    EXPECT_EQ(terminal.Text(), line + "\n" + line);
}

TEST(GetDlgItemMilli, ReadsWholeAndThousandths) {
    struct Case {
        const char* Text;
        bool Ok;
        std::uint32_t Whole;
        std::uint32_t Milli;
    };
    const Case cases[] = {
        {"12.3456", true, 12, 12345},
        {"12", true, 12, 12000},
        {" 1 2 . 5 ", true, 12, 12500},
        {".25", true, 0, 250},
        {"", true, 0, 0},
        {"1,5", false, 7, 7},
        {"1.2.3", false, 7, 7},
        {"-1", false, 7, 7},
        {"4294967", true, 4294967, 4294967000u},
        {"4294967.295", true, 4294967, 4294967295u},
        {"4294967.296", false, 7, 7}, // thousandths beyond 32 bits
        {"4294968", false, 7, 7},     // x 1000 beyond 32 bits
        {"99999999999", false, 7, 7}, // whole part beyond 32 bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        std::uint32_t whole = 7;
        std::uint32_t milli = 7;
        EXPECT_EQ(GetDlgItemMilli(c.Text, &whole, &milli), c.Ok);
        EXPECT_EQ(whole, c.Whole);
        EXPECT_EQ(milli, c.Milli);
    }
}

TEST(SaveAndRun, TheFileAndItsArgumentsStaySeparateWords) {
    const std::string keep = "\"$@\"; exec \"${SHELL:-/bin/sh}\"";
    struct Case {
        const char* Path;
        const char* Arguments;
        std::vector<std::string> Tail;
    };
    const Case cases[] = {
        {"/tmp/play", "", {"/tmp/play"}},
        {"/tmp/my \"odd\" dir/play", "calc 1", {"/tmp/my \"odd\" dir/play", "calc", "1"}},
        {"/p", "print \"a b\"  x", {"/p", "print", "a b", "x"}},
        {"/p", "$(rm -rf ~) ;", {"/p", "$(rm", "-rf", "~)", ";"}},
        {"/p", "\"\"", {"/p", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Arguments);
        std::vector<std::string> expected = {"xterm", "-e", "/bin/sh", "-c", keep, "sh"};
        expected.insert(expected.end(), c.Tail.begin(), c.Tail.end());
        EXPECT_EQ(RunArgv("xterm", c.Path, c.Arguments), expected);
    }
}

TEST(ShellTexts, NameTheProduct) {
    EXPECT_EQ(GetBuildNumber(), 38u);
    EXPECT_EQ(GetProgramName().substr(GetProgramName().size() - 5), "SETUP");
    const std::string title = MainTitle("/tmp/dir/play", false);
    EXPECT_EQ(title.rfind("play - ", 0), 0u) << title;
    EXPECT_NE(title.find(" Configuration Utility  (Build 38)"), std::string::npos) << title;
    EXPECT_EQ(MainTitle("", true).find("play"), std::string::npos);
    EXPECT_NE(MainTitle("", true).find("(Debug Build 38)"), std::string::npos);
}

} // namespace

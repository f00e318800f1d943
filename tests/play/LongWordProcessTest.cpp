// Words, quoted texts and text values longer than they may be are refused with an error at the
// word, never cut and run: SHELL starts no process for a cut command line, CALC evaluates no cut
// expression, PRINT prints nothing cut. A long text split over several quoted words runs whole.
// Each case is a script run by play, or a command line, as a user would type it.
#include "PlayBench.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Q(size_t n) {
    return std::string(n, 'q');
}

// 1+1+...+1 with ones ones: 2 x ones - 1 characters.
std::string Sum(size_t ones) {
    std::string sum = "1";
    for (size_t i = 1; i < ones; ++i) {
        sum += "+1";
    }
    return sum;
}

struct Case {
    const char* Name;
    std::string Script;   // the script "longword.txt" that play runs; empty: Words instead
    std::string Words;    // command-line words (shell syntax)
    int Code;             // play's exit code
    std::string Shows;    // a text of the output
    const char* Made;     // a file the command makes when it runs, or nullptr
    bool MadeExpected;    // whether that file must exist afterwards
    std::string Contents; // when it must: its contents ("" = not checked)
};

TEST(LongWordProcess, NothingTooLongIsCutAndRun) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const std::string quotedTooLong = "ERROR: Quoted text is longer than 253 characters.\n";
    const std::string wordTooLong = "ERROR: Word is longer than 255 characters.\n";
    const std::string textTooLong = "ERROR: Text is longer than 255 characters.\n";
    const Case cases[] = {
        {"a shell command of 290 characters in one quoted text",
         "shell \"touch m1; echo " + Q(290) + " > out.txt\"\n", "", 1, quotedTooLong, "m1", false,
         ""},
        {"the same command split over several quoted texts",
         "shell \"touch m2; echo\" \"" + Q(200) + "\" \"" + Q(200) + "\" \"> out.txt\"\n", "", 0,
         "", "out.txt", true, Q(200) + " " + Q(200) + "\n"},
        {"a quoted text of 253 characters", "print \"" + Q(253) + "\"\n", "", 0, Q(253), nullptr,
         false, ""},
        {"a quoted text of 254 characters", "print \"" + Q(254) + "\"\n", "", 1, quotedTooLong,
         nullptr, false, ""},
        {"a print of 3000 characters", "print \"" + std::string(3000, 'x') + "\\n\"\n", "", 1,
         quotedTooLong, nullptr, false, ""},
        {"an expression word of 299 characters in a script", "calc " + Sum(150) + "\n", "", 1,
         wordTooLong, nullptr, false, ""},
        {"an expression word of 299 characters on the command line", "", "calc " + Sum(150), 1,
         wordTooLong, nullptr, false, ""},
        {"an expression word of 255 characters on the command line", "", "calc " + Sum(128), 0,
         "80h (128t)", nullptr, false, ""},
        {"a text made longer than 255 characters before SHELL",
         "set $q \"" + Q(200) + "\"\nshell (\"touch m3; echo \"+$q+$q+\" > out.txt\")\n", "", 1,
         textTooLong, "m3", false, ""},
        {"a text of 255 characters made before SHELL",
         "set $q \"" + Q(200) + "\"\nshell (\"touch m4; echo \"+($q+\"" + Q(30) +
             "\")+\" > out.txt\")\n",
         "", 0, "", "out.txt", true, Q(230) + "\n"},
        {"a text made longer by embedded expressions",
         "set $q \"" + Q(200) + "\"\nshell \"touch m5; echo {$q}{$q}\"\n", "", 1, textTooLong, "m5",
         false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const q3vtest::PlayBench bench;
        std::string words = c.Words;
        if (!c.Script.empty()) {
            bench.WriteFile("longword.txt", c.Script);
            words = "longword";
        }
        const q3vtest::PlayRun run = bench.Run("/nocard " + words);
        EXPECT_EQ(run.Code, c.Code) << run.Output;
        EXPECT_NE(run.Output.find(c.Shows), std::string::npos) << run.Output;
        if (c.Made != nullptr) {
            EXPECT_EQ(bench.Exists(c.Made), c.MadeExpected) << run.Output;
        }
        if (c.MadeExpected && !c.Contents.empty()) {
            EXPECT_EQ(bench.ReadFile(c.Made), c.Contents);
        }
    }
}

TEST(LongWordProcess, ARefusedWordIsPointedAtAndStopsItsScript) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::PlayBench bench;
    bench.WriteFile("longword.txt", "calc 1 " + Sum(150) + "\ncalc 2\n");
    const q3vtest::PlayRun run = bench.Run("/nocard longword");
    EXPECT_EQ(run.Code, 1) << run.Output;
    // Under the echoed line "=calc 1 ...": the prompt and seven columns before the word.
    EXPECT_NE(run.Output.find("=calc 1 " + Sum(150) + "\n" + std::string(8, ' ') +
                              "^\nERROR: Word is longer than 255 characters.\n"),
              std::string::npos)
        << run.Output;
    EXPECT_EQ(run.Output.find("=calc 2"), std::string::npos) << run.Output;
}

} // namespace

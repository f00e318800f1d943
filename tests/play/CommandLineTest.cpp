// The switches of the command line: what each asks for, in any case and place, and the words
// left over for the one-command mode.
#include "PlayTestSupport.h"

#include "play/ArgParsers.h"
#include "play/CommandLine.h"

#include "hcl/HclBreak.h"
#include "hcl/HclTrace.h"

namespace {

// The words of a command line as main receives them (writable, as switches are emptied).
class CommandLineWords {
public:
    explicit CommandLineWords(std::vector<std::string> words) : m_Words(std::move(words)) {
        for (std::string& word : m_Words) {
            m_Pointers.push_back(word.data());
        }
    }
    int Count() const { return static_cast<int>(m_Pointers.size()); }
    char** Argv() { return m_Pointers.data(); }
    std::vector<std::string> Left() const {
        std::vector<std::string> left;
        for (const char* word : m_Pointers) {
            left.emplace_back(word);
        }
        return left;
    }

private:
    std::vector<std::string> m_Words;
    std::vector<char*> m_Pointers;
};

const char* const kNoCardWarning = "!!!!! WARNING: Detected /nocard switch!\n";
const char* const kUsage = "\nUsage: PLAY [cmd] [/?]";

} // namespace

// As main has it: a mask may be an expression.
class CommandLine : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        SetExprHook(EvalArgHook);
    }
    void TearDown() override {
        SetExprHook(nullptr);
        oxHclResetBreakpointsForTesting();
        oxHclResetTraceForTesting();
        PlayTest::TearDown();
    }
};

TEST_F(CommandLine, SwitchesInAnyCaseAndPlace) {
    const struct {
        std::vector<std::string> Words;
        bool Exit;
        int ExitCode;
        bool CpuGiven;
        uint32_t CpuMask;
        bool Acquired;
        const char* Shows; // nullptr: nothing is printed
        std::vector<std::string> Left;
    } cases[] = {
        {{"play"}, false, 0, false, 0, true, nullptr, {"play"}},
        {{"PLAY", "R16", "20"}, false, 0, false, 0, true, nullptr, {"play", "r16", "20"}},
        // The mask is hexadecimal by default; a radix letter or an expression also serve.
        {{"play", "/cpu:10"}, false, 0, true, 0x10, true, nullptr, {"play", ""}},
        {{"play", "d", "/CPU:Ff", "0"},
         false,
         0,
         true,
         0xFF,
         true,
         nullptr,
         {"play", "d", "", "0"}},
        {{"play", "/Cpu:10t"}, false, 0, true, 10, true, nullptr, {"play", ""}},
        {{"play", "/cpu:(2*3)"}, false, 0, true, 6, true, nullptr, {"play", ""}},
        {{"play", "/cpu:1", "/cpu:3"}, false, 0, true, 3, true, nullptr, {"play", "", ""}},
        // A mask that is no number ends the program silently.
        {{"play", "/cpu:zz", "d"}, true, 1, false, 0, true, nullptr, {"play", "/cpu:zz", "d"}},
        {{"play", "w", "/NoCard"}, false, 0, false, 0, false, kNoCardWarning, {"play", "w", ""}},
        // "/?" ends at once: the words after it are not looked at.
        {{"play", "/?", "/CPU:zz"}, true, 0, false, 0, true, kUsage, {"play", "/?", "/CPU:zz"}},
        {{"play", "/nocard", "/?"}, true, 0, false, 0, false, kUsage, {"play", "", "/?"}},
        // A word that merely contains a switch is a command word.
        {{"play", "x/cpu:1", "/cpu"},
         false,
         0,
         false,
         0,
         true,
         nullptr,
         {"play", "x/cpu:1", "/cpu"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Words.back());
        InitSession(0, nullptr);
        Output();
        CommandLineWords words(c.Words);
        const Switches switches = HandleSwitches(words.Count(), words.Argv());
        EXPECT_EQ(switches.Exit, c.Exit);
        EXPECT_EQ(switches.ExitCode, c.ExitCode);
        EXPECT_EQ(switches.CpuGiven, c.CpuGiven);
        if (c.CpuGiven) {
            EXPECT_EQ(switches.CpuMask, c.CpuMask);
        }
        EXPECT_FALSE(switches.DebugGiven);
        EXPECT_EQ(g_Acquired, c.Acquired);
        const std::string shown = Output();
        if (c.Shows == nullptr) {
            EXPECT_EQ(shown, "");
        } else {
            EXPECT_NE(shown.find(c.Shows), std::string::npos) << shown;
        }
        EXPECT_EQ(words.Left(), c.Left);
    }
}

TEST_F(CommandLine, DebugAndBreakGoToTheHardwareLayer) {
    CommandLineWords accepted({"play", "/DEBUG:RW:trace.log", "/Break:BW:REG[40]"});
    Switches switches = HandleSwitches(accepted.Count(), accepted.Argv());
    EXPECT_FALSE(switches.Exit);
    EXPECT_TRUE(switches.DebugGiven);
    EXPECT_TRUE(oxHclBreakpointsInUse());
    EXPECT_EQ(accepted.Left(), (std::vector<std::string>{"play", "", ""}));
    EXPECT_EQ(Output(), "");

    // A refused switch ends the run with code 1 (the breakpoint error shows its text and code).
    CommandLineWords badDebug({"play", "/debug:q"});
    switches = HandleSwitches(badDebug.Count(), badDebug.Argv());
    EXPECT_TRUE(switches.Exit);
    EXPECT_EQ(switches.ExitCode, 1);

    CommandLineWords badBreak({"play", "/break:zz"});
    switches = HandleSwitches(badBreak.Count(), badBreak.Argv());
    EXPECT_TRUE(switches.Exit);
    EXPECT_EQ(switches.ExitCode, 1);
    const std::string shown = Output();
    EXPECT_EQ(shown.rfind("\n\n", 0), 0u) << shown;
    EXPECT_EQ(shown.back(), ')') << shown;
}

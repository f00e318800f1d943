// The script runner: a script's level lives only while it runs (its frame, its variables), its
// arguments are evaluated in the caller's scope, and a failure reaches every caller.
#include "PlayTestSupport.h"
#include "platform/Console.h"
#include "play/ScriptCommands.h"
#include "play/ScriptTokens.h"

#include <fstream>

namespace {

class ScriptRunnerTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        m_Resolver = ExprGetResolver();
        ExprSetResolver(ResolveScriptTokens);
        std::snprintf(g_RunPath[0], kRunPathSize, "%s/", m_Folder.Path().c_str());
    }
    void TearDown() override {
        ExprSetResolver(m_Resolver);
        PlayTest::TearDown();
    }
    void Write(const char* name, const char* text) {
        std::ofstream(m_Folder.File(name), std::ios::binary) << text;
    }
    // RUN with the words after it.
    bool RunWords(std::vector<std::string> words, ExprValue* result) {
        words.insert(words.begin(), "run");
        return CallHandler(CmdRun, std::move(words), result);
    }

    q3vtest::TempFolder m_Folder{"play-scripts"};
    ExprResolver m_Resolver = nullptr;
};

} // namespace

TEST_F(ScriptRunnerTest, ALevelLeavesNothingBehind) {
    SetCommandTable(g_Commands, RunScript);
    Write("inner.txt", "$local = input peek\n"
                       "$$global = input peek\n"
                       "retval = inner2 arg[1]\n");
    Write("inner2.txt", "retval = input peek\n"
                        "print arg[1] \"|\" argn.st\n");
    ConsoleSetInputForTesting("xyz", 3);
    ExprValue number{};
    number.Number = 0x2A;
    ASSERT_TRUE(ExprSetVar("$x", 2, &number, nullptr));

    ExprValue result{};
    EXPECT_TRUE(RunWords({"inner", "$x"}, &result));
    ConsoleSetInputForTesting("", 0);
    // The caller's $x became "2Ah" for inner, and inner handed it on as a text.
    EXPECT_NE(Output().find("2Ah|2"), std::string::npos);
    EXPECT_EQ(result.IsString, 1);
    EXPECT_STREQ(result.Text, "z");
    EXPECT_EQ(g_CurFrame, nullptr);
    EXPECT_EQ(g_ScriptDepth, 0u);
    // The script's locals are gone; its global and the caller's variable stay.
    uint32_t row = 0;
    EXPECT_FALSE(ExprFindVar("$local", 6, "inner1", &row));
    EXPECT_TRUE(ExprFindVar("$$global", 8, nullptr, &row));
    EXPECT_TRUE(ExprFindVar("$x", 2, nullptr, &row));
    EXPECT_EQ(ExprVarCount(), 2u);
}

TEST_F(ScriptRunnerTest, AFailingLineStopsEveryLevel) {
    SetCommandTable(g_Commands, RunScript);
    Write("outer.txt", "print \"outer\"\ninner\nprint \"outer after\"\n");
    Write("inner.txt", "sleep zz\nprint \"inner after\"\n");
    EXPECT_FALSE(RunWords({"outer"}, nullptr));
    const std::string text = Output();
    EXPECT_NE(text.find("ERROR: 'zz' isn't a valid sleep time."), std::string::npos);
    EXPECT_EQ(text.find("after"), std::string::npos);
    EXPECT_EQ(g_CurFrame, nullptr);
    EXPECT_EQ(g_ScriptDepth, 0u);
}

TEST_F(ScriptRunnerTest, AMissingScriptIsReportedOnlyWhenAsked) {
    ArgVector args;
    std::snprintf(args[0], kArgSize, "%s", "nothing");
    ExprValue result{};
    EXPECT_FALSE(RunScript(false, 1, args.Words(), &result));
    EXPECT_EQ(Output(), "");
    EXPECT_FALSE(RunScript(true, 1, args.Words(), &result));
    EXPECT_EQ(Output(),
              "ERROR: 'nothing.txt' is not a valid command or script file which can be opened.\n");
}

// The word splitter, the statement executor and the dispatcher.
#include "PlayTestSupport.h"

#include <string>

namespace {

std::vector<std::string> Split(const std::string& text, int32_t* count = nullptr) {
    ArgVector args;
    const int32_t n = SplitArgs(text.data(), text.size(), args.Words());
    if (count != nullptr) {
        *count = n;
    }
    std::vector<std::string> words;
    for (int32_t i = 0; i < n; ++i) {
        words.emplace_back(args[static_cast<size_t>(i)]);
    }
    for (int32_t i = n; i < kMaxArgs; ++i) {
        EXPECT_STREQ(args[static_cast<size_t>(i)], "") << "word " << i << " past the count";
    }
    return words;
}

using Words = std::vector<std::string>;

} // namespace

TEST(SplitArgs, Words) {
    const struct {
        const char* m_Text;
        Words m_Words;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"r16 1000", {"r16", "1000"}},
        {"  a\t\tb \r\n c  \t", {"a", "b", "c"}},
        {"print \"a b; c\" x", {"print", "\"a b; c\"", "x"}},
        {"print \"say \\\"hi there\\\"\" y", {"print", "\"say \\\"hi there\\\"\"", "y"}},
        {"x=\"a b\"c d", {"x=\"a b\"c", "d"}},
        {"print \"open to the end", {"print", "\"open to the end"}},
        {"set reg[10 + 2] 5", {"set", "reg[10 + 2]", "5"}},
        {"calc (a + (b * c)) 1", {"calc", "(a + (b * c))", "1"}},
        {"calc (a [ b) c", {"calc", "(a [ b)", "c"}},
        {"calc (\"a )\" b", {"calc", "(\"a )\" b"}},
        {"set $a[ 1", {"set", "$a[ 1"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Split(c.m_Text), c.m_Words) << c.m_Text;
    }
}

TEST(SplitArgs, LongWordsAreRefusedNotCut) {
    const std::string q253(253, 'q');
    const struct {
        std::string Text;
        const char* Refusal; // nullptr: split whole
        size_t Column;       // of the refused word
    } cases[] = {
        {"x " + std::string(255, 'a') + " y", nullptr, 0},
        {"x " + std::string(256, 'a') + " y", kWordTooLongText, 2},
        {"shell \"" + q253 + "\"", nullptr, 0},
        {"shell \"" + q253 + "q\"", kQuotedTooLongText, 6},
        {"shell \"" + q253, nullptr, 0},                  // a run to the end of the text
        {"shell \"" + q253 + "q", kQuotedTooLongText, 6}, // ... one longer
        {"p \"" + std::string(252, 'q') + "\\\"\"", kQuotedTooLongText, 2}, // \" counts two
        {"p \"" + std::string(251, 'q') + "\\\"\"", nullptr, 0},
        {"p \"a\"\"" + std::string(252, 'b') + "\"", kWordTooLongText, 2}, // two runs, one word
        {"calc (" + std::string(254, '1') + ")", kWordTooLongText, 5},
        {"calc (\"" + std::string(300, 'q') + "\")", kWordTooLongText, 5}, // no run in a group
    };
    for (const auto& c : cases) {
        ArgVector args;
        SplitRefusal refusal;
        const int32_t n = SplitArgs(c.Text.data(), c.Text.size(), args.Words(), &refusal);
        if (c.Refusal == nullptr) {
            ASSERT_GT(n, 0) << c.Text.substr(0, 20) << ": " << (refusal.Text ? refusal.Text : "");
            std::string joined;
            for (int32_t i = 0; i < n; ++i) {
                joined += (i == 0 ? "" : " ") + std::string(args[static_cast<size_t>(i)]);
            }
            EXPECT_EQ(joined, c.Text) << "nothing is cut";
            continue;
        }
        EXPECT_EQ(n, kSplitRefused) << c.Text.substr(0, 20);
        EXPECT_STREQ(refusal.Text, c.Refusal) << c.Text.substr(0, 20);
        EXPECT_EQ(refusal.Column, c.Column) << c.Text.substr(0, 20);
        // The one-command copy refuses the refused word alike.
        const std::string word = c.Text.substr(c.Column, c.Text.find(' ', c.Column) - c.Column);
        EXPECT_STREQ(WordRefusal(word), c.Refusal) << word.substr(0, 20);
    }
}

TEST(SplitArgs, ExtraWordsAreIgnored) {
    std::string many;
    for (int i = 0; i < 200; ++i) {
        many += "w" + std::to_string(i) + " ";
    }
    int32_t count = 0;
    const Words words = Split(many, &count);
    EXPECT_EQ(count, kMaxArgs);
    EXPECT_EQ(words.back(), "w127");
}

class Executor : public PlayTest {};

TEST_F(Executor, StatementsCommentsAndFlowLines) {
    HandlerSwap m("m", &RecordingHandler);
    HandlerSwap ifRow("if", &RecordingHandler);
    HandlerSwap print("print", &RecordingHandler);
    const struct {
        const char* m_Line;
        std::vector<Words> m_Calls;
    } cases[] = {
        {"m 0; m 1 ' read two", {{"m", "0"}, {"m", "1"}}},
        {"m 0;m 1;", {{"m", "0"}, {"m", "1"}}},
        {"print \"a; b\" ' c", {{"print", "\"a; b\""}}},
        {"print \"a \\\"; b\"; m", {{"print", "\"a \\\"; b\""}, {"m"}}},
        {"if ($a == 1) m 0; m 1 ' x", {{"if", "($a == 1)", "m", "0;", "m", "1", "'", "x"}}},
        {"IF 1 m; m", {{"if", "1", "m;", "m"}}},
        {"m IF 1; m", {{"m", "IF", "1"}, {"m"}}},
        {"M 0", {{"m", "0"}}},
        {"m 'x'", {{"m"}}},
    };
    for (const auto& c : cases) {
        RecordedCalls().clear();
        bool ran = false;
        Run(c.m_Line, &ran);
        std::vector<Words> calls;
        for (const RecordedCall& call : RecordedCalls()) {
            calls.push_back(call.m_Words);
        }
        EXPECT_EQ(calls, c.m_Calls) << c.m_Line;
        EXPECT_TRUE(ran) << c.m_Line;
    }
}

TEST_F(Executor, LinesThatRunNothing) {
    HandlerSwap m("m", &RecordingHandler);
    for (const char* line : {"", "   \t", ";;", " ; ;", "' note; m", "  ' m"}) {
        bool ran = true;
        EXPECT_TRUE(Run(line, &ran)) << line;
        EXPECT_FALSE(ran) << line;
    }
    EXPECT_TRUE(RecordedCalls().empty());
    EXPECT_EQ(Output(), "");
}

TEST_F(Executor, FailureStopsTheLine) {
    HandlerSwap m("m", &RecordingHandler);
    bool ran = false;
    EXPECT_FALSE(Run("m 1; m fail; m 3", &ran));
    EXPECT_TRUE(ran);
    ASSERT_EQ(RecordedCalls().size(), 2u);
    EXPECT_EQ(Output(), "failed\n");
}

TEST_F(Executor, FlowWordIsMatchedAsAWholeWord) {
    HandlerSwap m("m", &RecordingHandler);
    HandlerSwap whileRow("while", &RecordingHandler);
    // "whilex" is no flow word, so its ";" ends the statement; "While" is one.
    EXPECT_FALSE(Run("whilex 1; m"));
    EXPECT_TRUE(RecordedCalls().empty());
    EXPECT_EQ(Output(), "ERROR: 'whilex.txt' is not a valid command or script file which can be "
                        "opened.\n");
    EXPECT_TRUE(Run("While 1 m; m"));
    ASSERT_EQ(RecordedCalls().size(), 1u);
    EXPECT_EQ(RecordedCalls()[0].m_Words, (Words{"while", "1", "m;", "m"}));
}

TEST_F(Executor, TooManyWords) {
    HandlerSwap m("m", &RecordingHandler);
    std::string line = "m";
    for (int i = 1; i < 127; ++i) {
        line += " a";
    }
    EXPECT_TRUE(Run(line.c_str()));
    ASSERT_EQ(RecordedCalls().size(), 1u);
    EXPECT_EQ(RecordedCalls()[0].m_Words.size(), 127u);

    line += " a; m";
    RecordedCalls().clear();
    EXPECT_FALSE(Run(line.c_str()));
    EXPECT_TRUE(RecordedCalls().empty());
    EXPECT_EQ(Output(), "ERROR: Too many arguments (max 127).\n");
}

TEST_F(Executor, UnknownWordIsTriedAsAScript) {
    EXPECT_FALSE(Run("nosuchthing 1 2"));
    EXPECT_EQ(Output(), "ERROR: 'nosuchthing.txt' is not a valid command or script file which "
                        "can be opened.\n");
}

namespace {

bool GiveFive(int32_t, char**, ExprValue* result) {
    result->IsString = 0;
    result->Number = 5;
    return true;
}

bool GiveNothing(int32_t, char**, ExprValue*) {
    return true;
}

// Runs a nested line, as WHILE, RUN and HELP do, and checks that its own words survive it.
bool Nesting(int32_t argc, char** argv, ExprValue*) {
    const std::vector<std::string> before(argv, argv + argc);
    RecordedCalls().push_back({before});
    ExecuteStatements("m inner words here", 18, nullptr);
    const std::vector<std::string> after(argv, argv + argc);
    return before == after;
}

uint32_t VarNumber(const char* name) {
    ExprValue value{};
    EXPECT_TRUE(ExprGetVar(name, std::strlen(name), &value, nullptr)) << name;
    EXPECT_EQ(value.IsString, 0) << name;
    return value.Number;
}

} // namespace

TEST_F(Executor, AssignmentStoresTheCommandsResult) {
    HandlerSwap five("m", &GiveFive);
    HandlerSwap nothing("show", &GiveNothing);
    EXPECT_TRUE(Run("$x = m 1"));
    EXPECT_EQ(VarNumber("$x"), 5u);
    // A command that gives back nothing assigns the number 0.
    EXPECT_TRUE(Run("$y = show; $z = m"));
    EXPECT_EQ(VarNumber("$y"), 0u);
    EXPECT_EQ(VarNumber("$z"), 5u);
    // Array elements get the evaluated index in their name, as the evaluator reads them.
    EXPECT_TRUE(Run("$a[1+1] = m"));
    EXPECT_EQ(VarNumber("$a[00000002h]"), 5u);
    EXPECT_EQ(Output(), "");
}

TEST_F(Executor, AssignmentNeedsBlanksAroundTheEqualsSign) {
    HandlerSwap five("m", &GiveFive);
    EXPECT_FALSE(Run("$x=m 0"));
    EXPECT_EQ(Output(), "ERROR: '$x=m.txt' is not a valid command or script file which can be "
                        "opened.\n");
    // The right side is always a command: "5" is tried as a script.
    EXPECT_FALSE(Run("x = 5"));
    EXPECT_EQ(Output(),
              "ERROR: '5.txt' is not a valid command or script file which can be opened.\n");
}

TEST_F(Executor, BadAssignmentTargetsGetACaretUnderTheTarget) {
    HandlerSwap five("m", &GiveFive);
    EXPECT_FALSE(Run("m; $a[1 = m"));
    EXPECT_EQ(Output(), "      ^\nERROR: Missing closing bracket.\n");
    // Tokens cannot be set yet: the command runs, the assignment is refused.
    EXPECT_FALSE(Run("m;  reg = m; m"));
    EXPECT_EQ(Output(), "     ^\nERROR: Unknown feature or token.\n");
}

TEST_F(Executor, FullVariableTableRefusesANewVariable) {
    HandlerSwap five("m", &GiveFive);
    const ExprValue one{0, 1, {}};
    for (uint32_t i = ExprVarCount(); i < EXPR_MAX_VARS; ++i) {
        const std::string name = "$v" + std::to_string(i);
        ASSERT_TRUE(ExprSetVar(name.c_str(), name.size(), &one, nullptr));
    }
    EXPECT_TRUE(Run("$v5 = m"));
    EXPECT_EQ(VarNumber("$v5"), 5u);
    EXPECT_FALSE(Run("$extra = m; m"));
    EXPECT_EQ(Output(), " ^\nERROR: Failed to create user variable; exceeded maximum number of "
                        "variables.\n");
}

TEST_F(Executor, NestedExecutionKeepsTheOuterWords) {
    HandlerSwap m("m", &RecordingHandler);
    HandlerSwap nest("while", &Nesting);
    EXPECT_TRUE(Run("while a b c d"));
    ASSERT_EQ(RecordedCalls().size(), 2u);
    EXPECT_EQ(RecordedCalls()[1].m_Words, (Words{"m", "inner", "words", "here"}));
}

TEST_F(Executor, DispatchRefusesUnbuiltAndNoCardCommands) {
    HandlerSwap read("r", &RecordingHandler);
    HandlerSwap mode("m", &RecordingHandler);
    HandlerSwap unbuilt("xbs", nullptr);
    g_Acquired = false;
    g_NoCard = true;
    EXPECT_FALSE(Run("r 0"));
    EXPECT_FALSE(Run("r ? x"));
    EXPECT_EQ(Output(), "!!!!! ERROR: This command cannot be invoked with the /nocard switch.\n"
                        "!!!!! ERROR: This command cannot be invoked with the /nocard switch.\n");
    // Not acquired without the switch: after a RESET that failed.
    g_NoCard = false;
    EXPECT_FALSE(Run("r 0"));
    EXPECT_EQ(Output(), "ERROR: The controller has not been acquired.\n");
    EXPECT_TRUE(RecordedCalls().empty());
    EXPECT_TRUE(Run("r ?usage"));
    EXPECT_TRUE(Run("m 1"));
    EXPECT_EQ(RecordedCalls().size(), 2u);

    g_Acquired = true;
    EXPECT_FALSE(Run("XBS 1"));
    EXPECT_EQ(Output(), "ERROR: This command is not implemented yet.\n");
}

namespace {

bool RecordingRunner(bool reportMissing, int32_t argc, char** argv, ExprValue* result) {
    EXPECT_TRUE(reportMissing);
    RecordingHandler(argc, argv, result);
    return true;
}

} // namespace

TEST_F(Executor, DispatchUsesTheTableAndRunnerItWasHanded) {
    const CommandEntry table[] = {
        {SEC_BASIC, "go;g", &RecordingHandler, 1, "G"},
        {SEC_BASIC, "g;stop", nullptr, 1, "S"},
    };
    SetCommandTable(table, &RecordingRunner);
    EXPECT_FALSE(Run("G 1; stop"));
    EXPECT_EQ(Output(), "ERROR: This command is not implemented yet.\n");
    // A word of the program's table is no command here: it goes to the script runner.
    EXPECT_TRUE(Run("q now"));
    SetCommandTable(g_Commands, &RunScript);
    ASSERT_EQ(RecordedCalls().size(), 2u);
    EXPECT_EQ(RecordedCalls()[0].m_Words, (Words{"g", "1"}));
    EXPECT_EQ(RecordedCalls()[1].m_Words, (Words{"q", "now"}));
    EXPECT_FALSE(g_Quit);
}

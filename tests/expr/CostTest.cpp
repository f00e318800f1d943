// The bound on the work of one evaluation, counted in steps, and the reuse of embedded results
// that keeps texts with many overlapping embedded expressions cheap without changing a result.
#include "ExprTestSupport.h"

#include "expr/ExprCost.h"

#include <string>
#include <vector>

namespace {

constexpr const char* kTooComplex = "Expression too complex.";

// A string literal with many "{" before one "}" and long runs of a prefix operator:
// "{a" + n "{" + n op + tail + "}" between quotes.
std::string BraceShape(size_t n, char op = '~', const std::string& tail = "y(/)5{{{{!!!!") {
    return "\"{a" + std::string(n, '{') + std::string(n, op) + tail + "}\"";
}

// The text between the quotes: no embedded expression of the shape evaluates, so the literal
// stands as written.
std::string Inside(const std::string& literal) {
    return literal.substr(1, literal.size() - 2);
}

// What a literal that stands as written gives: its text, or the refusal of a text longer than a
// value holds.
bool StandsAsWritten(const EvalResult& r, const std::string& literal) {
    const std::string text = Inside(literal);
    if (text.size() > EXPR_TEXT_MAX) {
        return r.Position == 1 && r.Error == "Text is longer than 255 characters.";
    }
    return r.IsText(text);
}

// Gives "name" a text, "count" the number of calls so far, and "bump" 0 after adding 1 to $x;
// other names are unknown.
struct StatefulResolver {
    static uint32_t& Calls() {
        static uint32_t s_Calls = 0;
        return s_Calls;
    }
    static uint32_t Resolve(const char* text, uint32_t length, ExprValue* value,
                            const char** errorText) {
        const std::string name(text, length);
        ++Calls();
        if (name == "name") {
            *value = TextValue("panel");
            return 0;
        }
        if (name == "count") {
            *value = NumberValue(Calls());
            return 0;
        }
        if (name == "bump") {
            ExprValue x{};
            ExprGetVar("$x", 2, &x, nullptr);
            x.Number += 1;
            ExprSetVar("$x", 2, &x, nullptr);
            *value = NumberValue(0);
            return 0;
        }
        *errorText = "Unknown feature or token.";
        return 1;
    }
};

class CostTest : public ExprTest {
protected:
    void SetUp() override {
        ExprTest::SetUp();
        StatefulResolver::Calls() = 0;
        ExprSetResolver(&StatefulResolver::Resolve);
    }
};

TEST_F(CostTest, BraceShapesAreDecidedWithinTheBudget) {
    // Up to the longest that fits 300 characters, and one whose operator run passes the depth
    // limit; each gives the literal as it gave before.
    std::vector<std::string> texts;
    for (const size_t n : {25u, 50u, 100u, 140u}) {
        texts.push_back(BraceShape(n, '~'));
        texts.push_back(BraceShape(n, '!'));
    }
    texts.push_back("\"{a" + std::string(20, '{') + std::string(260, '~') + "1}\"");
    for (const std::string& text : texts) {
        const EvalResult r = Eval(text);
        EXPECT_TRUE(StandsAsWritten(r, text)) << text << ": " << r;
        EXPECT_LT(ExprStepsTaken(), kExprMaxSteps) << text;
    }
}

TEST_F(CostTest, CostlyTextsAreRefusedAtTheBudget) {
    // Every embedded expression ends in a resolver call, so no result can be reused: each "{"
    // runs the whole operator run again.
    for (const std::string& text : {BraceShape(140, '~', "name"), BraceShape(100, '~', "name"),
                                    "  " + BraceShape(140, '!', "nope") + " + \"x\""}) {
        const EvalResult r = Eval(text);
        EXPECT_EQ(r.Position, 1u) << text.substr(0, 20);
        EXPECT_EQ(r.Error, kTooComplex) << text.substr(0, 20);
        EXPECT_EQ(ExprStepsTaken(), kExprMaxSteps + 1);
    }
    // The next evaluation starts with a whole budget.
    EXPECT_TRUE(Eval("(1+2)*5t").IsNumber(15));
}

TEST_F(CostTest, OrdinaryTextsStayFarBelowTheBudget) {
    std::string deepest;
    for (int i = 0; i < 250; ++i) {
        deepest += "(1+";
    }
    deepest += "1" + std::string(250, ')');
    std::string sum = "1";
    while (sum.size() < 250) {
        sum += "+1";
    }
    std::string embedded = "\"";
    while (embedded.size() < 240) {
        embedded += "{$x*2}";
    }
    embedded += "\"";
    SetVar("$x", NumberValue(1));
    for (const std::string& text : {deepest, sum, embedded, std::string(250, '~') + "1"}) {
        EXPECT_EQ(Eval(text).Position, 0u) << text.substr(0, 20);
        EXPECT_LT(ExprStepsTaken(), kExprMaxSteps / 5) << text.substr(0, 20);
    }
}

TEST_F(CostTest, EmbeddedResultsAfterAResolverCallAreEvaluatedAgain) {
    // The same embedded text twice: the resolver answers each time.
    EXPECT_TRUE(Eval("\"{count}{count}\"").IsText("12"));
    // A resolver call may change a variable that an earlier embedded text read.
    SetVar("$x", NumberValue(1));
    EXPECT_TRUE(Eval("\"{$x}{bump}{$x}\"").IsText("102"));
}

TEST_F(CostTest, EmbeddedResultsKeepTheDepthLimitAtTheirOwnDepth) {
    // The literal sits 220 levels deep; the same run of 34 "~" evaluates at the top of one
    // embedded expression and meets the depth limit two levels deeper in the other. The deeper
    // one is refused and stays as written, whichever comes first: a result is reused only at
    // the depth it was found at.
    const std::string run = std::string(34, '~') + "1";
    const std::string deeper = "{1+(" + run + ")}";
    const struct {
        std::string Literal;
        std::string Result;
    } cases[] = {
        {"{" + run + "}" + deeper, "1" + deeper},
        {deeper + "{" + run + "}", deeper + "1"},
    };
    for (const auto& c : cases) {
        std::string text = "\"" + c.Literal + "\"";
        for (int i = 0; i < 220; ++i) {
            text = "\"\"+(" + text + ")";
        }
        const EvalResult r = Eval(text);
        EXPECT_TRUE(r.IsText(c.Result)) << c.Literal << ": " << r;
    }
}

} // namespace

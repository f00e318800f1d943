// Inputs that must give defined results or an error, never a crash, an overflow or undefined
// behaviour: lone quotes, wide binary padding, escaped quotes before a suffix, array assignment
// names and deep nesting (texts beyond 255 characters: TextLimitTest.cpp).
#include "ExprTestSupport.h"
#include "support/AssertRecorder.h"

namespace {

TEST_F(ExprTest, LoneQuoteIsAnInvalidString) {
    ExpectCase(Err("\"", 1, "Invalid string value."));
    ExpectCase(Err("1 + \"", 5, "Invalid string value."));
    ExpectCase(Err("\".s", 1, "Invalid string value."));
}

TEST_F(ExprTest, WideZeroPaddedBinaryIsPaddedByHand) {
    AssertRecorder asserts;
    ASSERT_TRUE(SetVar("$v", NumberValue(0x80000005)));
    EvalResult r = Eval("$v.si040");
    ASSERT_EQ(r.Position, 0u) << r;
    EXPECT_EQ(std::string(r.Value.Text), std::string(8, '0') + "10000000000000000000000000000101");
    r = Eval("$v.si_036");
    ASSERT_EQ(r.Position, 0u) << r;
    EXPECT_STREQ(r.Value.Text, "0000_1000_0000_0000_0000_0000_0000_0000_0101");
    r = Eval("$v.si_032");
    EXPECT_STREQ(r.Value.Text, "1000_0000_0000_0000_0000_0000_0000_0101");
    EXPECT_EQ(asserts.Count(), 0u);
}

TEST_F(ExprTest, EscapedQuoteBeforeThePeriod) {
    // The period inside the string is not the suffix, however the quotes are escaped.
    ExpectCase(Txt(R"("Say \"hi.\"")", R"(Say \"hi.\")"));
    ExpectCase(Txt(R"("Say \"hi.\"".s4)", R"(Say )"));
    ExpectCase(Txt(R"("a\\".s)", R"(a\\)")); // an escaped backslash before the real quote
}

TEST_F(ExprTest, AssignedElementIsReadBack) {
    // SET and the executor name an element exactly as the variable leaf does.
    char name[256];
    size_t length = 0;
    const char* error = nullptr;
    ASSERT_EQ(ExprElementName("$a[1]", 5, nullptr, name, &length, &error), 0u);
    const ExprValue value = NumberValue(0x42);
    ASSERT_TRUE(ExprSetVar(name, length, &value, nullptr));
    EXPECT_TRUE(Eval("$a[1]").IsNumber(0x42));
    EXPECT_TRUE(Eval("$a[01]").IsNumber(0x42));
    EXPECT_FALSE(ExprFindVar("$a[1]", 5, nullptr, nullptr));
}

TEST_F(ExprTest, DeepNestingIsRefused) {
    std::string groups;
    for (int i = 0; i < 300; ++i) {
        groups += "(1+";
    }
    groups += "1" + std::string(300, ')');
    for (const std::string& text :
         {std::string(300, '!') + "1", std::string(300, '~') + "1", groups}) {
        const EvalResult r = Eval(text);
        EXPECT_NE(r.Position, 0u) << text.substr(0, 10);
        EXPECT_EQ(r.Error, "Expression is nested too deeply.") << text.substr(0, 10);
    }
    // Nesting that a 256-character line can hold still evaluates.
    EXPECT_TRUE(Eval(std::string(200, '!') + "1").IsNumber(1));
}

} // namespace

// The variable table: scopes, global names, arrays, capacity, listing and deletion.
#include "ExprTestSupport.h"

#include <vector>

namespace {

std::vector<std::string> NamesOf(const char* scope) {
    std::vector<std::string> names;
    const char* name = nullptr;
    for (uint32_t n = 0; ExprVarName(n, &name, scope); ++n) {
        names.emplace_back(name);
    }
    return names;
}

TEST_F(ExprTest, ScopesAndGlobals) {
    ASSERT_TRUE(SetVar("$x", NumberValue(1)));         // global (no scope)
    ASSERT_TRUE(SetVar("$x", NumberValue(2), "run1")); // local of run1
    ASSERT_TRUE(SetVar("$$y", NumberValue(3), "run1"));

    EXPECT_TRUE(Eval("$x").IsNumber(1));
    EXPECT_TRUE(Eval("$$x").IsNumber(1)); // outside a script $x and $$x are one variable
    EXPECT_TRUE(Eval("$x", "run1").IsNumber(2));
    EXPECT_TRUE(Eval("$x", "RUN1").IsNumber(2)); // scopes ignore case
    EXPECT_TRUE(Eval("$$x", "run1").IsNumber(1));
    EXPECT_TRUE(Eval("$X", "run1").IsNumber(2)); // names ignore case
    EXPECT_TRUE(Eval("$y").IsNumber(3));         // $$y was stored as the global $y
    EXPECT_EQ(Eval("$y", "run1").Position, 1u);  // no local $y
    EXPECT_EQ(Eval("$x", "run2").Position, 1u);

    EXPECT_EQ(NamesOf(nullptr), (std::vector<std::string>{"$x", "$y"}));
    EXPECT_EQ(NamesOf("run1"), (std::vector<std::string>{"$x"}));
}

TEST_F(ExprTest, SetVarReplacesValueAndKind) {
    ASSERT_TRUE(SetVar("$v", TextValue("hello")));
    EXPECT_TRUE(Eval("$v").IsText("hello"));
    ASSERT_TRUE(SetVar("$v", NumberValue(7)));
    ExprValue out = TextValue("junk");
    ASSERT_TRUE(ExprGetVar("$v", 2, &out, nullptr));
    EXPECT_EQ(out.IsString, 0);
    EXPECT_EQ(out.Number, 7u);
    EXPECT_STREQ(out.Text, ""); // a number reads back with an empty text
    EXPECT_EQ(ExprVarCount(), 1u);
    EXPECT_FALSE(ExprGetVar("$w", 2, &out, nullptr));
}

TEST_F(ExprTest, FindVarGivesRowOrCount) {
    ASSERT_TRUE(SetVar("$a", NumberValue(1)));
    ASSERT_TRUE(SetVar("$b", NumberValue(2)));
    uint32_t index = 99;
    EXPECT_TRUE(ExprFindVar("$B", 2, nullptr, &index));
    EXPECT_EQ(index, 1u);
    EXPECT_FALSE(ExprFindVar("$c", 2, nullptr, &index));
    EXPECT_EQ(index, 2u);
    EXPECT_FALSE(ExprFindVar("$ab", 3, nullptr, &index)); // lengths must match
}

TEST_F(ExprTest, TableHolds1000Rows) {
    for (uint32_t i = 0; i < EXPR_MAX_VARS; ++i) {
        ASSERT_TRUE(SetVar("$v" + std::to_string(i), NumberValue(i))) << i;
    }
    EXPECT_FALSE(SetVar("$one_more", NumberValue(1)));
    EXPECT_FALSE(SetVar("$v0", NumberValue(1), "script1")); // a new local is a new row
    EXPECT_TRUE(SetVar("$v500", TextValue("changed")));     // an existing one still changes
    EXPECT_TRUE(Eval("$v500").IsText("changed"));
    EXPECT_EQ(ExprVarCount(), EXPR_MAX_VARS);
}

TEST_F(ExprTest, DeleteScopeKeepsTheOrderOfTheRest) {
    ASSERT_TRUE(SetVar("$g1", NumberValue(1)));
    ASSERT_TRUE(SetVar("$l1", NumberValue(2), "s1"));
    ASSERT_TRUE(SetVar("$g2", TextValue("two")));
    ASSERT_TRUE(SetVar("$l2", NumberValue(3), "S1"));
    ASSERT_TRUE(SetVar("$o1", NumberValue(4), "s2"));
    ASSERT_TRUE(SetVar("$g3", NumberValue(5)));

    ExprDeleteScope("s1");
    EXPECT_EQ(NamesOf("s1"), std::vector<std::string>{});
    EXPECT_EQ(NamesOf(nullptr), (std::vector<std::string>{"$g1", "$g2", "$g3"}));
    EXPECT_EQ(NamesOf("s2"), (std::vector<std::string>{"$o1"}));
    EXPECT_TRUE(Eval("$g2").IsText("two"));

    ExprDeleteScope(nullptr);
    EXPECT_EQ(NamesOf(nullptr), std::vector<std::string>{});
    EXPECT_TRUE(Eval("$o1", "s2").IsNumber(4));
    EXPECT_EQ(ExprVarCount(), 1u);
}

TEST_F(ExprTest, ArrayElements) {
    ASSERT_TRUE(SetVar("$a[00000005h]", NumberValue(0x55)));
    ASSERT_TRUE(SetVar("$i", NumberValue(4)));
    ASSERT_TRUE(SetVar("$s", TextValue("x")));
    ExpectCases({
        Num("$a[5]", 0x55),
        Num("$a[4+1]", 0x55),
        Num("$a[0005]", 0x55),
        Num("$a[$i + 1]", 0x55),
        Num("$A[5]", 0x55),
        Num("$a[5]x", 0x55), // the text after "]" is not part of the name
        Num("$a[5] + 1", 0x56),
        Err("$a[6]", 1, "Unknown token or expression."),
        Err("$a[]", 4, "Missing contents in brackets."),
        Err("$a[5", 3, "Missing closing bracket."),
        Err("$a[zz]", 4, "Unknown token or expression."),
        Err("$a[$s]", 4, "Value cannot be a string."),
        Err("1 + $a[]", 8, "Missing contents in brackets."),
    });
}

TEST_F(ExprTest, ArrayElementsInScopes) {
    ASSERT_TRUE(SetVar("$$a[00000001h]", NumberValue(1), "s1")); // global
    ASSERT_TRUE(SetVar("$a[00000001h]", NumberValue(2), "s1"));  // local
    EXPECT_TRUE(Eval("$a[1]", "s1").IsNumber(2));
    EXPECT_TRUE(Eval("$$a[1]", "s1").IsNumber(1));
    EXPECT_TRUE(Eval("$a[1]").IsNumber(1));
}

TEST_F(ExprTest, ElementNames) {
    char name[256];
    size_t length = 0;
    const char* error = nullptr;
    ASSERT_EQ(ExprElementName("$a[4+1]", 7, nullptr, name, &length, &error), 0u);
    EXPECT_STREQ(name, "$a[00000005h]");
    EXPECT_EQ(length, 13u);
    ASSERT_EQ(ExprElementName("$plain", 6, nullptr, name, &length, &error), 0u);
    EXPECT_STREQ(name, "$plain");

    // The name would reach 256 characters: 245 before "[" plus 11 for the index.
    const std::string base(245, 'a');
    const std::string element = "$" + base.substr(1) + "[1]";
    EXPECT_EQ(ExprElementName(element.data(), element.size(), nullptr, name, &length, &error), 1u);
    EXPECT_STREQ(error, "Array name too long.");
    const std::string fits = "$" + base.substr(2) + "[1]";
    EXPECT_EQ(ExprElementName(fits.data(), fits.size(), nullptr, name, &length, &error), 0u);
    EXPECT_EQ(length, 255u);
}

} // namespace

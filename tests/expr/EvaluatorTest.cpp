// Splitting by the operator table, groups, leaves and error positions.
#include "ExprTestSupport.h"

namespace {

TEST_F(ExprTest, PrecedenceAndGrouping) {
    ExpectCases({
        Num("2+3*4", 0xE),
        Num("9-4-3", 8), // 9-(4-3)
        Num("8/4*2", 1), // 8/(4*2)
        Num("(9-4)-3", 2),
        Num("10t+1", 11),
        Num("1 ? 5 : 7", 5),
        Num("0 ? 5 : 7", 7),
        Num("(5)", 5),
        Num("  ( 5 )  ", 5),
        Num("1 AND 0", 0),
        Num("1 Or 0", 1),
        Num("1 xOR 1", 0),
        Num("NOT 0", 1),
        Num("1 == 1 && 2 == 2", 1),
        Num("1 | 2 & 3", 3),  // 1 | (2 & 3)
        Num("6 ^ 3 | 1", 5),  // 6 ^ (3 | 1)
        Num("1 < 2 == 1", 1), // == splits before <
        Num("2 + 3 << 1", 0xA),
        Num("a<<2<3", 0x14), // a << (2<3): the < row gives up at the first <
        Num("2**3*2", 0x40), // the * row gives up at "**": 2 ** (3*2)
        Num("1+2 ? 3 : 4", 3),
        Num("5 rndto 2 + 1", 6), // 5 rndto 3
        Num("0 or 0 and 1", 0),
        Num("~0 & 0F", 0xF),
        Num("!0 + 1", 2), // + binds looser than !
    });
}

TEST_F(ExprTest, PowerAfterMultiplication) {
    // "e*{*}e" gives up at "**", so the power row takes it; a single * before it splits first.
    EXPECT_TRUE(Eval("2 ** 3").IsNumber(8));
    EXPECT_TRUE(Eval("3 * 2 ** 3").IsNumber(0x18));
}

TEST_F(ExprTest, ErrorsAndPositions) {
    ExpectCases({
        Err("", 1, kMissing),
        Err("   \t ", 1, kMissing),
        Err("(1+2", 1, kParen),
        Err("  (1+2", 3, kParen),
        Err("1+2)", 1, kParen),
        Err("5+", 1, kMissing),
        Err("+5", 1, kExpected),
        Err("-5", 1, kExpected),
        Err("1 + foo", 5, kUnknown),
        Err("  1 + foo", 7, kUnknown),
        Err("1 + (2 * zz)", 10, kUnknown),
        Err("((5))", 2, kUnknown), // only one pair is removed; (5) goes to the resolver
        Err("1and0", 1, kUnknown),
        Err("()", 2, kExpected),
        Err("1 ?", 1, kMissing),
        Err("1 ? 2 :", 1, kMissing),
        Err("1 ?: 2", 4, kExpected),
        Err("5 + + 3", 5, kExpected),
        Err("!", 1, kMissing),
        Err("3.14", 3, kFormat),
        Err("5.", 3, kFormat),
        Err("5.sx", 4, kFormat),
        Err("5.n", 3, "Cannot convert a numerical value to a numerical value."),
        Err("1 + 5.n", 7, "Cannot convert a numerical value to a numerical value."),
        Err(".s", 1, kExpected),
        Err("$nope", 1, kUnknown),
        Err("2 + $nope", 5, kUnknown),
        Err("\"abc", 1, "Invalid string value."),
        Err("1 + \"abc", 5, "Invalid string value."),
    });
}

TEST_F(ExprTest, Numbers) {
    ExpectCases({
        Num("10", 0x10),
        Num("10t", 10),
        Num("2Ch", 44),
        Num("54o", 44),
        Num("101100i", 44),
        Num("1_0000", 0x10000),
        Num("dead", 0xDEAD),
        Num("FFFFFFFF1", 0xFFFFFFF1),
        Num("0", 0),
    });
}

TEST_F(ExprTest, StringLiterals) {
    ExpectCases({
        Txt(R"("")", ""), Txt(R"("abc")", "abc"), Txt(R"("abc{1+1}d")", "abc2d"),
        Txt(R"("x{zz}y")", "x{zz}y"), // zz is unknown: the brace stays
        Txt(R"("{ff+1}")", "100"), Txt(R"("{"in"}")", "in"),
        Txt(R"("a{b")", "a{b"),                            // no closing brace
        Txt(R"("}{")", "}{"), Txt(R"("a\"b")", R"(a\"b)"), // backslashes are kept
        Txt(R"("a.b")", "a.b"), // the period inside the string is no suffix
        Txt(R"("a;b" + "c")", "a;bc"),
        Txt(R"x("(" + ")")x", "()"), // parentheses inside strings are not counted
    });
}

TEST_F(ExprTest, ConversionSuffixes) {
    ASSERT_TRUE(SetVar("$var", NumberValue(0x3F)));
    ASSERT_TRUE(SetVar("$neg", NumberValue(0xFFFFFFFE)));
    ExpectCases({
        Txt("$var.s", "3F"),
        Txt("$var.sh8", "      3F"),
        Txt("$var.st08", "00000063"),
        Txt("$var.sh_08", "0000_003F"),
        Txt("$var.si", "111111"),
        Txt("$var.si_08", "0011_1111"),
        Txt("$var.so", "77"),
        Txt("$var.st", "63"),
        Txt("$var.S", "3F"),
        Txt("$neg.sd", "-2"),
        Txt("$neg.st", "4294967294"),
        Txt("3c.sh4", "  3C"),
        Txt("3c.sh04", "003C"),
        Txt("3c.s1", "3C"), // a width below the length does not cut a number
        Txt(R"("0040".s6)", "0040  "),
        Txt(R"("abcdef".s3)", "abc"),
        Num(R"("0040".n)", 0x40),
        Num(R"("0040".nt)", 40),
        Num(R"("12".n)", 0x12),
        Num(R"("12".nt)", 12),
        Num(R"("1234".nt2)", 12),
        Num(R"("101zz".ni)", 5), // conversion stops at the first non-digit
        Num(R"("".n)", 0),
        Num(R"("ff".N)", 0xFF),
    });
}

TEST_F(ExprTest, ErrorPositionCountsLeadingBlanksInOperands) {
    // "1 +    x": the leaf x starts at column 8.
    EXPECT_EQ(Eval("1 +    x").Position, 8u);
    EXPECT_EQ(Eval("(1 + (2 + x))").Position, 11u);
}

} // namespace

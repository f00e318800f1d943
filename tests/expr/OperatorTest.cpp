// What each operator computes on numbers and texts, and the errors it reports.
#include "ExprTestSupport.h"

namespace {

TEST_F(ExprTest, LogicalOperatorsShortCircuit) {
    ExpectCases({
        Num("0 and $undefined", 0),
        Num("0 && $undefined", 0),
        Num("1 or $undefined", 1),
        Num("1 || $undefined", 1),
        Err("1 xor $undefined", 7, kUnknown),
        Err("1 and $undefined", 7, kUnknown),
        Err("0 or $undefined", 6, kUnknown),
        Num("1 ? 5 : $undefined", 5),
        Num("0 ? $undefined : 7", 7),
        Txt(R"(1 ? "yes" : "no")", "yes"),
        Txt(R"("" ? "yes" : "no")", "no"),
        Num(R"("a" and "b")", 1),
        Num(R"("" or 0)", 0),
        Num(R"("a" xor "")", 1),
        Num("1 xor 1", 0),
        Num(R"(not "")", 1),
        Num("!5", 0),
        Num("!0", 1),
        Num(R"(!"x")", 0),
    });
}

TEST_F(ExprTest, NumericOperators) {
    ExpectCases({
        Num("0C & 0A", 8),
        Num("0C | 3", 0xF),
        Num("0C ^ 0A", 6),
        Num("1 < 2", 1),
        Num("2 < 1", 0),
        Num("2 > 1", 1),
        Num("FFFFFFFF > 1", 1), // unsigned
        Num("2 <= 2", 1),
        Num("3 <= 2", 0),
        Num("2 >= 3", 0),
        Num("3 >= 3", 1),
        Num("~0", 0xFFFFFFFF),
        Num("~0FFFF0000", 0xFFFF),
        Num("2 ** 0A", 0x400),
        Num("2 ** 20", 0), // 2 to the 32nd
        Num("2 ** 1F", 0x80000000),
        Num("10t ** 3t", 1000),
        Num("0 ** 0", 1),
        Num("2 ** 3Fh", 0), // 2^63 and more give 0
        Num("FFFFFFFF ** FFFFFFFF", 0),
        Num("3 ** 15", 0x6F7C52B3), // 3^21t is above 2^32: its low 32 bits
        Err(R"("a" & 1)", 1, kUnexpected),
        Err(R"(1 | "a")", 2, kUnexpected),
        Err(R"("a" < "b")", 1, kUnexpected),
        Err(R"(1 >= "b")", 2, kUnexpected),
        Err(R"("a" ** 2)", 1, kUnexpected),
        Err(R"(~"a")", 1, kUnexpected),
    });
}

TEST_F(ExprTest, Equality) {
    ExpectCases({
        Num("5 == 5", 1),
        Num("5 == 6", 0),
        Num("5 != 6", 1),
        Num(R"("abc" == "ABC")", 1),
        Num(R"("abc" != "ABC")", 0),
        Num(R"("abc" == "abcd")", 0),
        Num(R"("" == "")", 1),
        Num(R"("[" == "{")", 0), // only letters ignore case
        Err(R"("a" == 1)", 3, kMix),
        Err(R"(1 != "a")", 3, kMix),
    });
}

TEST_F(ExprTest, ArithmeticOnNumbers) {
    ExpectCases({
        Num("FFFFFFFF + 2", 1), // wraps
        Num("1 - 2", 0xFFFFFFFF),
        Num("10000 * 10000", 0),
        Num("7 / 2", 3),
        Num("7 % 4", 3),
        Num("5 rndto 2", 4),
        Num("7 rndto 3", 6),
        Num("8 rndto 3", 9),
        Num("0A rndto 4", 8),
        Num("0B rndto 4", 0xC),
        Num("0A rndup 4", 0xC),
        Num("8 rndup 4", 8),
        Num("0B rnddn 4", 8),
        Err("7 / 0", 2, kZero),
        Err("7 % 0", 2, kZero),
        Err("7 rndup 0", 2, kZero),
        Err("7 rndto 0", 2, kZero),
        Err("7 rnddn 0", 2, kZero),
        Err(R"(1 + "a")", 2, kMix),
        Err(R"("a" + 1)", 2, kMix),
        Err(R"(1 - "a")", 2, kUnexpected),
        Err(R"(1 * "a")", 2, kNumber),
        Err(R"("a" * "b")", 2, kNumber),
        Err(R"(1 / "a")", 2, kUnexpected),
        Err(R"(1 % "a")", 2, kUnexpected),
        Err(R"(1 rndto "a")", 2, kUnexpected),
    });
}

TEST_F(ExprTest, ShiftsAndRotations) {
    ExpectCases({
        Num("1 << 20", 0),
        Num("1 << 1F", 0x80000000),
        Num("1 << FFFFFFFF", 0),
        Num("80000000 >> 20", 0),
        Num("80000000 >> 1F", 1),
        Num("80000001 <<< 1", 3),
        Num("1 >>> 1", 0x80000000),
        Num("1 <<< 20", 1),
        Num("1 >>> 0", 1),
        Num("12345678 <<< 24", 0x23456781), // count modulo 32
        Err(R"(1 << "a")", 2, kUnexpected),
        Err(R"("ab" >>> "a")", 2, kUnexpected),
    });
}

TEST_F(ExprTest, TextOperators) {
    ExpectCases({
        Txt(R"("ab" + "cd")", "abcd"),
        Txt(R"("abcabc" - "bc")", "aabc"),
        Txt(R"("abc" - "BC")", "abc"), // exact match only
        Txt(R"("abc" - "")", "abc"),
        Txt(R"("abcdef" - 2)", "abcd"),
        Txt(R"("abc" - 9)", ""),
        Txt(R"("ab" * 3)", "ababab"),
        Txt(R"("ab" * 0)", ""),
        Txt(R"("abcdef" / "cd")", "ab"),
        Txt(R"("abcdef" / "xy")", "abcdef"),
        Txt(R"("abcdef" / 2)", "ab"),
        Txt(R"("abc" / 9)", "abc"),
        Txt(R"("abcdef" % "cd")", "ef"),
        Txt(R"("abcdef" % "xy")", "abcdef"),
        Txt(R"("abcdef" % 2)", "cdef"),
        Txt(R"("abc" % 9)", ""),
        Txt(R"("abcdef" rndto "cd")", "ef"),
        Txt(R"("abcdef" rndup 2)", "cdef"),
        Txt(R"("abcdef" rnddn 0)", "abcdef"),
        Txt(R"("abcdef" <<< 2)", "cdefab"),
        Txt(R"("abcdef" >>> 2)", "efabcd"),
        Txt(R"("abcdef" <<< 8)", "cdefab"), // modulo the length
        Txt(R"("abcdef" >>> 6)", "abcdef"),
        Txt(R"("abcdef" << 2)", "cdef"),
        Txt(R"("abcdef" >> 2)", "abcd"),
        Txt(R"("abc" << 9)", ""),
        Txt(R"("abc" >> 9)", ""),
        Txt(R"("" <<< 3)", ""), // no modulo of an empty text
        Txt(R"("" >>> 3)", ""),
    });
}

TEST_F(ExprTest, ColourConversions) {
    ExpectCases({
        Num("r2y 0FFFFFF", 0xEB8080),
        Num("r2y 0", 0x108080),
        Num("y2r 0EB8080", 0xFFFFFF),
        Num("y2r 108080", 0),
        Num("R2Y 0FF0000", 0x515BEF),
        Num("y2r 0", 0x008700), // clamped below 0 and above 255
        Err(R"(r2y "a")", 1, kUnexpected),
        Err(R"(y2r "a")", 1, kUnexpected),
    });
}

TEST_F(ExprTest, OperatorAtTheEnd) {
    // The text ends right after the operator: the handler has too few operands.
    const char* const texts[] = {"1 +", "1 ==", "1 &&", "1 **", "1 <<<", "1 ?", "~", "!"};
    for (const char* text : texts) {
        ExpectCase(Err(text, 1, "Missing an expression after the operator."));
    }
    // Word operators need a blank on each side, which a trimmed text cannot end with: these are
    // names for the resolver.
    for (const char* text : {"1 rndto", "1 and", "r2y"}) {
        ExpectCase(Err(text, 1, kUnknown));
    }
}

} // namespace

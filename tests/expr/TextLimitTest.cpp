// Texts hold at most 255 characters: a result that would be longer is refused with an error,
// never cut, whichever way it is made (a literal, an embedded expression, +, *, a .s width).
#include "ExprTestSupport.h"

#include <string>

namespace {

constexpr const char* kTooLong = "Text is longer than 255 characters.";

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

TEST_F(ExprTest, TextsLongerThan255CharactersAreRefused) {
    ASSERT_TRUE(SetVar("$a", TextValue(std::string(200, 'a'))));
    ASSERT_TRUE(SetVar("$b", TextValue(std::string(55, 'b'))));
    ASSERT_TRUE(SetVar("$v", NumberValue(0x3F)));
    const struct {
        std::string Text;
        size_t Length;     // of the text result; 0 when refused
        uint32_t Position; // of the refusal
    } cases[] = {
        {Quoted(std::string(255, 'x')), 255, 0},
        {Quoted(std::string(256, 'x')), 0, 1},
        {"$a + $b", 255, 0},
        {"$a + $b + \"c\"", 0, 1},
        {"$a + $a", 0, 1},
        {"\"x\" + ($a + $a)", 0, 8}, // refused inside the second operand
        {"\"abc\" * 55t", 165, 0},
        {"\"abc\" * 85t", 255, 0},
        {"\"abc\" * 86t", 0, 1},
        {"\"abc\" * FFFFFFFF", 0, 1},
        {"\"\" * FFFFFFFF", 0, 0},
        {"\"{$a}{$b}\"", 255, 0},
        {"\"{$a}{$b}c\"", 0, 1},
        {"\"{$a}{$a}\"", 0, 1},
        {"$v.sh255", 255, 0},
        {"$v.sh256", 0, 4},
        {"$v.sh0999", 0, 4},
        {"$v.st0300", 0, 4},
        {"$v.si0255", 255, 0},
        {"$v.si_0255", 0, 4}, // the group separators would take it beyond the width
        {"$v.sh99999999999999", 0, 4},
        {"\"ab\".s255", 255, 0},
        {"\"ab\".s400", 0, 6},
        {"$a.s256", 0, 4},
    };
    for (const auto& c : cases) {
        const EvalResult r = Eval(c.Text);
        if (c.Length == 0 && c.Position != 0) {
            EXPECT_EQ(r.Position, c.Position) << c.Text.substr(0, 40) << ": " << r;
            EXPECT_EQ(r.Error, kTooLong) << c.Text.substr(0, 40);
            continue;
        }
        ASSERT_EQ(r.Position, 0u) << c.Text.substr(0, 40) << ": " << r;
        EXPECT_TRUE(r.Value.IsString) << c.Text.substr(0, 40);
        EXPECT_EQ(std::strlen(r.Value.Text), c.Length) << c.Text.substr(0, 40);
    }
}

TEST_F(ExprTest, TextsThatFitKeepEveryCharacter) {
    ASSERT_TRUE(SetVar("$a", TextValue(std::string(200, 'a'))));
    ASSERT_TRUE(SetVar("$b", TextValue(std::string(55, 'b'))));
    EXPECT_TRUE(Eval("$a + $b").IsText(std::string(200, 'a') + std::string(55, 'b')));
    EXPECT_TRUE(Eval("\"{$b}-{$b}\"").IsText(std::string(55, 'b') + "-" + std::string(55, 'b')));
    EXPECT_TRUE(Eval("\"ab\" * 3").IsText("ababab"));
    EXPECT_TRUE(Eval("\"ab\".s5").IsText("ab   "));
}

} // namespace

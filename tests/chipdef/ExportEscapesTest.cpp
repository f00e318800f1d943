// The C export writes the block's texts as C string literals: every byte a literal cannot hold
// as it is gets its escape, and the C compiler turns the exported file back into the same bytes.
// An INI file cannot carry line ends, so the bytes are set in the block directly.
#include "ExportSupport.h"
#include "support/TempFolder.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace exporttest;

namespace {

TEST(ExportEscapes, EveryEscapeCompilesBackToItsBytes) {
    if (!HaveCommand("gcc")) {
        GTEST_SKIP() << "no C compiler";
    }
    struct Case {
        std::string Bytes;
        const char* Literal; // as it stands between the quotes of the exported text
    };
    const Case cases[] = {
        {"\a", "\\a"},
        {"\b", "\\b"},
        {"\t", "\\t"},
        {"\n", "\\n"},
        {"\v", "\\v"},
        {"\f", "\\f"},
        {"\r", "\\r"},
        {"\"", "\\\""},
        {"\\", "\\\\"},
        {"?\?=", "\\?\\?="}, // unescaped, two "?" before "=" read as a trigraph
        {"\x01"
         "A",
         "\\x01\" \"A"}, // a hex digit after a hex escape would join it
        {"\x1Bz", "\\x1Bz"},
        {"\x7F", "\\x7F"},
        {"\xFF", "\\xFF"},
        {"plain", "plain"},
    };
    // All cases in one description, "|" between them.
    std::string bytes;
    std::string literal = "\"";
    for (const Case& c : cases) {
        if (&c != &cases[0]) {
            bytes += '|';
            literal += '|';
        }
        bytes += c.Bytes;
        literal += c.Literal;
    }
    literal += '"';
    ChipDef chip;
    oxHclData& block = chip.MutableHclData();
    ASSERT_LT(bytes.size(), sizeof block.szConfigString);
    std::memset(block.szConfigString, 0, sizeof block.szConfigString);
    std::memcpy(block.szConfigString, bytes.data(), bytes.size());

    const std::string source = Generate(chip, &ChipDef::WriteHclDataSource);
    EXPECT_NE(source.find(literal + ","), std::string::npos) << source;

    q3vtest::TempFolder temp("q3v-export-escapes");
    ASSERT_FALSE(temp.Path().empty());
    const std::string dir = temp.Path();
    WriteFile(dir + "/initdata.c", source);
    WriteFile(dir + "/registers.h", Generate(chip, &ChipDef::WriteRegisterHeader));
    WriteFile(
        dir + "/description.c",
        "#include <stdio.h>\n#include \"initdata.h\"\n"
        "extern oxHclData oxgHclInfo;\n"
        "int main(void) {\n"
        "    fwrite(oxgHclInfo.szConfigString, 1, sizeof oxgHclInfo.szConfigString, stdout);\n"
        "    return 0;\n}\n");
    // Strict C: trigraphs are read, and a warning about one fails the build.
    const std::string compile = "gcc -std=c11 -Wall -Wextra -Werror -I" + dir + " -I" +
                                Q3V_SOURCE_DIR + "/tests/fixtures -o " + dir + "/description " +
                                dir + "/description.c " + dir + "/initdata.c";
    int status = 0;
    const std::string log = RunCommand(compile, &status);
    ASSERT_EQ(status, 0) << log << source;
    const std::string field = RunCommand(dir + "/description", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(field, std::string(block.szConfigString, sizeof block.szConfigString));
}

} // namespace

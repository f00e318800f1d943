#include "platform/IniFile.h"
#include "support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

struct ValueCase {
    const char* text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

} // namespace

TEST(IniFile, ValuesAsTheProfileCallGivesThem) {
    const std::string longValue(5000, 'x');
    const std::string longLine = "[s]\nk=" + longValue + "\n";
    const ValueCase cases[] = {
        {"[s]\nk=v\n", "s", "k", "v"},
        {"[s]\r\nk=v\r\n", "s", "k", "v"},                 // CR LF lines
        {"[s]\nk=v", "s", "k", "v"},                       // no final line end
        {"  [s]  \n\t k \t=\t v w \t\n", "s", "k", "v w"}, // blanks trimmed
        {"[S]\nKEY=v\n", "s", "key", "v"},                 // names ignore case
        {"[s]\nk=\"a ;b\"\n", "s", "k", "a ;b"},           // ";" inside a line is text
        {"[s]\nk=a ;b\n", "s", "k", "a ;b"},               // even unquoted
        {"[s]\nk=#v\n#x=1\n", "s", "k", "#v"},             // "#" is text
        {"[s]\n#x=1\n", "s", "#x", "1"},                   // also in a key
        {"[s]\n;k=v\n", "s", "k", std::nullopt},           // a comment
        {"[s]\n  ;k=v\n", "s", "k", std::nullopt},         // indented comment
        {"[s]\nk=\"\"q\"\"\n", "s", "k", "\"q\""},         // one pair of quotes removed
        {"[s]\nk=\"\n", "s", "k", "\""},                   // a lone quote stays
        {"[s]\nk=\"a\" b\n", "s", "k", "\"a\" b"},         // not enclosing
        {"[s]\nk=a=b\n", "s", "k", "a=b"},                 // split at the first "="
        {"[s]\nk=\n", "s", "k", ""},                       // empty, not absent
        {"[s]\nk=\"\"\n", "s", "k", ""},                   // empty after the quotes
        {"[s]\nk=1\nK=2\n", "s", "k", "1"},                // the first duplicate wins
        {"[s]\nk=1\n[t]\n[S]\nk=2\nj=3\n", "s", "j", "3"}, // a section named again
        {"[s]\nk=1\n[t]\n[S]\nk=2\n", "s", "k", "1"},      // continues the first one
        {"k=v\n[s]\n", "", "k", std::nullopt},             // before any section
        {"[s]\nk\n", "s", "k", std::nullopt},              // no "="
        {"[s]\nk=v\n", "t", "k", std::nullopt},            // absent section
        {"[s]\n  k=v\n    w\n", "s", "k", "v"},            // indented lines are not joined
        {"[s\nk=v\n", "s", "k", "v"},                      // an unclosed section name
        {"[s] x\nk=v\n", "s", "k", "v"},                   // text after "]"
        {longLine.c_str(), "s", "k", longValue},           // no line-length limit
    };
    for (const ValueCase& c : cases) {
        const IniFile file = IniFile::Parse(c.text);
        EXPECT_EQ(file.Value(c.section, c.key), c.expected) << c.text;
    }
}

TEST(IniFile, ValuesMayHoldAnyByte) {
    const std::string text("[s]\nk=a\0\xff\x01"
                           "b\n",
                           12);
    EXPECT_EQ(IniFile::Parse(text).Value("s", "k"), std::string("a\0\xff\x01"
                                                                "b",
                                                                5));
}

TEST(IniFile, ListsSectionsAndKeysInFileOrder) {
    const IniFile file = IniFile::Parse("; header\n[B]\nz=1\na=2\nZ=3\n[empty]\n\n[a]\n"
                                        "5=\"x\"\n0=y\n[b]\nm=4\n");
    EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"B", "empty", "a"}));
    EXPECT_EQ(file.Keys("b"), (std::vector<IniFile::KeyValue>{{"z", "1"}, {"a", "2"}, {"m", "4"}}));
    EXPECT_EQ(file.Keys("A"), (std::vector<IniFile::KeyValue>{{"5", "x"}, {"0", "y"}}));
    EXPECT_TRUE(file.HasSection("EMPTY"));
    EXPECT_TRUE(file.Keys("empty").empty());
    EXPECT_FALSE(file.HasSection("none"));
    EXPECT_TRUE(file.Keys("none").empty());
    EXPECT_TRUE(IniFile::Parse("").SectionNames().empty());
}

TEST(IniFile, LoadsFilesAndRefusesMissingOnes) {
    q3vtest::TempFolder temp("q3v-ini");
    ASSERT_FALSE(temp.Path().empty());
    const std::string path = temp.Path() + "/a.ini";
    std::ofstream(path, std::ios::binary)
        << "[47K20]\r\nszConfigString=\"" << std::string(255, 'd') << "\"\r\n";
    const std::optional<IniFile> file = IniFile::Load(path);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->Value("47k20", "szconfigstring"), std::string(255, 'd'));
    EXPECT_FALSE(IniFile::Load(temp.Path() + "/missing.ini").has_value());
}

#include "platform/IniFile.h"

#include <gtest/gtest.h>

// The lines of a section keep every key line, also one whose key stands already; the keys and
// the values looked up by name keep the first of them.
TEST(IniFile, LinesKeepKeysThatStandTwice) {
    const IniFile file = IniFile::Parse("[s]\n0=a\n1=b\n0=c\n[t]\nx=1\n[S]\n1=\"d\"\n;0=e\nf\n");
    EXPECT_EQ(file.Lines("s"),
              (std::vector<IniFile::KeyValue>{{"0", "a"}, {"1", "b"}, {"0", "c"}, {"1", "d"}}));
    EXPECT_EQ(file.Keys("s"), (std::vector<IniFile::KeyValue>{{"0", "a"}, {"1", "b"}}));
    EXPECT_EQ(file.Value("s", "0"), "a");
    EXPECT_TRUE(file.Lines("none").empty());
}

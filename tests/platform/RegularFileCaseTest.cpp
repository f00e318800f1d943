// The look-up of a file (a script) ignoring case: only regular files count, the first in byte
// order of their names, and a folder of the exact name hides nothing.
#include "platform/PathCase.h"
#include "support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(RegularFileCase, OnlyRegularFilesAreFound) {
    q3vtest::TempFolder temp("q3v-regularcase");
    ASSERT_FALSE(temp.Path().empty());
    const std::string root = temp.Path();
    ::mkdir((root + "/Scripts").c_str(), 0700);
    ::mkdir((root + "/Scripts/a.txt").c_str(), 0700); // a folder of the exact name
    std::ofstream(root + "/Scripts/A.TXT") << "x";
    ::mkdir((root + "/Scripts/B.TXT").c_str(), 0700); // a folder first in byte order
    std::ofstream(root + "/Scripts/b.txt") << "x";
    std::ofstream(root + "/Scripts/c.TXT") << "x"; // two files: the first in byte order
    std::ofstream(root + "/Scripts/C.txt") << "x";
    ::mkdir((root + "/Scripts/d.txt").c_str(), 0700);      // a folder only
    ::symlink("A.TXT", (root + "/Scripts/E.txt").c_str()); // a link to a file counts

    const struct {
        std::string Given;
        std::string Found;
    } cases[] = {
        {root + "/scripts/a.txt", root + "/Scripts/A.TXT"},
        {root + "/Scripts/a.txt", root + "/Scripts/A.TXT"},
        {root + "/scripts/b.txt", root + "/Scripts/b.txt"},
        {root + "/scripts/c.txt", root + "/Scripts/C.txt"},
        {root + "/Scripts/c.TXT", root + "/Scripts/c.TXT"}, // a regular file as given stays
        {root + "/scripts/d.txt", ""},
        {root + "/scripts/e.txt", root + "/Scripts/E.txt"},
        {root + "/scripts/none.txt", ""},
        {root + "/scripts", ""}, // a folder is never found
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindRegularFileIgnoringCase(c.Given), c.Found) << c.Given;
    }
}

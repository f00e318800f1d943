#include "platform/PathCase.h"
#include "support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(PathCase, LowerCasedNamesFindTheirFilesAndFolders) {
    q3vtest::TempFolder temp("q3v-pathcase");
    ASSERT_FALSE(temp.Path().empty());
    const std::string root = temp.Path();
    ::mkdir((root + "/TraceDir").c_str(), 0700);
    std::ofstream(root + "/TraceDir/Old.LOG") << "x";

    struct Case {
        std::string given;
        std::string expected;
    };
    const Case cases[] = {
        {root + "/tracedir/old.log", root + "/TraceDir/Old.LOG"}, // both components found again
        {root + "/tracedir/new.log", root + "/TraceDir/new.log"}, // a new file in a found folder
        {root + "/TraceDir/Old.LOG", root + "/TraceDir/Old.LOG"}, // exact names stay
        {root + "/nodir/x.log", root + "/nodir/x.log"},           // nothing matches: as given
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolvePathIgnoringCase(c.given), c.expected) << c.given;
    }
}

// The board's controls: fault lists and the environment variables that set them.

#include "BoardFixture.h"

#include "support/BoardControls.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace boardtest {
namespace {

class ControlTest : public BoardTest {
protected:
    void TearDown() override {
        q3vtest::ClearBoardControls();
        BoardTest::TearDown();
    }
    // The number of reads answered in a row without a reply, up to 10.
    int SilentReplies() {
        int silent = 0;
        while (silent < 10) {
            Send({7, 0});
            if (!Receive().empty()) {
                break;
            }
            ++silent;
        }
        return silent;
    }
};

TEST_F(ControlTest, FaultListsAreTakenWholeOrNotAtAll) {
    const struct {
        const char* List;
        bool Accepted;
        std::uint32_t Split;
        int Silent;
        std::uint16_t Minor;
    } cases[] = {
        {"", true, 0, 0, 34},
        {"split:63", true, 63, 0, 34},
        {"noreply", true, 0, 1, 34},
        {"noreply:3,split:1", true, 1, 3, 34},
        {"noreply:all", true, 0, 10, 34},
        {"driver:1.33", true, 0, 0, 33},
        {",,noreply:2,", true, 0, 2, 34},
        {"split", false, 0, 0, 34},
        {"split:x", false, 0, 0, 34},
        {"noreply:2,bogus", false, 0, 0, 34},
        {"driver:1", false, 0, 0, 34},
        {"driver:1.70000", false, 0, 0, 34},
        {"noreply:-1", false, 0, 0, 34},
    };
    for (const auto& c : cases) {
        board::ResetControls();
        EXPECT_EQ(board::ApplyFaultList(c.List), c.Accepted) << c.List;
        EXPECT_EQ(board::GetSplitSize(), c.Split) << c.List;
        EXPECT_EQ(board::GetDriverVersion().Minor, c.Minor) << c.List;
        board::SetSplitSize(0);
        EXPECT_EQ(SilentReplies(), c.Silent) << c.List;
    }
}

TEST_F(ControlTest, EnvironmentSetsTheControls) {
    setenv("Q3VSIM_ABSENT", "03", 1);
    setenv("Q3VSIM_DRIVER_VERSION", "2.1.7", 1);
    setenv("Q3VSIM_FAULTS", "split:63,noreply:2", 1);
    setenv("Q3VSIM_PLL_LOCK_READS", "4", 1);
    board::ResetControls();
    EXPECT_TRUE(board::IsAbsent(0));
    EXPECT_FALSE(board::IsAbsent(1));
    EXPECT_TRUE(board::IsAbsent(3));
    EXPECT_TRUE(board::IsAbsent(8));
    EXPECT_EQ(board::GetDriverVersion().Major, 2);
    EXPECT_EQ(board::GetDriverVersion().Minor, 1);
    EXPECT_EQ(board::GetDriverVersion().Build, 7);
    EXPECT_EQ(board::GetSplitSize(), 63u);
    EXPECT_EQ(board::GetPllLockReads(), 4u);
    EXPECT_EQ(SilentReplies(), 2);

    setenv("Q3VSIM_ABSENT", "all", 1);
    setenv("Q3VSIM_DRIVER_VERSION", "junk", 1);
    setenv("Q3VSIM_PLL_LOCK_READS", "x", 1);
    unsetenv("Q3VSIM_FAULTS");
    board::ResetControls();
    for (unsigned i = 0; i < board::kBoardCount; ++i) {
        EXPECT_TRUE(board::IsAbsent(i)) << i;
    }
    EXPECT_EQ(board::GetDriverVersion().Minor, board::kDefaultDriverVersion.Minor);
    EXPECT_EQ(board::GetPllLockReads(), 0u);
    EXPECT_EQ(board::GetSplitSize(), 0u);
}

TEST_F(ControlTest, LogFileGetsOneLinePerEntry) {
    const std::string path = Folder() + "/packets.log";
    std::remove(path.c_str());
    setenv("Q3VSIM_LOG", path.c_str(), 1);
    board::ResetControls();
    Send({7, 0});
    Receive();
    unsetenv("Q3VSIM_LOG");
    board::ResetControls(); // closes the file
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), "board 0 OUT 2: 07 00\nboard 0 IN 6: 08 00 00 00 00 00\n");
}

// The tests start without the controls they list (support/board_controls.txt): a variable the
// sources read and the list lacks would leak from the calling shell into the tests. Every quoted
// name of the board's variables counts, whether getenv reads it directly or through a helper.
TEST(BoardControlList, NamesEveryVariableTheSourcesRead) {
    const std::vector<std::string> listed = q3vtest::BoardControlNames();
    const std::regex read(R"re("(Q3VBOARD|Q3VSIM_[A-Z0-9_]+)")re");
    std::set<std::string> names;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(Q3V_SOURCE_DIR) + "/src")) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream file(entry.path());
        std::stringstream text;
        text << file.rdbuf();
        const std::string source = text.str();
        for (std::sregex_iterator it(source.begin(), source.end(), read), end; it != end; ++it) {
            names.insert((*it)[1]);
        }
    }
    EXPECT_GE(names.size(), 8u); // the search did find the readers
    for (const std::string& name : names) {
        EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end()) << name;
    }
}

} // namespace
} // namespace boardtest

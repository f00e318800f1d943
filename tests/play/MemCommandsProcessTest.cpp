// The simulated board keeps display memory between runs: a value written by one `play` process
// is read by the next one.
#include "support/PlayProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MemCommandsProcess, AValueWrittenInOneRunIsReadInTheNext) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::TempFolder folder("q3v-memproc"); // removed in every outcome
    ASSERT_FALSE(folder.Path().empty());
    const auto run = [&](const char* words) { return q3vtest::RunPlay(folder.Path(), words); };
    q3vtest::PlayRun result = run("w16 1000 55aa");
    EXPECT_EQ(result.Code, 0) << result.Output;
    EXPECT_NE(result.Output.find("00001000:  55AA  '.U'\n"), std::string::npos) << result.Output;
    result = run("r16 1000");
    EXPECT_EQ(result.Code, 0) << result.Output;
    EXPECT_NE(result.Output.find("00001000:  55AA  '.U'\n"), std::string::npos) << result.Output;
    // A failing command gives exit code 1.
    result = run("r16 zz");
    EXPECT_EQ(result.Code, 1) << result.Output;
    EXPECT_NE(result.Output.find("ERROR: 'zz' isn't a valid address.\n"), std::string::npos)
        << result.Output;
}

} // namespace

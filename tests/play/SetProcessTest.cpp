// On an acquired board a feature set by SET reaches the controller at once: the next `play`
// process reads it back from the simulated board, not from the configuration block.
#include "support/PlayProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SetProcess, AFeatureSetInOneRunIsReadInTheNext) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::TempFolder folder("q3v-setproc"); // removed in every outcome
    ASSERT_FALSE(folder.Path().empty());
    struct Case {
        const char* Set;
        const char* Echo;
        const char* Shown;
    };
    // Register 28h powers on at 1 and the configuration block holds 272 lines: the first case
    // fails when the value stays in the block copy, the second when it is read from there.
    const Case cases[] = {
        {"set vdp 272t", "vdp (REG[28h-b9:0]) <- 272\n",
         "vdp (REG[28h-b9:0]) = 110h (272 lines)\n"},
        {"set vdp 200t", "vdp (REG[28h-b9:0]) <- 200\n", "vdp (REG[28h-b9:0]) = C8h (200 lines)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Set);
        q3vtest::PlayRun result = q3vtest::RunPlay(folder.Path(), c.Set);
        EXPECT_EQ(result.Code, 0) << result.Output;
        EXPECT_NE(result.Output.find(c.Echo), std::string::npos) << result.Output;
        result = q3vtest::RunPlay(folder.Path(), "set vdp");
        EXPECT_EQ(result.Code, 0) << result.Output;
        EXPECT_NE(result.Output.find(c.Shown), std::string::npos) << result.Output;
    }
}

} // namespace

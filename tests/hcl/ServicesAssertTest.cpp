// oxAssert: the prompt, the answers, and the end of input.

#include "hcl/Services.h"
#include "platform/Console.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

class ServicesAssert : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    void TearDown() override { ConsoleSetInputForTesting("", 0); }

    static void Keys(const std::string& keys) {
        ConsoleSetInputForTesting(keys.data(), static_cast<unsigned>(keys.size()));
    }
};

TEST_F(ServicesAssert, NoReturnsAfterThePrompt) {
    Keys("n");
    testing::internal::CaptureStdout();
    const int printed = oxAssert("Open Pipe failed %x", 0x1Fu);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "ASSERT - Open Pipe failed 1f\nAbort [Y]: \a\n");
    EXPECT_EQ(printed, static_cast<int>(std::string("ASSERT - Open Pipe failed 1f").size()));
}

TEST_F(ServicesAssert, OtherKeysRingTheBellAgain) {
    const std::pair<const char*, const char*> cases[] = {
        {"xqN", "\a\a\a\n"},     // upper-case N counts as n
        {"\xE0H n", "\a\a\a\n"}, // an extended key (two codes) is one other key
        {"\x1b"
         "n",
         "\a\a\n"},
    };
    for (const auto& [keys, bells] : cases) {
        Keys(keys);
        testing::internal::CaptureStdout();
        oxAssert("m");
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  std::string("ASSERT - m\nAbort [Y]: ") + bells)
            << keys;
    }
}

TEST_F(ServicesAssert, YesEnterAndEndOfInputEndTheProgram) {
    for (const char* keys : {"y", "Y", "\r", "\n", "zz"}) { // "zz": the input ends: Enter
        EXPECT_EXIT(
            {
                Keys(keys);
                oxAssert("fatal %d", 1);
            },
            ::testing::ExitedWithCode(oxASSERT_EXIT_CODE), "")
            << keys;
    }
}

TEST_F(ServicesAssert, PromptFromAWorkerThreadEndsTheProgram) {
    EXPECT_EXIT(
        {
            Keys("q");
            std::thread worker([] { oxAssert("from a worker"); });
            worker.join();
        },
        ::testing::ExitedWithCode(oxASSERT_EXIT_CODE), "");
}

} // namespace

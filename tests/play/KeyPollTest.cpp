// The key poll of long loops with standard input that is no terminal: loops with an end of
// their own never look; loops until a key look from their second step and end at the first
// waiting byte or at the end of the input.
#include "play/KeyPoll.h"
#include "platform/Console.h"

#include <gtest/gtest.h>

namespace {

class KeyPollTest : public ::testing::Test {
protected:
    void TearDown() override { ConsoleSetInputForTesting(nullptr, 0); }
};

TEST_F(KeyPollTest, PlainInputRules) {
    ConsoleSetInputForTesting("x", 1);
    EXPECT_FALSE(LoopKeyWaiting(kLoopEndsItself, 0));
    EXPECT_FALSE(LoopKeyWaiting(kLoopEndsItself, 7)) << "a counted loop runs to its end";
    EXPECT_FALSE(LoopKeyWaiting(kLoopUntilKey, 0)) << "one step before the first look";
    EXPECT_TRUE(LoopKeyWaiting(kLoopUntilKey, 1)) << "the waiting byte is the key";
    EXPECT_EQ(ConsoleGetch(), 'x');
    EXPECT_TRUE(LoopKeyWaiting(kLoopUntilKey, 2)) << "the end of the input ends it too";
    EXPECT_FALSE(LoopKeyWaiting(kLoopEndsItself, 2));
}

} // namespace

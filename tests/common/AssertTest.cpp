#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

namespace {

int Halve(int value) {
    if (!Q3V_ASSERT_TEXT(value % 2 == 0, "value is even")) {
        return -1;
    }
    return value / 2;
}

} // namespace

TEST(Assert, RecorderCapturesTextAndCallerFallsBack) {
    AssertRecorder recorder;
    EXPECT_EQ(Halve(8), 4);
    EXPECT_EQ(recorder.Count(), 0u);
    EXPECT_EQ(Halve(7), -1);
    EXPECT_TRUE(recorder.Saw("value is even"));
}

TEST(Assert, ExpressionTextIsReported) {
    AssertRecorder recorder;
    int* p = nullptr;
    EXPECT_FALSE(Q3V_ASSERT(p != nullptr));
    EXPECT_TRUE(recorder.Saw("p != nullptr"));
}

TEST(AssertDeathTest, DefaultHandlerPrintsExpressionFileAndLineAndStops) {
    EXPECT_DEATH({ (void)Q3V_ASSERT(1 + 1 == 3); },
                 "Assertion failed: 1 \\+ 1 == 3, file .*AssertTest.cpp, line [0-9]+");
}

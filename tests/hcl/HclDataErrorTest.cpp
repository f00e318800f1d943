// The layer's last error and its texts.

#include "hcl/HclError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class HclDataError : public ::testing::Test {
protected:
    void TearDown() override { oxHclSetLastError(oxERR_NONE); }
};

TEST_F(HclDataError, EveryCodeHasItsText) {
    const char* const texts[] = {
        "There was no error detected",
        "ERROR: Unable to find/load the Q3V47xxx driver",
        "ERROR: Unable to locate an Q3V47xxx controller",
        "ERROR: Unable to locate the USB adapter",
        "ERROR: This program has not been configured",
        "ERROR: Config CRC does not match configuration",
        "ERROR: The controller has not been acquired",
        "ERROR: IRQ interrupt handler failure",
        "ERROR: Breakpoint: Register alignment error",
        "ERROR: Breakpoint: Mask out of bounds",
        "ERROR: Breakpoint: Timing not recognized",
        "ERROR: Breakpoint: Register format not recognized",
        "ERROR: Breakpoint: Register closing brace not found",
        "ERROR: Breakpoint: Error parsing match value",
        "ERROR: Breakpoint: Maximum breakpoints used",
        "ERROR: Breakpoint: Error parsing access type",
        "ERROR: An unspecified error occured",
    };
    static_assert(std::size(texts) == oxHCL_ERROR_COUNT);
    for (std::uint32_t code = 0; code < oxHCL_ERROR_COUNT; ++code) {
        oxHclSetLastError(code);
        char buffer[80];
        EXPECT_EQ(oxHclGetLastError(buffer, sizeof buffer), code);
        EXPECT_STREQ(buffer, texts[code]) << code;
    }
}

TEST_F(HclDataError, NullBufferOnlyReturnsTheCode) {
    oxHclSetLastError(oxERR_CRC_MISMATCH);
    EXPECT_EQ(oxHclGetLastError(nullptr, 80), oxERR_CRC_MISMATCH);
}

TEST_F(HclDataError, ShortBufferGetsATerminatedPrefix) {
    oxHclSetLastError(oxERR_NOT_CONFIGURED);
    char buffer[12];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(oxHclGetLastError(buffer, 10), oxERR_NOT_CONFIGURED);
    EXPECT_STREQ(buffer, "ERROR: Th");
    EXPECT_EQ(buffer[10], 'X') << "nothing written past the given size";

    char one = 'X';
    oxHclGetLastError(&one, 1);
    EXPECT_EQ(one, '\0');
    char untouched = 'X';
    oxHclGetLastError(&untouched, 0);
    EXPECT_EQ(untouched, 'X');
}

TEST_F(HclDataError, CodeBeyondTheTableGivesTheUnspecifiedText) {
    oxHclSetLastError(1000);
    char buffer[80];
    EXPECT_EQ(oxHclGetLastError(buffer, sizeof buffer), 1000u);
    EXPECT_STREQ(buffer, "ERROR: An unspecified error occured");
}

} // namespace

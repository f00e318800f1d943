#pragma once
// The front acquired on the fake interface table, with trace, breakpoints and the program's
// configuration block put back after each test.

#include "FrontFakeInterface.h"

#include "hcl/HclApi.h"
#include "hcl/HclBreak.h"
#include "hcl/HclData.h"
#include "hcl/HclStart.h"
#include "hcl/HclTrace.h"
#include "platform/Console.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace fronttest {

class FrontTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memcpy(&m_SavedBlock, &oxgHclInfo, sizeof m_SavedBlock);
        m_Board = std::make_unique<FakeBoard>();
        Board() = m_Board.get();
        Calls().clear();
        oxHclResetTraceForTesting();
        oxHclResetBreakpointsForTesting();
        oxHclResetFrontForTesting();
        oxHclSetTransportForTesting(&FakeInterface());
    }
    void TearDown() override {
        if (m_Capturing) {
            ::testing::internal::GetCapturedStdout();
        }
        ConsoleSetInputForTesting("", 0);
        oxHclResetFrontForTesting();
        oxHclSetTransportForTesting(nullptr);
        oxHclResetTraceForTesting();
        oxHclResetBreakpointsForTesting();
        std::memcpy(&oxgHclInfo, &m_SavedBlock, sizeof m_SavedBlock);
        Board() = nullptr;
    }

    // Acquires the fake through oxHclInitialize (quietly) and forgets the calls it made.
    void Acquire() {
        m_Board->PrintCalls = false;
        ASSERT_TRUE(oxHclInitialize());
        m_Board->PrintCalls = true;
        Calls().clear();
    }

    void Capture() {
        ::testing::internal::CaptureStdout();
        m_Capturing = true;
    }
    std::string Captured() {
        std::fflush(stdout);
        m_Capturing = false;
        return ::testing::internal::GetCapturedStdout();
    }

    // Keys for the breakpoint prompt.
    void Keys(const char* keys) {
        ConsoleSetInputForTesting(keys, static_cast<unsigned>(std::strlen(keys)));
    }

    std::unique_ptr<FakeBoard> m_Board;
    oxHclData m_SavedBlock;
    bool m_Capturing = false;
};

} // namespace fronttest

// The two ways to one board: what this program writes through the kernel driver's window, play
// reads over the USB bridge, and the other way round; a register written through the window reads
// back through the layer's USB path. All on one board folder.

#include "UsbInterfaceFixture.h"

#include "hcl/KernelDriver.h"
#include "support/PlayProcess.h"

#include <gmock/gmock.h>

namespace usbtest {
namespace {

using ::testing::HasSubstr;

class KernelDriverPlayTest : public SimBoardTest {
protected:
    void SetUp() override {
        SimBoardTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        oxDrvResetForTesting();
        std::uint32_t size = 0;
        ASSERT_TRUE(oxDrvMapBoard(0, &m_Window, &size));
        ASSERT_GE(size, 0x60900u);
    }
    void TearDown() override {
        oxDrvResetForTesting();
        SimBoardTest::TearDown();
    }

    volatile std::uint16_t& Word(std::uint32_t offset) {
        return *reinterpret_cast<volatile std::uint16_t*>(m_Window + offset);
    }

    std::uintptr_t m_Window = 0;
};

TEST_F(KernelDriverPlayTest, PlayAndTheWindowSeeEachOthersBytes) {
    if (!q3vtest::PlayIsBuilt()) {
        GTEST_SKIP() << "play is not built in " << Q3V_BINARY_DIR;
    }
    Word(0x1000) = 0x1234;
    q3vtest::PlayRun run = q3vtest::RunPlay(BoardFolder(), "r16 1000");
    EXPECT_EQ(run.Code, 0) << run.Output;
    EXPECT_THAT(run.Output, HasSubstr("00001000:  1234")) << run.Output;

    run = q3vtest::RunPlay(BoardFolder(), "w16 2000 abcd");
    EXPECT_EQ(run.Code, 0) << run.Output;
    EXPECT_EQ(Word(0x2000), 0xABCD);
}

TEST_F(KernelDriverPlayTest, ARegisterWrittenThroughTheWindowReadsBackOverTheBridge) {
    Word(0x60828) = 0x0123; // VDISP
    EXPECT_EQ(oxHclReadReg16(0x28), 0x0123);
    oxHclWriteReg16(0x62, 0x00AB); // ALPHA
    EXPECT_EQ(Word(0x60862), 0x00AB);
}

} // namespace
} // namespace usbtest

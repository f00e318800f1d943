// The front: order of breakpoint checks, trace events, slot calls and echo; start-up and the
// table before acquisition; initialisation flags; the display-memory clear; size guards.

#include "FrontFixture.h"

#include "hcl/HclError.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

using namespace fronttest;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

std::uint32_t LastError() {
    return oxHclGetLastError(nullptr, 0);
}

} // namespace

// --- Order inside one call ----------------------------------------------------------------

TEST_F(FrontTest, RegisterWriteChecksTracesCallsEchoesAndChecksAgainInThatOrder) {
    Acquire();
    ASSERT_TRUE(oxHclStartTrace(oxHCL_TRACE_WRITES, nullptr));
    ASSERT_TRUE(oxHclParseBreakpoints("bw:reg[40];aw:reg[40]"));
    oxHclSetDebugWrites(1);
    Keys("rr");
    Capture();
    oxHclWriteReg16(0x40, 0x1234);
    // The head record and the write event exist when the slot runs (trace=2).
    EXPECT_EQ(Captured(), "\nCurrent Register: 0040\n"
                          "Before write break: Reg: 0040 Mask: FFFF\n"
                          "Command: r\n\n"
                          "<slot WriteReg16 40 1234 trace=2>\n"
                          "   TEST [0040] W:1234\n"
                          "\nCurrent Register: 0040\n"
                          "After write break: Reg: 0040 Mask: FFFF\n"
                          "Command: r\n\n");
}

TEST_F(FrontTest, RegisterReadCallsTheSlotBeforeTheTraceEventAndChecksWithTheValueRead) {
    Acquire();
    m_Board->StoreReg(0x42, 2, 0x5678);
    ASSERT_TRUE(oxHclStartTrace(oxHCL_TRACE_READS, nullptr));
    // The after-check matches only the value read.
    ASSERT_TRUE(oxHclParseBreakpoints("br:reg[42];ar:reg[42]==5678;ar:reg[42]==1"));
    Keys("rr");
    Capture();
    EXPECT_EQ(oxHclReadReg16(0x42), 0x5678);
    EXPECT_EQ(Captured(), "\nCurrent Register: 0042\n"
                          "Before read break: Reg: 0040 Mask: FFFF0000\n"
                          "Command: r\n\n"
                          "<slot ReadReg16 42 trace=1>\n"
                          "\nCurrent Register: 0042\n"
                          "After read break: Reg: 0040 Mask: FFFF0000 Value: 5678\n"
                          "Command: r\n\n");
    EXPECT_EQ(oxHclTraceRecordCount(), 2u);
}

TEST_F(FrontTest, ModifyChecksEitherAccessAndTracesTheMaskedNewValueAfterTheSlot) {
    Acquire();
    m_Board->StoreReg(0x40, 2, 0x1200);
    ASSERT_TRUE(oxHclStartTrace(oxHCL_TRACE_WRITES, nullptr));
    ASSERT_TRUE(oxHclParseBreakpoints("bw:reg[40];ar:reg[40]==1234"));
    Keys("rr");
    Capture();
    EXPECT_EQ(oxHclSetBitsReg16(0x40, 0x0034), 0x1234);
    const std::string out = Captured();
    EXPECT_THAT(out, HasSubstr("Before write break"));
    EXPECT_THAT(out, HasSubstr("<slot SetBitsReg16 40 1234 trace=1>"));
    EXPECT_THAT(out, HasSubstr("After read break: Reg: 0040 Mask: FFFF Value: 1234"));
    EXPECT_LT(out.find("Before"), out.find("<slot"));
    EXPECT_LT(out.find("<slot"), out.find("After"));
    EXPECT_EQ(oxHclTraceRecordCount(), 2u);
}

// Memory and burst forms: writes record before the slot, reads after it.
TEST_F(FrontTest, MemoryAndBurstWritesRecordBeforeTheSlotAndReadsAfter) {
    Acquire();
    std::uint16_t words[3] = {1, 2, 3};
    std::uint8_t bytes[2] = {};
    struct Case {
        const char* Name;
        std::function<void()> Call;
        unsigned TraceAtSlot; // records when the slot runs (after the head and earlier cases)
    };
    const Case cases[] = {
        {"WriteMemory8", [] { oxHclWriteMemory8(0x10, 1); }, 2},
        {"ReadMemory32", [] { oxHclReadMemory32(0x10); }, 2},
        {"FillMemory16", [] { oxHclFillMemory16(0x20, 7, 4); }, 4},
        {"BurstWriteMemory16", [&] { oxHclBurstWriteMemory16(0x40, words, 3); }, 5},
        {"BurstReadMemory8", [&] { oxHclBurstReadMemory8(0x40, bytes, 2); }, 5},
        {"BurstWriteReg16", [&] { oxHclBurstWriteReg16(0x60, words, 3); }, 7},
        {"BurstReadReg8", [&] { oxHclBurstReadReg8(0x60, bytes, 2); }, 7},
        {"ReadReg8", [] { oxHclReadReg8(0x61); }, 8},
        {"ClearBitsReg8", [] { oxHclClearBitsReg8(0x61, 1); }, 9},
    };
    ASSERT_TRUE(oxHclStartTrace(oxHCL_TRACE_READS, nullptr));
    for (const Case& c : cases) {
        Capture();
        c.Call();
        const std::string out = Captured();
        EXPECT_THAT(out, HasSubstr(std::string("<slot ") + c.Name))
            << c.Name << " did not reach its slot";
        EXPECT_THAT(out, HasSubstr("trace=" + std::to_string(c.TraceAtSlot) + ">")) << out;
    }
}

TEST_F(FrontTest, BurstsWithoutBufferOrCountDoNothingAtAll) {
    Acquire();
    ASSERT_TRUE(oxHclStartTrace(oxHCL_TRACE_WRITES, nullptr));
    std::uint16_t words[2] = {};
    std::uint32_t dwords[2] = {};
    oxHclBurstWriteReg16(0x40, words, 0);
    oxHclBurstReadReg16(0x40, nullptr, 2);
    oxHclBurstWriteMemory32(0, dwords, 0);
    oxHclBurstReadMemory32(0, nullptr, 2);
    EXPECT_THAT(Calls(), IsEmpty());
    EXPECT_EQ(oxHclTraceRecordCount(), 1u);
}

// count x 2 and count x 4 must not wrap: such a transfer is refused before the slot.
TEST_F(FrontTest, TransfersWhoseByteSizeExceeds32BitsAreRefused) {
    Acquire();
    ASSERT_TRUE(oxHclStartTrace(oxHCL_TRACE_WRITES, nullptr));
    std::uint32_t dummy[1] = {};
    auto* w16 = reinterpret_cast<std::uint16_t*>(dummy);
    const std::function<void()> calls[] = {
        [&] { oxHclBurstReadMemory32(0, dummy, 0x40000000); },
        [&] { oxHclBurstWriteMemory32(0, dummy, 0x40000000); },
        [&] { oxHclBurstReadMemory16(0, w16, 0x80000000); },
        [&] { oxHclBurstWriteMemory16(0, w16, 0x80000000); },
        [&] { oxHclBurstReadReg16(0, w16, 0x80000000); },
        [&] { oxHclBurstWriteReg16(0, w16, 0x80000000); },
        [] { oxHclFillMemory32(0, 0, 0x40000000); },
        [] { oxHclFillMemory16(0, 0, 0xFFFFFFFF); },
    };
    for (const auto& call : calls) {
        Capture();
        call();
        EXPECT_THAT(Captured(), HasSubstr("is too large"));
    }
    EXPECT_THAT(Calls(), IsEmpty());
    EXPECT_EQ(oxHclTraceRecordCount(), 1u);
    // The largest size that fits still goes through.
    oxHclFillMemory32(0, 0, 0x3FFFFFFF);
    EXPECT_THAT(Calls(), ElementsAre("FillMemory32 0 0 3FFFFFFF"));
}

TEST_F(FrontTest, ResultsAreMaskedToTheRegisterWidth) {
    Acquire();
    m_Board->StoreReg(0x40, 2, 0x1200);
    EXPECT_EQ(oxHclSetBitsReg16(0x40, 0x0034), 0x1234);
    EXPECT_EQ(oxHclClearBitsReg16(0x40, 0x0200), 0x1034);
    EXPECT_EQ(oxHclModifyReg8(0x41, 0xF0, 0x50), 0x50);
    EXPECT_EQ(m_Board->LoadReg(0x40, 2), 0x5034u);
}

TEST_F(FrontTest, ThirtyTwoBitRegisterFormsDoNotReachTheTable) {
    Acquire();
    std::uint32_t buffer[2] = {1, 2};
    Capture();
    EXPECT_EQ(oxHclReadReg32(0x40), 0u);
    oxHclWriteReg32(0x40, 0x12345678);
    oxHclBurstReadReg32(0x40, buffer, 2);
    oxHclBurstWriteReg32(0x40, buffer, 2);
    EXPECT_EQ(Captured(), "\nError: 32 bit register burst reads not supported"
                          "\nError: 32 bit register burst writes not supported");
    EXPECT_THAT(Calls(), IsEmpty());
}

TEST_F(FrontTest, RawWriteEchoesTheValueMaskedToItsWidth) {
    Acquire();
    oxHclSetDebugWrites(1);
    Capture();
    oxHclWriteRaw(0, 0x10, 1, 0x1234);
    oxHclWriteRaw(0, 0x12, 2, 0xABCDEF);
    oxHclWriteRaw(0, 0x14, 4, 0x89ABCDEF);
    oxHclWriteRaw(0, 0x18, 3, 0x55);
    const std::string out = Captured();
    EXPECT_THAT(out, HasSubstr("   RAW0 [0010] W:34\n"));
    EXPECT_THAT(out, HasSubstr("   RAW0 [0012] W:CDEF\n"));
    EXPECT_THAT(out, HasSubstr("   RAW0 [0014] W:89ABCDEF\n"));
    EXPECT_THAT(out, ::testing::Not(HasSubstr("[0018]")));
}

TEST_F(FrontTest, WaitsAndIrqHandlerPassThroughTheTable) {
    Acquire();
    m_Board->PrintCalls = false;
    EXPECT_TRUE(oxHclWaitRegBitsClear16(0x40, 0x8000, 10, 100));
    EXPECT_FALSE(oxHclWaitRegBitsSet8(0x41, 1, 0, 5));
    EXPECT_TRUE(oxHclInstallIrqHandler([] {}));
    EXPECT_EQ(LastError(), oxERR_NONE);
    EXPECT_FALSE(oxHclInstallIrqHandler(nullptr));
    EXPECT_EQ(LastError(), oxERR_IRQ_HANDLER);
    EXPECT_THAT(Calls(), ElementsAre("WaitRegBitsClear16 40 8000 A 64", "WaitRegBitsSet8 41 1 0 5",
                                     "InstallIrqHandler", "InstallIrqHandler"));
}

// --- Start-up -----------------------------------------------------------------------------

TEST_F(FrontTest, WithoutTheUsbFlagStartUpSucceedsAndAccessesFailWithNotAcquired) {
    oxHclClearAdapterUsb();
    oxHclStoreU16(oxgHclInfo, 530, oxHclCalcCrc(oxgHclInfo)); // a block configured so
    ASSERT_TRUE(oxHclInitialize());
    EXPECT_FALSE(oxHclIsAcquired());
    m_Board->StoreReg(0x40, 2, 0x1234);
    EXPECT_EQ(oxHclReadReg16(0x40), 0);
    EXPECT_EQ(LastError(), oxERR_NOT_ACQUIRED);
    oxHclSetLastError(oxERR_NONE);
    oxHclWriteMemory32(0, 1);
    EXPECT_EQ(LastError(), oxERR_NOT_ACQUIRED);
    EXPECT_EQ(oxHclReadRaw(0, 0, 4), 0u);
    EXPECT_FALSE(oxHclWaitRegBitsSet16(0x40, 1, 1, 1));
    EXPECT_THAT(Calls(), IsEmpty());
    EXPECT_FALSE(oxHclInitRegisters(0));
    EXPECT_EQ(LastError(), oxERR_NOT_ACQUIRED);
}

TEST_F(FrontTest, FailedAcquisitionReportsError3AndLeavesNoTransportLive) {
    m_Board->AcquireResult = false;
    m_Board->PrintCalls = false;
    EXPECT_FALSE(oxHclInitialize());
    EXPECT_EQ(LastError(), oxERR_NO_USB_ADAPTER);
    EXPECT_THAT(Calls(), ElementsAre("AcquireController"));
    EXPECT_EQ(oxHclReadReg16(0x40), 0);
    EXPECT_EQ(LastError(), oxERR_NOT_ACQUIRED);
    EXPECT_THAT(Calls(), ElementsAre("AcquireController"));
}

TEST_F(FrontTest, BurstReadsAfterAFailedReacquisitionGiveZerosNotTheBuffersOldBytes) {
    Acquire();
    m_Board->AcquireResult = false;
    m_Board->PrintCalls = false;
    EXPECT_FALSE(oxHclReinitialize());
    uint8_t bytes[3] = {0xBE, 0xBE, 0xBE};
    uint16_t halves[3] = {0xBEBE, 0xBEBE, 0xBEBE};
    uint32_t words[3] = {0xBEBEBEBE, 0xBEBEBEBE, 0xBEBEBEBE};
    oxHclBurstReadReg8(0x40, bytes, 3);
    EXPECT_THAT(bytes, Each(0));
    oxHclBurstReadReg16(0x40, halves, 3);
    EXPECT_THAT(halves, Each(0));
    std::fill_n(bytes, 3, 0xBE);
    std::fill_n(halves, 3, 0xBEBE);
    oxHclBurstReadMemory8(0, bytes, 3);
    oxHclBurstReadMemory16(0, halves, 3);
    oxHclBurstReadMemory32(0, words, 3);
    EXPECT_THAT(bytes, Each(0));
    EXPECT_THAT(halves, Each(0));
    EXPECT_THAT(words, Each(0u));
    EXPECT_EQ(LastError(), oxERR_NOT_ACQUIRED);
    EXPECT_THAT(Calls(), ElementsAre("AcquireController"));
}

TEST_F(FrontTest, SecondStartNeitherAcquiresAgainNorResetsTheEcho) {
    oxHclSetFlags(oxgHclInfo, oxHclGetFlags(oxgHclInfo) | oxfDEBUG_REG_WRITES);
    m_Board->PrintCalls = false;
    ASSERT_TRUE(oxHclInitialize());
    EXPECT_EQ(oxHclGetDebugWrites(), 1u);
    EXPECT_EQ(oxHclSetDebugWrites(0), 1u);
    ASSERT_TRUE(oxHclInitialize());
    EXPECT_EQ(oxHclGetDebugWrites(), 0u);
    EXPECT_THAT(Calls(), ElementsAre("AcquireController"));
    // Reinitialising acquires again, still without touching the echo.
    ASSERT_TRUE(oxHclReinitialize());
    EXPECT_THAT(Calls(), ElementsAre("AcquireController", "AcquireController"));
    EXPECT_EQ(oxHclGetDebugWrites(), 0u);
}

TEST_F(FrontTest, EchoSettingIsReportedAndTheWritesEchoWhileOn) {
    Acquire();
    m_Board->PrintCalls = false;
    EXPECT_EQ(oxHclSetDebugWrites(1), 0u);
    EXPECT_EQ(oxHclGetDebugWrites(), 1u);
    Capture();
    oxHclWriteReg8(0x41, 0x5);
    oxHclWriteReg16(0x42, 0xBEEF);
    oxHclSetDebugWrites(0);
    oxHclWriteReg16(0x44, 1);
    EXPECT_EQ(Captured(), "   TEST [0041] W:05\n   TEST [0042] W:BEEF\n");
}

// --- Initialisation -------------------------------------------------------------------------

TEST(FrontInitFlags, OnlyFlagsTurnEveryOtherPartOff) {
    struct Case {
        std::uint32_t Flags;
        std::uint32_t Effective;
    };
    const Case cases[] = {
        {0, 0},
        {oxHCL_INIT_NOREGS | oxHCL_INIT_NOLUT, oxHCL_INIT_NOREGS | oxHCL_INIT_NOLUT},
        {oxHCL_INIT_NOCRC, oxHCL_INIT_NOCRC},
        {oxHCL_INIT_ONLYLUT,
         oxHCL_INIT_NOREGS | oxHCL_INIT_NOLCDS | oxHCL_INIT_NOVRAM | oxHCL_INIT_NOCRC},
        // The NO flags given beside an ONLY flag are ignored.
        {oxHCL_INIT_ONLYLUT | oxHCL_INIT_NOLUT | oxHCL_INIT_NOCRC,
         oxHCL_INIT_NOREGS | oxHCL_INIT_NOLCDS | oxHCL_INIT_NOVRAM | oxHCL_INIT_NOCRC},
        {oxHCL_INIT_ONLYCRC,
         oxHCL_INIT_NOREGS | oxHCL_INIT_NOLCDS | oxHCL_INIT_NOLUT | oxHCL_INIT_NOVRAM},
        {oxHCL_INIT_ONLYLCDS,
         oxHCL_INIT_NOREGS | oxHCL_INIT_NOLUT | oxHCL_INIT_NOVRAM | oxHCL_INIT_NOCRC},
        {oxHCL_INIT_ONLYREGS | oxHCL_INIT_ONLYVRAM,
         oxHCL_INIT_NOLCDS | oxHCL_INIT_NOLUT | oxHCL_INIT_NOCRC},
        {oxHCL_INIT_ONLY_MASK, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(oxHclEffectiveInitFlags(c.Flags), c.Effective) << std::hex << c.Flags;
    }
}

TEST_F(FrontTest, InitRegistersRunsThePartsTheFlagsLeave) {
    const std::string header = "   List of HCL Initialization Events:\n";
    const std::string regs = "   - Registers initialized as per configured settings.\n";
    const std::string noRegs = "   - Registers NOT initialized!\n";
    const std::string lut = "   - LUT initialized.\n";
    const std::string noLut = "   - LUT NOT initialized!\n";
    const std::string vram = "   - All video memory cleared to 00h.\n";
    const std::string noVram = "   - Video memory NOT cleared!\n";
    struct Case {
        std::uint32_t Flags;
        std::string Lines;
        bool Init, Lut, Clear;
    };
    const Case cases[] = {
        {0, header + regs + lut + vram, true, true, true},
        {oxHCL_INIT_NOREGS | oxHCL_INIT_NOVRAM, header + noRegs + lut + noVram, false, true, false},
        {oxHCL_INIT_ONLYLUT, header + noRegs + lut + noVram, false, true, false},
        {oxHCL_INIT_ONLYLCDS, header + noRegs + noLut + noVram, false, false, false},
        {oxHCL_INIT_ONLYVRAM | oxHCL_INIT_ONLYREGS, header + regs + noLut + vram, true, false,
         true},
    };
    Acquire();
    m_Board->PrintCalls = false;
    for (const Case& c : cases) {
        Calls().clear();
        Capture();
        EXPECT_TRUE(oxHclInitRegisters(c.Flags));
        EXPECT_EQ(Captured(), c.Lines) << std::hex << c.Flags;
        auto called = [&](const std::string& prefix) {
            for (const auto& call : Calls()) {
                if (call.rfind(prefix, 0) == 0) {
                    return true;
                }
            }
            return false;
        };
        EXPECT_EQ(called("InitializeController"), c.Init) << std::hex << c.Flags;
        EXPECT_EQ(called("BurstWriteMemory32 60000"), c.Lut) << std::hex << c.Flags;
        EXPECT_EQ(called("BurstWriteMemory32 60400"), c.Lut) << std::hex << c.Flags;
        EXPECT_EQ(called("FillMemory32"), c.Clear) << std::hex << c.Flags;
    }
}

TEST_F(FrontTest, InitRegistersChecksTheConfigurationCrcUnlessTold) {
    Acquire();
    m_Board->PrintCalls = false;
    oxHclStoreU16(oxgHclInfo, 530, 0);
    EXPECT_FALSE(oxHclInitRegisters(0));
    EXPECT_EQ(LastError(), oxERR_NOT_CONFIGURED);
    EXPECT_FALSE(oxHclInitRegisters(oxHCL_INIT_ONLYCRC));
    EXPECT_EQ(LastError(), oxERR_NOT_CONFIGURED);
    Capture();
    EXPECT_TRUE(oxHclInitRegisters(oxHCL_INIT_NOCRC | oxHCL_INIT_NOVRAM));
    Captured();
    EXPECT_EQ(LastError(), oxERR_NONE);

    std::memcpy(&oxgHclInfo, &m_SavedBlock, sizeof oxgHclInfo);
    oxgHclInfo.szChipId[0] ^= 1; // a change inside the CRC's range
    EXPECT_FALSE(oxHclInitRegisters(oxHCL_INIT_NOREGS));
    EXPECT_EQ(LastError(), oxERR_CRC_MISMATCH);
    // An ONLY flag other than ONLYCRC skips the check.
    Capture();
    EXPECT_TRUE(oxHclInitRegisters(oxHCL_INIT_ONLYLCDS));
    Captured();
}

TEST_F(FrontTest, InitRegistersHoldsTheEchoOffAndRestoresIt) {
    Acquire();
    m_Board->PrintCalls = false;
    oxHclSetDebugWrites(1);
    Capture();
    EXPECT_TRUE(oxHclInitRegisters(oxHCL_INIT_ONLYREGS));
    oxHclWriteReg16(0x40, 0x1);
    const std::string out = Captured();
    EXPECT_EQ(out.find("   TEST"), out.rfind("   TEST")) << out;
    EXPECT_THAT(out, HasSubstr("   TEST [0040] W:0001\n"));
    // The list did run: its last write is register 04 = 0002.
    EXPECT_EQ(m_Board->LoadReg(0x04, 2), 2u);
}

TEST_F(FrontTest, ClearingVideoMemoryLeavesTheLookUpTablesAlone) {
    Acquire();
    m_Board->PrintCalls = false;
    m_Board->Mem[0] = 0x11;
    m_Board->Mem[0x5FFFF] = 0x22;
    m_Board->Mem[0x60000] = 0x33;
    m_Board->Mem[0x607FF] = 0x44;
    oxHclClearVideoMemory();
    EXPECT_THAT(Calls(), ElementsAre("FillMemory32 0 0 18000"));
    EXPECT_EQ(m_Board->Mem[0], 0);
    EXPECT_EQ(m_Board->Mem[0x5FFFF], 0);
    EXPECT_EQ(m_Board->Mem[0x60000], 0x33);
    EXPECT_EQ(m_Board->Mem[0x607FF], 0x44);
}

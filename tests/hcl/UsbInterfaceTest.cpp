// The USB interface operations against the simulated board: acquisition and initialisation,
// the address mapping, the waits, fills and the misuse reports.
#include "UsbInterfaceFixture.h"

#include "hcl/HclError.h"
#include "hcl/HclInitList.h"
#include "hcl/Lcd.h"
#include "hcl/UsbInterface.h"

#include <gmock/gmock.h>

#include <cstring>
#include <functional>

using namespace usbtest;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// The register writes of the configuration block's list, in order, as the bridge sees them.
std::vector<Access> ListWrites(const oxHclData& block) {
    std::vector<Access> writes;
    for (std::size_t i = 0; i < oxHCL_REGSIZE; ++i) {
        const oxHclRegEntry e = oxHclGetReg(block, i);
        if (e.Index == oxHCL_REG_END) {
            break;
        }
        if (e.Index < oxHCL_REG_PLL_WAIT) {
            writes.push_back({true, Reg(e.Index), 4, 2, e.Value});
        }
    }
    return writes;
}

// Saves the program's own block and puts it back after the test.
class BlockGuard {
public:
    BlockGuard() { std::memcpy(&m_Saved, &oxgHclInfo, sizeof m_Saved); }
    ~BlockGuard() { std::memcpy(&oxgHclInfo, &m_Saved, sizeof m_Saved); }
    // Sets the value of the first list pair with this index and refreshes the CRC.
    void SetListValue(std::uint16_t index, std::uint16_t value) {
        for (std::size_t i = 0; i < oxHCL_REGSIZE; ++i) {
            oxHclRegEntry e = oxHclGetReg(oxgHclInfo, i);
            if (e.Index == index) {
                e.Value = value;
                oxHclSetReg(oxgHclInfo, i, e);
                break;
            }
        }
        oxgHclInfo.HclCRC = oxHclCalcCrc(oxgHclInfo);
    }

private:
    oxHclData m_Saved;
};

bool InitRegisters(std::uint32_t flags, std::string* output = nullptr) {
    ::testing::internal::CaptureStdout();
    const bool ok = oxHclInitRegisters(flags);
    const std::string out = ::testing::internal::GetCapturedStdout();
    if (output != nullptr) {
        *output = out;
    }
    return ok;
}

} // namespace

using UsbInterface = SimBoardTest;

TEST_F(UsbInterface, AcquisitionSendsTheBlocksMgeBytesAndPrintsTheBridge) {
    std::uint8_t table[4][6];
    m_Board->Config(table);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(table[0][i], oxgHclInfo.USBConfig[i]) << "byte " << i;
    }
    EXPECT_THAT(m_AcquireOutput, HasSubstr("CSCL HW revision "));
    EXPECT_EQ(oxUsbIsAcquired(), 255u);
}

TEST_F(UsbInterface, InitialisationWritesTheListInOrderAndWaitsForThePllLock) {
    constexpr std::uint32_t kLockReads = 3;
    board::SetPllLockReads(kLockReads);
    ASSERT_TRUE(InitRegisters(oxHCL_INIT_NOLUT | oxHCL_INIT_NOVRAM));
    const std::vector<Access> log = TakeAccesses();

    std::vector<Access> writes;
    for (const Access& a : log) {
        if (a.Write) {
            writes.push_back(a);
        }
    }
    EXPECT_EQ(writes, ListWrites(oxgHclInfo));

    // The reads are the PLL-lock waits of the list (index 252): runs of PLL_0 reads between two
    // writes, each ending with the lock bit set. The first follows PLL_0 := 1 and polls until
    // the lock shows.
    std::vector<std::vector<Access>> waits;
    bool inWait = false;
    for (const Access& a : log) {
        if (a.Write) {
            inWait = false;
            continue;
        }
        if (!inWait) {
            waits.emplace_back();
            inWait = true;
        }
        waits.back().push_back(a);
    }
    std::size_t listWaits = 0;
    for (std::size_t i = 0; i < oxHCL_REGSIZE; ++i) {
        const oxHclRegEntry e = oxHclGetReg(oxgHclInfo, i);
        if (e.Index == oxHCL_REG_END) {
            break;
        }
        listWaits += e.Index == oxHCL_REG_PLL_WAIT ? 1 : 0;
    }
    ASSERT_EQ(waits.size(), listWaits);
    ASSERT_GE(waits.size(), 1u);
    for (const auto& wait : waits) {
        for (const Access& a : wait) {
            EXPECT_EQ(a.Address, Reg(oxHCL_REG_PLL_0));
        }
        EXPECT_NE(wait.back().Value & oxHCL_PLL_LOCK, 0u);
    }
    ASSERT_EQ(waits[0].size(), kLockReads + 1);
    for (std::size_t i = 0; i < kLockReads; ++i) {
        EXPECT_EQ(waits[0][i].Value & oxHCL_PLL_LOCK, 0u) << "read " << i;
    }
    const auto enable = std::find(log.begin(), log.end(), Access{true, Reg(0x10), 4, 2, 1});
    ASSERT_NE(enable, log.end());
    EXPECT_EQ(*(enable + 1), waits[0][0]);
}

TEST_F(UsbInterface, InitialisationLoadsTheDefaultTablesOfTheConfiguredDepths) {
    // Depth codes of the main layer (MAIN_SET) and picture-in-picture layer (PIP_SET) and the
    // PANEL_SET value, as the block's list configures them.
    struct Case {
        std::uint16_t Main, Pip, Panel;
    };
    const Case cases[] = {{0, 0, 0x004F}, {5, 6, 0x004F}, {1, 6, 0x0047}, {4, 2, 0x004F}};

    // Entries of each default table, worked out by hand from its rule.
    using Entries = std::vector<std::pair<std::uint32_t, std::uint32_t>>; // {index, entry}
    // Depths 0 and 4: a grey ramp, the index in each of red, green and blue.
    const Entries ramp = {{0x00, 0x000000}, {0x25, 0x252525}, {0x80, 0x808080}, {0xFF, 0xFFFFFF}};
    // Depths 1 and 5: 64 entries, the index's 5 low bits widened to red and blue, the 6 bits
    // to green; the rest of the table untouched (0 after power-on).
    const Entries widened = {{0, 0x000000},  {1, 0x080408}, {31, 0xFF7DFF}, {32, 0x008200},
                             {63, 0xFFFFFF}, {64, 0},       {0xFF, 0}};
    // Depth 6, colour panel: red in bits 7-5 of the index, green in 4-2, blue in 1-0, each
    // widened by repeating its bits.
    const Entries colour = {{0x00, 0x000000}, {0x03, 0x0000FF}, {0x1C, 0x00FF00}, {0xE0, 0xFF0000},
                            {0x25, 0x242455}, {0x92, 0x9292AA}, {0xFF, 0xFFFFFF}};
    // Depth 6, monochrome panel: the same colours as one grey level, 0.299 R + 0.587 G +
    // 0.114 B rounded down.
    const Entries grey = {{0x00, 0},  {0x03, 29},  {0x1C, 149}, {0xE0, 76},
                          {0x25, 41}, {0x92, 148}, {0xFF, 255}};
    // Depth 2: nothing written.
    const Entries untouched = {{0x00, 0}, {0x80, 0}, {0xFF, 0}};
    const auto expected = [&](std::uint16_t code, std::uint16_t panel) -> const Entries& {
        switch (code) {
        case 1:
        case 5:
            return widened;
        case 2:
            return untouched;
        case 6:
            return (panel & 8) != 0 ? colour : grey;
        default:
            return ramp;
        }
    };
    const auto expectTable = [this](std::uint32_t address, const Entries& entries) {
        const std::vector<std::uint32_t> table = Lut(address, 256);
        for (const auto& [index, entry] : entries) {
            EXPECT_EQ(table[index], entry) << "entry " << index;
        }
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "main " << c.Main << " pip " << c.Pip);
        BlockGuard block;
        block.SetListValue(0x40, c.Main);
        block.SetListValue(0x50, c.Pip);
        block.SetListValue(0x20, c.Panel);
        m_Board->PowerOn();
        ASSERT_TRUE(InitRegisters(oxHCL_INIT_NOVRAM));
        expectTable(oxLCD_LUT0_ADDRESS, expected(c.Main, c.Panel));
        expectTable(oxLCD_LUT1_ADDRESS, expected(c.Pip, c.Panel));
    }
}

TEST_F(UsbInterface, PllThatNeverLocksFailsTheInitialisation) {
    board::SetPllLockReads(0xFFFFFFFF); // far more reads than the walk makes before it gives up
    std::string out;
    EXPECT_FALSE(InitRegisters(oxHCL_INIT_NOVRAM, &out));
    EXPECT_EQ(out, "   List of HCL Initialization Events:\n"
                   "   - Registers NOT initialized!\n"
                   "   - LUT initialized.\n"
                   "   - Video memory NOT cleared!\n");
    EXPECT_EQ(oxHclGetLastError(nullptr, 0), oxERR_UNSPECIFIED);
    // The walk stopped at its first PLL wait: the list's writes after it never went out.
    const std::vector<Access> log = TakeAccesses();
    const auto enable = std::find(log.begin(), log.end(), Access{true, Reg(0x10), 4, 2, 1});
    ASSERT_NE(enable, log.end());
    const auto onRegisterPort = [](const Access& a) { return a.Write && a.Interface == 4; };
    EXPECT_EQ(std::find_if(enable + 1, log.end(), onRegisterPort), log.end())
        << "no register write after the wait";
}

TEST_F(UsbInterface, InitialiseBeforeAcquisitionIsReported) {
    board::SetAbsent(0, true);
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(oxAcquireController());
    AnswerNo();
    EXPECT_FALSE(oxInitializeController());
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, HasSubstr("ASSERT - oxInitializeController() called but controller not "
                               "acquired."));
    EXPECT_EQ(oxUsbIsAcquired(), 0u);
    EXPECT_FALSE(oxInstallIrqHandler(nullptr));
}

TEST_F(UsbInterface, BlockThatFailsItsCrcIsRefusedWithoutTouchingTheController) {
    BlockGuard guard;
    // The block as built, with ClkI changed and no new CRC.
    oxHclSetClkI(oxgHclInfo, oxHclGetClkI(oxgHclInfo) ^ 1);
    std::string out;
    EXPECT_FALSE(InitRegisters(0, &out));
    EXPECT_EQ(out, "");
    char text[80];
    EXPECT_EQ(oxHclGetLastError(text, sizeof text), oxERR_CRC_MISMATCH);
    EXPECT_STREQ(text, "ERROR: Config CRC does not match configuration");
    EXPECT_THAT(TakeAccesses(), IsEmpty());
}

TEST_F(UsbInterface, AbsentBoardFailsTheStartWithError3) {
    board::SetAbsent(0, true);
    oxHclResetFrontForTesting();
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(oxHclInitialize());
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, HasSubstr("Device ezusb-0 failed to open"));
    EXPECT_EQ(oxHclGetLastError(nullptr, 0), oxERR_NO_USB_ADAPTER);
}

TEST_F(UsbInterface, OperationsReachTheirBridgeAddressAndPort) {
    struct Case {
        const char* Name;
        std::function<void()> Call;
        Access Expected;
    };
    std::uint16_t words[4] = {1, 2, 3, 4};
    std::uint32_t longs[2] = {0x11223344, 0x55667788};
    const Case cases[] = {
        {"ReadReg16 0x40", [] { oxReadReg16(0x40); }, {false, 0x60840, 4, 2, 0}},
        {"ReadReg8 0x41", [] { oxReadReg8(0x41); }, {false, 0x60841, 4, 1, 0}},
        {"WriteReg16 0x5A", [] { oxWriteReg16(0x5A, 0xBEEF); }, {true, 0x6085A, 4, 2, 0xBEEF}},
        {"WriteReg8 0x5B", [] { oxWriteReg8(0x5B, 0x12); }, {true, 0x6085B, 4, 1, 0x12}},
        {"ReadReg16 0xFC unoffset", [] { oxReadReg16(0xFC); }, {false, 0xFC, 4, 2, 0}},
        {"WriteReg16 0xFE unoffset", [] { oxWriteReg16(0xFE, 7); }, {true, 0xFE, 4, 2, 7}},
        {"ReadMemory8", [] { oxReadMemory8(0x101); }, {false, 0x101, 1, 1, 0}},
        {"ReadMemory16", [] { oxReadMemory16(0x102); }, {false, 0x102, 1, 2, 0}},
        {"ReadMemory32 as a burst", [] { oxReadMemory32(0x104); }, {false, 0x104, 5, 4, 0}},
        {"WriteMemory8", [] { oxWriteMemory8(0x201, 0xAB); }, {true, 0x201, 1, 1, 0xAB}},
        {"WriteMemory16", [] { oxWriteMemory16(0x202, 0xABCD); }, {true, 0x202, 1, 2, 0xABCD}},
        {"WriteMemory32 as a burst",
         [] { oxWriteMemory32(0x204, 0x01020304); },
         {true, 0x204, 5, 4, 0x01020304}},
        {"BurstWriteMemory16",
         [&] { oxBurstWriteMemory16(0x300, words, 4); },
         {true, 0x300, 5, 8, 0x00020001}},
        {"BurstWriteMemory32",
         [&] { oxBurstWriteMemory32(0x400, longs, 2); },
         {true, 0x400, 5, 8, 0x11223344}},
        {"BurstReadMemory8", [&] { oxBurstReadMemory8(0x500, nullptr, 0); }, {}},
        {"ReadRaw", [] { oxReadRaw(0, 0x600, 4); }, {false, 0x600, 1, 4, 0}},
        {"WriteRaw", [] { oxWriteRaw(0, 0x602, 2, 0x9876); }, {true, 0x602, 1, 2, 0x9876}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        board::ClearLog();
        c.Call();
        const std::vector<Access> log = TakeAccesses();
        if (c.Expected.Length == 0) {
            EXPECT_TRUE(log.empty());
            continue;
        }
        ASSERT_EQ(log.size(), 1u);
        Access got = log[0];
        if (!got.Write) {
            got.Value = 0; // reads of a fresh board: the value is not the point here
        }
        EXPECT_EQ(got, c.Expected);
    }
}

TEST_F(UsbInterface, ReadModifyWriteFormsReturnTheFullNewValue) {
    struct Case {
        const char* Name;
        std::uint16_t Before;
        std::function<std::uint32_t()> Call;
        std::uint16_t After;  // register 0x5A afterwards
        std::uint32_t Result; // the new value of the accessed width
    };
    const Case cases[] = {
        {"SetBits16", 0x1200, [] { return oxSetBitsReg16(0x5A, 0x0034); }, 0x1234, 0x1234},
        {"ClearBits16", 0x1234, [] { return oxClearBitsReg16(0x5A, 0x0204); }, 0x1030, 0x1030},
        {"Modify16", 0x12FF, [] { return oxModifyReg16(0x5A, 0x00F0, 0x0050); }, 0x125F, 0x125F},
        {"SetBits8 high byte", 0x1200, [] { return oxSetBitsReg8(0x5B, 0x01); }, 0x1300, 0x13},
        {"ClearBits8", 0x12FF, [] { return oxClearBitsReg8(0x5A, 0x0F); }, 0x12F0, 0xF0},
        {"Modify8", 0x12FF, [] { return oxModifyReg8(0x5A, 0xF0, 0x30); }, 0x123F, 0x3F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        m_Board->SetRegister(0x5A, c.Before);
        EXPECT_EQ(c.Call(), c.Result);
        EXPECT_EQ(m_Board->Register(0x5A), c.After);
    }
}

TEST_F(UsbInterface, OddRegisterIndicesAreReportedOnceAndStillUsed) {
    struct Case {
        const char* Report;
        std::function<void()> Call;
        std::uint32_t Address;
    };
    std::uint8_t bytes[4] = {1, 2, 3, 4};
    std::uint16_t words[2] = {0x0102, 0x0304};
    const Case cases[] = {
        {"oxReadReg16() Index must be even.", [] { oxReadReg16(0x41); }, 0x60841},
        {"oxWriteReg16() Index must be even.", [] { oxWriteReg16(0x5B, 0x1234); }, 0x6085B},
        {"oxBurstReadReg8() Index must be even.", [&] { oxBurstReadReg8(0x5B, bytes, 2); },
         0x6085B},
        {"oxBurstWriteReg8() Index must be even.", [&] { oxBurstWriteReg8(0x5B, bytes, 2); },
         0x6085B},
        {"oxBurstReadReg16() Index must be even.", [&] { oxBurstReadReg16(0x5B, words, 2); },
         0x6085B},
        {"oxBurstWriteReg16() Index must be even.", [&] { oxBurstWriteReg16(0x5B, words, 2); },
         0x6085B},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Report);
        AnswerNo();
        ::testing::internal::CaptureStdout();
        c.Call();
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_THAT(out, HasSubstr(std::string("ASSERT - ") + c.Report));
        // One report per call, also for the 16-bit bursts, which go on as byte bursts.
        EXPECT_EQ(out.find("ASSERT - "), out.rfind("ASSERT - "));
        const std::vector<Access> log = TakeAccesses();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log[0].Address, c.Address);
    }
}

TEST_F(UsbInterface, RegisterBurstsMoveLittleEndianBytes) {
    const std::uint16_t words[3] = {0x1122, 0x3344, 0x5566};
    oxBurstWriteReg16(0x5A, words, 3);
    const std::vector<Access> log = TakeAccesses();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], (Access{true, Reg(0x5A), 4, 6, 0x33441122}));
    // The register port streams through one register: the last word stays.
    EXPECT_EQ(m_Board->Register(0x5A), 0x5566);
    std::uint16_t back[2] = {0xFFFF, 0xFFFF};
    oxBurstReadReg16(0x5A, back, 2);
    EXPECT_EQ(back[0], 0x5566);
    EXPECT_EQ(back[1], 0x5566);
}

TEST_F(UsbInterface, RawAccessNeedsBaseIndexZero) {
    AnswerNo();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(oxReadRaw(1, 0x10, 2), 0u);
    oxWriteRaw(2, 0x10, 2, 0x1234);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, HasSubstr("ASSERT - oxReadRaw() BaseIndex must be zero for USB interface."));
    EXPECT_THAT(out, HasSubstr("ASSERT - oxWriteRaw() BaseIndex must be zero for USB interface."));
    EXPECT_TRUE(TakeAccesses().empty());
}

TEST_F(UsbInterface, FillsWriteTheValueThroughABurst) {
    oxFillMemory16(0x1000, 0xA55A, 3);
    EXPECT_EQ(TakeAccesses(), (std::vector<Access>{{true, 0x1000, 5, 6, 0xA55AA55A}}));
    std::uint8_t bytes[8] = {};
    ASSERT_TRUE(m_Board->ReadMemory(0x1000, bytes));
    EXPECT_EQ(bytes[4], 0x5A);
    EXPECT_EQ(bytes[5], 0xA5);
    EXPECT_EQ(bytes[6], 0);

    // A count of 0 sends nothing at all.
    board::ClearLog();
    oxFillMemory8(0x1000, 1, 0);
    oxFillMemory16(0x1000, 1, 0);
    oxFillMemory32(0x1000, 1, 0);
    EXPECT_EQ(OutTransfers(board::TakeLog()), 0u);
}

TEST_F(UsbInterface, LongFillGoesOutAsTheBurstOfTheWholeCount) {
    // More than the fill buffer holds (4 MiB): the bridge still sees one run of full-size
    // packets at consecutive addresses. Past the memory map the board drops the bytes.
    constexpr std::uint32_t kWords = 0x110001;
    oxFillMemory32(0, 0xC3C3C3C3, kWords);
    const std::vector<Access> log = TakeAccesses();
    std::uint64_t next = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        ASSERT_TRUE(log[i].Write);
        ASSERT_EQ(log[i].Address, next) << "packet " << i;
        ASSERT_EQ(log[i].Value, 0xC3C3C3C3u);
        if (i + 1 < log.size()) {
            ASSERT_EQ(log[i].Length, 65520u) << "packet " << i;
        }
        next += log[i].Length;
    }
    EXPECT_EQ(next, std::uint64_t{kWords} * 4);
    std::vector<std::uint8_t> bytes(0x60000);
    ASSERT_TRUE(m_Board->ReadMemory(0, bytes));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0xC3), 0x60000);
}

TEST_F(UsbInterface, FailedFillAllocationIsReportedAndSendsNothing) {
    AnswerNo();
    oxUsbFailNextFillAllocationForTesting();
    ::testing::internal::CaptureStdout();
    oxFillMemory32(0x2000, 0xFFFFFFFF, 16);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, HasSubstr("ASSERT - oxFillMemory32() Unable to allocate fill buffer."));
    EXPECT_EQ(OutTransfers(board::TakeLog()), 0u);
}

TEST_F(UsbInterface, WaitsPollUntilTheConditionOrTheTimeOut) {
    // Register 0x5A is plain storage; it holds 0x0100 throughout.
    m_Board->SetRegister(0x5A, 0x0100);
    struct Case {
        const char* Name;
        std::function<bool()> Call;
        bool Result;
        std::size_t Reads; // 0: at least one
    };
    const Case cases[] = {
        // Interval 10, time-out 25: reads after 0, 10 and 20 ms of sleeping, false after the
        // third sleep.
        {"set16 times out", [] { return oxWaitRegBitsSet16(0x5A, 0x0001, 10, 25); }, false, 3},
        {"set16 met at once", [] { return oxWaitRegBitsSet16(0x5A, 0x0100, 10, 25); }, true, 1},
        {"clear16 met at once", [] { return oxWaitRegBitsClear16(0x5A, 0x00FF, 10, 25); }, true, 1},
        {"clear8 high byte times out", [] { return oxWaitRegBitsClear8(0x5B, 0x01, 5, 5); }, false,
         1},
        {"set8 met at once", [] { return oxWaitRegBitsSet8(0x5B, 0x01, 5, 5); }, true, 1},
        {"no interval, time-out 0", [] { return oxWaitRegBitsSet16(0x5A, 0x0001, 0, 0); }, false,
         0},
        {"no interval, met", [] { return oxWaitRegBitsClear16(0x5A, 0x0001, 0, 0); }, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        board::ClearLog();
        EXPECT_EQ(c.Call(), c.Result);
        const std::vector<Access> log = TakeAccesses();
        if (c.Reads == 0) {
            EXPECT_GE(log.size(), 1u);
        } else {
            EXPECT_EQ(log.size(), c.Reads);
        }
        for (const Access& a : log) {
            EXPECT_FALSE(a.Write);
        }
    }
}

TEST_F(UsbInterface, ReadsThatFallShortGiveZeroAndRegisterBurstsReportIt) {
    const std::uint8_t word[4] = {0xEF, 0xBE, 0xAD, 0xDE};
    ASSERT_TRUE(m_Board->WriteMemory(0x3000, word));
    board::InjectFault(board::Fault::NoReply, 1);
    EXPECT_EQ(oxReadMemory32(0x3000), 0u);
    EXPECT_EQ(oxReadMemory32(0x3000), 0xDEADBEEFu); // the bridge answers again

    m_Board->SetRegister(0x5A, 0x1234);
    std::uint16_t buffer[2] = {0xFFFF, 0xFFFF};
    board::InjectFault(board::Fault::NoReply, 1);
    AnswerNo();
    ::testing::internal::CaptureStdout();
    oxBurstReadReg16(0x5A, buffer, 2);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, HasSubstr("ASSERT - oxBurstReadReg8() CSCL Error: Bytes number != Count."));
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 0);
}

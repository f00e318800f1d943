// The /debug: trace: option parsing, what each kind of access writes to the log, coalescing,
// burst expansion and the log file's errors.

#include "FrontFixture.h"
#include "support/TempFolder.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

using namespace fronttest;
using ::testing::HasSubstr;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class TraceLogTest : public FrontTest {
protected:
    void SetUp() override {
        FrontTest::SetUp();
        Acquire();
        m_Board->PrintCalls = false;
        m_Log = m_Folder.File(
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".log");
    }
    // Starts the trace with the letters into this test's log file.
    void Start(std::uint32_t letters) { ASSERT_TRUE(oxHclStartTrace(letters, m_Log.c_str())); }
    std::string Log() {
        EXPECT_TRUE(oxHclWriteDebugLog());
        return ReadFile(m_Log);
    }
    q3vtest::TempFolder m_Folder{"q3v-trace"}; // removed with the log after each test
    std::string m_Log;
};

} // namespace

TEST(TraceOptions, LettersAndFileNameAreRead) {
    struct Case {
        const char* Text;
        bool Result;
        std::uint32_t Flags;
        const char* File;
    };
    const Case cases[] = {
        {"w", true, oxHCL_TRACE_WRITES, "debug.log"},
        {"RWX:out.log", true, 7, "out.log"},
        {"rr", true, oxHCL_TRACE_READS, "debug.log"},
        {"xw", true, oxHCL_TRACE_EXPAND | oxHCL_TRACE_WRITES, "debug.log"},
        {"", true, 0, "debug.log"},
        {":x.log", true, 0, "x.log"},
        {"r:", true, oxHCL_TRACE_READS, "debug.log"},
        {"w:a:b.log", true, oxHCL_TRACE_WRITES, "a:b.log"},
        {"rq", false, 0, "debug.log"},
        {"w r", false, 0, "debug.log"},
    };
    for (const Case& c : cases) {
        oxHclResetTraceForTesting();
        EXPECT_EQ(oxHclParseDebugOptions(c.Text), c.Result) << c.Text;
        EXPECT_EQ(oxHclGetTraceFlags(), c.Flags) << c.Text;
        EXPECT_STREQ(oxHclGetDebugLogName(), c.File) << c.Text;
    }
    oxHclResetTraceForTesting();
}

TEST_F(TraceLogTest, EitherFlagRecordsEveryKindOfAccess) {
    Start(oxHCL_TRACE_WRITES);
    m_Board->StoreReg(0x40, 2, 0x1234);
    oxHclReadReg16(0x40);
    oxHclReadMemory8(0x10);
    EXPECT_EQ(Log(), "x16 0040 ' 1234\nr8 0010 ' 0\n");
}

// Each row: what the front is asked to do and the lines the log then holds.
TEST_F(TraceLogTest, EachAccessWritesItsLine) {
    struct Case {
        const char* Name;
        std::uint32_t Letters;
        std::function<void()> Do;
        const char* Lines;
    };
    static std::uint16_t words[4] = {1, 2, 3, 4};
    static std::uint8_t bytes[20] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                     10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    static std::uint32_t dwords[2] = {0x11223344, 0x55};
    static std::uint8_t in[8];
    static std::uint32_t in32[2];
    const std::uint32_t rw = oxHCL_TRACE_READS | oxHCL_TRACE_WRITES;
    const std::uint32_t rwx = rw | oxHCL_TRACE_EXPAND;
    const Case cases[] = {
        {"register writes", rw,
         [] {
             oxHclWriteReg8(0x41, 5);
             oxHclWriteReg16(0x40, 0xBEEF);
         },
         "x8  0041 5\nx16 0040 BEEF\n"},
        {"register reads", rw,
         [] {
             oxHclReadReg8(0x41);
             oxHclReadReg16(0x44);
         },
         "x8  0041 ' 0\nx16 0044 ' 00\n"},
        {"repeated reads", rw,
         [] {
             oxHclReadReg16(0x44);
             oxHclReadReg16(0x44);
         },
         "x16 0044 ' 00\n' Last command repeated 1 more time.\n"},
        // Identical writes to one address are one write: replaying them as a fill would
        // write consecutive addresses.
        {"repeated memory writes", rw,
         [] {
             for (int i = 0; i < 3; ++i) {
                 oxHclWriteMemory8(0x100, 0x55);
             }
         },
         "w8 0100 55\n' Last command repeated 2 more times.\n"},
        {"fills carry their count", rw,
         [] {
             oxHclFillMemory8(0x100, 0x55, 3);
             oxHclFillMemory16(0x200, 0xABCD, 0x10);
             oxHclFillMemory32(0x300, 7, 1);
             oxHclFillMemory32(0x300, 7, 0);
         },
         "f8 0100 L0003h 55\nf16 0200 L0010h ABCD\nw32 0300 0007\n"},
        {"a write and a fill of the same value stay apart", rw,
         [] {
             oxHclWriteMemory8(0x100, 5);
             oxHclFillMemory8(0x100, 5, 3);
             oxHclFillMemory8(0x100, 5, 3);
         },
         "w8 0100 5\nf8 0100 L0003h 5\n' Last command repeated 1 more time.\n"},
        // Set bits, clear bits and modify carry the new value: written back as X commands.
        {"read-modify-write forms", rw,
         [] {
             oxHclSetBitsReg16(0x40, 0x1234);
             oxHclClearBitsReg8(0x40, 0x04);
             oxHclModifyReg16(0x42, 0xFF00, 0x5500);
         },
         "x16 0040 1234 ' setbits16\nx8  0040 30 ' clearbits8\nx16 0042 5500 ' modify16\n"},
        {"memory reads", rw,
         [] {
             oxHclReadMemory16(0x200);
             oxHclReadMemory32(0x204);
         },
         "r16 0200 ' 00\nr32 0204 ' 0000\n"},
        {"memory burst writes keep their data", rw,
         [] {
             oxHclBurstWriteMemory16(0x100, words, 3);
             oxHclBurstWriteMemory32(0x200, dwords, 2);
         },
         "' Write data 16 start addr: 0100, end addr: 0103, 3 units\nw16 0100 01 02 03\n"
         "' Write data 32 start addr: 0200, end addr: 0202, 2 units\nw32 0200 11223344 0055\n"},
        {"long memory bursts take several lines", rw,
         [] { oxHclBurstWriteMemory8(0x100, bytes, 20); },
         "' Write data 8 start addr: 0100, end addr: 0114, 20 units\n"
         "w8 0100 0 1 2 3 4 5 6 7 8 9 A B C D E F\nw8 0110 10 11 12 13\n"},
        {"memory burst reads are comments", rw,
         [] {
             oxHclBurstReadMemory8(0x100, in, 4);
             oxHclBurstReadMemory32(0x200, in32, 2);
         },
         "' Read data 8 start addr: 0100, end addr: 0104\n"
         "' Read data 32 start addr: 0200, end addr: 0202, 2 units\n"},
        {"register bursts", rw,
         [] {
             oxHclBurstWriteReg16(0x60, words, 2);
             oxHclBurstReadReg8(0x60, in, 2);
         },
         "' Burst write 16 reg 0060, 2 times\nx16 0060 01\nx16 0060 02\n"},
        {"expanded register burst", rwx, [] { oxHclBurstWriteReg16(0x40, words, 4); },
         "x16 0040 01\nx16 0040 02\nx16 0040 03\nx16 0040 04\n"},
        {"expanded memory bursts walk the memory", rwx,
         [] {
             oxHclBurstWriteMemory16(0x100, words, 2);
             oxHclBurstReadMemory8(0x10, in, 2);
         },
         "w16 0100 01\nw16 0102 02\nr8 0010 ' 0\nr8 0011 ' 0\n"},
        {"events the front never makes are comments", rw,
         [] {
             oxHclTraceEvent(oxTRACE_BURST2_READ_REG16, 0x40, 3, nullptr, 0, 0);
             oxHclTraceEvent(oxTRACE_RECT_READ_MEM8, 0x100, 0x10, nullptr, 4, 8);
             oxHclTraceEvent(oxTRACE_RECT_WRITE_MEM32, 0x100, 0x10, nullptr, 4, 8);
         },
         "' Burst read 16 reg 0040, 3 times\n"
         "' Read rect data 8 start addr: 0100, end addr: 0110, width: 0004, stride: 0008\n"
         "' Write rect data 32 start addr: 0100, end addr: 0110, width: 0004, stride: 0008\n"},
    };
    for (const Case& c : cases) {
        oxHclResetTraceForTesting();
        m_Board = std::make_unique<FakeBoard>();
        m_Board->PrintCalls = false;
        Board() = m_Board.get();
        Start(c.Letters);
        c.Do();
        EXPECT_EQ(Log(), c.Lines) << c.Name;
    }
}

TEST_F(TraceLogTest, NothingIsWrittenWithoutAFlag) {
    Start(oxHCL_TRACE_EXPAND);
    oxHclWriteReg16(0x40, 1);
    EXPECT_TRUE(oxHclWriteDebugLog());
    EXPECT_FALSE(std::ifstream(m_Log).good());
}

TEST_F(TraceLogTest, ALogThatCannotBeOpenedIsReported) {
    ASSERT_TRUE(oxHclParseDebugOptions("w:/nonexistent-folder/trace.log"));
    oxHclWriteReg16(0x40, 1);
    Capture();
    EXPECT_FALSE(oxHclWriteDebugLog());
    EXPECT_EQ(Captured(), "Error opening debug logfile /nonexistent-folder/trace.log\n");
}

TEST_F(TraceLogTest, StartingAgainAddsFlagsAndKeepsTheRecords) {
    Start(oxHCL_TRACE_WRITES);
    oxHclWriteReg16(0x40, 1);
    Start(oxHCL_TRACE_READS);
    EXPECT_EQ(oxHclGetTraceFlags(), oxHCL_TRACE_READS | oxHCL_TRACE_WRITES);
    EXPECT_EQ(Log(), "x16 0040 01\n");
}

// Worker threads (the poll thread) record through the front while the main thread does.
TEST_F(TraceLogTest, EventsFromSeveralThreadsAreAllKept) {
    Start(oxHCL_TRACE_WRITES);
    const unsigned before = oxHclTraceRecordCount();
    auto writer = [](std::uint32_t base) {
        for (std::uint32_t i = 0; i < 2000; ++i) {
            oxHclTraceEvent(oxTRACE_WRITE_MEM32, base + 4 * i, i, nullptr, 0, 0);
        }
    };
    std::thread a(writer, 0);
    std::thread b(writer, 0x10000);
    a.join();
    b.join();
    EXPECT_EQ(oxHclTraceRecordCount(), before + 4000);
}

// A burst shorter than a 32-bit word is read element by element, never as a whole word
// (the sanitizer build catches any read past the one byte).
TEST_F(TraceLogTest, ShortBurstsAreReadOnlyAsFarAsTheyGo) {
    Start(oxHCL_TRACE_WRITES);
    auto one = std::make_unique<std::uint8_t[]>(1);
    one[0] = 0xAB;
    oxHclBurstWriteMemory8(0x100, one.get(), 1);
    auto three = std::make_unique<std::uint8_t[]>(3);
    three[0] = 1;
    three[1] = 2;
    three[2] = 3;
    oxHclBurstWriteReg8(0x40, three.get(), 3);
    EXPECT_EQ(Log(), "' Write data 8 start addr: 0100, end addr: 0101, 1 units\nw8 0100 AB\n"
                     "' Burst write 8 reg 0040, 3 times\nx8  0040 1\nx8  0040 2\nx8  0040 3\n");
}

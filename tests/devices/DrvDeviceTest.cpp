// The kernel driver's node over the simulated board: names, exclusivity, the board's window
// mapped in bus order, the control requests and the interrupt wait.

#include "board/BoardFixture.h"

#include "devices/DrvDevice.h"
#include "platform/SimFolder.h"
#include "support/SelfWorker.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <sys/mman.h>

namespace boardtest {
namespace {

constexpr char kNode[] = "\\\\.\\Q3V47xxx";

// The results of the completions of pending waits, in order.
struct Completions {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::vector<bool> Results;

    static void Record(void* self, bool completed) {
        auto* completions = static_cast<Completions*>(self);
        std::lock_guard lock(completions->Mutex);
        completions->Results.push_back(completed);
        completions->Changed.notify_all();
    }
    // Waits for the count-th completion (the time limit only keeps a broken driver from hanging
    // the test).
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(Mutex);
        return Changed.wait_for(lock, std::chrono::seconds(10),
                                [&] { return Results.size() >= count; });
    }
    std::vector<bool> Taken() {
        std::lock_guard lock(Mutex);
        return Results;
    }
};

// Whether the address is mapped in this process.
bool IsMapped(std::uint64_t linear) {
    return msync(reinterpret_cast<void*>(linear), 4096, MS_ASYNC) == 0;
}

class DrvDeviceTest : public BoardTest {
protected:
    void SetUp() override {
        setenv("Q3VSIM_DIR", Folder().c_str(), 1);
        BoardTest::SetUp();
        m_Node = DrvDeviceOpen(kNode);
        ASSERT_NE(m_Node, DRV_NO_HANDLE) << std::strerror(DrvDeviceLastError());
    }
    void TearDown() override {
        if (m_Node != DRV_NO_HANDLE) {
            DrvDeviceClose(m_Node);
        }
        BoardTest::TearDown();
    }

    bool Request(std::uint32_t code, const void* in, std::uint32_t inLength, void* out,
                 std::uint32_t outLength, std::uint32_t* returned = nullptr) {
        return DrvDeviceIoControl(m_Node, code, in, inLength, out, outLength, returned);
    }
    // MAP of 2 MiB at the physical address; 0 when refused.
    std::uint64_t Map(std::uint32_t physical) {
        const DrvMapRequest request{physical, 0x200000, 0};
        std::uint64_t linear = 0;
        std::uint32_t returned = 0;
        if (!Request(OXDRV_IOCTL_MAP, &request, sizeof request, &linear, sizeof linear,
                     &returned)) {
            return 0;
        }
        EXPECT_EQ(returned, 8u);
        return linear;
    }
    bool Unmap(std::uint64_t linear) {
        return Request(OXDRV_IOCTL_UNMAP, &linear, sizeof linear, nullptr, 0);
    }
    bool SendRecord(std::uint32_t code, const DrvInterruptRecord& record) {
        std::uint32_t reply = 0;
        return Request(code, &record, sizeof record, &reply, sizeof reply);
    }
    bool Enable() { return SendRecord(OXDRV_IOCTL_ENABLE_INTERRUPTS, DrvInterruptRecord{}); }
    // Starts an interrupt wait: true when it completed at once, false when it pends (anything
    // else fails the test).
    bool Wait() {
        const std::uint8_t bytes[4] = {};
        std::uint32_t returned = 0;
        if (DrvDeviceWrite(m_Node, bytes, 4, Completions::Record, &m_Completions, &returned)) {
            EXPECT_EQ(returned, 4u);
            return true;
        }
        EXPECT_EQ(DrvDeviceLastError(), kDrvIoPending);
        return false;
    }

    DrvDeviceHandle m_Node = DRV_NO_HANDLE;
    Completions m_Completions;
};

TEST_F(DrvDeviceTest, OpensByItsNameOnlyWhileTheBoardIsPresentAndTheNodeFree) {
    // The node is open (SetUp): a second open, in this process or any other, is refused.
    EXPECT_EQ(DrvDeviceOpen(kNode), DRV_NO_HANDLE);
    EXPECT_EQ(DrvDeviceLastError(), EBUSY);
    ASSERT_TRUE(DrvDeviceClose(m_Node));
    m_Node = DRV_NO_HANDLE;
    EXPECT_FALSE(DrvDeviceClose(m_Node));

    const struct {
        const char* Name;
        int Error; // 0: opens
    } cases[] = {
        {"\\\\.\\Q3V47xxx", 0},   {"Q3V47xxx", 0},     {"q3v47XXX", 0},
        {"Q3V47xxx.VXD", ENOENT}, {"ezusb-0", ENOENT}, {"", ENOENT},
    };
    for (const auto& c : cases) {
        const DrvDeviceHandle node = DrvDeviceOpen(c.Name);
        EXPECT_EQ(node != DRV_NO_HANDLE, c.Error == 0) << c.Name;
        if (node != DRV_NO_HANDLE) {
            EXPECT_TRUE(DrvDeviceClose(node));
        } else {
            EXPECT_EQ(DrvDeviceLastError(), c.Error) << c.Name;
        }
    }
    board::SetAbsent(0, true);
    EXPECT_EQ(DrvDeviceOpen(kNode), DRV_NO_HANDLE);
    EXPECT_EQ(DrvDeviceLastError(), ENODEV);
}

TEST_F(DrvDeviceTest, TheWindowHoldsTheBoardsBytesInBusOrder) {
    const std::uint64_t linear = Map(kDrvBoardPhysicalAddress);
    ASSERT_NE(linear, 0u);
    auto* window = reinterpret_cast<volatile std::uint8_t*>(linear);
    window[0x1000] = 0x34;
    window[0x1001] = 0x12;
    Bytes memory(2);
    ASSERT_TRUE(m_Board->ReadMemory(0x1000, memory));
    EXPECT_EQ(memory, (Bytes{0x34, 0x12}));

    const Bytes table{0xAA, 0xBB};
    ASSERT_TRUE(m_Board->WriteMemory(0x60400, table));
    EXPECT_EQ(window[0x60400], 0xAA);
    EXPECT_EQ(window[0x60401], 0xBB);

    // Registers from 0x60800, plain memory here: what is written is stored as it is.
    window[0x60800 + 0x28] = 0xCD;
    window[0x60800 + 0x29] = 0xAB;
    EXPECT_EQ(m_Board->Register(0x28), 0xABCD);
    EXPECT_EQ(ReadReg(0x28), 0xABCD); // and the bridge reads the same bytes
}

TEST_F(DrvDeviceTest, TheNodeIsTheBoardThatQ3vboardSelects) {
    auto other = board::SimBoard::Attach(Folder(), 3);
    ASSERT_NE(other, nullptr);
    other->PowerOn();
    setenv("Q3VBOARD", "3", 1);
    const DrvDeviceHandle node = DrvDeviceOpen(kNode); // each board's node is its own
    unsetenv("Q3VBOARD");
    ASSERT_NE(node, DRV_NO_HANDLE);
    const DrvMapRequest request{kDrvBoardPhysicalAddress, 0x200000, 0};
    std::uint64_t linear = 0;
    ASSERT_TRUE(DrvDeviceIoControl(node, OXDRV_IOCTL_MAP, &request, sizeof request, &linear,
                                   sizeof linear, nullptr));
    *reinterpret_cast<volatile std::uint8_t*>(linear + 0x10) = 0x99;
    Bytes byte(1);
    ASSERT_TRUE(other->ReadMemory(0x10, byte));
    EXPECT_EQ(byte, Bytes{0x99});
    ASSERT_TRUE(m_Board->ReadMemory(0x10, byte));
    EXPECT_EQ(byte, Bytes{0});
    EXPECT_EQ(other->DriverRequestCount(OXDRV_IOCTL_MAP), 1u);
    EXPECT_EQ(m_Board->DriverRequestCount(OXDRV_IOCTL_MAP), 0u);
    EXPECT_TRUE(DrvDeviceClose(node));
}

TEST_F(DrvDeviceTest, MapTakesPageAlignedAddressesWhoseTwoMegabytesLieInTheWindow) {
    const struct {
        std::uint32_t Physical;
        bool Maps;
    } cases[] = {
        {0xC0000000, true},  {0xC0200000, true},  {0xC0001000, true}, {0xC0000800, false},
        {0xC0201000, false}, {0xBFFFF000, false}, {0, false},         {0xFFFFF000, false},
    };
    for (const auto& c : cases) {
        const std::uint64_t linear = Map(c.Physical);
        EXPECT_EQ(linear != 0, c.Maps) << std::hex << c.Physical;
        if (linear == 0) {
            EXPECT_EQ(DrvDeviceLastError(), EINVAL);
        }
    }
    // Requests too short for their records are refused.
    std::uint64_t linear = 0;
    const std::uint32_t shortRequest[2] = {0xC0000000, 0x200000};
    EXPECT_FALSE(Request(OXDRV_IOCTL_MAP, shortRequest, sizeof shortRequest, &linear, 8));
    const DrvMapRequest request{0xC0000000, 0x200000, 0};
    EXPECT_FALSE(Request(OXDRV_IOCTL_MAP, &request, sizeof request, &linear, 4));
}

TEST_F(DrvDeviceTest, BoardAddressMapsTheWindowAndReportsTheUsedExtent) {
    const std::uint32_t slot0 = 0;
    DrvBoardAddress reply{};
    std::uint32_t returned = 0;
    ASSERT_TRUE(Request(OXDRV_IOCTL_GET_BOARD_ADDRESS, &slot0, 4, &reply, sizeof reply, &returned));
    EXPECT_EQ(returned, 16u);
    EXPECT_EQ(reply.Size, 0x70000u);
    ASSERT_NE(reply.Linear, 0u);
    m_Board->SetRegister(0x62, 0x1234);
    EXPECT_EQ(*reinterpret_cast<volatile std::uint16_t*>(reply.Linear + 0x60862), 0x1234);

    const std::uint32_t slot1 = 1;
    EXPECT_FALSE(Request(OXDRV_IOCTL_GET_BOARD_ADDRESS, &slot1, 4, &reply, sizeof reply));
    EXPECT_EQ(DrvDeviceLastError(), EINVAL);

    ASSERT_TRUE(board::ApplyFaultList("drvshortaddress"));
    reply = DrvBoardAddress{};
    ASSERT_TRUE(Request(OXDRV_IOCTL_GET_BOARD_ADDRESS, &slot0, 4, &reply, sizeof reply, &returned));
    EXPECT_EQ(returned, 8u);
    EXPECT_NE(reply.Linear, 0u);
    EXPECT_EQ(reply.Size, 0u);
    ASSERT_TRUE(Request(OXDRV_IOCTL_GET_BOARD_ADDRESS, &slot0, 4, &reply, sizeof reply, &returned));
    EXPECT_EQ(returned, 16u);
}

TEST_F(DrvDeviceTest, UnmapAndCloseTakeTheWindowsAway) {
    const std::uint64_t first = Map(kDrvBoardPhysicalAddress);
    const std::uint64_t second = Map(kDrvBoardPhysicalAddress + 0x100000);
    ASSERT_TRUE(first != 0 && second != 0);
    EXPECT_TRUE(IsMapped(first));
    EXPECT_TRUE(Unmap(first));
    EXPECT_FALSE(IsMapped(first));
    EXPECT_FALSE(Unmap(first));
    EXPECT_EQ(DrvDeviceLastError(), EINVAL);
    EXPECT_TRUE(Unmap(0));
    EXPECT_TRUE(IsMapped(second));
    ASSERT_TRUE(DrvDeviceClose(m_Node));
    m_Node = DRV_NO_HANDLE;
    EXPECT_FALSE(IsMapped(second));
}

TEST_F(DrvDeviceTest, VersionAcknowledgeAndTheirCounts) {
    const std::uint32_t in = 0;
    std::uint32_t reply = 0;
    ASSERT_TRUE(Request(OXDRV_IOCTL_GET_VERSION, &in, 4, &reply, 4));
    EXPECT_EQ(reply, 0x00010000u); // 1.0
    board::SetKernelDriverVersion({5355, 48, 0});
    ASSERT_TRUE(Request(OXDRV_IOCTL_GET_VERSION, &in, 4, &reply, 4));
    EXPECT_EQ(reply, 5355u << 16 | 48u);
    EXPECT_FALSE(Request(OXDRV_IOCTL_GET_VERSION, &in, 4, &reply, 2));
    setenv("Q3VSIM_KDRV_VERSION", "2.7", 1);
    board::ResetControls();
    unsetenv("Q3VSIM_KDRV_VERSION");
    ASSERT_TRUE(Request(OXDRV_IOCTL_GET_VERSION, &in, 4, &reply, 4));
    EXPECT_EQ(reply, 0x00020007u);

    EXPECT_TRUE(Request(OXDRV_IOCTL_ACK_INTERRUPT, &in, 4, &reply, 4));
    EXPECT_TRUE(Request(OXDRV_IOCTL_ACK_INTERRUPT, &in, 4, &reply, 4));
    EXPECT_FALSE(Request(0x42438, &in, 4, &reply, 4));
    EXPECT_EQ(m_Board->DriverRequestCount(OXDRV_IOCTL_ACK_INTERRUPT), 2u);
    EXPECT_EQ(m_Board->DriverRequestCount(OXDRV_IOCTL_GET_VERSION), 4u);
    EXPECT_EQ(m_Board->DriverRequestCount(OXDRV_IOCTL_MAP), 0u);
}

TEST_F(DrvDeviceTest, EnableAndDisableTakeRecordsOfAtMostEightEntries) {
    DrvInterruptRecord record{};
    record.ProcessId = 4242;
    record.Count = 9;
    EXPECT_FALSE(SendRecord(OXDRV_IOCTL_ENABLE_INTERRUPTS, record));
    EXPECT_FALSE(SendRecord(OXDRV_IOCTL_DISABLE_INTERRUPTS, record));
    std::uint32_t reply = 0;
    EXPECT_FALSE(Request(OXDRV_IOCTL_ENABLE_INTERRUPTS, &record, 160, &reply, 4));

    record.Count = 8;
    record.Entries[7] = DrvInterruptEntry{{1, 2, 3, 4, 1}};
    ASSERT_TRUE(SendRecord(OXDRV_IOCTL_ENABLE_INTERRUPTS, record));
    const auto stored = m_Board->DriverInterruptRecord();
    EXPECT_EQ(std::memcmp(stored.data(), &record, sizeof record), 0);
    EXPECT_TRUE(SendRecord(OXDRV_IOCTL_DISABLE_INTERRUPTS, record));
}

TEST_F(DrvDeviceTest, AWaitCompletesAtTheNextInterruptAndSeveralCountAsOne) {
    const std::uint8_t bytes[4] = {};
    EXPECT_FALSE(DrvDeviceWrite(m_Node, bytes, 4, nullptr, nullptr, nullptr));
    EXPECT_EQ(DrvDeviceLastError(), ECANCELED); // not enabled

    m_Board->RaiseInterrupt(1); // before the enable: not counted
    ASSERT_TRUE(Enable());
    EXPECT_FALSE(Wait());
    EXPECT_FALSE(DrvDeviceWrite(m_Node, bytes, 4, nullptr, nullptr, nullptr));
    EXPECT_EQ(DrvDeviceLastError(), EBUSY);
    m_Board->RaiseInterrupt(2);
    ASSERT_TRUE(m_Completions.WaitFor(1));
    EXPECT_EQ(m_Completions.Taken(), std::vector<bool>{true});

    for (int i = 0; i < 3; ++i) {
        m_Board->RaiseInterrupt(3);
    }
    EXPECT_TRUE(Wait());  // the three, at once
    EXPECT_FALSE(Wait()); // and nothing more
    m_Board->RaiseInterrupt(4);
    ASSERT_TRUE(m_Completions.WaitFor(2));
    EXPECT_EQ(m_Completions.Taken(), (std::vector<bool>{true, true}));
    EXPECT_EQ(m_Board->DriverWriteCount(), 5u);
}

TEST_F(DrvDeviceTest, DisableAndCloseEndAPendingWaitAsFailed) {
    ASSERT_TRUE(Enable());
    ASSERT_FALSE(Wait());
    ASSERT_TRUE(SendRecord(OXDRV_IOCTL_DISABLE_INTERRUPTS, DrvInterruptRecord{}));
    ASSERT_TRUE(m_Completions.WaitFor(1));
    EXPECT_EQ(m_Completions.Taken(), std::vector<bool>{false});

    ASSERT_TRUE(Enable());
    ASSERT_FALSE(Wait());
    ASSERT_TRUE(DrvDeviceClose(m_Node));
    m_Node = DRV_NO_HANDLE;
    // Completed before the close returned.
    EXPECT_EQ(m_Completions.Taken(), (std::vector<bool>{false, false}));
}

TEST_F(DrvDeviceTest, TheWriteFailFaultFailsTheNextWritesAtOnce) {
    ASSERT_TRUE(Enable());
    ASSERT_TRUE(board::ApplyFaultList("drvwritefail:2"));
    const std::uint8_t bytes[4] = {};
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(DrvDeviceWrite(m_Node, bytes, 4, nullptr, nullptr, nullptr));
        EXPECT_EQ(DrvDeviceLastError(), EIO);
    }
    EXPECT_FALSE(Wait()); // the third pends as usual
    EXPECT_EQ(m_Board->DriverWriteCount(), 3u);
}

TEST(DrvDeviceWorker, DISABLED_RaiseInterrupt) {
    ASSERT_NE(std::getenv("Q3V_DRV_WORKER"), nullptr);
    auto simBoard = board::SimBoard::Attach(SimFolder(), 0);
    ASSERT_NE(simBoard, nullptr);
    simBoard->RaiseInterrupt(0x55);
}

TEST_F(DrvDeviceTest, AnInterruptRaisedByAnotherProcessCompletesTheWait) {
    ASSERT_TRUE(Enable());
    ASSERT_FALSE(Wait());
    const auto worker = q3vtest::RunSelfWorker("DrvDeviceWorker.DISABLED_RaiseInterrupt",
                                               "Q3V_DRV_WORKER=1", Folder() + "/raise.txt");
    ASSERT_TRUE(worker.Passed) << worker.Output;
    ASSERT_TRUE(m_Completions.WaitFor(1));
    EXPECT_EQ(m_Completions.Taken(), std::vector<bool>{true});
}

} // namespace
} // namespace boardtest

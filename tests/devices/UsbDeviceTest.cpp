// The bridge driver's interface: device and pipe names, absent boards, the control requests and
// the interrupt pipe.

#include "board/BoardFixture.h"

#include "devices/UsbDevice.h"
#include "support/Waiting.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace boardtest {
namespace {

class UsbDeviceTest : public BoardTest {
protected:
    void SetUp() override {
        setenv("Q3VSIM_DIR", Folder().c_str(), 1);
        BoardTest::SetUp();
        m_Device = UsbDeviceOpen("\\\\.\\ezusb-0");
        ASSERT_NE(m_Device, kUsbNoHandle);
    }
    void TearDown() override {
        UsbDeviceClose(m_Device);
        BoardTest::TearDown();
    }

    bool Write(std::uint32_t pipe, Bytes data, std::uint32_t* returned) {
        return UsbDeviceIoControl(m_Device, OXUSB_IOCTL_BULK_WRITE, &pipe, sizeof pipe, data.data(),
                                  static_cast<std::uint32_t>(data.size()), returned);
    }

    UsbDeviceHandle m_Device = kUsbNoHandle;
};

TEST_F(UsbDeviceTest, NamesOfDevicesAndPipes) {
    const struct {
        const char* Name;
        bool Opens;
    } cases[] = {
        {"ezusb-0", true},
        {"\\\\.\\EZUSB-7", true},
        {"ezusb-3\\PIPE03", true},
        {"\\\\.\\ezusb-1\\pipe00", true},
        {"ezusb-8", false},
        {"ezusb-", false},
        {"ezusb-0\\PIPE04", false},
        {"ezusb-0\\PIPE3", false},
        {"ezusb-00", false},
        {"usb-0", false},
        {"", false},
    };
    for (const auto& c : cases) {
        const UsbDeviceHandle handle = UsbDeviceOpen(c.Name);
        EXPECT_EQ(handle != kUsbNoHandle, c.Opens) << c.Name;
        if (handle != kUsbNoHandle) {
            EXPECT_TRUE(UsbDeviceClose(handle));
        } else {
            EXPECT_EQ(UsbDeviceLastError(), ENOENT) << c.Name;
        }
    }
    EXPECT_FALSE(UsbDeviceClose(kUsbNoHandle));
}

TEST_F(UsbDeviceTest, AbsentBoardDoesNotOpenAndFailsWhileOpen) {
    board::SetAbsent(2, true);
    EXPECT_EQ(UsbDeviceOpen("ezusb-2"), kUsbNoHandle);
    EXPECT_EQ(UsbDeviceLastError(), ENODEV);
    EXPECT_NE(UsbDeviceOpen("ezusb-3"), kUsbNoHandle);

    board::SetAbsent(0, true);
    std::uint32_t returned = 1;
    EXPECT_FALSE(Write(OXUSB_PIPE_BULK_OUT, {7, 0}, &returned));
    EXPECT_EQ(UsbDeviceLastError(), ENODEV);
    EXPECT_EQ(returned, 0u);
}

TEST_F(UsbDeviceTest, BulkPipesCarryPacketsBothWays) {
    std::uint32_t returned = 0;
    ASSERT_TRUE(Write(OXUSB_PIPE_BULK_OUT, {7, 0}, &returned));
    EXPECT_EQ(returned, 2u);
    std::uint32_t pipe = OXUSB_PIPE_BULK_IN;
    std::uint8_t reply[26] = {};
    ASSERT_TRUE(UsbDeviceIoControl(m_Device, OXUSB_IOCTL_BULK_READ_CONTINUED, &pipe, sizeof pipe,
                                   reply, sizeof reply, &returned));
    EXPECT_EQ(returned, 6u);
    EXPECT_EQ(reply[0], 8);
    // Nothing more: a read succeeds with nothing.
    ASSERT_TRUE(UsbDeviceIoControl(m_Device, OXUSB_IOCTL_BULK_READ, &pipe, sizeof pipe, reply,
                                   sizeof reply, &returned));
    EXPECT_EQ(returned, 0u);
}

TEST_F(UsbDeviceTest, RequestsThatAreRefused) {
    std::uint32_t returned = 0;
    std::uint8_t buffer[8] = {};
    std::uint32_t pipe = OXUSB_PIPE_BULK_OUT;
    // Reads only from the bulk IN pipe, writes only to the bulk OUT pipe, with the pipe given.
    EXPECT_FALSE(UsbDeviceIoControl(m_Device, OXUSB_IOCTL_BULK_READ, &pipe, sizeof pipe, buffer,
                                    sizeof buffer, &returned));
    EXPECT_FALSE(Write(OXUSB_PIPE_BULK_IN, {7, 0}, &returned));
    EXPECT_FALSE(UsbDeviceIoControl(m_Device, OXUSB_IOCTL_BULK_WRITE, nullptr, 0, buffer,
                                    sizeof buffer, &returned));
    EXPECT_FALSE(
        UsbDeviceIoControl(m_Device, 0x222004, nullptr, 0, buffer, sizeof buffer, &returned));
    EXPECT_EQ(UsbDeviceLastError(), EINVAL);
    EXPECT_FALSE(UsbDeviceIoControl(m_Device, OXUSB_IOCTL_GET_DRIVER_VERSION, nullptr, 0, buffer, 4,
                                    &returned));
    EXPECT_FALSE(UsbDeviceIoControl(12345, OXUSB_IOCTL_GET_DRIVER_VERSION, nullptr, 0, buffer,
                                    sizeof buffer, &returned));
    EXPECT_EQ(UsbDeviceLastError(), EBADF);
    // A pipe handle takes no control requests.
    const UsbDeviceHandle irq = UsbDeviceOpen("ezusb-0\\PIPE03");
    EXPECT_FALSE(UsbDeviceIoControl(irq, OXUSB_IOCTL_GET_DRIVER_VERSION, nullptr, 0, buffer,
                                    sizeof buffer, &returned));
    UsbDeviceClose(irq);
    EXPECT_FALSE(UsbDeviceIoControl(irq, OXUSB_IOCTL_GET_DRIVER_VERSION, nullptr, 0, buffer,
                                    sizeof buffer, &returned));
}

TEST_F(UsbDeviceTest, PipeInfoDescriptorAndVersion) {
    std::uint8_t record[OXUSB_PIPE_INFO_SIZE];
    std::uint32_t returned = 0;
    ASSERT_TRUE(UsbDeviceIoControl(m_Device, OXUSB_IOCTL_GET_PIPE_INFO, nullptr, 0, record,
                                   sizeof record, &returned));
    std::uint32_t pipes = 0;
    std::memcpy(&pipes, record + 12, 4);
    ASSERT_EQ(pipes, 4u);
    const struct {
        std::uint8_t Endpoint;
        std::uint32_t Type;
    } expected[] = {{0x02, 2}, {0x04, 2}, {0x86, 2}, {0x81, 3}};
    for (std::uint32_t i = 0; i < pipes; ++i) {
        const std::uint8_t* pipe = record + OXUSB_PIPE_RECORD_OFFSET + i * OXUSB_PIPE_RECORD_SIZE;
        std::uint32_t type = 0;
        std::memcpy(&type, pipe + 4, 4);
        EXPECT_EQ(pipe[2], expected[i].Endpoint) << i;
        EXPECT_EQ(type, expected[i].Type) << i;
    }

    std::uint8_t head[10] = {};
    ASSERT_TRUE(UsbDeviceIoControl(m_Device, OXUSB_IOCTL_GET_CONFIG_DESCRIPTOR, nullptr, 0, head,
                                   sizeof head, &returned));
    EXPECT_EQ(returned, 10u);
    const std::uint32_t total = head[2] | head[3] << 8;
    Bytes descriptor(total + 10);
    ASSERT_TRUE(UsbDeviceIoControl(m_Device, OXUSB_IOCTL_GET_CONFIG_DESCRIPTOR, nullptr, 0,
                                   descriptor.data(), static_cast<std::uint32_t>(descriptor.size()),
                                   &returned));
    EXPECT_EQ(returned, total);
    // The descriptors follow one another by their lengths and fill the total exactly.
    std::uint32_t at = 0;
    int endpoints = 0;
    while (at < total) {
        ASSERT_GE(descriptor[at], 2);
        endpoints += descriptor[at + 1] == 5 ? 1 : 0;
        at += descriptor[at];
    }
    EXPECT_EQ(at, total);
    EXPECT_EQ(endpoints, 4);

    board::SetDriverVersion({1, 33, 9});
    std::uint16_t version[3] = {};
    ASSERT_TRUE(UsbDeviceIoControl(m_Device, OXUSB_IOCTL_GET_DRIVER_VERSION, version,
                                   sizeof version, version, sizeof version, &returned));
    EXPECT_EQ(returned, 6u);
    EXPECT_EQ(version[0], 1);
    EXPECT_EQ(version[1], 33);
    EXPECT_EQ(version[2], 9);
}

TEST_F(UsbDeviceTest, InterruptPipeWaitsForAWordOrItsTime) {
    const UsbDeviceHandle irq = UsbDeviceOpen("ezusb-0\\PIPE03");
    ASSERT_NE(irq, kUsbNoHandle);
    std::uint8_t word[2] = {};
    std::uint32_t returned = 0;
    EXPECT_FALSE(UsbDeviceReadPipe(irq, word, sizeof word, 5, &returned));
    EXPECT_EQ(UsbDeviceLastError(), ETIMEDOUT);
    ASSERT_TRUE(m_Board->RaiseInterrupt(0x1235));
    ASSERT_TRUE(UsbDeviceReadPipe(irq, word, sizeof word, 1000, &returned));
    EXPECT_EQ(returned, 2u);
    EXPECT_EQ(word[0], 0x35);
    EXPECT_EQ(word[1], 0x12);
    EXPECT_FALSE(UsbDeviceReadPipe(m_Device, word, sizeof word, 5, &returned)); // not a pipe
    UsbDeviceClose(irq);
}

TEST_F(UsbDeviceTest, ClosingThePipeEndsAWaitingRead) {
    const UsbDeviceHandle irq = UsbDeviceOpen("ezusb-0\\PIPE03");
    ASSERT_NE(irq, kUsbNoHandle);
    bool result = true;
    int error = 0;
    std::thread reader([&] {
        std::uint8_t word[2];
        std::uint32_t returned = 0;
        result = UsbDeviceReadPipe(irq, word, sizeof word, 60000, &returned);
        error = UsbDeviceLastError();
    });
    // Closed while the read waits for a word.
    EXPECT_TRUE(q3vtest::WaitUntil([] { return UsbDeviceGetPipeReads().Waiting == 1; }));
    UsbDeviceClose(irq);
    reader.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(error, EBADF);
}

} // namespace
} // namespace boardtest

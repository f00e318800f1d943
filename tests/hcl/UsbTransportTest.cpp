// The USB bridge transport: device names, the driver version check, bulk transfers, the
// verbose printouts and the interrupt thread.

#include "CsclFixture.h"

#include "devices/UsbDevice.h"
#include "support/Waiting.h"

namespace cscltest {
namespace {

class UsbTransportTest : public BridgeTest {
protected:
    void TearDown() override {
        if (oxUsbTransportToggleVerbose() != 0) {
            oxUsbTransportToggleVerbose(); // it was off: leave it off
        }
        unsetenv("Q3VBOARD");
        BridgeTest::TearDown();
    }
    void Verbose() {
        if (oxUsbTransportToggleVerbose() == 0) {
            oxUsbTransportToggleVerbose();
        }
    }
};

TEST_F(UsbTransportTest, BoardDigitComesFromQ3vboard) {
    const struct {
        const char* Value; // nullptr: unset
        const char* Name;
    } cases[] = {
        {nullptr, "ezusb-0"}, {"9", "ezusb-0"},  {"", "ezusb-0"},
        {"3", "ezusb-3"},     {"7x", "ezusb-7"},
    };
    for (const auto& c : cases) {
        if (c.Value != nullptr) {
            setenv("Q3VBOARD", c.Value, 1);
        } else {
            unsetenv("Q3VBOARD");
        }
        auto simBoard = board::SimBoard::Attach(SimFolder(), c.Name[6] - '0');
        ASSERT_NE(simBoard, nullptr);
        simBoard->PowerOn();
        simBoard->SetRegister(0x40, static_cast<std::uint16_t>(0x100 + c.Name[6]));
        EXPECT_TRUE(oxUsbTransportOpen()) << c.Name;
        EXPECT_STREQ(oxUsbTransportGetDeviceName(), c.Name);
        // The requests reach that board.
        EXPECT_EQ(oxCsclRdMge(kRegisterBase + 0x40, 2, kRegisterPort), 0x100u + c.Name[6]);
    }
}

TEST_F(UsbTransportTest, DriverVersionCheck) {
    const struct {
        board::DriverVersion Version;
        bool Accepted;
    } cases[] = {
        {{1, 34, 0}, true},    {{1, 99, 0}, true},  {{2, 0, 0}, true},
        {{1, 33, 500}, false}, {{0, 99, 0}, false}, {{0, 0, 0}, false},
    };
    for (const auto& c : cases) {
        board::SetDriverVersion(c.Version);
        Capture();
        EXPECT_EQ(oxUsbTransportOpen(), c.Accepted) << c.Version.Major << "." << c.Version.Minor;
        const std::string output = Captured();
        const bool reported =
            output.find("ASSERT - Usb Transport: Required upgrade of the Q3V47xxxUSB driver to "
                        "version 1.34 or higher.") != std::string::npos;
        EXPECT_EQ(reported, !c.Accepted) << output;
    }
}

TEST_F(UsbTransportTest, AbsentBoardFailsToOpen) {
    board::SetAbsent(0, true);
    Capture();
    EXPECT_FALSE(oxUsbTransportOpen());
    EXPECT_EQ(Captured(), "Device ezusb-0 failed to open\n");
    EXPECT_FALSE(oxUsbTransportIsOpen());
    Capture();
    EXPECT_FALSE(oxCsclOpen(0, 4, kUsbConfig));
    Captured();
    // Nothing is sent or read without a device, and nothing is said.
    Capture();
    EXPECT_EQ(oxUsbTransportOut(7, nullptr, 0, false), 0u);
    std::uint8_t buffer[8];
    EXPECT_EQ(oxUsbTransportIn(buffer, sizeof buffer, false), 0u);
    EXPECT_EQ(Captured(), "");
    EXPECT_FALSE(oxUsbTransportClose());
    EXPECT_FALSE(oxCsclReopen());
}

TEST_F(UsbTransportTest, BoardRemovedWhileOpenIsReported) {
    board::SetAbsent(0, true);
    Capture();
    EXPECT_EQ(oxCsclRdMge(kRegisterBase + 0x40, 2, kRegisterPort), 0u);
    const std::string output = Captured();
    EXPECT_NE(output.find("ASSERT - Usb Transport: Write IOCTL failed 19"), std::string::npos)
        << output;
}

TEST_F(UsbTransportTest, OutWithoutBufferSendsTwoBytes) {
    EXPECT_EQ(oxUsbTransportOut(13, nullptr, 1000, false), 2u);
    const std::uint8_t packet[3] = {15, 0x80, 0x55};
    EXPECT_EQ(oxUsbTransportOut(99, packet, 2, true), 2u);
    const auto out = OutTransfers(board::TakeLog());
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].Head, (Bytes{13, 0}));
    EXPECT_FALSE(out[0].Continued);
    EXPECT_EQ(out[1].Head, (Bytes{15, 0x80}));
    EXPECT_TRUE(out[1].Continued);
    // The done of command 13 is waiting; a read without buffer reports and reads nothing.
    Capture();
    EXPECT_EQ(oxUsbTransportIn(nullptr, 26, false), 0u);
    EXPECT_NE(Captured().find("ASSERT - Usb Transport: No buffer available for oxUsbTransportIn "
                              "transaction."),
              std::string::npos);
    std::uint8_t reply[26];
    EXPECT_EQ(oxUsbTransportIn(reply, sizeof reply, false), 2u);
    EXPECT_EQ(reply[0], 3);
}

TEST_F(UsbTransportTest, VerbosePrintsPipesAndDescriptor) {
    Verbose();
    Capture();
    EXPECT_TRUE(oxUsbTransportGetPipeInfo());
    EXPECT_TRUE(oxCsclGetConfigDescriptor());
    const std::string text = Captured();
    EXPECT_NE(
        text.find("\nUsb Transport: \nPipe:  2   Type: BLK Endpoint:  6 IN   MaxPktSize: 0x200"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\nPipe:  3   Type: INT Endpoint:  1 IN   MaxPktSize: 0x40"),
              std::string::npos);
    EXPECT_NE(text.find("\nPipe:  0   Type: BLK Endpoint:  2 OUT  MaxPktSize: 0x200"),
              std::string::npos);
    EXPECT_NE(text.find("\nConfig Descriptor:  \nbLength: 0x9\nbDescriptorType:  2\n"
                        "wTotalLength:  46 (0x2e)\nbNumInterfaces:  1"),
              std::string::npos)
        << text;
    EXPECT_EQ(Count(text, "\nInterface Descriptor:  \n--------------------------------"), 1);
    EXPECT_EQ(Count(text, "\nEndpoint Descriptor "), 4);
    EXPECT_NE(text.find("\nbEndpointAddress:  0x86\nbmAttributes:  0x2\nwMaxPacketSize:  512"),
              std::string::npos);
}

TEST_F(UsbTransportTest, DescriptorWalkEndsAtBadLengths) {
    Verbose();
    // An interface descriptor of length 0 after the configuration: the walk must not loop.
    const std::uint8_t zero[] = {9, 2, 20, 0, 1, 1, 0, 0x80, 50, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    // An endpoint that claims more bytes than there are.
    const std::uint8_t longer[] = {9,  2, 18,   0, 1,    1, 0, 0x80, 50,
                                   12, 5, 0x81, 3, 0x40, 0, 1, 0,    0};
    // A total length beyond the bytes at hand.
    const std::uint8_t total[] = {9, 2, 0xFF, 0xFF, 1, 1, 0, 0x80, 50, 7, 5, 0x81, 3, 0x40, 0, 1};
    Capture();
    oxUsbTransportPrintConfigDescriptor(zero, sizeof zero);
    oxUsbTransportPrintConfigDescriptor(longer, sizeof longer);
    oxUsbTransportPrintConfigDescriptor(total, sizeof total);
    oxUsbTransportPrintConfigDescriptor(zero, 5);
    const std::string text = Captured();
    EXPECT_EQ(Count(text, "\nConfig Descriptor:  "), 3);
    EXPECT_EQ(Count(text, "\nEndpoint Descriptor "), 1) << text;
}

TEST_F(UsbTransportTest, DamagedPipeInfoAndDescriptorAreBounded) {
    Verbose();
    board::InjectFault(board::Fault::BadDescriptors, board::kEveryReply);
    Capture();
    EXPECT_TRUE(oxUsbTransportGetPipeInfo());
    const bool described = oxCsclGetConfigDescriptor();
    const std::string text = Captured();
    board::ClearFaults();
    EXPECT_TRUE(described);
    // No more pipes than the reply holds records for, and the walk ends at the length of 0.
    EXPECT_EQ(Count(text, "\nPipe: "), 4) << text;
    EXPECT_EQ(Count(text, "\nConfig Descriptor:  "), 1);
    EXPECT_NE(text.find("\nwTotalLength:  64 (0x40)"), std::string::npos);
    EXPECT_EQ(Count(text, "\nInterface Descriptor:  "), 0);
}

TEST_F(UsbTransportTest, PacketPrintout) {
    Verbose();
    std::uint8_t packet[20];
    for (std::uint8_t i = 0; i < sizeof packet; ++i) {
        packet[i] = i;
    }
    Capture();
    oxUsbTransportPrintPacket(packet, sizeof packet);
    oxUsbTransportPrintPacket(packet, 1);
    EXPECT_EQ(Captured(), "\nUsb Transport: PKT << 0x00 0x01\n len 20\n"
                          "0x02 0x03 0x04 0x05 0x06 0x07 0x08 0x09 \n"
                          "0x0a 0x0b 0x0c 0x0d 0x0e 0x0f \n"
                          "\nUsb Transport: PKT << 0x00 0x00\n len 1\n");
}

q3vtest::CallCount g_Calls;
q3vtest::CallCount g_OtherCalls;
void CountCall() {
    g_Calls.Add();
}
void CountOtherCall() {
    g_OtherCalls.Add();
}

TEST_F(UsbTransportTest, InterruptWordsCallTheCallback) {
    g_Calls.Reset();
    g_OtherCalls.Reset();
    EXPECT_TRUE(oxUsbTransportSetInterruptCallback(&CountCall));
    EXPECT_EQ(oxUsbTransportGetInterruptStatus(), oxUSB_IRQ_OK);
    EXPECT_TRUE(oxUsbTransportInterruptRunning());
    ASSERT_TRUE(m_Board->RaiseInterrupt(0x0001));
    EXPECT_TRUE(g_Calls.WaitFor(1));
    // A word with bit 0 clear is reported and passed over; the thread goes on.
    Capture();
    ASSERT_TRUE(m_Board->RaiseInterrupt(0x0002));
    ASSERT_TRUE(m_Board->RaiseInterrupt(0x0003));
    EXPECT_TRUE(g_Calls.WaitFor(2));
    EXPECT_EQ(Captured(), "Usb Transport: Bad interrupt word 0x0002 ignored.\n");
    // Installing again only replaces the callback.
    EXPECT_TRUE(oxUsbTransportSetInterruptCallback(&CountCall));
    EXPECT_TRUE(oxUsbTransportSetInterruptCallback(nullptr));
    EXPECT_FALSE(oxUsbTransportInterruptRunning());
    // A word after the callback was taken away calls nothing: by the time a new callback has
    // been called, the old one still has its two calls.
    ASSERT_TRUE(m_Board->RaiseInterrupt(0x0001));
    EXPECT_TRUE(oxUsbTransportSetInterruptCallback(&CountOtherCall));
    ASSERT_TRUE(m_Board->RaiseInterrupt(0x0005));
    EXPECT_TRUE(g_OtherCalls.WaitFor(1));
    EXPECT_EQ(g_Calls.Value(), 2u);
}

TEST_F(UsbTransportTest, InterruptThreadOutlivesAnIdleSecond) {
    g_Calls.Reset();
    const std::uint32_t timedOut = UsbDeviceGetPipeReads().TimedOut;
    EXPECT_TRUE(oxUsbTransportSetInterruptCallback(&CountCall));
    // The thread's read waits its whole time for a word that does not come.
    ASSERT_TRUE(q3vtest::WaitUntil([&] { return UsbDeviceGetPipeReads().TimedOut > timedOut; }));
    EXPECT_TRUE(oxUsbTransportInterruptRunning());
    ASSERT_TRUE(m_Board->RaiseInterrupt(0x0101));
    EXPECT_TRUE(g_Calls.WaitFor(1));
}

TEST_F(UsbTransportTest, EndedInterruptThreadIsStartedAgain) {
    g_Calls.Reset();
    EXPECT_TRUE(oxUsbTransportSetInterruptCallback(&CountCall));
    EXPECT_TRUE(oxCsclCloseInterrupt()); // the read fails: the thread ends
    EXPECT_TRUE(q3vtest::WaitUntil([] { return !oxUsbTransportInterruptRunning(); }));
    EXPECT_TRUE(oxUsbTransportSetInterruptCallback(&CountCall));
    EXPECT_TRUE(oxUsbTransportInterruptRunning());
    ASSERT_TRUE(m_Board->RaiseInterrupt(0x0001));
    EXPECT_TRUE(g_Calls.WaitFor(1));
}

TEST_F(UsbTransportTest, InterruptCallbackFailsWithoutItsPipe) {
    board::SetAbsent(0, true);
    Capture();
    EXPECT_FALSE(oxUsbTransportSetInterruptCallback(&CountCall));
    const std::string output = Captured();
    EXPECT_EQ(oxUsbTransportGetInterruptStatus(), oxUSB_IRQ_FAILED);
    EXPECT_FALSE(oxUsbTransportInterruptRunning());
    EXPECT_NE(output.find("ASSERT - Open Pipe failed 13"), std::string::npos) << output;
    EXPECT_NE(output.find("ASSERT - Usb Transport: Failed to Open Interrupt Driver."),
              std::string::npos);
    std::uint8_t word[2];
    EXPECT_FALSE(oxUsbTransportInterruptIn(word, sizeof word));
    std::uint16_t value = 7;
    EXPECT_FALSE(oxCsclRdInterrupt(&value));
    EXPECT_EQ(value, 0);
}

} // namespace
} // namespace cscltest

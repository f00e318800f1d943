// The LCD functions against the simulated board: their register effects, the look-up tables and
// the argument reports.
#include "UsbInterfaceFixture.h"

#include "hcl/Lcd.h"

#include <gmock/gmock.h>

#include <functional>
#include <map>

using namespace usbtest;
using ::testing::HasSubstr;

using Lcd = SimBoardTest;

TEST_F(Lcd, SettersChangeTheirRegisterFields) {
    struct Case {
        const char* Name;
        std::map<std::uint32_t, std::uint16_t> Before;
        std::function<void()> Call;
        std::map<std::uint32_t, std::uint16_t> After;
        const char* Report; // nullptr: none
    };
    const Case cases[] = {
        {"rotation 270 keeps depth and bit 8",
         {{0x40, 0x0105}},
         [] { oxLcdSetRotation(270); },
         {{0x40, 0x011D}},
         nullptr},
        {"rotation 90 replaces 270",
         {{0x40, 0x0018}},
         [] { oxLcdSetRotation(90); },
         {{0x40, 0x08}},
         nullptr},
        {"rotation 0", {{0x40, 0x001D}}, [] { oxLcdSetRotation(0); }, {{0x40, 0x0005}}, nullptr},
        {"rotation 45 writes the quotient 0",
         {{0x40, 0x0018}},
         [] { oxLcdSetRotation(45); },
         {{0x40, 0x0000}},
         "oxLcdSetRotation(): RotationDegrees must be 0, 90, 180, or 270."},
        {"rotation 450 stays inside the rotation field",
         {{0x40, 0x0000}},
         [] { oxLcdSetRotation(450); },
         {{0x40, 0x0008}},
         "oxLcdSetRotation(): RotationDegrees must be 0, 90, 180, or 270."},
        {"rotation 1440 stays inside the rotation field",
         {{0x40, 0x0005}},
         [] { oxLcdSetRotation(1440); },
         {{0x40, 0x0005}},
         "oxLcdSetRotation(): RotationDegrees must be 0, 90, 180, or 270."},
        {"depth 5 keeps rotation",
         {{0x40, 0x0018}},
         [] { oxLcdSetColorDepth(5); },
         {{0x40, 0x001D}},
         nullptr},
        {"depth 2 is reported and written",
         {{0x40, 0x0006}},
         [] { oxLcdSetColorDepth(2); },
         {{0x40, 0x0002}},
         "oxLcdSetColorDepth(): BitsPerPixel must be one of the values specified in "
         "oxFormatData."},
        {"start address splits over two registers",
         {},
         [] { oxLcdSetStartAddress(0x12344); },
         {{0x42, 0x2344}, {0x44, 0x0001}},
         nullptr},
        {"unaligned start address is reported and written",
         {},
         [] { oxLcdSetStartAddress(0x00102); },
         {{0x42, 0x0102}, {0x44, 0x0000}},
         "oxLcdSetStartAddress(): Must be 32bit aligned."},
        {"start address at the tables is reported",
         {},
         [] { oxLcdSetStartAddress(0x60000); },
         {{0x42, 0x0000}, {0x44, 0x0006}},
         "oxLcdSetStartAddress(): StartAddress is too big."},
        {"width in units of 8 pixels", {}, [] { oxLcdSetWidth(320); }, {{0x24, 40}}, nullptr},
        {"height in lines", {}, [] { oxLcdSetHeight(240); }, {{0x28, 240}}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const auto& [index, value] : c.Before) {
            m_Board->SetRegister(index, value);
        }
        AnswerNo();
        ::testing::internal::CaptureStdout();
        c.Call();
        const std::string out = ::testing::internal::GetCapturedStdout();
        for (const auto& [index, value] : c.After) {
            EXPECT_EQ(m_Board->Register(index), value) << "register " << std::hex << index;
        }
        if (c.Report == nullptr) {
            EXPECT_EQ(out.find("ASSERT"), std::string::npos) << out;
        } else {
            EXPECT_THAT(out, HasSubstr(std::string("ASSERT - ") + c.Report));
        }
    }
}

TEST_F(Lcd, GettersReadTheirRegisters) {
    m_Board->SetRegister(0x40, 0x0118);
    EXPECT_EQ(oxLcdGetRotation(), 270u);
    EXPECT_EQ(oxLcdGetColorDepth(), 0u);
    m_Board->SetRegister(0x42, 0x2344);
    m_Board->SetRegister(0x44, 0x0001);
    EXPECT_EQ(oxLcdGetStartAddress(), 0x12344u);
}

// The layer's fields (Lcd.h) against the model's own (board/Controller.h): the size the layer
// sets comes back from the model's computed registers, turned at 90 and 270 degrees.
TEST_F(Lcd, RotationTurnsTheMainSizeTheModelComputes) {
    oxLcdSetWidth(320);
    oxLcdSetHeight(240);
    const struct {
        std::uint32_t Degrees, Width, Height;
    } cases[] = {{90, 240, 320}, {180, 320, 240}, {270, 240, 320}, {0, 320, 240}};
    for (const auto& c : cases) {
        oxLcdSetRotation(c.Degrees);
        EXPECT_EQ(oxLcdGetRotation(), c.Degrees);
        EXPECT_EQ(oxLcdGetWidth(), c.Width) << c.Degrees;
        EXPECT_EQ(oxLcdGetHeight(), c.Height) << c.Degrees;
    }
}

TEST_F(Lcd, StrideFollowsWidthAndDepth) {
    struct Case {
        std::uint32_t Depth, Bytes;
    };
    const Case cases[] = {{0, 3}, {1, 2}, {4, 3}, {5, 2}, {6, 1}, {2, 0}, {3, 0}, {7, 0}};
    oxLcdSetWidth(320);
    m_Board->SetRegister(0x40, 0);
    ASSERT_EQ(oxLcdGetWidth(), 320u);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.Depth);
        m_Board->SetRegister(0x40, static_cast<std::uint16_t>(c.Depth));
        EXPECT_EQ(oxLcdGetBytesPerPixel(), c.Bytes);
        EXPECT_EQ(oxLcdGetStride(), 320 * c.Bytes);
    }
}

TEST_F(Lcd, LutEntriesAndRangesReachTheirTable) {
    const std::uint32_t entry = 0x00ABCDEF;
    oxLcdSetLutEntry(7, &entry, 0);
    oxLcdSetLutEntry(8, &entry, 1);
    oxLcdSetLutEntry(9, nullptr, 0); // nothing to write
    EXPECT_EQ(Lut(oxLCD_LUT0_ADDRESS + 4 * 7, 3), (std::vector<std::uint32_t>{entry, 0, 0}));
    EXPECT_EQ(Lut(oxLCD_LUT1_ADDRESS + 4 * 8, 1), (std::vector<std::uint32_t>{entry}));
    EXPECT_EQ(oxLcdGetLutEntry(7, 0), entry);
    EXPECT_EQ(oxLcdGetLutEntry(7, 1), 0u);

    const std::uint32_t range[3] = {1, 2, 3};
    oxLcdSetLut(253, range, 3, 1);
    std::uint32_t back[3] = {};
    oxLcdGetLut(253, back, 3, 1);
    EXPECT_EQ(std::vector<std::uint32_t>(back, back + 3), (std::vector<std::uint32_t>{1, 2, 3}));
}

TEST_F(Lcd, OutOfTableIndicesAreReportedAndNeverReachTheRegisters) {
    struct Case {
        const char* Report;
        std::function<void()> Call;
        std::uint32_t InsideEntries; // entries of LUT 1 from 250 on that the call writes
    };
    static std::uint32_t values[8] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    const Case cases[] = {
        {"oxLcdSetLut() StartIndex+Count exceeds table size.",
         [] { oxLcdSetLut(250, values, 7, 1); }, 6},
        {"oxLcdSetLut() StartIndex must be between 0 and 255.",
         [] { oxLcdSetLut(256, values, 2, 1); }, 0},
        {"oxLcdSetLutEntry() Index must be between 0 and 255.",
         [] { oxLcdSetLutEntry(256, values, 1); }, 0},
        {"oxLcdSetLutEntry() Index must be between 0 and 255.",
         [] { oxLcdSetLutEntry(0xFFFFFFFF, values, 1); }, 0},
        {"oxLcdSetLut() StartIndex+Count exceeds table size.",
         [] { oxLcdSetLut(250, values, 0xFFFFFFFF, 1); }, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Report);
        m_Board->PowerOn();
        const std::uint16_t reg0 = m_Board->Register(0);
        const std::uint16_t reg2 = m_Board->Register(2);
        const std::uint32_t dropped = m_Board->DroppedAccesses();
        AnswerNo();
        ::testing::internal::CaptureStdout();
        c.Call();
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_THAT(out, HasSubstr(std::string("ASSERT - ") + c.Report));
        EXPECT_EQ(m_Board->Register(0), reg0);
        EXPECT_EQ(m_Board->Register(2), reg2);
        EXPECT_EQ(m_Board->DroppedAccesses(), dropped);
        for (const Access& a : TakeAccesses()) {
            EXPECT_LT(a.Address + a.Length, 0x60800u + 1) << a;
        }
        const std::vector<std::uint32_t> table = Lut(oxLCD_LUT1_ADDRESS + 4 * 250, 6);
        for (std::uint32_t i = 0; i < 6; ++i) {
            EXPECT_EQ(table[i], i < c.InsideEntries ? values[i] : 0u) << "entry " << 250 + i;
        }
    }
}

TEST_F(Lcd, ReadsPastTheTableGiveZero) {
    std::vector<std::uint8_t> pattern(0x400, 0x5A);
    ASSERT_TRUE(m_Board->WriteMemory(oxLCD_LUT0_ADDRESS, pattern));
    AnswerNo();
    ::testing::internal::CaptureStdout();
    std::uint32_t buffer[7];
    std::fill(std::begin(buffer), std::end(buffer), 0xDEADBEEF);
    oxLcdGetLut(250, buffer, 7, 0);
    const std::uint32_t beyond = oxLcdGetLutEntry(300, 0);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, HasSubstr("ASSERT - oxLcdGetLut() StartIndex+Count exceeds table size."));
    EXPECT_THAT(out, HasSubstr("ASSERT - oxLcdGetLutEntry() Index must be between 0 and 255."));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(buffer[i], 0x5A5A5A5Au) << i;
    }
    EXPECT_EQ(buffer[6], 0u);
    EXPECT_EQ(beyond, 0u);
}

TEST_F(Lcd, DefaultTableFollowsTheLayersDepth) {
    // Depth 5 on the main layer: exactly 64 entries in one burst, entry 63 white.
    m_Board->SetRegister(0x40, 0x0005);
    oxLcdLoadDefaultLut(0);
    const std::vector<Access> log = TakeAccesses();
    std::vector<Access> writes;
    for (const Access& a : log) {
        if (a.Write) {
            writes.push_back(a);
        }
    }
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].Address, oxLCD_LUT0_ADDRESS);
    EXPECT_EQ(writes[0].Length, 64u * 4);
    EXPECT_EQ(Lut(oxLCD_LUT0_ADDRESS + 4 * 63, 2), (std::vector<std::uint32_t>{0x00FFFFFF, 0}));

    // Depth 2 on the picture-in-picture layer writes nothing.
    m_Board->SetRegister(0x50, 0x0002);
    oxLcdLoadDefaultLut(1);
    for (const Access& a : TakeAccesses()) {
        EXPECT_FALSE(a.Write) << a;
    }

    // Depth 6 on a monochrome panel: grey levels in bits 0-7 only.
    m_Board->SetRegister(0x50, 0x0006);
    m_Board->SetRegister(0x20, 0x0000);
    oxLcdLoadDefaultLut(1);
    const std::vector<std::uint32_t> mono = Lut(oxLCD_LUT1_ADDRESS, 256);
    EXPECT_EQ(mono[0xFF], 0xFFu);
    EXPECT_EQ(mono[0xE0], 76u);  // red only: 299 * 255 / 1000
    EXPECT_EQ(mono[0x03], 29u);  // blue only: 114 * 255 / 1000
    EXPECT_EQ(mono[0x1C], 149u); // green only: 587 * 255 / 1000
}

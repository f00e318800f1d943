// ChipDef against the simulated board: hot mode sends feature and register changes straight to
// the chip through the front API (and leaves the register list alone), registers that are no
// chip registers are never accessed, and Initialize starts the chip from the object's block.
#include "TemplateBlockCopy.h"
#include "chipdef/ChipDef.h"
#include "hcl/UsbInterfaceFixture.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using usbtest::Access;
using usbtest::Reg;

class HotChip : public usbtest::SimBoardTest {
protected:
    void SetUp() override {
        usbtest::SimBoardTest::SetUp();
        m_Chip.SetHotMode(true);
    }
    ChipDef m_Chip;
};

TEST_F(HotChip, FeatureWriteIsOneReadAndOneWrite) {
    const oxHclData before = m_Chip.HclData();
    EXPECT_TRUE(m_Chip.SetFeatureValue("hdp", 320));
    EXPECT_EQ(TakeAccesses(),
              (std::vector<Access>{{false, Reg(0x24), 4, 2, 0}, {true, Reg(0x24), 4, 2, 0x0028}}));
    // The controller computes the main layer's width from it.
    EXPECT_EQ(m_Chip.GetFeatureValue("width"), 320u);
    EXPECT_EQ(m_Chip.GetFeatureValue("hdp"), 320u);
    EXPECT_EQ(std::memcmp(&before, &m_Chip.HclData(), sizeof before), 0);
}

TEST_F(HotChip, SpanFeatureWritesItsPartsRegisters) {
    EXPECT_TRUE(m_Chip.SetFeatureValue("saddr", 0x51234));
    EXPECT_EQ(m_Board->Register(0x42), 0x1234u);
    EXPECT_EQ(m_Board->Register(0x44), 0x0005u);
    EXPECT_EQ(m_Chip.GetFeatureValue("saddr"), 0x51234u);
    EXPECT_EQ(m_Chip.GetRegisterValue(0x42, false), 0x1234u);
}

TEST_F(HotChip, ComputedFeaturesReadTheChip) {
    m_Board->SetRegister(0x24, 0x0028); // 320 pixels
    m_Board->SetRegister(0x28, 0x00F0); // 240 lines
    m_Board->SetRegister(0x40, 0x0009); // RGB 5:6:5, 90 degrees
    EXPECT_EQ(m_Chip.GetFeatureValue("swwidth"), 240u);
    EXPECT_EQ(m_Chip.GetFeatureValue("swheight"), 320u);
    EXPECT_EQ(m_Chip.GetFeatureValue("bpp"), 16u);
    EXPECT_EQ(m_Chip.GetFeatureValue("stride"), 480u);
    // The base address is the layer's acquisition value.
    EXPECT_EQ(m_Chip.GetFeatureValue("baseaddr"), 255u);
    const auto log = TakeAccesses();
    EXPECT_FALSE(log.empty());
    for (const Access& a : log) {
        EXPECT_FALSE(a.Write) << a;
    }
}

TEST_F(HotChip, FeaturesLeftToTheBaseNeverReachTheChip) {
    AssertRecorder asserts;
    for (const char* name : {"busWidth", "mclk", "tvddsclk", "tvclk"}) {
        EXPECT_EQ(m_Chip.GetFeatureRawValue(name), 0u) << name;
    }
    for (uint8_t configA : {0x46, 0x48}) { // host interface 6, and 8 (above 7)
        ASSERT_TRUE(m_Chip.SetFeatureRawValue("usbconfig0", configA));
        EXPECT_EQ(m_Chip.GetFeatureRawValue("hostinterface"), 0u);
    }
    for (const char* name : {"bpp", "pipbpp", "stride", "swheight", "bufsize"}) {
        EXPECT_FALSE(m_Chip.SetFeatureRawValue(name, 1)) << name;
    }
    EXPECT_TRUE(TakeAccesses().empty());
    EXPECT_EQ(asserts.Count(), 0u);
}

TEST_F(HotChip, RegistersOutsideTheDatabase) {
    AssertRecorder asserts;
    // A register the database lacks is reached at the default width (16 bits).
    m_Board->SetRegister(0x70, 0xBEEF);
    EXPECT_EQ(m_Chip.ReadRegisterHot(0x70), 0xBEEFu);
    EXPECT_TRUE(m_Chip.WriteRegisterHot(0x70, 0x1234));
    EXPECT_EQ(m_Board->Register(0x70), 0x1234u);
    EXPECT_EQ(TakeAccesses(), (std::vector<Access>{{false, Reg(0x70), 4, 2, 0xBEEF},
                                                   {true, Reg(0x70), 4, 2, 0x1234}}));
    // The list's pseudo-registers and indices past the register space are never accessed.
    for (uint32_t index : {0xFCu, 0xFEu, 0xFFu, 0x100u, 0x12345u}) {
        EXPECT_EQ(m_Chip.ReadRegisterHot(index), 0u) << index;
        EXPECT_FALSE(m_Chip.WriteRegisterHot(index, 1)) << index;
        EXPECT_FALSE(m_Chip.SetRegisterValue(index, false, 1)) << index;
    }
    // A list position past the list names no register.
    EXPECT_EQ(m_Chip.GetRegisterValue(41, true), 0u);
    EXPECT_EQ(m_Chip.GetRegisterValue(593, true), 0u);
    EXPECT_TRUE(TakeAccesses().empty());
    EXPECT_EQ(asserts.Count(), 0u);
    // By list position: entry 13 is REG[24h].
    EXPECT_TRUE(m_Chip.SetRegisterValue(13, true, 0x0030));
    EXPECT_EQ(m_Board->Register(0x24), 0x0030u);
    EXPECT_EQ(m_Chip.GetRegListValue(13), 0x003Cu);
}

// A ChipDef whose tables a test may change: register widths, redraw flags.
class TunedChip : public ChipDef {
public:
    void SetBitWidth(uint32_t reg, uint32_t bits) {
        for (ChipRegister& r : m_Registers) {
            if (r.Reg == reg) {
                r.BitWidth = bits;
            }
        }
    }
    void SetRedrawPattern(uint32_t reg) {
        for (ChipFeature& f : m_Features) {
            f.RedrawPattern = f.Reg == reg ? 1 : 0;
        }
    }
    void RedrawPattern() override { ++Redraws; }
    void MarkInitialized() { m_fInitialized = 1; }
    int Redraws = 0;
};

TEST_F(HotChip, AccessWidthFollowsTheRegistersBitWidth) {
    TunedChip chip;
    chip.SetHotMode(true);
    m_Board->SetRegister(0x24, 0x1234);
    m_Board->SetRegister(0x26, 0x5678);
    chip.SetBitWidth(0x24, 8);
    EXPECT_EQ(chip.ReadRegisterHot(0x24), 0x34u);
    EXPECT_EQ(TakeAccesses(), (std::vector<Access>{{false, Reg(0x24), 4, 1, 0x34}}));
    // 32 bits go to the layer's 32-bit access, which this interface answers without the chip.
    chip.SetBitWidth(0x24, 32);
    EXPECT_EQ(chip.ReadRegisterHot(0x24), 0u);
    EXPECT_TRUE(chip.WriteRegisterHot(0x24, 1));
    // Any other width is no access at all.
    chip.SetBitWidth(0x24, 12);
    EXPECT_EQ(chip.ReadRegisterHot(0x24), 0u);
    EXPECT_FALSE(chip.WriteRegisterHot(0x24, 1));
    EXPECT_TRUE(TakeAccesses().empty());
}

TEST_F(HotChip, WriteOfARedrawRegisterMakesARedrawPending) {
    TunedChip chip;
    chip.SetHotMode(true);
    chip.SetRedrawPattern(0x24);
    EXPECT_TRUE(chip.WriteRegisterHot(0x24, 0x0028));
    chip.SetAutoRedraw(true);
    chip.FlushRedraw(); // the redraw that switching auto-redraw on asked for
    EXPECT_EQ(chip.Redraws, 1);
    EXPECT_TRUE(chip.WriteRegisterHot(0x24, 0x0028)); // not started: no redraw
    chip.FlushRedraw();
    EXPECT_EQ(chip.Redraws, 1);
    chip.MarkInitialized();
    EXPECT_TRUE(chip.WriteRegisterHot(0x26, 0x0003)); // no redraw feature there
    chip.FlushRedraw();
    EXPECT_EQ(chip.Redraws, 1);
    EXPECT_TRUE(chip.WriteRegisterHot(0x24, 0x0030));
    chip.FlushRedraw();
    EXPECT_EQ(chip.Redraws, 2);
}

TEST_F(HotChip, PairWritesOnlyTheSecondValue) {
    EXPECT_TRUE(m_Chip.SetRegisterValuePair(0x12, 0x0001, 0x0007));
    EXPECT_EQ(TakeAccesses(), (std::vector<Access>{{true, Reg(0x12), 4, 2, 0x0007}}));
}

TEST_F(HotChip, OutsideHotModeNothingIsAccessed) {
    m_Chip.SetHotMode(false);
    EXPECT_TRUE(m_Chip.SetFeatureValue("hdp", 320));
    EXPECT_EQ(m_Chip.GetRegListValue(13), 0x0028u);
    EXPECT_EQ(m_Chip.GetFeatureValue("swwidth"), 320u);
    EXPECT_TRUE(TakeAccesses().empty());
}

class ChipStart : public usbtest::SimBoardTest {
protected:
    bool Start(ChipDef& chip, const char** text) {
        ::testing::internal::CaptureStdout();
        const bool ok = chip.Initialize(oxHCL_INIT_NOLUT | oxHCL_INIT_NOVRAM, text);
        m_Output = ::testing::internal::GetCapturedStdout();
        return ok;
    }
    void Restart() {
        oxHclResetFrontForTesting();
        board::ClearLog();
    }
    TemplateBlockCopy m_Template;
    std::string m_Output;
};

TEST_F(ChipStart, EditedBlockReachesTheLayerAndTheChip) {
    ChipDef chip;
    ASSERT_TRUE(chip.SetFeatureValue("hdp", 320));
    ASSERT_TRUE(chip.SetFeatureValue("pclkdiv", 4));
    const char* text = nullptr;
    ASSERT_TRUE(Start(chip, &text)) << m_Output;
    EXPECT_TRUE(chip.IsChipInitialized());
    // The layer's block is the object's, with its CRC.
    oxHclData expected = chip.HclData();
    expected.HclCRC = ChipDef::ComputeBlockCrc(expected);
    EXPECT_EQ(std::memcmp(&expected, &oxgHclInfo, sizeof expected), 0);
    EXPECT_NE(oxgHclInfo.HclCRC, m_Template.Saved().HclCRC);
    // Every listed register holds its last list value, but for the bits that the controller
    // sets itself (reset, PLL lock, TE status).
    for (uint32_t i = 0; i < chip.GetRegListCount(); ++i) {
        const oxHclRegEntry entry = oxHclGetReg(chip.HclData(), i);
        if (entry.Index >= 0xFC) {
            continue;
        }
        uint32_t last = 0;
        ASSERT_TRUE(chip.FindRegListEntry(entry.Index, &last, false));
        uint16_t mask = 0xFFFF;
        mask &= entry.Index == 0x06 ? ~0x0100 : 0xFFFF;
        mask &= entry.Index == 0x10 ? ~0x8000 : 0xFFFF;
        mask &= entry.Index == 0x22 ? ~0x0080 : 0xFFFF;
        EXPECT_EQ(m_Board->Register(entry.Index) & mask, chip.GetRegListValue(last) & mask)
            << std::hex << entry.Index;
    }
    EXPECT_EQ(m_Board->Register(0x24), 0x0028u);
    EXPECT_EQ(m_Board->Register(0x16), 0x0003u);
}

TEST_F(ChipStart, AbsentBoardIsReportedAndTriedAgain) {
    board::SetAbsent(0, true);
    Restart();
    ChipDef chip;
    chip.SetHotMode(true);
    const char* text = nullptr;
    EXPECT_FALSE(Start(chip, &text));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Cannot Initialize: ERROR: Unable to locate the USB adapter.\n");
    EXPECT_FALSE(chip.IsHotMode());
    EXPECT_FALSE(chip.IsChipInitialized());
    board::SetAbsent(0, false);
    EXPECT_TRUE(Start(chip, &text)) << m_Output;
    EXPECT_TRUE(chip.IsChipInitialized());
}

TEST_F(ChipStart, BlockWithoutUsbAdapterAcquiresNothingUntilItNamesOne) {
    Restart();
    ChipDef chip;
    ASSERT_TRUE(chip.SetFeatureRawValue("adapter", 0));
    const char* text = nullptr;
    EXPECT_FALSE(Start(chip, &text));
    EXPECT_STREQ(text, "Cannot Initialize: ERROR: The controller has not been acquired.\n");
    EXPECT_FALSE(chip.Initialize(0, nullptr));
    ASSERT_TRUE(chip.SetFeatureRawValue("adapter", 1));
    EXPECT_TRUE(Start(chip, &text)) << m_Output;
    EXPECT_TRUE(chip.IsChipInitialized());
}

TEST_F(ChipStart, ReleaseResetsTheChipAndLeavesHotMode) {
    ChipDef chip;
    const char* text = nullptr;
    ASSERT_TRUE(Start(chip, &text)) << m_Output;
    board::ClearLog();
    EXPECT_TRUE(chip.ReleaseChip());
    const auto log = TakeAccesses();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), (Access{true, Reg(0x06), 4, 2, 0x0000}));
    EXPECT_FALSE(chip.IsHotMode());
    EXPECT_FALSE(chip.IsChipInitialized());
}

} // namespace

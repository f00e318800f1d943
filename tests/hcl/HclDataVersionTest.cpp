// The version text: its layout, the CRC state and the bus type.

#include "hcl/HclData.h"
#include "hcl/HclVersion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

class HclDataVersion : public ::testing::Test {
protected:
    void SetUp() override { std::memcpy(&m_Saved, &oxgHclInfo, sizeof m_Saved); }
    void TearDown() override { std::memcpy(&oxgHclInfo, &m_Saved, sizeof m_Saved); }

    static std::string Text(std::size_t size = 4096) {
        std::vector<char> buffer(size, 'X');
        oxHclGetVersionText("PLAY", "test utility", " $Revision: 73 $", buffer.data(),
                            buffer.size());
        return std::string(buffer.data());
    }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::stringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    static std::string CrcLine(std::uint16_t crc, const char* state) {
        char line[64];
        std::snprintf(line, sizeof line, "Configuration CRC %04Xh (%s)", crc, state);
        return line;
    }

    oxHclData m_Saved;
};

TEST_F(HclDataVersion, TemplateBanner) {
    const std::string text = Text();
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 4u) << text;
    EXPECT_EQ(lines[0], "47K20PLAY - test utility - Build 73 [L:84 A:62]");
    EXPECT_FALSE(lines[1].empty()) << "the layer's notice";
    EXPECT_EQ(lines[2], CrcLine(oxHclCalcCrc(oxgHclInfo), "OK"));
    EXPECT_EQ(lines[3], "Bus Type            Direct 16-bit Mode1");
    EXPECT_EQ(text.back(), '\n');
}

TEST_F(HclDataVersion, CrcStates) {
    oxgHclInfo.HclCRC = 0;
    EXPECT_EQ(Lines(Text())[2], CrcLine(0, "unconfigured"));
    oxgHclInfo.HclCRC = static_cast<std::uint16_t>(oxHclCalcCrc(oxgHclInfo) ^ 1);
    EXPECT_EQ(Lines(Text())[2], CrcLine(oxgHclInfo.HclCRC, "error"));
}

TEST_F(HclDataVersion, BusTypeFromConfigByte) {
    const std::pair<unsigned char, const char*> cases[] = {
        {0x00, "Direct 16-bit Mode1"},
        {0x04, "Direct 16-bit Mode2"},
        {0x08, "Indirect 16-bit Mode1"},
        {0x0C, "Indirect 16-bit Mode2"},
        {0x10, "Direct 8-bit"},
        {0x14, "Indirect 8-bit"},
        {0x18, ""},
        {0x1C, "SPI Mode0"},
        {0x1E, "SPI Mode3"},
        {0xE3, "Direct 16-bit Mode1"}, // other bits ignored
    };
    for (const auto& [config, expected] : cases) {
        oxgHclInfo.USBConfig[0] = config;
        EXPECT_EQ(Lines(Text())[3], std::string("Bus Type            ") + expected)
            << static_cast<int>(config);
    }
}

TEST_F(HclDataVersion, DescriptionIsAppended) {
    std::strcpy(oxgHclInfo.szConfigString, "Evaluation board, 320x240");
    const std::string text = Text();
    const std::string tail = ", Description:\nEvaluation board, 320x240\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(HclDataVersion, UnterminatedFieldsAreBoundedByTheirWidth) {
    // A block rewritten in a file need not terminate its texts.
    std::memset(oxgHclInfo.szChipId, 'C', sizeof oxgHclInfo.szChipId);
    std::memset(oxgHclInfo.szConfigString, 'D', sizeof oxgHclInfo.szConfigString);
    const std::string text = Text(8192);
    EXPECT_EQ(text.substr(0, 12), "CCCCCCCCPLAY");
    const std::string tail = ", Description:\n" + std::string(256, 'D') + "\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(HclDataVersion, ShortBufferIsCutAndTerminated) {
    EXPECT_EQ(Text(10), "47K20PLAY");
    EXPECT_EQ(Text(1), "");
    std::strcpy(oxgHclInfo.szConfigString, "long enough to be cut");
    const std::string full = Text();
    EXPECT_EQ(Text(full.size() - 3), full.substr(0, full.size() - 4));
}

TEST(HclDataRevision, NumberAfterTheFirstColon) {
    const std::pair<const char*, unsigned> cases[] = {
        {" $Revision: 73 $", 73}, {"$Revision:5$", 5},
        {"no colon", 0},          {":", 0},
        {"a:12:34", 12},          {"x: 99999999999", 0xFFFFFFFFu},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(oxHclRevisionNumber(text), expected) << text;
    }
    EXPECT_EQ(oxHclRevisionNumber(nullptr), 0u);
}

} // namespace

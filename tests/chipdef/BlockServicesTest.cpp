// Services over a whole configuration block: its CRC (checked against an independent CRC-16),
// its byte swap for the other byte order, and the text formatters of the export generators.
#include "chipdef/ChipDef.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

// python3's binascii.crc_hqx over the block's bytes from offset 532, initial 0xFFFF.
uint32_t IndependentCrc(const oxHclData& block) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("q3v-block-" + std::to_string(::getpid()) + ".bin");
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&block), sizeof block);
    }
    const std::string command =
        "python3 -c \"import binascii,sys; b=open(sys.argv[1],'rb').read(); "
        "print(binascii.crc_hqx(b[532:], 0xFFFF))\" " +
        file.string();
    FILE* pipe = popen(command.c_str(), "r");
    unsigned value = 0x10000;
    if (pipe) {
        if (std::fscanf(pipe, "%u", &value) != 1) {
            value = 0x10000;
        }
        pclose(pipe);
    }
    std::filesystem::remove(file);
    return value;
}

TEST(BlockServices, CrcMatchesAnIndependentCrc16) {
    ChipDef chip;
    // The template's stored CRC is its own.
    EXPECT_EQ(ChipDef::ComputeBlockCrc(oxgHclInfo), oxgHclInfo.HclCRC);
    EXPECT_EQ(ChipDef::ComputeBlockCrc(oxgHclInfo), IndependentCrc(oxgHclInfo));
    ASSERT_TRUE(chip.SetFeatureValue("hdp", 320));
    ASSERT_TRUE(chip.SetFeatureValue("clki", 12000000));
    ASSERT_TRUE(chip.SetSequenceEntry("lcdseq", 0, oxHCL_LCD_COMMAND, 0x2C, "go"));
    const uint16_t crc = ChipDef::ComputeBlockCrc(chip.HclData());
    EXPECT_NE(crc, oxgHclInfo.HclCRC);
    EXPECT_EQ(crc, IndependentCrc(chip.HclData()));
}

TEST(BlockServices, SwapTwiceRestoresTheBlock) {
    ChipDef chip;
    ASSERT_TRUE(chip.SetSequenceEntry("lcdseq", 0, oxHCL_LCD_COMMAND, 0x123456, nullptr));
    oxHclData block = chip.HclData();
    ChipDef::SwapBlockByteOrder(block);
    EXPECT_NE(std::memcmp(&block, &chip.HclData(), sizeof block), 0);
    ChipDef::SwapBlockByteOrder(block);
    EXPECT_EQ(std::memcmp(&block, &chip.HclData(), sizeof block), 0);
}

TEST(BlockServices, SwappedTemplateHasItsFieldsInTheOtherOrder) {
    ChipDef chip;
    ASSERT_TRUE(chip.SetSequenceEntry("lcdseq", 0, oxHCL_LCD_COMMAND, 0x123456, nullptr));
    oxHclData block = chip.HclData();
    ChipDef::SwapBlockByteOrder(block);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&block);
    // Size 177Eh, endian detect 1234h, CLKI 016E3600h, flags 10h: most significant byte first.
    EXPECT_EQ(bytes[528], 0x17);
    EXPECT_EQ(bytes[529], 0x7E);
    EXPECT_EQ(oxHclLoadU16(block, 540), 0x3412u);
    EXPECT_EQ(bytes[544], 0x01);
    EXPECT_EQ(bytes[545], 0x6E);
    EXPECT_EQ(bytes[546], 0x36);
    EXPECT_EQ(bytes[547], 0x00);
    EXPECT_EQ(oxHclLoadU32(block, 558), 0x00080600u); // register offset 00060800h
    EXPECT_EQ(oxHclLoadU32(block, 566), 0x10000000u);
    // The first list entry {06h, 0100h} becomes {0600h, 0001h}.
    EXPECT_EQ(oxHclGetReg(block, 0).Index, 0x0600u);
    EXPECT_EQ(oxHclGetReg(block, 0).Value, 0x0001u);
    EXPECT_EQ(oxHclGetReg(block, 40).Index, 0xFF00u);
    // The LCD sequence, the texts and the configuration bytes stay.
    EXPECT_EQ(oxHclGetLcd1Reg(block, 0), 0x10123456u);
    EXPECT_STREQ(block.szIdString, "47K20 HAL EXE");
    EXPECT_EQ(block.USBConfig[0], 0x40);
}

TEST(BlockServices, HclFlagsByName) {
    ChipDef chip;
    EXPECT_STREQ(chip.FormatHclFlags(0), "0");
    EXPECT_STREQ(chip.FormatHclFlags(0x10), "oxfADAPTER_USB");
    EXPECT_STREQ(chip.FormatHclFlags(0x80000010), "oxfADAPTER_USB|0x80000000UL");
    EXPECT_STREQ(chip.FormatHclFlags(0x21007), "oxfUSING_FPGA|oxfNO_RESET|oxfDEBUG_REG_WRITES|"
                                               "oxfNO_INIT_GPIO|oxfHOST_AUTO");
    EXPECT_STREQ(chip.FormatHclFlags(0x28), "oxfADAPTER_GENERIC|0x00000008UL");
}

TEST(BlockServices, ModeFlagsByName) {
    ChipDef chip;
    EXPECT_STREQ(chip.FormatModeFlags(0), "0");
    EXPECT_STREQ(chip.FormatModeFlags(0x2), "0");
    EXPECT_STREQ(chip.FormatModeFlags(0x160001), "MF_LCD|MF_SWCURSOR|MF_SWEMUL|MF_HWBLT");
    EXPECT_STREQ(chip.FormatModeFlags(0x40000), "MF_HWBLT");
}

TEST(BlockServices, EscapedCStrings) {
    ChipDef chip;
    struct Case {
        std::string Bytes;
        uint32_t Nuls;
        const char* Text;
    };
    const Case cases[] = {
        {std::string("A\x01G\0Z", 5), 1, "A\\x01G\\x00"},
        {std::string("\x01"
                     "B\0",
                     3),
         1, "\\x01\" \"B\\x00"},
        {std::string("\x01z\0", 3), 1, "\\x01z\\x00"},
        {std::string("\t\"\\\r\n\a\b\v\f\0", 10), 1, "\\t\\\"\\\\\\r\\n\\a\\b\\v\\f\\x00"},
        {std::string("a\0g\0\0c", 6), 2, "a\\x00g\\x00\\x00"},
        {std::string("\xFF"
                     "7\0",
                     3),
         1, "\\xFF\" \"7\\x00"},
    };
    for (const Case& c : cases) {
        const char* text =
            chip.EscapeCString(reinterpret_cast<const uint8_t*>(c.Bytes.data()), c.Nuls);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, c.Text);
    }
    // 2000 escaped bytes need 8000 characters: more than one pool text.
    std::string many(2000, '\x01');
    many.push_back('\0');
    EXPECT_EQ(chip.EscapeCString(reinterpret_cast<const uint8_t*>(many.data()), 1), nullptr);
}

TEST(BlockServices, DropLastComma) {
    char list[] = "{1, 2, 3, }";
    EXPECT_TRUE(ChipDef::DropLastComma(list, list + std::strlen(list)));
    EXPECT_STREQ(list, "{1, 2, 3  }");
    EXPECT_TRUE(ChipDef::DropLastComma(list, list + 5));
    EXPECT_STREQ(list, "{1  2, 3  }"); // the comma before position 5
    char none[] = "{ }";
    EXPECT_FALSE(ChipDef::DropLastComma(none, none + 3));
    EXPECT_STREQ(none, "{ }");
}

} // namespace

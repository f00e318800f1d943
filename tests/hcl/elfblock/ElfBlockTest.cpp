// The configuration block lies once in the executable's file, and a block rewritten in the file
// is what the program sees when it starts.

#include "hcl/HclData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Image = std::vector<unsigned char>;

Image ReadFile(const std::string& i_Path) {
    std::ifstream in(i_Path, std::ios::binary);
    return Image(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint16_t U16(const Image& i_Image, std::size_t i_Offset) {
    return static_cast<std::uint16_t>(i_Image[i_Offset] | (i_Image[i_Offset + 1] << 8));
}

// Offsets of the identifying text anywhere in the image.
std::vector<std::size_t> FindText(const Image& i_Image, const std::string& i_Text) {
    std::vector<std::size_t> found;
    for (std::size_t o = 0; o + i_Text.size() <= i_Image.size(); ++o) {
        if (std::memcmp(i_Image.data() + o, i_Text.data(), i_Text.size()) == 0) {
            found.push_back(o);
        }
    }
    return found;
}

// Offsets of whole blocks: the identifying text with the endian mark and the size field.
std::vector<std::size_t> FindBlocks(const Image& i_Image) {
    std::vector<std::size_t> blocks;
    for (std::size_t o : FindText(i_Image, "47K20 HAL EXE")) {
        if (o + oxHCL_DATA_SIZE <= i_Image.size() && U16(i_Image, o + 540) == 0x1234 &&
            U16(i_Image, o + 528) == oxHCL_DATA_SIZE) {
            blocks.push_back(o);
        }
    }
    return blocks;
}

std::uint16_t FileCrc(const Image& i_Image, std::size_t i_Block) {
    return oxHclCrc16(std::span<const std::uint8_t>(i_Image.data() + i_Block + oxHCL_CRC_FIRST,
                                                    oxHCL_DATA_SIZE - oxHCL_CRC_FIRST));
}

void StoreCrc(Image& io_Image, std::size_t i_Block, std::uint16_t i_Crc) {
    io_Image[i_Block + 530] = static_cast<unsigned char>(i_Crc);
    io_Image[i_Block + 531] = static_cast<unsigned char>(i_Crc >> 8);
}

// Writes the image as an executable file, runs it and returns what it printed.
std::string RunImage(const Image& i_Image, const std::string& i_Name) {
    const std::string path = testing::TempDir() + "/" + i_Name + "-" + std::to_string(getpid());
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(i_Image.data()),
                  static_cast<std::streamsize>(i_Image.size()));
    }
    chmod(path.c_str(), 0700);
    std::string output;
    if (FILE* pipe = popen(path.c_str(), "r")) {
        char chunk[512];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
            output.append(chunk, n);
        }
        pclose(pipe);
    }
    unlink(path.c_str());
    return output;
}

bool Contains(const std::string& i_Text, const std::string& i_Part) {
    return i_Text.find(i_Part) != std::string::npos;
}

TEST(ElfBlock, ProgramHoldsOneBlockThatChecksOut) {
    const Image image = ReadFile(ELFBLOCK_PROGRAM);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(FindText(image, "47K20 HAL EXE").size(), 1u) << "no second copy of the template";
    const std::vector<std::size_t> blocks = FindBlocks(image);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(U16(image, blocks[0] + 530), FileCrc(image, blocks[0]));
    const std::string out = RunImage(image, "elfblock-same");
    EXPECT_TRUE(Contains(out, "47K20ELFBLOCK - block round trip - Build 1 ")) << out;
    EXPECT_TRUE(Contains(out, " (OK)\n")) << out;
    EXPECT_FALSE(Contains(out, "Description")) << out;
}

TEST(ElfBlock, RewrittenBlockIsWhatTheProgramSees) {
    Image image = ReadFile(ELFBLOCK_PROGRAM);
    const std::vector<std::size_t> blocks = FindBlocks(image);
    ASSERT_EQ(blocks.size(), 1u);
    const std::size_t block = blocks[0];

    const std::string description = "Rewritten in the file";
    std::memcpy(image.data() + block + 16, description.c_str(), description.size() + 1);
    image[block + 548] = 0x14; // bus type 5: Indirect 8-bit (covered by the CRC)
    StoreCrc(image, block, FileCrc(image, block));
    const std::string out = RunImage(image, "elfblock-patched");
    EXPECT_TRUE(Contains(out, ", Description:\nRewritten in the file\n")) << out;
    EXPECT_TRUE(Contains(out, "Bus Type            Indirect 8-bit\n")) << out;
    EXPECT_TRUE(Contains(out, " (OK)\n")) << out;

    StoreCrc(image, block, static_cast<std::uint16_t>(FileCrc(image, block) ^ 0x0100));
    EXPECT_TRUE(Contains(RunImage(image, "elfblock-badcrc"), " (error)\n"));
    StoreCrc(image, block, 0);
    EXPECT_TRUE(Contains(RunImage(image, "elfblock-nocrc"), "CRC 0000h (unconfigured)\n"));
}

TEST(ElfBlock, PlayHoldsExactlyOneBlock) {
    const std::string play = std::string(Q3V_BINARY_DIR) + "/play";
    if (access(play.c_str(), X_OK) != 0) {
        GTEST_SKIP() << play << " is not built";
    }
    const Image image = ReadFile(play);
    const std::vector<std::size_t> blocks = FindBlocks(image);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(U16(image, blocks[0] + 530), FileCrc(image, blocks[0]));
}

} // namespace

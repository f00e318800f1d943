// The configuration block lies once in the executable's file, and a block rewritten in the file
// is what the program sees when it starts.

#include "hcl/HclData.h"
#include "support/FileBytes.h"

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

Image ReadFile(const std::string& path) {
    const std::vector<std::uint8_t> bytes = q3vtest::ReadFileBytes(path);
    return Image(bytes.begin(), bytes.end());
}

std::uint16_t U16(const Image& image, std::size_t offset) {
    return static_cast<std::uint16_t>(image[offset] | (image[offset + 1] << 8));
}

// Offsets of the identifying text anywhere in the image.
std::vector<std::size_t> FindText(const Image& image, const std::string& text) {
    std::vector<std::size_t> found;
    for (std::size_t o = 0; o + text.size() <= image.size(); ++o) {
        if (std::memcmp(image.data() + o, text.data(), text.size()) == 0) {
            found.push_back(o);
        }
    }
    return found;
}

// Offsets of whole blocks: the identifying text with the endian mark and the size field.
std::vector<std::size_t> FindBlocks(const Image& image) {
    std::vector<std::size_t> blocks;
    for (std::size_t o : FindText(image, "47K20 HAL EXE")) {
        if (o + oxHCL_DATA_SIZE <= image.size() && U16(image, o + 540) == 0x1234 &&
            U16(image, o + 528) == oxHCL_DATA_SIZE) {
            blocks.push_back(o);
        }
    }
    return blocks;
}

std::uint16_t FileCrc(const Image& image, std::size_t block) {
    return oxHclCrc16(std::span<const std::uint8_t>(image.data() + block + oxHCL_CRC_FIRST,
                                                    oxHCL_DATA_SIZE - oxHCL_CRC_FIRST));
}

void StoreCrc(Image& image, std::size_t block, std::uint16_t crc) {
    image[block + 530] = static_cast<unsigned char>(crc);
    image[block + 531] = static_cast<unsigned char>(crc >> 8);
}

// Writes the image as an executable file, runs it and returns what it printed.
std::string RunImage(const Image& image, const std::string& name) {
    const std::string path = testing::TempDir() + "/" + name + "-" + std::to_string(getpid());
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()),
                  static_cast<std::streamsize>(image.size()));
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

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
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
    ASSERT_EQ(access(play.c_str(), X_OK), 0) << play << " is not built";
    const Image image = ReadFile(play);
    const std::vector<std::size_t> blocks = FindBlocks(image);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(U16(image, blocks[0] + 530), FileCrc(image, blocks[0]));
}

} // namespace

// The configuration block found, loaded and stored inside images built in memory.
#include "setup/core/SetupChipDef.h"

#include "setup/BlockImage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t kBlockOffset = 1000;
constexpr std::size_t kImageSize = kBlockOffset + oxHCL_DATA_SIZE + 300;

std::string LoadError(SetupChipDef& chip, const std::vector<std::uint8_t>& image) {
    const char* text = nullptr;
    if (chip.LoadFromImage(image.data(), static_cast<std::uint32_t>(image.size()), &text)) {
        return "loaded";
    }
    return text;
}

std::string StoreError(SetupChipDef& chip, std::vector<std::uint8_t>& image,
                       bool keepBaseAddress = false) {
    const char* text = nullptr;
    std::uint32_t size = static_cast<std::uint32_t>(image.size());
    const bool stored = chip.StoreToImage(image.data(), &size, keepBaseAddress, &text);
    EXPECT_EQ(size, image.size());
    return stored ? "stored" : text;
}

oxHclData WithChipId(oxHclData block, const char (&id)[9]) {
    std::memcpy(block.szChipId, id, sizeof block.szChipId);
    return block;
}

TEST(SetupChipDef, TheTemplateBlockCarriesItsComputedCrc) {
    EXPECT_EQ(TemplateBlock().HclCRC, 0x0057);
}

TEST(SetupChipDef, LoadsTheUnchangedTemplateBlock) {
    SetupChipDef chip;
    const auto image = ImageWithBlock(kImageSize, kBlockOffset, TemplateBlock());
    EXPECT_EQ(LoadError(chip, image), "loaded");
    EXPECT_EQ(std::memcmp(&chip.HclData(), &oxgHclInfo, sizeof(oxHclData)), 0);
}

struct RefusedImage {
    const char* Name;
    std::vector<std::uint8_t> Image;
    const char* Error;
};

std::vector<RefusedImage> RefusedImages() {
    const oxHclData good = TemplateBlock();
    oxHclData unconfigured = good;
    unconfigured.HclCRC = 0;
    oxHclData corrupted = good;
    corrupted.HclCRC ^= 1;
    oxHclData badEndian = good;
    badEndian.DetectEndian = 0x1235;
    oxHclData badSize = good;
    badSize.Size = 6000;

    std::vector<RefusedImage> cases;
    cases.push_back({"empty", {}, kTextNoConfigData});
    cases.push_back({"13 bytes", std::vector<std::uint8_t>(13, 'x'), kTextNoConfigData});
    cases.push_back(
        {"only the block", ImageWithBlock(oxHCL_DATA_SIZE, 0, good), kTextNoConfigData});
    cases.push_back({"block ends at the last byte",
                     ImageWithBlock(kBlockOffset + oxHCL_DATA_SIZE, kBlockOffset, good),
                     kTextNoConfigData});
    cases.push_back({"id text without endian field",
                     ImageWithBlock(kImageSize, kBlockOffset, badEndian), kTextNoConfigData});
    cases.push_back({"never configured", ImageWithBlock(kImageSize, kBlockOffset, unconfigured),
                     kTextNotConfigured});
    cases.push_back(
        {"corrupted", ImageWithBlock(kImageSize, kBlockOffset, corrupted), kTextCorrupted});
    cases.push_back(
        {"wrong size", ImageWithBlock(kImageSize, kBlockOffset, badSize), kTextSizeIncorrect});
    cases.push_back({"another chip",
                     ImageWithBlock(kImageSize, kBlockOffset,
                                    StoredBlock(WithChipId(good, "47390\0\0\0"), false)),
                     kTextOtherChip});
    // A chip ID that fills its field has no NUL: it is compared within its 8 bytes.
    cases.push_back(
        {"chip id without NUL",
         ImageWithBlock(kImageSize, kBlockOffset, StoredBlock(WithChipId(good, "47K20XYZ"), false)),
         kTextOtherChip});
    auto twoBlocks = ImageWithBlock(kImageSize + oxHCL_DATA_SIZE, kBlockOffset, good);
    PutBlock(twoBlocks, kBlockOffset + oxHCL_DATA_SIZE + 10, good);
    cases.push_back({"two blocks", twoBlocks, kTextMultipleBlocks});
    // A second block stops the search even when the first one failed its CRC.
    auto secondAfterBad = ImageWithBlock(kImageSize + oxHCL_DATA_SIZE, kBlockOffset, corrupted);
    PutBlock(secondAfterBad, kBlockOffset + oxHCL_DATA_SIZE + 10, good);
    cases.push_back({"good block after a corrupted one", secondAfterBad, kTextMultipleBlocks});
    return cases;
}

TEST(SetupChipDef, RefusedImagesLeaveTheObjectUnchangedAndNameTheReason) {
    for (const RefusedImage& c : RefusedImages()) {
        SCOPED_TRACE(c.Name);
        SetupChipDef chip;
        chip.SetFeatureValue("hdp", 320);
        const oxHclData before = chip.HclData();
        // An exact-size copy, so that a read past the image's end is caught by the sanitizer.
        const std::vector<std::uint8_t> image(c.Image.begin(), c.Image.end());
        EXPECT_EQ(LoadError(chip, image), c.Error);
        EXPECT_EQ(std::memcmp(&chip.HclData(), &before, sizeof before), 0);
    }
}

TEST(SetupChipDef, RefusedStoresLeaveTheImageUnchanged) {
    for (const RefusedImage& c : RefusedImages()) {
        const std::string error = c.Error;
        if (error == kTextNotConfigured || error == kTextCorrupted) {
            continue; // a store does not check the CRC
        }
        SCOPED_TRACE(c.Name);
        SetupChipDef chip;
        std::vector<std::uint8_t> image(c.Image.begin(), c.Image.end());
        EXPECT_EQ(StoreError(chip, image), c.Error);
        EXPECT_EQ(image, c.Image);
    }
}

TEST(SetupChipDef, AWrongSizeBeforeAGoodBlockDoesNotPreventIt) {
    oxHclData badSize = TemplateBlock();
    badSize.Size = 6000;
    auto image = ImageWithBlock(kImageSize + oxHCL_DATA_SIZE, 10, badSize);
    PutBlock(image, 10 + oxHCL_DATA_SIZE + 10, TemplateBlock());
    SetupChipDef chip;
    EXPECT_EQ(LoadError(chip, image), "loaded");
}

TEST(SetupChipDef, AnUnconfiguredBlockCanBeStoredAndThenLoads) {
    oxHclData unconfigured = TemplateBlock();
    unconfigured.HclCRC = 0;
    auto image = ImageWithBlock(kImageSize, kBlockOffset, unconfigured);
    SetupChipDef chip;
    EXPECT_EQ(StoreError(chip, image), "stored");
    EXPECT_EQ(LoadError(chip, image), "loaded");
}

TEST(SetupChipDef, StoreWritesTheObjectsBlockWithANewCrcAndKeepsTheRest) {
    const auto original = ImageWithBlock(kImageSize, kBlockOffset, TemplateBlock());
    auto image = original;
    SetupChipDef chip;
    ASSERT_TRUE(chip.SetFeatureValue("hdp", 320));
    EXPECT_EQ(StoreError(chip, image), "stored");
    const oxHclData stored = BlockAt(image, kBlockOffset);
    EXPECT_EQ(stored.HclCRC, oxHclCalcCrc(stored));
    EXPECT_NE(stored.HclCRC, TemplateBlock().HclCRC);
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + kBlockOffset, original.begin()));
    EXPECT_TRUE(std::equal(image.begin() + kBlockOffset + oxHCL_DATA_SIZE, image.end(),
                           original.begin() + kBlockOffset + oxHCL_DATA_SIZE));
    SetupChipDef reader;
    EXPECT_EQ(LoadError(reader, image), "loaded");
    EXPECT_EQ(reader.GetFeatureValue("hdp"), 320u);
}

TEST(SetupChipDef, KeepBaseAddressLeavesTheFilesOwnAddress) {
    oxHclData inFile = TemplateBlock();
    oxHclSetBaseAddress(inFile, 0x12345678);
    const oxHclData fileBlock = StoredBlock(inFile, false);
    SetupChipDef chip; // its own base address is the template's 0
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        auto image = ImageWithBlock(kImageSize, kBlockOffset, fileBlock);
        EXPECT_EQ(StoreError(chip, image, keep), "stored");
        const oxHclData stored = BlockAt(image, kBlockOffset);
        EXPECT_EQ(oxHclGetBaseAddress(stored), keep ? 0x12345678u : 0u);
        EXPECT_EQ(stored.HclCRC, oxHclCalcCrc(stored));
    }
}

TEST(SetupChipDef, ABigEndianBlockLoadsInMachineOrderAndIsStoredBackBigEndian) {
    oxHclData machine = TemplateBlock();
    oxHclSetBaseAddress(machine, 0x12345678);
    oxHclSetMemoryOffset(machine, 0x00ABCDEF);
    const oxHclData bigEndian = StoredBlock(machine, true);
    auto image = ImageWithBlock(kImageSize, kBlockOffset, bigEndian);
    // As a big-endian writer puts them: the byte-order mark, the size and the two addresses.
    const auto bytesAt = [&image](std::size_t offset, std::size_t count) {
        return std::vector<std::uint8_t>(image.begin() + static_cast<long>(kBlockOffset + offset),
                                         image.begin() +
                                             static_cast<long>(kBlockOffset + offset + count));
    };
    EXPECT_EQ(bytesAt(540, 2), (std::vector<std::uint8_t>{0x12, 0x34}));
    EXPECT_EQ(bytesAt(528, 2), (std::vector<std::uint8_t>{0x17, 0x7E}));
    EXPECT_EQ(bytesAt(554, 4), (std::vector<std::uint8_t>{0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(bytesAt(562, 4), (std::vector<std::uint8_t>{0x00, 0xAB, 0xCD, 0xEF}));

    SetupChipDef chip;
    ASSERT_EQ(LoadError(chip, image), "loaded");
    EXPECT_EQ(chip.HclData().DetectEndian, oxHCL_DETECT_ENDIAN);
    EXPECT_EQ(chip.HclData().Size, oxHCL_DATA_SIZE);
    EXPECT_EQ(oxHclGetClkI(chip.HclData()), oxHclGetClkI(TemplateBlock()));
    EXPECT_EQ(oxHclGetRegisterOffset(chip.HclData()), 0x00060800u);
    EXPECT_EQ(oxHclGetBaseAddress(chip.HclData()), 0x12345678u);
    EXPECT_EQ(oxHclGetMemoryOffset(chip.HclData()), 0x00ABCDEFu);
    EXPECT_EQ(oxHclGetFlags(chip.HclData()), oxHclGetFlags(TemplateBlock()));
    EXPECT_EQ(std::memcmp(chip.HclData().Regs, machine.Regs, sizeof machine.Regs), 0);
    EXPECT_EQ(chip.GetFeatureValue("hdp"), 480u);

    ASSERT_TRUE(chip.SetFeatureValue("hdp", 320));
    const oxHclData expected = StoredBlock(chip.HclData(), true);
    EXPECT_EQ(StoreError(chip, image), "stored");
    const oxHclData stored = BlockAt(image, kBlockOffset);
    EXPECT_EQ(std::memcmp(&stored, &expected, sizeof stored), 0);
    EXPECT_EQ(bytesAt(554, 4), (std::vector<std::uint8_t>{0x12, 0x34, 0x56, 0x78}));

    SetupChipDef reader;
    EXPECT_EQ(LoadError(reader, image), "loaded");
    EXPECT_EQ(reader.GetFeatureValue("hdp"), 320u);
    EXPECT_EQ(oxHclGetMemoryOffset(reader.HclData()), 0x00ABCDEFu);
}

} // namespace

#pragma once
// SetupChipDef: the chip definition as the configuration utility holds it. Beside everything
// ChipDef offers, it finds the configuration block inside a configurable file's image, checks
// it and loads it into the object (LoadFromImage), and writes the object's block back into the
// image in the image's own byte order with a new CRC (StoreToImage). The image is the whole
// file in memory; opening and writing the file belong to ConfigurableFile.
//
// A block is found by its ID text (g_HclIdText, "47K20 HAL EXE"), an endian field of 0x1234
// (stored little-endian) or 0x3412 (stored big-endian) and a size field of 6014. Every call
// searches the whole image anew; a second block makes the image ambiguous and is refused.
//
//     SetupChipDef chip;
//     const char* why = nullptr;
//     if (!chip.LoadFromImage(bytes.data(), size, &why)) { report(why); }
//     chip.SetFeatureValue("hdp", 320);
//     chip.StoreToImage(bytes.data(), &size, false, &why);
#include "chipdef/ChipDef.h"

#include <cstdint>

// The texts a search, load or store hands back.
inline constexpr const char kTextNoConfigData[] =
    "The file does not contain any configuration data.";
inline constexpr const char kTextSizeIncorrect[] =
    "The configuration data structure size is incorrect.";
inline constexpr const char kTextMultipleBlocks[] =
    "The file contains multiple configuration data structures.";
inline constexpr const char kTextOtherChip[] =
    "The file contains configuration data for another chip.";
inline constexpr const char kTextNotConfigured[] =
    "The file has not yet been configured by this application.";
inline constexpr const char kTextCorrupted[] = "The file contains corrupted configuration data.";

// The endian field of a block stored in the other byte order, read in the machine's order.
constexpr std::uint16_t kSwappedEndian = 0x3412;

class SetupChipDef : public ChipDef {
public:
    // The search's outcome.
    static constexpr int kBlockNone = 0;     // nothing that looks like a block
    static constexpr int kBlockFound = 1;    // exactly one block, accepted
    static constexpr int kBlockRefused = -1; // a block was found but refused (see the text)

    // Finds, checks and loads the block; true only when exactly one good block was found. A
    // failed load leaves the object unchanged. errorText (may be nullptr) gets the last message.
    bool LoadFromImage(const std::uint8_t* image, std::uint32_t imageSize, const char** errorText);
    // Writes the object's block over the image's block, in the image's byte order and with a
    // new CRC. With keepBaseAddress the image keeps its own physical base address. The size is
    // handed back unchanged. A failed store leaves the image unchanged.
    bool StoreToImage(std::uint8_t* image, std::uint32_t* imageSize, bool keepBaseAddress,
                      const char** errorText);

    // The search: dst (may be nullptr) gets a copy of the block found, offset (may be nullptr)
    // its place in the image.
    int DecodeBlockFromImage(oxHclData* dst, const std::uint8_t* image, std::uint32_t imageSize,
                             bool checkCrc, const char** errorText, std::uint32_t* offset);
    // Finds the block again (no CRC check) and copies the given block over it.
    int EncodeBlockToImage(const oxHclData& block, std::uint8_t* image, std::uint32_t* imageSize,
                           const char** errorText);

private:
    // One row of the codec table: a decoder and its encoder.
    struct BlockCodec {
        int (SetupChipDef::*Decode)(oxHclData*, const std::uint8_t*, std::uint32_t, bool,
                                    const char**, std::uint32_t*);
        int (SetupChipDef::*Encode)(const oxHclData&, std::uint8_t*, std::uint32_t*, const char**);
    };
    static const BlockCodec kCodecs[];
    // Tries the decoders in order; the row that answered is handed back.
    int DecodeWithTable(oxHclData* dst, const std::uint8_t* image, std::uint32_t imageSize,
                        bool checkCrc, const char** errorText, const BlockCodec** row);
};

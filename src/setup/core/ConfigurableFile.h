#pragma once
// Opening and saving a configurable file: a program or firmware image that holds the
// configuration block. Load reads the whole file and hands it to g_ChipDef, which finds and
// loads the block. Save reads the source, has g_ChipDef store its block into the bytes, and
// writes them to a new file in the destination's folder that then replaces the destination by
// a rename: a running program can be configured, and a failure at any step leaves the
// destination as it was. Failures are shown in a warning box with the reason.
//
//     if (LoadConfigurableFile("build/dev/play")) { g_ChipDef.SetFeatureValue("hdp", 320); }
//     SaveConfigurableFile("build/dev/play", nullptr, false);   // in place
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char kTextZeroLength[] = "The specified file has a length of zero.";
inline constexpr const char kTextLoadDefault[] = "The file does not contain configuration data.";

// Reads a regular file whole into bytes, with room bytes of zeros after its end. False with the
// system's error text when it cannot be read (a file of 4 GiB or more is too large).
bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes, std::size_t room,
                   std::string& error);

// True when the block was loaded into g_ChipDef; else the warning box
// "File \"...\" could not be opened because:\n\n..." and g_ChipDef is unchanged.
bool LoadConfigurableFile(const char* path);

// Stores g_ChipDef's block into destination (nullptr = the source itself, saved in place) from
// the source's bytes. True when the block was stored; else the warning box
// "File \"...\" could not be saved because:\n\n..." and the destination is as it was.
bool SaveConfigurableFile(const char* source, const char* destination,
                          bool preservePhysicalAddresses);

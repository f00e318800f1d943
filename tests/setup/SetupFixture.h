#pragma once
// A temporary folder for Setup's file tests, the service recorder that answers file choosers
// from a script and keeps every message box, and helpers that write configurable files.
#include "setup/BlockImage.h"
#include "setup/ServiceRecorder.h"
#include "setup/core/FileIo.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "support/FileBytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using q3vtest::ReadFileBytes;

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// The block's place in the files the fixture writes.
constexpr std::size_t kFileBlockOffset = 4096;

// A configurable file's bytes: filler, the given block, more filler.
inline std::vector<std::uint8_t> ConfigurableBytes(const oxHclData& block = TemplateBlock()) {
    return ImageWithBlock(kFileBlockOffset + oxHCL_DATA_SIZE + 777, kFileBlockOffset, block);
}

class SetupFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/q3v-setup-XXXXXX";
        Folder = ::mkdtemp(pattern);
        Recorder.Install();
        SetFileIo(PosixFileIo());
        ResetSetupState();
        std::memcpy(&Saved, &g_ChipDef.HclData(), sizeof Saved);
    }
    void TearDown() override {
        SetFileIo(PosixFileIo());
        SetSetupServices({});
        ResetSetupState();
        // Back to the block the test found, through the image path itself.
        auto image = ImageWithBlock(oxHCL_DATA_SIZE + 10, 0, StoredBlock(Saved, false));
        g_ChipDef.LoadFromImage(image.data(), static_cast<std::uint32_t>(image.size()), nullptr);
        std::filesystem::permissions(Folder, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(Folder);
    }
    std::string PathOf(const std::string& name) const { return (Folder / name).string(); }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        WriteBytes(Folder / name, bytes);
        return PathOf(name);
    }
    // Files in the folder other than the named ones (temporary files left behind).
    std::vector<std::string> Leftovers(const std::vector<std::string>& known) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder)) {
            const std::string name = entry.path().filename().string();
            if (std::find(known.begin(), known.end(), name) == known.end()) {
                names.push_back(name);
            }
        }
        return names;
    }

    std::filesystem::path Folder;
    ServiceRecorder Recorder;
    oxHclData Saved{};
};

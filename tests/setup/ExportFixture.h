#pragma once
// Setup's file tests of File > Export: the export options and the CR LF choice back at their
// start values after each test, a row's export as its generator writes it (LF line ends), and
// a written file read back as text.
#include "setup/SetupFixture.h"
#include "setup/core/ExportFormats.h"

#include <functional>
#include <string>
#include <vector>

class ExportFileTest : public SetupFileTest {
protected:
    void TearDown() override {
        g_ExportOptions = ExportOptions{38, 0, 0x140001, 0x1};
        g_ExportCrLf = true;
        SetupFileTest::TearDown();
    }
    static std::string Generated(uint32_t row) {
        std::vector<char> buffer(kExportBufferSize);
        const uint32_t length = std::invoke(g_ExportFormats[row].Generator, g_ChipDef,
                                            buffer.data(), kExportBufferSize, &g_ExportOptions);
        return std::string(buffer.data(), length);
    }
    static std::string ReadText(const std::string& path) {
        const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }
};

#include "setup/core/ExportFormats.h"
#include "setup/ExportFixture.h"

#include <sys/stat.h>

namespace {

using ExportFormatsTest = ExportFileTest;

TEST_F(ExportFormatsTest, SevenRowsWithTheirFileNames) {
    const std::string product = g_ChipDef.GetProductText(nullptr, 0x81);
    const std::string names[kExportFormatCount] = {
        "initdata.c",     "registers.h",    "mode0.h",        product + ".h",
        product + ".csv", product + ".txt", product + ".ini",
    };
    for (uint32_t row = 0; row < kExportFormatCount; ++row) {
        EXPECT_EQ(GetExportFileName(row), names[row]);
        const std::string text = GetExportRowText(row);
        EXPECT_EQ(text.substr(text.size() - names[row].size() - 2), "[" + names[row] + "]");
    }
    EXPECT_EQ(GetExportRowText(0),
              "C Source File for " + product + " API Support\t\t\t[initdata.c]");
    g_ExportOptions.ModeNumber = 3;
    EXPECT_EQ(GetExportFileName(2), "mode3.h");
}

TEST_F(ExportFormatsTest, LineEndsAsChosenByteForByte) {
    EXPECT_EQ(ToCrLf("a\nb\r\nc\n\n"), "a\r\nb\r\nc\r\n\r\n");
    for (uint32_t row = 0; row < kExportFormatCount; ++row) {
        const std::string path = (Folder / GetExportFileName(row)).string();
        ASSERT_TRUE(ExportToFile(row, path, false));
        const std::string plain = Generated(row);
        EXPECT_EQ(ReadText(path), plain) << row;
        EXPECT_EQ(plain.find('\r'), std::string::npos) << row;
        ASSERT_TRUE(ExportToFile(row, path, true));
        EXPECT_EQ(ReadText(path), ToCrLf(plain)) << row;
    }
    EXPECT_TRUE(Recorder.Messages.empty());
}

TEST_F(ExportFormatsTest, APreviewGoesToAPrivateFolderAndTheViewer) {
    ASSERT_TRUE(ExportToFile(4, "", false));
    const std::string folder = ExportPreviewFolder();
    ASSERT_FALSE(folder.empty());
    struct stat status {};
    ASSERT_EQ(::stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_EQ(status.st_uid, ::getuid());
    const std::string file = folder + "/" + GetExportFileName(4);
    ASSERT_EQ(Recorder.Launched.size(), 1u);
    EXPECT_EQ(Recorder.Launched[0], (std::vector<std::string>{"xdg-open", file}));
    EXPECT_EQ(ReadText(file), ToCrLf(Generated(4))); // a preview always has CR LF

    SetupServices services = GetSetupServices();
    services.Launch = [](const std::vector<std::string>&) { return false; };
    SetSetupServices(services);
    EXPECT_FALSE(ExportToFile(4, "", false));
    EXPECT_EQ(Recorder.LastMessage(), "Failed to preview file " + file);
}

TEST_F(ExportFormatsTest, AFileThatCannotBeCreatedIsReported) {
    const std::string path = (Folder / "missing" / "x.c").string();
    EXPECT_FALSE(ExportToFile(0, path, true));
    EXPECT_EQ(Recorder.LastMessage(), "Failed to create file " + path);
}

} // namespace

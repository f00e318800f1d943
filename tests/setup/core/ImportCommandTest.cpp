#include "setup/core/ImportCommand.h"
#include "setup/SetupFixture.h"
#include "setup/core/RegistersPage.h"

#include <cstring>

namespace {

class ImportCommandTest : public SetupFileTest {
protected:
    void SetUp() override {
        SetupFileTest::SetUp();
        SetImportOverwriteRegisters(false);
    }
    void TearDown() override {
        SetImportOverwriteRegisters(false);
        SetupFileTest::TearDown();
    }
    std::string WriteIni(const std::string& name, const std::string& text) {
        const std::string path = (Folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

TEST_F(ImportCommandTest, AsksForAnIniFileAndShowsTheReport) {
    Recorder.Answers.push_back(WriteIni("a.ini", "[47K20]\nClkI=00B71B00\nFoo=1\n"));
    ASSERT_TRUE(OnImport());
    ASSERT_EQ(Recorder.Requests.size(), 1u);
    const FileRequest& request = Recorder.Requests[0];
    EXPECT_EQ(request.Title, "Import");
    ASSERT_EQ(request.Filters.size(), 1u);
    EXPECT_EQ(request.Filters[0].Label, "Initialization Files (*.ini)");
    EXPECT_EQ(request.DefaultExtension, "ini");
    EXPECT_TRUE(request.MustExist);
    EXPECT_EQ(request.AcceptText, "&Import");
    EXPECT_EQ(request.CheckBoxText, "&Overwrite Registers from Imported Data");
    EXPECT_EQ(oxHclGetClkI(g_ChipDef.HclData()), 0x00B71B00u);
    ASSERT_EQ(Recorder.Messages.size(), 1u);
    EXPECT_EQ(Recorder.Messages[0].Kind, MessageKind::Information);
    EXPECT_NE(Recorder.LastMessage().find("ignored (cannot import):\n\tFoo.\n"), std::string::npos);
}

TEST_F(ImportCommandTest, ARefusedFileIsAWarningAndCancelDoesNothing) {
    Recorder.Answers.push_back(WriteIni("b.ini", "[47390]\nClkI=1\n"));
    const oxHclData before = g_ChipDef.HclData();
    EXPECT_FALSE(OnImport());
    ASSERT_EQ(Recorder.Messages.size(), 1u);
    EXPECT_EQ(Recorder.Messages[0].Kind, MessageKind::Warning);
    EXPECT_NE(Recorder.LastMessage().find("missing [47K20] section!"), std::string::npos);
    EXPECT_FALSE(OnImport()); // cancelled
    EXPECT_EQ(Recorder.Messages.size(), 1u);
    EXPECT_EQ(std::memcmp(&before, &g_ChipDef.HclData(), sizeof before), 0);
}

TEST_F(ImportCommandTest, TheCheckBoxChoosesReplaceAndIsKeptForTheRun) {
    // A list of one register: merged it only sets a value, replaced it becomes the list.
    const std::string path = WriteIni("c.ini", "[47K20]\nClkI=1\n[Regs]\n0=0024,0050\n");
    SetupServices services = GetSetupServices();
    services.ChooseFile = [&path](const FileRequest& request) -> std::optional<std::string> {
        EXPECT_NE(request.CheckBox, nullptr);
        if (request.CheckBox) {
            *request.CheckBox = true;
        }
        return path;
    };
    SetSetupServices(services);
    EXPECT_FALSE(GetImportOverwriteRegisters());
    ASSERT_TRUE(OnImport());
    EXPECT_TRUE(GetImportOverwriteRegisters());
    EXPECT_EQ(g_ChipDef.GetRegListCount(), 1u);
    EXPECT_EQ(oxHclGetReg(g_ChipDef.HclData(), 0).Index, 0x24);
    EXPECT_EQ(oxHclGetReg(g_ChipDef.HclData(), 1).Index, oxHCL_REG_END);
}

// Marks are cleared only when the import really put another list in place.
TEST_F(ImportCommandTest, MarksGoOnlyWithTheListTheyBelongTo) {
    SetImportOverwriteRegisters(true);
    SetupServices services = GetSetupServices();
    std::string path;
    services.ChooseFile = [&path](const FileRequest& request) -> std::optional<std::string> {
        if (request.CheckBox) {
            *request.CheckBox = true;
        }
        return path;
    };
    SetSetupServices(services);
    g_RegistersPage.ClearMarks();
    g_RegistersPage.Fill(g_ChipDef);
    const uint32_t value = g_ChipDef.GetRegListValue(0);
    ASSERT_TRUE(g_RegistersPage.ApplyValue(g_ChipDef, 0, value ^ 1));
    ASSERT_EQ(g_RegistersPage.State(0).Mark, RegisterMark::Manual);

    path = WriteIni("no-regs.ini", "[47K20]\nClkI=1\n");
    ASSERT_TRUE(OnImport());
    EXPECT_EQ(g_RegistersPage.State(0).Mark, RegisterMark::Manual);

    path = WriteIni("regs.ini", "[47K20]\nClkI=1\n[Regs]\n0=0024,0050\n");
    ASSERT_TRUE(OnImport());
    EXPECT_EQ(g_RegistersPage.State(0).Mark, RegisterMark::None);
    g_RegistersPage.ClearMarks();
}

} // namespace

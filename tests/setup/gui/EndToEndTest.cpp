// The built play configured by Setup: opened, changed, saved in place, and run.
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/gui/GuiTestSupport.h"
#include "setup/gui/MainWindow.h"
#include "setup/gui/MenuIds.h"
#include "setup/gui/PlayCopy.h"
#include "support/PlayProcess.h"

#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadAllBytes(const std::string& path) {
    return q3vtest::ReadFileBytes(path);
}

// Offsets where two files of one size differ.
std::vector<std::size_t> Differences(const std::vector<std::uint8_t>& a,
                                     const std::vector<std::uint8_t>& b) {
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) {
            offsets.push_back(i);
        }
    }
    return offsets;
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        StartWindowTest(m_Recorder);
        QVERIFY(m_Play.Make());
    }
    void cleanup() {
        EndWindowTest();
        const std::string play = q3vtest::PlayPath();
        g_ChipDef.SetFeatureValue("hdp", 0); // leave no change behind for later tests
        if (ReadAllBytes(play).size() > 0) {
            // Back to the template block of the built program.
            LoadProgramBlock(play);
        }
    }

    void ASavedPlayStartsWithItsNewBlock() {
        const auto original = ReadAllBytes(m_Copy);
        MainWindow window;
        m_Recorder.Answers = {m_Copy};
        window.Action(kIdOpen)->trigger();
        QCOMPARE(g_OpenPath, m_Copy);
        QVERIFY(g_ChipDef.SetFeatureValue("hdp", 320));
        window.Action(kIdSave)->trigger();
        QCOMPARE(m_Recorder.LastMessage(), "Configuration data saved in file \"" + m_Copy + "\".");

        const auto saved = ReadAllBytes(m_Copy);
        QCOMPARE(saved.size(), original.size());
        const std::vector<std::size_t> changed = Differences(original, saved);
        QVERIFY(!changed.empty());
        QVERIFY(changed.size() <= 4); // the list value's bytes and the CRC's
        const std::size_t block = FindBlock(saved);
        for (std::size_t offset : changed) {
            QVERIFY(offset == block + 530 || offset == block + 531 || offset >= block + 3642);
        }
        QVERIFY((fs::status(m_Copy).permissions() & fs::perms::owner_exec) != fs::perms::none);

        const q3vtest::PlayRun run = q3vtest::RunProgramOnBoard(m_Copy, m_Board, "", "", "");
        QVERIFY2(run.Output.find("Configuration CRC ") != std::string::npos, run.Output.c_str());
        QVERIFY2(run.Output.find("h (OK)\n") != std::string::npos, run.Output.c_str());
        QVERIFY2(run.Output.find("0057h") == std::string::npos, run.Output.c_str());
        // The saved copy works with its new value: hdp is read from its own block.
        const q3vtest::PlayRun calc =
            q3vtest::RunProgramOnBoard(m_Copy, m_Board, "/nocard calc hdp");
        QVERIFY2(calc.Output.find("140h (320t)") != std::string::npos, calc.Output.c_str());

        // Setup reads the value back from the file.
        QVERIFY(g_ChipDef.SetFeatureValue("hdp", 0));
        m_Recorder.Answers = {m_Copy};
        window.Action(kIdOpen)->trigger();
        QCOMPARE(g_ChipDef.GetFeatureValue("hdp"), 320u);
    }

    void APlayThatIsRunningCanBeSaved() {
        QVERIFY(LoadProgramBlock(m_Copy));
        g_OpenPath = m_Copy;
        const std::string fifo = m_Play.Folder.filePath("input").toStdString();
        QVERIFY(::mkfifo(fifo.c_str(), 0600) == 0);
        const std::string line = "env Q3VSIM_DIR=" + q3vtest::ShellWord(m_Board) + " " +
                                 q3vtest::ShellWord(m_Copy) + " <" + q3vtest::ShellWord(fifo) +
                                 " >/dev/null 2>&1";
        FILE* running = ::popen(line.c_str(), "r");
        QVERIFY(running != nullptr);
        // The program is waiting at its prompt for the pipe's input.
        FILE* input = std::fopen(fifo.c_str(), "w");
        QVERIFY(input != nullptr);
        QTRY_VERIFY(IsRunning(m_Copy));
        QVERIFY(g_ChipDef.SetFeatureValue("hdp", 320));
        MainWindow window;
        window.Action(kIdSave)->trigger();
        QCOMPARE(m_Recorder.LastMessage(), "Configuration data saved in file \"" + m_Copy + "\".");
        std::fputs("q\n", input);
        std::fclose(input);
        ::pclose(running);
    }

    void AReadOnlyCopyIsRefusedAndUnchanged() {
        QVERIFY(LoadProgramBlock(m_Copy));
        fs::permissions(m_Copy, fs::perms::owner_read | fs::perms::owner_exec);
        const auto original = ReadAllBytes(m_Copy);
        g_OpenPath = m_Copy;
        MainWindow window;
        window.Action(kIdSave)->trigger();
        QCOMPARE(m_Recorder.LastMessage(),
                 "File \"" + m_Copy + "\" could not be saved because:\n\nPermission denied");
        QVERIFY(ReadAllBytes(m_Copy) == original);
    }

    void TwoCopiesInOneFileAreRefused() {
        const std::string doubled = m_Play.Folder.filePath("double").toStdString();
        {
            const auto bytes = ReadAllBytes(m_Copy);
            std::ofstream out(doubled, std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        }
        const std::string multiple = "The file contains multiple configuration data structures.";
        MainWindow window;
        m_Recorder.Answers = {doubled};
        window.Action(kIdOpen)->trigger();
        QCOMPARE(m_Recorder.LastMessage(),
                 "File \"" + doubled + "\" could not be opened because:\n\n" + multiple);
        g_OpenPath = doubled;
        window.UpdateMenuState();
        window.Action(kIdSave)->trigger();
        QCOMPARE(m_Recorder.LastMessage(),
                 "File \"" + doubled + "\" could not be saved because:\n\n" + multiple);
    }

private:
    // Whether a process runs the program file at path.
    static bool IsRunning(const std::string& path) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator("/proc", error)) {
            std::error_code readError;
            const fs::path exe = fs::read_symlink(entry.path() / "exe", readError);
            if (!readError && exe == fs::canonical(path, readError)) {
                return true;
            }
        }
        return false;
    }
    static std::size_t FindBlock(const std::vector<std::uint8_t>& bytes) {
        const std::string id = "47K20 HAL EXE";
        const auto at = std::search(bytes.begin(), bytes.end(), id.begin(), id.end());
        return static_cast<std::size_t>(at - bytes.begin());
    }

    ServiceRecorder m_Recorder;
    PlayCopy m_Play;
    const std::string& m_Copy = m_Play.Program;
    const std::string& m_Board = m_Play.Board;
};

QObject* MakeEndToEndTest() {
    return new EndToEndTest;
}

#include "EndToEndTest.moc"

// The dialogs and message boxes: Configure Multiple, Command Line, Save and Save As through the
// menu, Save and Run's launch, and screenshots of each.
#include "setup/BlockImage.h"
#include "setup/core/SetupServices.h"
#include "setup/gui/CommandLineDialog.h"
#include "setup/gui/ConfigureMultipleDialog.h"
#include "setup/gui/GuiServices.h"
#include "setup/gui/GuiTestSupport.h"
#include "setup/gui/MainWindow.h"
#include "setup/gui/MenuIds.h"

#include "setup/core/FileTypes.h"

#include <QAbstractProxyModel>
#include <QCheckBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <fstream>

namespace {

std::string WriteConfigurable(const QTemporaryDir& folder, const char* name) {
    const auto bytes = ImageWithBlock(8192 + oxHCL_DATA_SIZE, 4096, TemplateBlock());
    const std::string path = folder.filePath(name).toStdString();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_Name(name) {
        if (const char* old = std::getenv(name)) {
            m_Old = old;
            m_HadOld = true;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { m_HadOld ? setenv(m_Name, m_Old.c_str(), 1) : unsetenv(m_Name); }

private:
    const char* m_Name;
    std::string m_Old;
    bool m_HadOld = false;
};

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { StartWindowTest(m_Recorder); }
    void cleanup() { EndWindowTest(); }

    void ConfigureMultipleSavesTheSelectedFilesAndSumsUp() {
        QTemporaryDir folder;
        const std::string a = WriteConfigurable(folder, "a.exe");
        const std::string b = WriteConfigurable(folder, "b.s19");
        ConfigureMultipleDialog dialog(nullptr, {a, b});
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Configure Multiple"));
        QCOMPARE(dialog.SelectedList()->count(), 2);
        QVERIFY(dialog.findChild<QRadioButton*>("2208")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox*>("2211")->isChecked());
        Screenshot(dialog, "configure-multiple");
        dialog.findChild<QPushButton*>("2209")->click();
        QCOMPARE(m_Recorder.LastMessage(),
                 "Summary of configured files:\n\nOK\t" + a + "\nOK\t" + b + "\n");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        for (QWidget* control : dialog.findChildren<QPushButton*>()) {
            QVERIFY(control->isEnabled());
        }
    }

    // A file named relatively on the command line and added again through the browser is
    // listed once, by its full path.
    void ConfigureMultipleListsARelativeNameOnceAndInFull() {
        QTemporaryDir folder;
        const std::string path = WriteConfigurable(folder, "fw.s19");
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        ConfigureMultipleDialog dialog(nullptr, {"fw.s19", "./fw.s19"});
        QVERIFY(QDir::setCurrent(before));
        QVERIFY(ShowActive(dialog));
        QListWidget* browser = dialog.findChild<QListWidget*>("2201");
        const QList<QListWidgetItem*> entries = browser->findItems("fw.s19", Qt::MatchExactly);
        QCOMPARE(entries.size(), 1);
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                          browser->visualItemRect(entries.front()).center());
        QTest::mouseClick(dialog.findChild<QPushButton*>("2203"), Qt::LeftButton);
        QCOMPARE(dialog.SelectedList()->count(), 1);
        QCOMPARE(dialog.SelectedList()->item(0)->text(), QString::fromStdString(path));
        Screenshot(dialog, "configure-multiple-full-paths");
    }

    void ConfigureWithoutFilesIsAnError() {
        ConfigureMultipleDialog dialog(nullptr, {});
        dialog.findChild<QPushButton*>("2209")->click();
        QCOMPARE(m_Recorder.LastMessage(), std::string("ERROR: No files selected!"));
        QCOMPARE(m_Recorder.Messages.back().Kind, MessageKind::Warning);
    }

    void CommandLineKeepsTheArgumentsOnOkOnly() {
        g_OpenPath = "/tmp/play";
        g_ProgramArguments = "old";
        MainWindow window;
        DialogRecorder dialogs;
        dialogs.OnDialog = [](QDialog& dialog) {
            auto& commandLine = static_cast<CommandLineDialog&>(dialog);
            QLabel* label = dialog.findChild<QLabel*>("2701");
            if (label->text() != "/tmp/play &arguments:" || commandLine.Edit()->text() != "old") {
                return -1;
            }
            commandLine.Edit()->setText("calc \"1 + 2\"");
            dialog.show();
            Screenshot(dialog, "command-line");
            return static_cast<int>(QDialog::Accepted);
        };
        window.Action(kIdCommandLine)->trigger();
        QCOMPARE(g_ProgramArguments, std::string("calc \"1 + 2\""));
        dialogs.OnDialog = [](QDialog& dialog) {
            static_cast<CommandLineDialog&>(dialog).Edit()->setText("dropped");
            return static_cast<int>(QDialog::Rejected);
        };
        window.Action(kIdCommandLine)->trigger();
        QCOMPARE(g_ProgramArguments, std::string("calc \"1 + 2\""));
    }

    void SaveAndSaveAsShowWhereTheDataWent() {
        QTemporaryDir folder;
        const std::string path = WriteConfigurable(folder, "fw.s19");
        MainWindow window;
        m_Recorder.Answers = {path};
        window.Action(kIdOpen)->trigger();
        window.Action(kIdSave)->trigger();
        QCOMPARE(m_Recorder.LastMessage(), "Configuration data saved in file \"" + path + "\".");
        const std::string copy = folder.filePath("copy.s19").toStdString();
        m_Recorder.Answers = {copy};
        window.Action(kIdSaveAs)->trigger();
        QCOMPARE(m_Recorder.LastMessage(), "Configuration data saved in file \"" + copy + "\".");
        QVERIFY(window.windowTitle().startsWith("copy.s19 - "));
        QCOMPARE(m_Recorder.Requests.back().Filters.front().Label, std::string("S9 Files"));
    }

    void SaveAndRunStartsTheFileInATerminal() {
        QTemporaryDir folder;
        const std::string path = WriteConfigurable(folder, "fw.s19");
        MainWindow window;
        m_Recorder.Answers = {path};
        window.Action(kIdOpen)->trigger();
        g_ProgramArguments = "calc 1";
        {
            ScopedEnv terminal("TERMINAL", "my-terminal");
            window.Action(kIdSaveRunNow)->trigger();
        }
        QCOMPARE(m_Recorder.Launched.size(), std::size_t(1));
        const std::vector<std::string> expected = {
            "my-terminal", "-e", "/bin/sh", "-c", "\"$@\"; exec \"${SHELL:-/bin/sh}\"",
            "sh",          path, "calc",    "1"};
        QCOMPARE(m_Recorder.Launched[0], expected);
        ScopedEnv noTerminal("TERMINAL", nullptr);
        ScopedEnv noPath("PATH", "/nonexistent");
        window.Action(kIdSaveAndRun)->trigger();
        QCOMPARE(m_Recorder.Launched.size(), std::size_t(1));
    }

    void MessageBoxesAndTheFileDialog() {
        MainWindow window;
        const auto warning = MakeMessageBox(
            &window, MessageKind::Warning,
            "File \"/tmp/empty.exe\" could not be opened because:\n\nThe specified file has a "
            "length of zero.");
        warning->show();
        QVERIFY(warning->windowTitle().endsWith("SETUP"));
        Screenshot(*warning, "message-warning");
        const auto information = MakeMessageBox(&window, MessageKind::Information,
                                                "Configuration data saved in file \"/tmp/play\".");
        information->show();
        Screenshot(*information, "message-information");
    }

    // The configurable kinds count ELF executables as EXE files; "All Files (*.*)" lists every
    // file, names without a dot included.
    void TheOpenDialogCountsElfExecutablesAsExeFiles() {
        QTemporaryDir folder;
        for (const char* name : {"a.EXE", "fw.S19", "readme.txt", "notes"}) {
            std::ofstream(folder.filePath(name).toStdString()) << "text";
        }
        std::ofstream(folder.filePath("play").toStdString(), std::ios::binary) << "\x7F"
                                                                                  "ELF";
        const struct {
            int FilterIndex;
            QStringList Shown;
        } cases[] = {
            {0, {"a.EXE", "fw.S19", "play"}},
            {static_cast<int>(OpenFilters().size()) - 1,
             {"a.EXE", "fw.S19", "notes", "play", "readme.txt"}},
        };
        for (const auto& c : cases) {
            MainWindow window;
            FileRequest request;
            request.Title = "Open";
            request.Filters = OpenFilters();
            request.FilterIndex = c.FilterIndex;
            request.MustExist = true;
            const auto dialog = MakeFileDialog(&window, request);
            QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
            dialog->setDirectory(folder.path());
            dialog->show();
            auto* proxy = dialog->proxyModel();
            auto* files = qobject_cast<QFileSystemModel*>(proxy->sourceModel());
            QVERIFY(files != nullptr);
            const QModelIndex root = files->index(folder.path());
            QTRY_COMPARE(files->rowCount(root), 5);
            QStringList shown;
            const QModelIndex proxyRoot = proxy->mapFromSource(root);
            for (int row = 0; row < proxy->rowCount(proxyRoot); ++row) {
                shown << proxy->index(row, 0, proxyRoot).data().toString();
            }
            shown.sort();
            QCOMPARE(shown, c.Shown);
            if (c.FilterIndex == 0) {
                Screenshot(*dialog, "file-open");
            }
        }
    }

    void TheImportDialogCarriesItsCheckBoxAndButton() {
        MainWindow window;
        bool overwrite = true;
        FileRequest request;
        request.Title = "Import";
        request.Filters = {{"Initialization Files (*.ini)", {"*.ini"}}};
        request.AcceptText = "&Import";
        request.CheckBoxText = "&Overwrite Registers from Imported Data";
        request.CheckBox = &overwrite;
        const auto dialog = MakeFileDialog(&window, request);
        dialog->show();
        auto* box = dialog->findChild<QCheckBox*>("3001");
        QVERIFY(box != nullptr);
        QVERIFY(box->isChecked());
        QCOMPARE(box->text(), QString("&Overwrite Registers from Imported Data"));
        QCOMPARE(dialog->labelText(QFileDialog::Accept), QString("&Import"));
        Screenshot(*dialog, "file-import");
    }

private:
    ServiceRecorder m_Recorder;
};

QObject* MakeDialogsTest() {
    return new DialogsTest;
}

#include "DialogsTest.moc"

// Names typed into the file name field of the choosers the program builds, as a user types
// them: Open finds an executable without an extension, the name with the default extension
// comes first, a name that is not there gets the chooser's own box and the chooser stays open;
// Export As adds its extension even beside a file of the typed name.
#include "setup/BlockImage.h"
#include "setup/core/ExportCommand.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/gui/FileChooser.h"
#include "setup/gui/GuiServices.h"
#include "setup/gui/GuiTestSupport.h"
#include "setup/gui/MainWindow.h"
#include "setup/gui/MenuIds.h"
#include "support/PlayProcess.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A configurable file that is not an executable: filler around the template block.
std::vector<std::uint8_t> ConfigurableBytes() {
    return ImageWithBlock(8192 + oxHCL_DATA_SIZE, 4096, TemplateBlock());
}

QPushButton* AcceptButton(QFileDialog& chooser) {
    auto* buttons = chooser.findChild<QDialogButtonBox*>("buttonBox");
    return buttons->button(chooser.acceptMode() == QFileDialog::AcceptOpen
                               ? QDialogButtonBox::Open
                               : QDialogButtonBox::Save);
}

// What happened in one chooser.
struct Typed {
    bool AcceptEnabled = false; // the Open (Save) button after the name was typed
    QString Box;                // the text of a box the chooser showed, "" for none
    bool StayedOpen = false;    // the chooser was still open after Return
    QString FieldAfter;         // the file name field after Return
};

// Shows the chooser on folder, types the name into its file name field through the window
// and presses Return; a box the chooser shows is read and closed from a timer. A chooser that
// stays open is then cancelled with Escape.
int TypeIntoChooser(QDialog& dialog, const QString& folder, const QString& name, Typed& typed) {
    auto* chooser = qobject_cast<FileChooser*>(&dialog);
    if (chooser == nullptr) {
        return -1;
    }
    chooser->setDirectory(folder);
    if (!ShowActive(*chooser)) {
        return -2;
    }
    QLineEdit* field = chooser->FileNameEdit();
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QWindow* window = chooser->windowHandle();
    QTest::keyClicks(field, name);
    if (field->text() != name) {
        return -3;
    }
    typed.AcceptEnabled = AcceptButton(*chooser)->isEnabled();
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&typed] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            typed.Box = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start(20);
    QTest::keyClick(window, Qt::Key_Return);
    closer.stop();
    typed.StayedOpen = chooser->isVisible();
    typed.FieldAfter = field->text();
    if (typed.StayedOpen) {
        QTest::keyClick(window, Qt::Key_Escape);
    }
    return chooser->result();
}

} // namespace

class TypedNamesTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ResetSetupState();
        QVERIFY(m_Folder.isValid());
        m_Window = std::make_unique<MainWindow>();
        InstallGuiServices(m_Window.get());
    }
    void cleanup() {
        m_Window.reset();
        EndWindowTest();
        LoadProgramBlock(q3vtest::PlayPath());
    }

    // File > Open with a typed name: the table of the names and the files beside them.
    void OpenTakesTheTypedName() {
        const QString folder = m_Folder.path();
        const std::string play = m_Folder.filePath("play").toStdString();
        fs::copy_file(q3vtest::PlayPath(), play, fs::copy_options::overwrite_existing);
        struct Case {
            QString Typed;
            std::vector<const char*> Files; // besides play
            QString Opened;                 // "" when nothing opens
        };
        const Case cases[] = {
            {"play", {}, "play"},
            {m_Folder.filePath("play"), {}, "play"},
            {"x", {"x.exe"}, "x.exe"},
            {"y", {"y", "y.exe"}, "y.exe"},
            {"z", {}, ""},
        };
        for (const Case& c : cases) {
            for (const char* name : c.Files) {
                WriteFile(m_Folder.filePath(name).toStdString(), ConfigurableBytes());
            }
            g_OpenPath.clear();
            Typed typed;
            DialogRecorder dialogs;
            dialogs.OnDialog = [&](QDialog& dialog) {
                if (qobject_cast<QMessageBox*>(&dialog) != nullptr) {
                    typed.Box = static_cast<QMessageBox&>(dialog).text();
                    return 0;
                }
                return TypeIntoChooser(dialog, folder, c.Typed, typed);
            };
            m_Window->Action(kIdOpen)->trigger();
            QCOMPARE(dialogs.Shown.size(), 1);
            if (c.Opened.isEmpty()) {
                QCOMPARE(typed.Box, QString("z.exe\nFile not found.\nPlease verify the correct "
                                            "file name was given."));
                QVERIFY(typed.StayedOpen);
                QCOMPARE(typed.FieldAfter, c.Typed);
                QVERIFY(!typed.AcceptEnabled);
                QCOMPARE(g_OpenPath, std::string());
                continue;
            }
            QCOMPARE(typed.Box, QString());
            QVERIFY2(typed.AcceptEnabled, qPrintable(c.Typed));
            QVERIFY(!typed.StayedOpen);
            QCOMPARE(QString::fromStdString(g_OpenPath), m_Folder.filePath(c.Opened));
        }
    }

    // Export As with "regs" typed beside a file "regs": the header goes to regs.h, and regs
    // keeps what it held.
    void ExportAsAddsTheExtension() {
        const std::string regs = m_Folder.filePath("regs").toStdString();
        std::ofstream(regs) << "mine";
        Typed typed;
        DialogRecorder dialogs;
        dialogs.OnDialog = [&](QDialog& dialog) {
            return TypeIntoChooser(dialog, m_Folder.path(), "regs", typed);
        };
        constexpr uint32_t kRegisterHeaderRow = 1;
        QVERIFY(ExportAs(kRegisterHeaderRow, [](int) {}));
        QVERIFY(typed.AcceptEnabled);
        QCOMPARE(typed.Box, QString());
        QCOMPARE(q3vtest::ReadFileText(regs), std::string("mine"));
        const std::string header = q3vtest::ReadFileText(m_Folder.filePath("regs.h").toStdString());
        QVERIFY2(header.find("#define") != std::string::npos, header.c_str());
    }

private:
    // A folder whose path holds a dot, as ~/my.proj does: only a dot in the typed file's own
    // name keeps the default extension away.
    QTemporaryDir m_Folder{QDir::tempPath() + "/my.proj-XXXXXX"};
    std::unique_ptr<MainWindow> m_Window;
};

QObject* MakeTypedNamesTest() {
    return new TypedNamesTest;
}

#include "TypedNamesTest.moc"

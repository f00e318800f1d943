// File > Import of an INI file exported and then edited by hand, in the main window over a copy
// of the built play, through Setup's own file dialog and message boxes: the Registers tab shows
// the list the file gives, and Save writes it into the program.
#include "chipdef/ExportSupport.h"
#include "chipdef/IniEditSupport.h"
#include "setup/core/FeatureTree.h"
#include "setup/core/ImportCommand.h"
#include "setup/core/RegistersPage.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/core/UIFeatures.h"
#include "setup/gui/GuiServices.h"
#include "setup/gui/GuiTestSupport.h"
#include "setup/gui/MainWindow.h"
#include "setup/gui/MenuIds.h"
#include "setup/gui/PlayCopy.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

using namespace initest;

namespace {

// The block inside a program file, found by its identifying text.
bool BlockInFile(const std::string& path, oxHclData* block) {
    const std::vector<std::uint8_t> bytes = q3vtest::ReadFileBytes(path);
    const std::string id = "47K20 HAL EXE";
    const auto at = std::search(bytes.begin(), bytes.end(), id.begin(), id.end());
    if (bytes.end() - at < static_cast<std::ptrdiff_t>(sizeof *block)) {
        return false;
    }
    std::memcpy(block, &*at, sizeof *block);
    return true;
}

QString PairText(const oxHclRegEntry& pair) {
    return QString::asprintf("%02Xh %04X", pair.Index, pair.Value);
}

// The list's rows as their REG and HEX columns ("24h 003C").
QStringList RowTexts(QTreeWidget* list) {
    QStringList rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        rows << item->text(0).trimmed() + " " + item->text(2);
    }
    return rows;
}

QPushButton* ButtonWithText(QWidget& window, const QString& text) {
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->text() == text && button->isVisible()) {
            return button;
        }
    }
    return nullptr;
}

// Clicks a menu item of the menu bar: the menu opens under its title, then the item is clicked.
void ClickMenuItem(MainWindow& window, const QString& menuTitle, int id) {
    QMenuBar* bar = window.menuBar();
    for (QAction* title : bar->actions()) {
        if (title->text() != menuTitle) {
            continue;
        }
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
        QMenu* menu = title->menu();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(window.Action(id)).center());
        return;
    }
    QFAIL("no such menu");
}

} // namespace

class IniImportTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ResetSetupState();
        g_RegistersPage = RegistersPage();
        SetImportOverwriteRegisters(false);
        QVERIFY(m_Play.Make());
        m_Model = MakeFeatureModel();
        m_Window = std::make_unique<MainWindow>();
        m_Window->resize(675, 650);
        // The program is opened as the other window tests open it; from then on Setup's own
        // file dialogs and message boxes are used.
        ServiceRecorder opener;
        opener.Install();
        opener.Answers = {m_Play.Program};
        m_Window->Action(kIdOpen)->trigger();
        QCOMPARE(g_OpenPath, m_Play.Program);
        InstallGuiServices(m_Window.get());
        m_Window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_Window.get()));
        // Every dialog goes to the test's answer; none waits in a modal loop.
        SetDialogRunner([this](QDialog& dialog) {
            dialog.show();
            if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
                return AnswerFileDialog(*files);
            }
            if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
                m_Messages << box->text();
                Screenshot(*box, QString("import-message-%1").arg(++m_BoxesShown));
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
                return box->result();
            }
            return static_cast<int>(QDialog::Rejected);
        });
    }
    void cleanup() {
        SetDialogRunner({});
        m_Window.reset();
        g_UIFeatures = nullptr;
        m_Model.reset();
        EndWindowTest();
        SetImportOverwriteRegisters(false);
        g_RegistersPage = RegistersPage();
        LoadProgramBlock(q3vtest::PlayPath());
    }

    // The exported file without its line "3=0010,0000", imported with the list overwritten:
    // the list closes up, and the saved program holds the same list.
    void ADeletedRegsLineClosesUpTheListAndIsSaved() {
        ChipDef exporter;
        const std::string ini =
            DeleteKey(exporttest::Generate(exporter, &ChipDef::WriteIniFile), "Regs", "3");
        QVERIFY(ini.find("\n3=0010,0000\n") == ini.npos && ini.find("\n4=0012,000F\n") != ini.npos);
        const std::string iniPath = m_Play.Folder.filePath("edited.ini").toStdString();
        std::ofstream(iniPath, std::ios::binary) << ini;

        m_FileName = QString::fromStdString(iniPath);
        m_TickOverwrite = true;
        m_Messages.clear();
        ClickMenuItem(*m_Window, "&File", kIdImport);
        QCOMPARE(m_Messages, QStringList{"\nWarning: CRC mismatch, the import file may have "
                                         "been manually edited.\n"});
        QVERIFY(GetImportOverwriteRegisters());

        // The built-in list without its pair 10h: 0000 at position 3.
        const QStringList expectedRows = {
            "06h 0100", "FLAG 2710", "04h 0000",   "12h 000F", "14h 0029", "10h 0001", "DELAY 09C4",
            "16h 0006", "04h 0001",  "DELAY 09C4", "20h 004F", "22h 0001", "24h 003C", "26h 002D",
            "28h 0110", "2Ah 0010",  "2Ch 0001",   "2Eh 0005", "30h 0001", "32h 0008", "40h 0000",
            "42h 0000", "44h 0000",  "50h 0000",   "52h 8400", "54h 0003", "56h 0040", "58h 0040",
            "5Ah 00A0", "5Ch 0000",  "60h 0001",   "62h 0040", "64h 0000", "66h 0000", "68h 0000",
            "D0h 0001", "D2h 0001",  "D4h 0000",   "04h 0002"};
        auto* tabs = m_Window->findChild<QTabWidget*>("1101");
        auto* list = m_Window->findChild<QTreeWidget*>("1801");
        QVERIFY(tabs != nullptr && list != nullptr);
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(RowTexts(list), expectedRows);
        Screenshot(*m_Window, "import-registers-page");

        m_Messages.clear();
        ClickMenuItem(*m_Window, "&File", kIdSave);
        QCOMPARE(m_Messages, QStringList{QString::fromStdString(
                                 "Configuration data saved in file \"" + m_Play.Program + "\".")});
        oxHclData saved{};
        QVERIFY(BlockInFile(m_Play.Program, &saved));
        QCOMPARE(saved.HclCRC, ChipDef::ComputeBlockCrc(saved));
        const RegList expected = BuiltInWithout({3});
        for (size_t i = 0; i < oxHCL_REGSIZE; ++i) {
            const oxHclRegEntry pair = oxHclGetReg(saved, i);
            const oxHclRegEntry want = i < expected.size() ? expected[i] : oxHclRegEntry{0, 0};
            QCOMPARE(PairText(pair), PairText(want));
        }
    }

private:
    // The chooser answered as a user would: in the file's folder its name typed, the check box
    // set by a click, then the dialog's own accept button pressed.
    int AnswerFileDialog(QFileDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        if (name == nullptr) {
            return QDialog::Rejected;
        }
        const QFileInfo file(m_FileName);
        dialog.setDirectory(file.absolutePath());
        dialog.activateWindow();
        if (!QTest::qWaitForWindowActive(&dialog)) {
            return QDialog::Rejected;
        }
        QTest::mouseClick(name, Qt::LeftButton);               // the name field gets the focus
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier); // over any text it holds
        QTest::keyClicks(name, file.fileName());
        if (auto* box = dialog.findChild<QCheckBox*>(QString::number(kIdOverwriteRegisters))) {
            if (box->isChecked() != m_TickOverwrite) {
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
            }
            Screenshot(dialog, "import-file-dialog");
        }
        const QString accept = dialog.labelText(QFileDialog::Accept);
        QPushButton* button = ButtonWithText(dialog, accept);
        if (button == nullptr) {
            return QDialog::Rejected;
        }
        QTest::mouseClick(button, Qt::LeftButton);
        return dialog.result();
    }

    PlayCopy m_Play;
    std::unique_ptr<UIFeatures> m_Model;
    std::unique_ptr<MainWindow> m_Window;
    QString m_FileName;
    bool m_TickOverwrite = false;
    QStringList m_Messages;
    int m_BoxesShown = 0;
};

QObject* MakeIniImportTest() {
    return new IniImportTest;
}

#include "IniImportTest.moc"

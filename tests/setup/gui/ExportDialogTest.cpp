// File > Export and Help > About: the Export dialog's rows, the Save dialog "Export As" with
// its Preview and Options buttons, the two options dialogs, the written and previewed files,
// and the About box with its two pictures; screenshots of each.
#include "setup/gui/ExportDialog.h"
#include "setup/core/ExportCommand.h"
#include "setup/core/ExportFormats.h"
#include "setup/core/SetupServices.h"
#include "setup/core/ShellTexts.h"
#include "setup/gui/AboutDialog.h"
#include "setup/gui/AboutPictures.h"
#include "setup/gui/ExportOptionsDialog.h"
#include "setup/gui/GuiServices.h"
#include "setup/gui/GuiTestSupport.h"
#include "setup/gui/MainWindow.h"
#include "setup/gui/MenuIds.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

std::string Generated(uint32_t row) {
    std::vector<char> buffer(kExportBufferSize);
    const uint32_t length = std::invoke(g_ExportFormats[row].Generator, g_ChipDef, buffer.data(),
                                        kExportBufferSize, &g_ExportOptions);
    return std::string(buffer.data(), length);
}

template <typename T> T* Control(QWidget& parent, int id) {
    return parent.findChild<T*>(QString::number(id));
}

// Presses a button of the Save request, as the user would while the Save dialog is open.
std::optional<std::string> Press(const FileRequest& request, int id) {
    for (const FileRequestButton& button : request.Buttons) {
        if (button.Id == id && button.Pressed) {
            return button.Pressed();
        }
    }
    return std::nullopt;
}

// The control ids of one options dialog and the flags it sets.
struct OptionsCase {
    int DialogId;
    QString Title;
    int NoCursor, SoftwareCursor, SoftwareAcceleration, HardwareAcceleration;
    uint32_t ExportOptions::*Flags;
};

const OptionsCase kOptionsCases[] = {
    {214, "WinCE Export Options", 2404, 2405, 2406, 2407, &ExportOptions::WinCeFlags},
    {221, "Generic Export Options", 2901, 2902, 2903, 2904, &ExportOptions::GenericFlags},
};

} // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        StartWindowTest(m_Recorder);
        g_ExportOptions = ExportOptions{38, 0, 0x140001, 0x1};
        g_ExportCrLf = true;
    }
    void cleanup() { EndWindowTest(); }

    void TheExportDialogListsTheSevenFormats() {
        MainWindow window;
        // Export and About need no open file.
        QVERIFY(window.Action(kIdExport)->isEnabled());
        QVERIFY(window.Action(kIdAbout)->isEnabled());
        ExportDialog dialog(&window);
        QCOMPARE(dialog.windowTitle(), QString("Export"));
        QListWidget* list = Control<QListWidget>(dialog, 2303);
        QCOMPARE(list->count(), int(kExportFormatCount));
        const QString product = g_ChipDef.GetProductText(nullptr, 0x81);
        // Each row's description with the product, its tabs, then the default file name.
        const QString rows[kExportFormatCount] = {
            "C Source File for " + product + " API Support\t\t\t[initdata.c]",
            "C Header File Defining all " + product + " Registers\t\t[registers.h]",
            "C Header File for " + product + " WinCE Drivers \t\t[mode0.h]",
            "C Header File for " + product + " Generic Drivers \t\t[" + product + ".h]",
            product + " Register Setting Data File\t\t\t[" + product + ".csv]",
            product + " Register Quick Reference\t\t\t[" + product + ".txt]",
            product + " Import Initialization File\t\t\t[" + product + ".ini]",
        };
        for (uint32_t row = 0; row < kExportFormatCount; ++row) {
            QCOMPARE(list->item(int(row))->text(), rows[row]);
        }
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(Control<QPushButton>(dialog, 1)->text(), QString("&Export As..."));
        QCOMPARE(Control<QPushButton>(dialog, 2)->text(), QString("&Close"));
        QCheckBox* crLf = Control<QCheckBox>(dialog, 2304);
        QCOMPARE(crLf->text(), QString("Use CR LF line termination for text files"));
        QVERIFY(crLf->isChecked());
        crLf->click();
        QVERIFY(!g_ExportCrLf);
        QVERIFY(!ExportDialog(&window).CrLf()->isChecked()); // the choice is kept for the run
        crLf->click();
        QVERIFY(g_ExportCrLf);
        dialog.show();
        Screenshot(dialog, "export");
    }

    void ExportAsOrADoubleClickOpensTheSaveDialogForTheRow() {
        const std::string product = g_ChipDef.GetProductText(nullptr, 0x81);
        struct Case {
            const char* Name;
            int Row;
            std::function<void(ExportDialog&)> Act;
            std::string File; // empty: no Save dialog
            std::string Filter;
        };
        const Case cases[] = {
            {"double-click", 4,
             [](ExportDialog& dialog) {
                 QListWidget* list = dialog.List();
                 const QRect rect = list->visualItemRect(list->item(4));
                 // A double-click comes after the first click's press and release.
                 QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
                 QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
             },
             product + ".csv", "Comma-Separated-Value Files (*.csv)"},
            {"export as", 1,
             [](ExportDialog& dialog) {
                 dialog.List()->setCurrentRow(1);
                 Control<QPushButton>(dialog, 1)->click();
             },
             "registers.h", "Register Header Files (*.h)"},
            {"close", 2,
             [](ExportDialog& dialog) {
                 dialog.List()->setCurrentRow(2);
                 Control<QPushButton>(dialog, 2)->click();
             },
             "", ""},
        };
        MainWindow window;
        for (const Case& c : cases) {
            m_Recorder.Requests.clear();
            DialogRecorder dialogs;
            dialogs.OnDialog = [&c](QDialog& dialog) {
                auto& exportDialog = static_cast<ExportDialog&>(dialog);
                dialog.show();
                c.Act(exportDialog);
                return dialog.result();
            };
            window.Action(kIdExport)->trigger();
            QCOMPARE(dialogs.Shown, QStringList{"212"});
            if (c.File.empty()) {
                QVERIFY2(m_Recorder.Requests.empty(), c.Name);
                continue;
            }
            QVERIFY2(m_Recorder.Requests.size() == 1, c.Name);
            const FileRequest& request = m_Recorder.Requests[0];
            QCOMPARE(request.Title, std::string("Export As"));
            QCOMPARE(request.InitialPath, c.File);
            QCOMPARE(request.Filters[0].Label, c.Filter);
            QCOMPARE(request.AcceptText, std::string("&Export"));
        }
    }

    void TheSaveDialogCarriesPreviewAndOptions() {
        MainWindow window;
        DialogRecorder dialogs;
        dialogs.OnDialog = [](QDialog& dialog) {
            auto& options = static_cast<ExportOptionsDialog&>(dialog);
            options.ModeNumber()->setValue(3);
            Control<QRadioButton>(dialog, 2405)->setChecked(true);
            return static_cast<int>(QDialog::Accepted);
        };
        const auto runOptions = [&window](int id) { RunExportOptionsDialog(&window, id); };
        const auto dialog = MakeFileDialog(&window, ExportSaveRequest(2, runOptions));
        dialog->show();
        QCOMPARE(dialog->windowTitle(), QString("Export As"));
        QCOMPARE(dialog->labelText(QFileDialog::Accept), QString("&Export"));
        QLineEdit* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(name != nullptr);
        QCOMPARE(name->text(), QString("mode0.h"));
        QPushButton* preview = Control<QPushButton>(*dialog, 2302);
        QPushButton* options = Control<QPushButton>(*dialog, 2301);
        QCOMPARE(preview->text(), QString("Pre&view"));
        QCOMPARE(options->text(), QString("&Options"));
        QVERIFY(options->isVisible() && options->isEnabled());
        Screenshot(*dialog, "export-save");

        options->click();
        QCOMPARE(dialogs.Shown, QStringList{"214"});
        QCOMPARE(name->text(), QString("mode3.h"));
        QCOMPARE(g_ExportOptions.WinCeFlags, uint32_t(0x140001 | 0x20000));
        preview->click();
        QCOMPARE(m_Recorder.Launched.size(), std::size_t(1));
        QCOMPARE(m_Recorder.Launched[0][1], ExportPreviewFolder() + "/mode3.h");

        // Rows without an options dialog hide the button.
        for (uint32_t row : {0u, 1u, 4u, 5u, 6u}) {
            const auto plain = MakeFileDialog(&window, ExportSaveRequest(row, runOptions));
            plain->show();
            QVERIFY(Control<QPushButton>(*plain, 2301)->isHidden());
            QVERIFY(!Control<QPushButton>(*plain, 2301)->isEnabled());
            QVERIFY(Control<QPushButton>(*plain, 2302)->isVisible());
        }
    }

    void TheOptionsDialogsShowAndKeepTheirBits() {
        for (const OptionsCase& c : kOptionsCases) {
            g_ExportOptions = ExportOptions{38, 0, 0x140001, 0x1};
            const uint32_t before = g_ExportOptions.*c.Flags;
            ExportOptionsDialog dialog(nullptr, c.DialogId);
            QCOMPARE(dialog.objectName(), QString::number(c.DialogId));
            QCOMPARE(dialog.windowTitle(), c.Title);
            auto* noCursor = Control<QRadioButton>(dialog, c.NoCursor);
            auto* softwareCursor = Control<QRadioButton>(dialog, c.SoftwareCursor);
            auto* software = Control<QCheckBox>(dialog, c.SoftwareAcceleration);
            auto* hardware = Control<QCheckBox>(dialog, c.HardwareAcceleration);
            QCOMPARE(noCursor->text(), QString("No Cursor"));
            QCOMPARE(softwareCursor->text(), QString("Software Cursor"));
            QCOMPARE(software->text(), QString("&Software Acceleration"));
            QCOMPARE(hardware->text(), QString("&Hardware Acceleration"));
            // The flags at start: WinCE 0x140001 has both accelerations, generic 0x1 none.
            QVERIFY(noCursor->isChecked());
            QCOMPARE(software->isChecked(), (before & 0x100000) != 0);
            QCOMPARE(hardware->isChecked(), (before & 0x40000) != 0);
            QCOMPARE(dialog.ModeNumber() != nullptr, c.DialogId == 214);
            dialog.show();
            Screenshot(dialog, QString("export-options-%1").arg(c.DialogId));

            softwareCursor->setChecked(true);
            software->setChecked(true);
            hardware->setChecked(false);
            dialog.Keep();
            QCOMPARE(g_ExportOptions.*c.Flags, uint32_t(0x1 | 0x20000 | 0x100000));
            softwareCursor->setChecked(false);
            noCursor->setChecked(true);
            software->setChecked(false);
            hardware->setChecked(true);
            dialog.Keep();
            QCOMPARE(g_ExportOptions.*c.Flags, uint32_t(0x1 | 0x40000));
            QCOMPARE(g_ExportOptions.ModeNumber, uint32_t(0));
        }
    }

    void TheModeNumberIsTypedAndCancelChangesNothing() {
        {
            // Typed into the spin box's edit, 2402.
            ExportOptionsDialog dialog(nullptr, 214);
            dialog.show();
            QSpinBox* spin = Control<QSpinBox>(dialog, 2403);
            QCOMPARE(spin->minimum(), 0);
            QCOMPARE(spin->maximum(), 1000);
            QLineEdit* edit = Control<QLineEdit>(*spin, 2402);
            QVERIFY(edit != nullptr);
            edit->selectAll();
            QTest::keyClicks(edit, "27");
            dialog.Keep();
            QCOMPARE(g_ExportOptions.ModeNumber, uint32_t(27));
            // A number beyond the range is not taken: the last digit is refused.
            edit->selectAll();
            QTest::keyClicks(edit, "5000");
            dialog.Keep();
            QCOMPARE(g_ExportOptions.ModeNumber, uint32_t(500));
        }
        for (const OptionsCase& c : kOptionsCases) {
            const ExportOptions before = g_ExportOptions;
            DialogRecorder dialogs;
            dialogs.OnDialog = [&c](QDialog& dialog) {
                if (auto* spin = static_cast<ExportOptionsDialog&>(dialog).ModeNumber()) {
                    spin->setValue(9);
                }
                Control<QRadioButton>(dialog, c.SoftwareCursor)->setChecked(true);
                Control<QCheckBox>(dialog, c.HardwareAcceleration)->setChecked(false);
                return static_cast<int>(QDialog::Rejected);
            };
            RunExportOptionsDialog(nullptr, c.DialogId);
            QCOMPARE(dialogs.Shown, QStringList{QString::number(c.DialogId)});
            QCOMPARE(g_ExportOptions.ModeNumber, before.ModeNumber);
            QCOMPARE(g_ExportOptions.WinCeFlags, before.WinCeFlags);
            QCOMPARE(g_ExportOptions.GenericFlags, before.GenericFlags);
        }
    }

    void TheWrittenFileHasTheLineEndsChosen() {
        QTemporaryDir folder;
        const std::string path = folder.filePath("out.txt").toStdString();
        const std::string plain = Generated(5);
        QVERIFY(plain.find('\n') != std::string::npos);
        QVERIFY(plain.find('\r') == std::string::npos);
        MainWindow window;
        for (const bool crLf : {false, true}) {
            DialogRecorder dialogs;
            dialogs.OnDialog = [crLf](QDialog& dialog) {
                static_cast<ExportDialog&>(dialog).List()->setCurrentRow(5);
                Control<QCheckBox>(dialog, 2304)->setChecked(crLf);
                return static_cast<int>(QDialog::Accepted);
            };
            m_Recorder.Answers = {path};
            window.Action(kIdExport)->trigger();
            QCOMPARE(q3vtest::ReadFileText(path), crLf ? ToCrLf(plain) : plain);
        }
        QVERIFY(m_Recorder.Messages.empty());
    }

    void APreviewGoesToThePrivateFolderAndFailuresAreShown() {
        g_ExportCrLf = false;
        MainWindow window;
        DialogRecorder dialogs;
        dialogs.OnDialog = [](QDialog& dialog) {
            static_cast<ExportDialog&>(dialog).List()->setCurrentRow(4);
            return static_cast<int>(QDialog::Accepted);
        };
        m_Recorder.OnRequest = [](const FileRequest& request) { Press(request, kIdExportPreview); };
        window.Action(kIdExport)->trigger();
        const std::string file = ExportPreviewFolder() + "/" + GetExportFileName(4);
        QCOMPARE(m_Recorder.Launched.size(), std::size_t(1));
        QCOMPARE(m_Recorder.Launched[0], (std::vector<std::string>{"xdg-open", file}));
        QCOMPARE(q3vtest::ReadFileText(file), ToCrLf(Generated(4))); // a preview always has CR LF
        QVERIFY(m_Recorder.Messages.empty());

        // The viewer does not start.
        SetupServices services = GetSetupServices();
        services.Launch = [](const std::vector<std::string>&) { return false; };
        SetSetupServices(services);
        window.Action(kIdExport)->trigger();
        QCOMPARE(m_Recorder.LastMessage(), "Failed to preview file " + file);
        QCOMPARE(m_Recorder.Messages.back().Kind, MessageKind::Warning);

        // The chosen file cannot be created.
        m_Recorder.OnRequest = nullptr;
        const std::string missing = "/nonexistent-folder/x.csv";
        m_Recorder.Answers = {missing};
        window.Action(kIdExport)->trigger();
        QCOMPARE(m_Recorder.LastMessage(), "Failed to create file " + missing);
    }

    void TheAboutBoxShowsTheBuildAndTogglesItsPicture() {
        MainWindow window;
        QCOMPARE(window.Action(kIdAbout)->text(),
                 QString::fromStdString("&About " + GetProgramName() + "..."));
        DialogRecorder dialogs;
        dialogs.OnDialog = [](QDialog& dialog) {
            auto& about = static_cast<AboutDialog&>(dialog);
            dialog.show();
            QLabel* version = Control<QLabel>(dialog, 2001);
            QLabel* picture = Control<QLabel>(dialog, 2002);
            const auto shows = [picture](int which) {
                return picture->pixmap().toImage() == AboutPicture(which).toImage();
            };
            bool ok = dialog.windowTitle() == QString::fromStdString("About " + GetProgramName()) &&
                      version->text() ==
                          QString::fromStdString(GetProgramName() + " - Build 38 [L:84 A:62]") &&
                      version->palette().color(QPalette::WindowText) == QColor(0, 0, 0xAF);
            bool described = false;
            for (QLabel* label : dialog.findChildren<QLabel*>()) {
                described |= label->text() ==
                             "This program is used to view and configure display information "
                             "and to create header files of register values for compilation "
                             "in other programs.";
            }
            ok = ok && described && shows(0) && about.Picture() == 0;
            Screenshot(dialog, "about");
            QTest::mouseDClick(&dialog, Qt::LeftButton, {}, QPoint(5, 5));
            ok = ok && shows(0);
            QTest::mouseDClick(&dialog, Qt::RightButton, {}, picture->geometry().center());
            ok = ok && shows(1) && about.Picture() == 1;
            Screenshot(dialog, "about-second-picture");
            QTest::mouseDClick(&dialog, Qt::RightButton, {}, QPoint(5, 5));
            ok = ok && shows(0);
            return ok ? static_cast<int>(QDialog::Accepted) : -1;
        };
        int result = 0;
        dialogs.OnDialog = [inner = dialogs.OnDialog, &result](QDialog& dialog) {
            result = inner(dialog);
            return result;
        };
        window.Action(kIdAbout)->trigger();
        QCOMPARE(dialogs.Shown, QStringList{"211"});
        QCOMPARE(result, int(QDialog::Accepted));
        // The product's NAME followed by SETUP.
        QCOMPARE(QString::fromStdString(AboutTitle()), QString("About 47K20SETUP"));
        QCOMPARE(QString::fromStdString(AboutVersionText()),
                 QString("47K20SETUP - Build 38 [L:84 A:62]"));
    }

    void TheTwoPicturesDiffer() {
        QVERIFY(AboutPicture(0).toImage() != AboutPicture(1).toImage());
        QVERIFY(!AboutPicture(0).isNull());
    }

private:
    ServiceRecorder m_Recorder;
};

QObject* MakeExportDialogTest() {
    return new ExportDialogTest;
}

#include "ExportDialogTest.moc"

// The main window: menu states, the title after a refused open, dropped files, the status
// box's warning colour and beep, the debug window, and screenshots of each.
#include "setup/gui/MainWindow.h"

#include "setup/BlockImage.h"
#include "setup/core/SetupServices.h"
#include "setup/gui/ConfigureMultipleDialog.h"
#include "setup/gui/DebugWindow.h"
#include "setup/gui/GuiTestSupport.h"
#include "setup/gui/MenuIds.h"

#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QUrl>
#include <fstream>

namespace {

std::string WriteFile(const QTemporaryDir& folder, const char* name,
                      const std::vector<std::uint8_t>& bytes) {
    const std::string path = folder.filePath(name).toStdString();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<std::uint8_t> Configurable() {
    return ImageWithBlock(8192 + oxHCL_DATA_SIZE, 4096, TemplateBlock());
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { StartWindowTest(m_Recorder); }
    void cleanup() {
        g_UIFeatures = nullptr;
        EndWindowTest();
    }

    void SaveItemsAreGreyedUntilAFileIsOpen() {
        QTemporaryDir folder;
        const std::string empty = WriteFile(folder, "empty.exe", {});
        const std::string good = WriteFile(folder, "good.exe", Configurable());
        MainWindow window;
        const auto enabled = [&window](int id) { return window.Action(id)->isEnabled(); };
        for (int id : {kIdSave, kIdSaveAs, kIdSaveAndRun, kIdSaveRunNow}) {
            QVERIFY(!enabled(id));
        }
        QCOMPARE(window.Action(kIdSaveRunNow)->text(), QString("Save/&Run!"));
        const QString title = window.windowTitle();
        m_Recorder.Answers = {empty};
        window.Action(kIdOpen)->trigger();
        QCOMPARE(window.windowTitle(), title); // an empty file keeps the title
        QVERIFY(m_Recorder.LastMessage().find("The specified file has a length of zero.") !=
                std::string::npos);
        QVERIFY(!enabled(kIdSave));
        QVERIFY(!enabled(kIdSaveRunNow));
        m_Recorder.Answers = {good};
        window.Action(kIdOpen)->trigger();
        for (int id : {kIdSave, kIdSaveAs, kIdSaveAndRun, kIdSaveRunNow}) {
            QVERIFY(enabled(id));
        }
        QVERIFY(window.windowTitle().startsWith("good.exe - "));
        // Import, Export and About are always there.
        for (int id : {kIdImport, kIdExport, kIdAbout}) {
            QVERIFY(enabled(id));
        }
    }

    void ThreeDroppedFilesOpenConfigureMultipleWithThem() {
        QTemporaryDir folder;
        QList<QUrl> urls;
        std::vector<std::string> paths;
        for (const char* name : {"a.exe", "b.s19", "c.out"}) {
            paths.push_back(WriteFile(folder, name, {1}));
            urls << QUrl::fromLocalFile(QString::fromStdString(paths.back()));
        }
        MainWindow window;
        window.show();
        DialogRecorder dialogs;
        std::vector<std::string> listed;
        dialogs.OnDialog = [&listed](QDialog& dialog) {
            listed = static_cast<ConfigureMultipleDialog&>(dialog).Model().Selected();
            return 0;
        };
        QMimeData data;
        data.setUrls(urls);
        // A drag enters first: the drop goes to the widget that accepted it.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        QCOMPARE(dialogs.Shown, QStringList{"209"});
        QCOMPARE(listed, paths);
    }

    void AWarningTurnsTheBoxYellowAndBeeps() {
        MainWindow window;
        window.resize(675, 650);
        window.show();
        Screenshot(window, "main-window-empty");
        QPlainTextEdit* box = window.StatusBoxWidget();
        QCOMPARE(box->objectName(), QString("1103"));
        window.SetStatusText(5, 0, "All is well.\n");
        QCOMPARE(box->toPlainText(), QString("All is well."));
        QVERIFY(box->palette().color(QPalette::Base) != QColor(255, 255, 0));
        QVERIFY(m_Recorder.Beeps.empty());
        window.SetStatusText(5, kStatusWarning, "Something is odd.\n");
        QCOMPARE(box->toPlainText(), QString("Something is odd."));
        QCOMPARE(box->palette().color(QPalette::Base), QColor(255, 255, 0));
        QCOMPARE(box->palette().color(QPalette::Text), QColor(0, 0, 0xAF));
        QCOMPARE(m_Recorder.Beeps.size(), std::size_t(1));
        Screenshot(window, "main-window-warning");
        // While the window closes, other owners' warnings are ignored and do not beep.
        window.close();
        window.SetStatusText(6, kStatusWarning, "Too late.\n");
        QCOMPARE(m_Recorder.Beeps.size(), std::size_t(1));
        QCOMPARE(box->toPlainText(), QString("Something is odd."));
    }

    void TheSameTextIsNotWrittenAgain() {
        MainWindow window;
        window.SetStatusText(5, 0, "Same.");
        window.StatusBoxWidget()->setPlainText("changed by hand");
        window.SetStatusText(5, 0, "Same.");
        QCOMPARE(window.StatusBoxWidget()->toPlainText(), QString("changed by hand"));
    }

    void TheStatusBoxTipIsItsWholeText() {
        MainWindow window;
        window.show();
        window.SetStatusText(5, 0, "line one\nline two");
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5),
                        window.StatusBoxWidget()->mapToGlobal(QPoint(5, 5)));
        g_ToolTipsEnabled = false;
        QApplication::sendEvent(window.StatusBoxWidget()->viewport(), &help);
        QVERIFY(QToolTip::text().isEmpty());
        g_ToolTipsEnabled = true;
        QApplication::sendEvent(window.StatusBoxWidget()->viewport(), &help);
        QCOMPARE(QToolTip::text(), QString("line one\nline two"));
        QToolTip::hideText();
    }

    void MenusAndTheOpenFile() {
        QTemporaryDir folder;
        const std::string good = WriteFile(folder, "firmware.s19", Configurable());
        // The feature model as the program makes it, so that the picture shows the file's tree.
        const std::unique_ptr<UIFeatures> model = MakeFeatureModel();
        MainWindow window;
        window.show();
        m_Recorder.Answers = {good};
        window.Action(kIdOpen)->trigger();
        auto* tree = window.findChild<QTreeWidget*>("1601");
        QVERIFY(tree != nullptr);
        QVERIFY(tree->topLevelItemCount() > 0);
        Screenshot(window, "main-window-with-file");
        for (QMenu* menu : {window.FileMenu(), window.HelpMenu()}) {
            menu->popup(window.mapToGlobal(QPoint(10, 30)));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            Screenshot(*menu, menu == window.FileMenu() ? "menu-file" : "menu-help");
            menu->hide();
        }
    }

    void TracesGoToADebugWindowBesideTheMainWindow() {
        MainWindow window;
        window.move(0, 0);
        window.show();
        DebugPrintf("50%%");
        DebugPrintf("\r75%%");
        DebugPrintf("\r100%%\n");
        DebugWindow* debug = CurrentDebugWindow();
        QVERIFY(debug != nullptr);
        QTRY_COMPARE(debug->TextBox()->toPlainText(), QString("100%\n"));
        QVERIFY(debug->windowTitle().endsWith(" Debug Output"));
        QVERIFY(window.screen()->availableGeometry().contains(debug->frameGeometry()));
        DebugPrintf("FileOpen: hwnd=%lX, IDC=%u\n", 0x1234ul, 1103u);
        QTRY_VERIFY(debug->TextBox()->toPlainText().contains("IDC=1103"));
        Screenshot(*debug, "debug-window");
        debug->close();
        QTRY_VERIFY(CurrentDebugWindow() == nullptr);
        DebugPrintf("again\n");
        QVERIFY(CurrentDebugWindow() != nullptr);
        QTRY_COMPARE(CurrentDebugWindow()->TextBox()->toPlainText(), QString("again\n"));
        CurrentDebugWindow()->close();
    }

private:
    ServiceRecorder m_Recorder;
};

QObject* MakeMainWindowTest() {
    return new MainWindowTest;
}

#include "MainWindowTest.moc"

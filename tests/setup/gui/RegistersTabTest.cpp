// The Registers tab in the main window over a copy of the built play: the register dialog
// driven through the dialog runner, the marks of rows set by hand and overwritten by the
// Features tab, the status box notice, the kept view, the hot-row tooltips and the READONLY box.
#include "setup/gui/RegistersTab.h"
#include "setup/core/FeatureTree.h"
#include "setup/core/ImportCommand.h"
#include "setup/core/RegistersPage.h"
#include "setup/core/SetupState.h"
#include "setup/core/UIFeatures.h"
#include "setup/gui/FeatureValueDialog.h"
#include "setup/gui/GuiTestSupport.h"
#include "setup/gui/MainWindow.h"
#include "setup/gui/MenuIds.h"
#include "setup/gui/PlayCopy.h"
#include "setup/gui/RegisterDialog.h"
#include "support/PlayProcess.h"

#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

// The rows of the list whose "REG" column names this register ("24h").
QList<int> RowsOf(QTreeWidget* list, const QString& reg) {
    QList<int> rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        if (list->topLevelItem(row)->text(0).startsWith(reg + " ")) {
            rows << row;
        }
    }
    return rows;
}

QTreeWidgetItem* FindFeatureRow(QTreeWidget* tree, const QString& start) {
    for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
        if ((*it)->text(0).startsWith(start)) {
            return *it;
        }
    }
    return nullptr;
}

// The Features tab sets the Horizontal Display Period from 488 to 320 through its value
// dialog, the groups down to it opened as the user opens them; false when its row is missing.
bool SetHdpThroughTheTree(QTreeWidget* tree, DialogRecorder& dialogs) {
    QTreeWidgetItem* hdpFeature = FindFeatureRow(tree, "*Horizontal Display Period  =  488");
    if (hdpFeature == nullptr) {
        return false;
    }
    for (QTreeWidgetItem* group = hdpFeature->parent(); group != nullptr; group = group->parent()) {
        group->setExpanded(true);
    }
    tree->setCurrentItem(hdpFeature);
    dialogs.OnDialog = [](QDialog& dialog) {
        auto& value = static_cast<FeatureValueDialog&>(dialog);
        value.NumberEdit()->setText("320");
        value.accept();
        return value.result();
    };
    QTest::keyClick(tree, Qt::Key_Return);
    return true;
}

// The register dialog answered with this edit text (in the dialog's radix).
std::function<int(QDialog&)> EnterValue(const QString& text) {
    return [text](QDialog& dialog) {
        auto& registerDialog = static_cast<RegisterDialog&>(dialog);
        registerDialog.Edit()->setText(text);
        registerDialog.accept();
        return registerDialog.result();
    };
}

// The tooltip the list shows for the row under the mouse ("" for none).
QString ToolTipOf(QTreeWidget* list, int row) {
    return ItemToolTip(list, list->topLevelItem(row));
}

} // namespace

class RegistersTabTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        StartWindowTest(m_Recorder);
        g_RegistersPage = RegistersPage();
        QVERIFY(m_Play.Make());
        m_Model = MakeFeatureModel();
        m_Window = std::make_unique<MainWindow>();
        m_Window->resize(675, 650);
        m_Recorder.Answers = {m_Copy};
        m_Window->Action(kIdOpen)->trigger();
        QCOMPARE(g_OpenPath, m_Copy);
        m_Window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_Window.get()));
        m_Tabs = m_Window->findChild<QTabWidget*>("1101");
        m_List = m_Window->findChild<QTreeWidget*>("1801");
        QVERIFY(m_Tabs != nullptr && m_List != nullptr);
        m_Tabs->setCurrentIndex(1);
        QVERIFY(m_List->topLevelItemCount() > 0);
        QCOMPARE(RowsOf(m_List, "24h").size(), 1);
        m_HdpRow = RowsOf(m_List, "24h").front();
    }
    void cleanup() {
        m_Window.reset();
        g_UIFeatures = nullptr;
        m_Model.reset();
        EndWindowTest();
        g_RegistersPage = RegistersPage();
        LoadProgramBlock(q3vtest::PlayPath());
    }

    void TheListShowsEveryEntryInItsColumns() {
        auto* note = m_Window->findChild<QLabel*>("1802");
        QVERIFY(note != nullptr);
        QCOMPARE(note->text(), QString("The following registers are in presented in order of "
                                       "initialization. The registers in this list will be used "
                                       "during chip initialization."));
        QCOMPARE(note->palette().color(QPalette::WindowText), QColor(0, 0, 0xAF));
        QCOMPARE(m_Window->findChild<QLabel*>("1803")->text(), QString());
        QTreeWidgetItem* header = m_List->headerItem();
        QCOMPARE(QStringList({header->text(0), header->text(1), header->text(2), header->text(3),
                              header->text(4)}),
                 QStringList({"REG", "REGISTER NAME", "HEX", "BIN", "DEC"}));
        QCOMPARE(m_List->topLevelItemCount(), static_cast<int>(g_ChipDef.GetRegListCount()));
        QTreeWidgetItem* hdp = m_List->topLevelItem(m_HdpRow);
        QCOMPARE(hdp->text(0), QString("24h   "));
        QCOMPARE(hdp->text(2), QString("003C"));
        QCOMPARE(hdp->text(3), QString("0000000000111100"));
        QCOMPARE(hdp->text(4), QString("        60"));
        QCOMPARE(hdp->textAlignment(4) & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
        QVERIFY(m_List->hasFocus());
    }

    void HandSetRowsAreMarkedThenOverwrittenByTheFeaturesTab() {
        DialogRecorder dialogs;
        m_List->setCurrentItem(m_List->topLevelItem(m_HdpRow));
        dialogs.OnDialog = EnterValue("3C"); // the value it has: no mark
        QTest::keyClick(m_List, Qt::Key_Return);
        QCOMPARE(dialogs.Shown, QStringList{"210"});
        QCOMPARE(m_List->topLevelItem(m_HdpRow)->text(0), QString("24h   "));
        dialogs.OnDialog = EnterValue("3D");
        const QPoint hdpCentre = m_List->visualItemRect(m_List->topLevelItem(m_HdpRow)).center();
        QTest::mouseClick(m_List->viewport(), Qt::LeftButton, {}, hdpCentre);
        QTest::mouseDClick(m_List->viewport(), Qt::LeftButton, {}, hdpCentre);
        QCOMPARE(dialogs.Shown.size(), 2);
        QCOMPARE(m_List->topLevelItem(m_HdpRow)->text(0), QString("24h *"));
        QCOMPARE(m_List->topLevelItem(m_HdpRow)->text(2), QString("003D"));
        QCOMPARE(g_ChipDef.GetFeatureValue("hdp"), 488u);

        // The Features tab sets the Horizontal Display Period through its value dialog.
        m_Tabs->setCurrentIndex(0);
        auto* tree = m_Window->findChild<QTreeWidget*>("1601");
        QVERIFY(SetHdpThroughTheTree(tree, dialogs));
        QCOMPARE(dialogs.Shown.last(), QString("203"));
        QCOMPARE(g_ChipDef.GetFeatureValue("hdp"), 320u);

        m_Tabs->setCurrentIndex(1);
        QCOMPARE(m_List->topLevelItem(m_HdpRow)->text(0), QString("24h !"));
        const QString notice = "1 manually modified registers have been overwritten by other tabs.";
        QVERIFY2(m_Window->StatusBoxWidget()->toPlainText().contains(notice),
                 qPrintable(m_Window->StatusBoxWidget()->toPlainText()));

        // A second row set by hand counts among the manually modified ones.
        const int hndpRow = RowsOf(m_List, "26h").front();
        m_List->setCurrentItem(m_List->topLevelItem(hndpRow));
        dialogs.OnDialog = EnterValue("7");
        QTest::keyClick(m_List, Qt::Key_Return);
        QCOMPARE(m_List->topLevelItem(hndpRow)->text(0), QString("26h *"));
        QVERIFY(m_Window->StatusBoxWidget()->toPlainText().contains(
            "1 (out of 2) manually modified registers have been overwritten by other tabs."));
        QVERIFY(ToolTipOf(m_List, m_HdpRow).contains("[   !   ]  You had previously modified"));
        QVERIFY(ToolTipOf(m_List, hndpRow).contains("[   *   ]  You modified this register"));
        m_List->scrollToItem(m_List->topLevelItem(m_HdpRow));
        Screenshot(*m_Window, "registers-page");

        // Another file opened: its rows carry no marks.
        m_Recorder.Answers = {m_Copy};
        m_Window->Action(kIdOpen)->trigger();
        QCOMPARE(m_List->topLevelItem(m_HdpRow)->text(0), QString("24h   "));
        QCOMPARE(m_List->topLevelItem(hndpRow)->text(0), QString("26h   "));
        QVERIFY(!m_Window->StatusBoxWidget()->toPlainText().contains("overwritten"));
    }

    // The overwritten notice belongs to the Registers page: choosing the Features tab again
    // empties the box, and the notice comes back with the Registers tab. A window restored
    // from an icon keeps what the box shows.
    void TheNoticeGoesWhenTheFeaturesTabIsChosen() {
        QTabBar* bar = m_Tabs->tabBar();
        const auto clickTab = [bar](int tab) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        };
        DialogRecorder dialogs;
        m_List->setCurrentItem(m_List->topLevelItem(m_HdpRow));
        dialogs.OnDialog = EnterValue("3D");
        QTest::keyClick(m_List, Qt::Key_Return);
        QCOMPARE(m_List->topLevelItem(m_HdpRow)->text(0), QString("24h *"));
        clickTab(0);
        auto* tree = m_Window->findChild<QTreeWidget*>("1601");
        QVERIFY(SetHdpThroughTheTree(tree, dialogs));
        QCOMPARE(g_ChipDef.GetFeatureValue("hdp"), 320u);
        QPlainTextEdit* box = m_Window->StatusBoxWidget();
        const QString notice = "1 manually modified registers have been overwritten by other tabs.";
        for (int visit = 0; visit < 2; ++visit) {
            clickTab(1);
            QCOMPARE(m_List->topLevelItem(m_HdpRow)->text(0), QString("24h !"));
            QVERIFY2(box->toPlainText().contains(notice), qPrintable(box->toPlainText()));
            clickTab(0);
            QVERIFY2(!box->toPlainText().contains("overwritten"), qPrintable(box->toPlainText()));
        }
        Screenshot(*m_Window, "features-page-after-notice");
        // After a value dialog the rebuilt page empties the box as well.
        clickTab(1);
        QVERIFY(box->toPlainText().contains(notice));
        m_Tabs->setCurrentIndex(0);
        m_Window->SetStatusText(1801, kStatusSticky | kStatusNoSticky, notice.toStdString());
        tree->setCurrentItem(FindFeatureRow(tree, "*Horizontal Display Period  =  320"));
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(dialogs.Shown.size(), 3);
        QVERIFY(!box->toPlainText().contains("overwritten"));

        // Restored from an icon: what the box shows stays.
        const QString report = "A report shown after the page.";
        m_Window->SetStatusText(5, 0, report.toStdString());
        m_Window->showMinimized();
        QTRY_VERIFY(m_Window->isMinimized());
        m_Window->showNormal();
        QTRY_VERIFY(!m_Window->isMinimized());
        QVERIFY(tree->isVisible());
        QCOMPARE(box->toPlainText(), report);
    }

    // A value of wide hexadecimal letters set by hand shows whole: the columns were made wide
    // enough for any number a row can show when the list was filled.
    void AValueOfWideDigitsIsNotCut() {
        DialogRecorder dialogs;
        m_List->setCurrentItem(m_List->topLevelItem(m_HdpRow));
        dialogs.OnDialog = EnterValue("AAAA");
        QTest::keyClick(m_List, Qt::Key_Return);
        QCOMPARE(dialogs.Shown, QStringList{"210"});
        QTreeWidgetItem* hdp = m_List->topLevelItem(m_HdpRow);
        QCOMPARE(hdp->text(2), QString("AAAA"));
        QCOMPARE(hdp->text(3), QString("1010101010101010"));
        m_List->scrollToItem(hdp);
        Screenshot(*m_Window, "registers-page-wide-value");
        for (int column : {2, 3, 4}) {
            const int width = m_List->columnWidth(column);
            m_List->resizeColumnToContents(column); // what the rows as they are now need
            QVERIFY2(m_List->columnWidth(column) <= width, qPrintable(QString::number(column)));
        }
    }

    void TheViewIsKeptBetweenVisits() {
        const int last = m_List->topLevelItemCount() - 1;
        m_List->scrollToItem(m_List->topLevelItem(last), QAbstractItemView::PositionAtTop);
        const int top = m_List->indexOfTopLevelItem(m_List->itemAt(0, 0));
        QVERIFY(top > 0); // the list is longer than its window
        m_List->scrollToItem(m_List->topLevelItem(top - 1), QAbstractItemView::PositionAtTop);
        m_List->setCurrentItem(m_List->topLevelItem(top));
        m_Tabs->setCurrentIndex(0);
        m_Tabs->setCurrentIndex(1);
        QCOMPARE(m_List->indexOfTopLevelItem(m_List->itemAt(0, 0)), top - 1);
        QCOMPARE(m_List->selectedItems().size(), 1);
        QCOMPARE(m_List->indexOfTopLevelItem(m_List->selectedItems().front()), top);
        QVERIFY(m_List->hasFocus());

        // Without a selected row, Return opens nothing.
        m_List->clearSelection();
        DialogRecorder dialogs;
        QTest::keyClick(m_List, Qt::Key_Return);
        QVERIFY(dialogs.Shown.isEmpty());
    }

    void TheAlertStandsOnTheFirstOccurrenceOnly() {
        const QList<int> rows = RowsOf(m_List, "10h");
        QVERIFY(rows.size() >= 2);
        const QString first = ToolTipOf(m_List, rows.front());
        QVERIFY2(first.contains("[ ALERT ]  This register also exists further down this list."),
                 qPrintable(first));
        const QString last = ToolTipOf(m_List, rows.back());
        QVERIFY(!last.isEmpty());
        QVERIFY(!last.contains("[ ALERT ]"));
        g_ToolTipsEnabled = false;
        QCOMPARE(ToolTipOf(m_List, rows.front()), QString());
    }

    void AReadOnlyRegisterOpensNoDialog() {
        // A list that holds a read-only register, brought in by an import.
        const std::string ini = m_Play.Folder.filePath("r.ini").toStdString();
        std::ofstream(ini) << "[47K20]\nClkI=1\n[Regs]\n0=0024,003C\n1=0046,0000\n";
        SetImportOverwriteRegisters(true);
        m_Recorder.Answers = {ini};
        m_Window->Action(kIdImport)->trigger();
        SetImportOverwriteRegisters(false);
        const QList<int> rows = RowsOf(m_List, "46h");
        QCOMPARE(rows.size(), 1);
        QVERIFY(m_List->topLevelItem(rows.front())->text(1).contains("READONLY"));
        m_List->setCurrentItem(m_List->topLevelItem(rows.front()));
        DialogRecorder dialogs;
        QTest::keyClick(m_List, Qt::Key_Return);
        QVERIFY(dialogs.Shown.isEmpty());
        QCOMPARE(m_Recorder.LastMessage(), std::string("This register is READONLY."));
    }

    void TheDialogConvertsItsNumberAndRefusesWhatDoesNotFit() {
        m_List->setCurrentItem(m_List->topLevelItem(m_HdpRow));
        DialogRecorder dialogs;
        QStringList steps;
        dialogs.OnDialog = [&](QDialog& dialog) {
            auto& d = static_cast<RegisterDialog&>(dialog);
            const auto step = [&] { steps << d.Edit()->text() + " | " + d.Currently()->text(); };
            step();
            d.RadixButton(10)->click();
            step();
            d.RadixButton(2)->click();
            step();
            d.RadixButton(16)->click();
            step();
            d.Edit()->setText("12G"); // no number: the radix stays
            d.RadixButton(10)->click();
            step();
            d.Edit()->setText("10000"); // wider than the register
            d.accept();
            steps << QString::number(d.result());
            d.Edit()->setText("40"); // the edit's number, now written in decimal
            d.RadixButton(10)->click();
            step();
            d.show();
            Screenshot(d, "dialog-210");
            d.accept();
            return d.result();
        };
        QTest::keyClick(m_List, Qt::Key_Return);
        QCOMPARE(dialogs.Shown, QStringList{"210"});
        const QStringList expected = {"3C | Currently  =  3C",         "60 | Currently  =  60",
                                      "111100 | Currently  =  111100", "3C | Currently  =  3C",
                                      "12G | Currently  =  3C",        "0",
                                      "64 | Currently  =  60"};
        QCOMPARE(steps, expected);
        const std::vector<std::string> messages = {"\"12G\" is not a hexadecimal number.",
                                                   "The value 10000h does not fit this 16-bit "
                                                   "register."};
        QCOMPARE(m_Recorder.Messages.size(), messages.size());
        for (size_t i = 0; i < messages.size(); ++i) {
            QCOMPARE(m_Recorder.Messages[i].Text, messages[i]);
        }
        QCOMPARE(g_ChipDef.GetFeatureValue("hdp"), 0x40u * 8);
        QCOMPARE(m_List->topLevelItem(m_HdpRow)->text(0), QString("24h *"));

        // The radix stays for the next dialog; the title names the register.
        dialogs.OnDialog = [&](QDialog& dialog) {
            auto& d = static_cast<RegisterDialog&>(dialog);
            steps = {d.windowTitle(), d.Edit()->text(),
                     QString::number(d.RadixButton(10)->isChecked())};
            return 0;
        };
        QTest::keyClick(m_List, Qt::Key_Return);
        QCOMPARE(steps.mid(1), QStringList({"64", "1"}));
        QVERIFY2(steps.front().contains("Horizontal Display Width Register"),
                 qPrintable(steps.front()));
    }

private:
    ServiceRecorder m_Recorder;
    PlayCopy m_Play;
    const std::string& m_Copy = m_Play.Program;
    std::unique_ptr<UIFeatures> m_Model;
    std::unique_ptr<MainWindow> m_Window;
    QTabWidget* m_Tabs = nullptr;
    QTreeWidget* m_List = nullptr;
    int m_HdpRow = -1;
};

QObject* MakeRegistersTabTest() {
    return new RegistersTabTest;
}

#include "RegistersTabTest.moc"

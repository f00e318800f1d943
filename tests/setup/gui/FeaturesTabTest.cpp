// The Features tab end to end: the tree over a copy of the built play, the value and template
// dialogs driven through the dialog runner, and the saved copy run with its new values.
#include "setup/core/ConfigurableFile.h"
#include "setup/core/ExportFormats.h"
#include "setup/core/FeatureTree.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/core/TemplateChoice.h"
#include "setup/core/UIFeatures.h"
#include "setup/gui/DebugWindow.h"
#include "setup/gui/FeatureDialogs.h"
#include "setup/gui/FeatureValueDialog.h"
#include "setup/gui/FeaturesPage.h"
#include "setup/gui/GuiTestSupport.h"
#include "setup/gui/MainWindow.h"
#include "setup/gui/MenuIds.h"
#include "setup/gui/PlayCopy.h"
#include "setup/gui/TemplateDialog.h"
#include "support/PlayProcess.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

const QString kPanelsRow = "Panel Templates* =  4.3\" TFT 480x272 (RGB, 24-bit)";
const QString kHdpRow = "*Horizontal Display Period  =  480 pixels";

QTreeWidgetItem* FindRow(QTreeWidget* tree, const QString& text) {
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

// Where the tip that shows stands on the screen.
QPoint ToolTipLabelPosition() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QTipLabel") && widget->isVisible()) {
            return widget->pos();
        }
    }
    return {};
}

} // namespace

class FeaturesTabTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        StartWindowTest(m_Recorder);
        QVERIFY(m_Play.Make());
        m_Model = MakeFeatureModel();
    }
    void cleanup() {
        g_UIFeatures = nullptr;
        m_Model.reset();
        EndWindowTest();
        LoadProgramBlock(q3vtest::PlayPath());
    }

    void ANumberIsCheckedThenSavedIntoTheCopy() {
        MainWindow window;
        window.resize(675, 650);
        m_Recorder.Answers = {m_Copy};
        window.Action(kIdOpen)->trigger();
        QCOMPARE(g_OpenPath, m_Copy);
        auto* tree = window.findChild<QTreeWidget*>("1601");
        QVERIFY(tree != nullptr);
        QCOMPARE(tree->topLevelItem(0)->text(0), QString("PLATFORM"));
        QVERIFY(FindRow(tree, kPanelsRow) != nullptr);
        QCOMPARE(m_Model->GetDiagnosticText(), std::string());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Screenshot(window, "features-page");

        QTreeWidgetItem* hdp = FindRow(tree, kHdpRow);
        QVERIFY(hdp != nullptr);
        for (QTreeWidgetItem* group = hdp->parent(); group != nullptr; group = group->parent()) {
            group->setExpanded(true); // as the user opens the groups down to it
        }
        tree->setCurrentItem(hdp);
        tree->scrollToItem(hdp, QAbstractItemView::PositionAtTop);
        const QString firstVisible = tree->itemAt(0, 0)->text(0);

        DialogRecorder dialogs;
        dialogs.OnDialog = [this](QDialog& dialog) {
            auto& value = static_cast<FeatureValueDialog&>(dialog);
            value.NumberEdit()->setText("1017");
            value.accept();
            if (value.result() == QDialog::Accepted ||
                value.Currently()->text() != "Must be between 0 and 1016!" ||
                m_Recorder.Beeps.size() != 1) {
                return -1;
            }
            value.show();
            Screenshot(value, "dialog-203-warning");
            value.NumberEdit()->setText("320");
            value.accept();
            return value.result();
        };
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(dialogs.Shown, QStringList{"203"});
        QCOMPARE(tree->currentItem()->text(0),
                 QString("*Horizontal Display Period  =  320 pixels"));
        QCOMPARE(tree->itemAt(0, 0)->text(0),
                 firstVisible == kHdpRow ? tree->currentItem()->text(0) : firstVisible);
        QCOMPARE(g_ChipDef.GetFeatureValue("hdp"), 320u);

        window.Action(kIdSave)->trigger();
        QCOMPARE(m_Recorder.LastMessage(), "Configuration data saved in file \"" + m_Copy + "\".");
        const q3vtest::PlayRun run = q3vtest::RunProgramOnBoard(m_Copy, m_Board, "", "", "");
        QVERIFY2(run.Output.find("h (OK)\n") != std::string::npos, run.Output.c_str());
        const q3vtest::PlayRun calc =
            q3vtest::RunProgramOnBoard(m_Copy, m_Board, "/nocard calc hdp");
        QVERIFY2(calc.Output.find("140h (320t)") != std::string::npos, calc.Output.c_str());
    }

    // The tree has the keyboard focus at start, after File > Open and File > Import while its
    // tab is current, and when its tab is chosen again: Down moves its selection. With the
    // Registers tab current, an Open leaves the focus in the register list.
    void TheTreeTakesTheFocusWithItsPage() {
        const std::string ini = m_Play.Folder.filePath("features.ini").toStdString();
        QVERIFY(ExportToFile(6, ini, false));
        MainWindow window;
        QVERIFY(ShowActive(window));
        auto* tree = window.findChild<QTreeWidget*>("1601");
        auto* list = window.findChild<QTreeWidget*>("1801");
        QTabBar* bar = window.findChild<QTabWidget*>("1101")->tabBar();
        const auto downMovesTheSelection = [&window, tree] {
            QTreeWidgetItem* before = tree->currentItem();
            if (QApplication::focusWidget() != tree || before == nullptr) {
                return false;
            }
            QTest::keyClick(window.windowHandle(), Qt::Key_Down);
            return tree->currentItem() == tree->itemBelow(before);
        };
        QVERIFY(downMovesTheSelection());
        Screenshot(window, "features-page-focus");
        const auto clickTab = [bar](int tab) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        };
        struct Case {
            const char* Name;
            int Action;
            std::string Answer;
        };
        const Case cases[] = {{"open", kIdOpen, m_Copy}, {"import", kIdImport, ini}};
        for (const Case& c : cases) {
            // The focus is elsewhere (the user clicked into the status box) before the command.
            window.StatusBoxWidget()->setFocus(Qt::MouseFocusReason);
            QVERIFY(QApplication::focusWidget() != tree);
            m_Recorder.Answers = {c.Answer};
            window.Action(c.Action)->trigger();
            QCOMPARE(g_OpenPath, m_Copy);
            QVERIFY2(downMovesTheSelection(), c.Name);
        }
        clickTab(1);
        QCOMPARE(QApplication::focusWidget(), list);
        m_Recorder.Answers = {m_Copy};
        window.Action(kIdOpen)->trigger();
        QCOMPARE(QApplication::focusWidget(), list);
        clickTab(0);
        QVERIFY(downMovesTheSelection());
    }

    void TheSmallPanelTemplateIsAppliedAndSaved() {
        MainWindow window;
        m_Recorder.Answers = {m_Copy};
        window.Action(kIdOpen)->trigger();
        auto* tree = window.findChild<QTreeWidget*>("1601");
        QTreeWidgetItem* panels = FindRow(tree, kPanelsRow);
        QVERIFY(panels != nullptr);
        tree->setCurrentItem(panels);
        DialogRecorder dialogs;
        dialogs.OnDialog = [](QDialog& dialog) {
            auto& templates = static_cast<TemplateDialog&>(dialog);
            if (templates.Templates()->count() != 2 || templates.Templates()->currentRow() != 0) {
                return -1;
            }
            templates.show();
            Screenshot(templates, "dialog-216");
            templates.Templates()->setCurrentRow(1);
            templates.accept();
            return templates.result();
        };
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(dialogs.Shown, QStringList{"216"});
        QVERIFY(FindRow(tree, "Panel Templates* =  3.5\" TFT 320x240 (RGB, 18-bit)") != nullptr);
        window.Action(kIdSave)->trigger();
        const q3vtest::PlayRun calc =
            q3vtest::RunProgramOnBoard(m_Copy, m_Board, "/nocard calc vdp");
        QVERIFY2(calc.Output.find("F0h (240t)") != std::string::npos, calc.Output.c_str());
    }

    void OtherDialogsAndTheReadOnlyBox() {
        FeaturesPage page;
        page.resize(600, 500);
        QTreeWidget* tree = page.TreeView();
        struct Case {
            const char* Row;
            const char* Dialog;
        };
        const Case cases[] = {{"Configuration Description  =  (empty)", "204"},
                              {"Adapter Type  =  USB", "206"},
                              {"Chip Base Address  =  00000000h", "217"},
                              {"*LCD Initialization Sequence  =  (empty)", "215"}};
        for (const Case& c : cases) {
            QTreeWidgetItem* item = FindRow(tree, c.Row);
            QVERIFY2(item != nullptr, c.Row);
            tree->setCurrentItem(item);
            DialogRecorder dialogs;
            dialogs.OnDialog = [](QDialog& dialog) {
                dialog.show();
                Screenshot(dialog, "dialog-" + dialog.objectName());
                return 0;
            };
            QTest::keyClick(tree, Qt::Key_Return);
            QCOMPARE(dialogs.Shown, QStringList{c.Dialog});
        }
        tree->setCurrentItem(FindRow(tree, "Main Layer Bits per Pixel [READONLY]  =  24 bpp"));
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(m_Recorder.LastMessage(), std::string("This feature is READONLY."));
    }

    // The template dialog shown and activated as a user meets it, its list taking the focus:
    // OK (Return) applies the selected template, or nothing when none is selected, even though
    // the list then makes its first row current. After the small panel the first template
    // (row 0) can be chosen again.
    void TheTemplateDialogAppliesTheSelectionOnly() {
        const QString noMatch = "Panel Templates* =  (no match)";
        const QString small = "Panel Templates* =  3.5\" TFT 320x240 (RGB, 18-bit)";
        struct Case {
            const char* Name;
            bool Hdp320;     // the copy's hdp is 320: no template matches
            bool SmallPanel; // the copy holds the small panel's settings
            int Selected;    // the row selected when the dialog opens, -1 for none
            int Key;         // the arrow key the user presses before Return, 0 for none
            QString Row;     // the tree's row afterwards
            bool Unchanged;  // the saved copy is the same byte for byte
            uint32_t Vdp;    // the vertical display period afterwards
        };
        const Case cases[] = {
            {"no match", true, false, -1, 0, noMatch, true, 272},
            {"a preselected match", false, false, 0, 0, kPanelsRow, true, 272},
            {"a row picked by arrow key", true, false, -1, Qt::Key_Down, small, false, 240},
            {"back to the first template", false, true, 1, Qt::Key_Up, kPanelsRow, false, 272},
        };
        for (const Case& c : cases) {
            QVERIFY(LoadProgramBlock(q3vtest::PlayPath()));
            if (c.Hdp320) {
                QVERIFY(g_ChipDef.SetFeatureValue("hdp", 320));
            }
            if (c.SmallPanel) {
                std::string error;
                QVERIFY(TemplateChoice(*m_Model, PanelsNode()).Apply(1, error));
            }
            QVERIFY(SaveConfigurableFile(m_Copy.c_str(), nullptr, false));
            QVERIFY(LoadProgramBlock(q3vtest::PlayPath()));
            const auto before = q3vtest::ReadFileBytes(m_Copy);

            MainWindow window;
            m_Recorder.Answers = {m_Copy};
            window.Action(kIdOpen)->trigger();
            QCOMPARE(g_OpenPath, m_Copy);
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            auto* tree = window.findChild<QTreeWidget*>("1601");
            QTreeWidgetItem* panels = FindRow(tree, c.Hdp320       ? noMatch
                                                    : c.SmallPanel ? small
                                                                   : kPanelsRow);
            QVERIFY2(panels != nullptr, c.Name);
            for (QTreeWidgetItem* group = panels->parent(); group != nullptr;
                 group = group->parent()) {
                group->setExpanded(true); // as the user opens the groups down to it
            }
            tree->setCurrentItem(panels);
            DialogRecorder dialogs;
            int answer = 0;
            dialogs.OnDialog = [&c, &answer](QDialog& dialog) {
                answer =
                    DriveTemplateDialog(static_cast<TemplateDialog&>(dialog), c.Selected, c.Key);
                return answer;
            };
            QTest::keyClick(tree, Qt::Key_Return);
            QCOMPARE(dialogs.Shown, QStringList{"216"});
            QCOMPARE(answer, int(QDialog::Accepted));
            QVERIFY2(FindRow(tree, c.Row) != nullptr, c.Name);
            window.Action(kIdSave)->trigger();
            QCOMPARE(m_Recorder.LastMessage(),
                     "Configuration data saved in file \"" + m_Copy + "\".");
            QCOMPARE(q3vtest::ReadFileBytes(m_Copy) == before, c.Unchanged);
            QCOMPARE(g_ChipDef.GetFeatureValue("hdp"), c.Hdp320 ? 320u : 480u);
            QCOMPARE(g_ChipDef.GetFeatureValue("vdp"), c.Vdp);
        }
    }

    // While debugging is on, filling the tree traces how the panel templates were tested and
    // which one matched; with debugging off nothing is traced.
    void TemplateMatchingIsTracedWhileDebugging() {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<FeaturesPage*>()->Refresh();
        QVERIFY(CurrentDebugWindow() == nullptr); // a trace would have opened it

        window.Action(kIdDebugging)->trigger();
        QVERIFY(g_DebuggingEnabled);
        window.findChild<FeaturesPage*>()->Refresh();
        QVERIFY(CurrentDebugWindow() != nullptr);
        QPlainTextEdit* text = CurrentDebugWindow()->TextBox();
        QTRY_VERIFY(text->toPlainText().contains("!!MATCHED!! 4.3\" TFT 480x272 (RGB, 24-bit)\n"));
        const QString traces = text->toPlainText();
        QVERIFY2(
            traces.startsWith("----------------------------------\n"
                              "-----------------------------------------------------------------"
                              "\nINCLUDED:"),
            qPrintable(traces));
        QVERIFY(traces.contains("  [Reason:passed]\n"));
        CurrentDebugWindow()->show();
        Screenshot(*CurrentDebugWindow(), "debug-window-templates");
        CurrentDebugWindow()->close();
        QTRY_VERIFY(CurrentDebugWindow() == nullptr);
    }

    // A row's tip tells what the feature is and its value as it is when the mouse rests on the
    // row; Help's menu locks the tip under the tree or switches the tips off.
    void TreeTipsFollowTheValueAndTheHelpMenu() {
        MainWindow window;
        m_Recorder.Answers = {m_Copy};
        window.Action(kIdOpen)->trigger();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* tree = window.findChild<QTreeWidget*>("1601");
        QTreeWidgetItem* hdp = FindRow(tree, kHdpRow);
        QVERIFY(hdp != nullptr);
        for (QTreeWidgetItem* group = hdp->parent(); group != nullptr; group = group->parent()) {
            group->setExpanded(true);
        }
        tree->scrollToItem(hdp);
        QTreeWidgetItem* vdp = tree->itemBelow(hdp);
        QVERIFY(vdp != nullptr);
        const QString tip = ItemToolTip(tree, hdp);
        QVERIFY2(tip.startsWith("Horizontal Display Period"), qPrintable(tip));
        QVERIFY2(tip.contains("hdp = 1E0h (480 pixels)"), qPrintable(tip));
        QVERIFY(g_ChipDef.SetFeatureValue("hdp", 320)); // changed after the tree was filled
        QVERIFY(ItemToolTip(tree, hdp).contains("hdp = 140h (320 pixels)"));
        QCOMPARE(hdp->text(0), kHdpRow);

        const QPoint followed = ToolTipLabelPosition();
        ItemToolTip(tree, vdp);
        QVERIFY(ToolTipLabelPosition() != followed);
        window.Action(kIdLockToolTips)->trigger();
        QVERIFY(g_ToolTipPositionLocked);
        ItemToolTip(tree, hdp);
        const QPoint locked = ToolTipLabelPosition();
        QVERIFY(!ItemToolTip(tree, vdp).isEmpty());
        QCOMPARE(ToolTipLabelPosition(), locked);
        QVERIFY(locked.y() >= tree->mapToGlobal(QPoint(0, tree->height())).y());

        window.Action(kIdToolTips)->trigger();
        QVERIFY(!g_ToolTipsEnabled);
        QCOMPARE(ItemToolTip(tree, hdp), QString());
    }

private:
    // Shows and activates the dialog, checks what it shows, presses the arrow key when asked
    // and then Return. The dialog's result, or a negative step that found something else.
    static int DriveTemplateDialog(TemplateDialog& templates, int selectedAtStart, int key) {
        if (!ShowActive(templates)) {
            return -1;
        }
        QListWidget* list = templates.Templates();
        QListWidget* details = templates.Details();
        const auto selectedRow = [list] {
            const QList<QListWidgetItem*> selected = list->selectedItems();
            return selected.isEmpty() ? -1 : list->row(selected.front());
        };
        // The list has the focus and the selected row, or row 0, is current.
        if (!list->hasFocus() || list->currentRow() != std::max(selectedAtStart, 0) ||
            selectedRow() != selectedAtStart) {
            return -2;
        }
        const bool none =
            details->count() == 1 &&
            details->item(0)->text() == "None of the templates match current settings." &&
            !details->isEnabled();
        if (none != (selectedAtStart < 0)) {
            return -3;
        }
        if (selectedAtStart < 0 && key == 0) {
            Screenshot(templates, "dialog-216-no-match");
        }
        if (key != 0) {
            QTest::keyClick(list, static_cast<Qt::Key>(key));
            const int expected = key == Qt::Key_Up ? std::max(selectedAtStart, 0) - 1 : 1;
            if (selectedRow() != std::max(expected, 0) || !details->isEnabled() ||
                details->count() < 2) {
                return -4;
            }
        }
        QTest::keyClick(list, Qt::Key_Return);
        return templates.result();
    }

    // The model's node of the panel templates.
    TreeHandle PanelsNode() const {
        for (const FeatureTreeRow& row : BuildFeatureTreeRows(*m_Model)) {
            if (row.Text.rfind("Panel Templates*", 0) == 0) {
                return row.Node;
            }
        }
        return nullptr;
    }

    ServiceRecorder m_Recorder;
    PlayCopy m_Play;
    const std::string& m_Copy = m_Play.Program;
    const std::string& m_Board = m_Play.Board;
    std::unique_ptr<UIFeatures> m_Model;
};

QObject* MakeFeaturesTabTest() {
    return new FeaturesTabTest;
}

#include "FeaturesTabTest.moc"

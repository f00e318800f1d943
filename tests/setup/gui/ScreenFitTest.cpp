// What a window manager would show of Setup's windows, measured on the offscreen platform with
// a screen of 800x600 (screen-800x600.json, which ctest gives this class): the main window and
// a long sequence's dialog within that screen, the tooltips' fixed-pitch font and line breaks,
// a long report's box within the screen, the options dialogs wide enough for their titles, and
// the debug window on the screen beside the main window; screenshots of each.
#include "hcl/HclData.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/gui/DebugWindow.h"
#include "setup/gui/ElidedLabel.h"
#include "setup/gui/ExportOptionsDialog.h"
#include "setup/gui/GuiServices.h"
#include "setup/gui/GuiTestSupport.h"
#include "setup/gui/MainWindow.h"
#include "setup/gui/ReportBox.h"
#include "setup/gui/ToolTipText.h"
#include "support/PlayProcess.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

namespace {

// The tip label on the screen, nullptr when none shows.
QWidget* ToolTipLabel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QTipLabel") && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

QRect Available() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

bool OnScreen(const QWidget* widget) {
    return Available().contains(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
}

QString Geometry(const QRect& rect) {
    return QString("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

// What is wrong with the sequence dialog of a long sequence ("" for nothing).
QString CheckSequenceDialog(QDialog& dialog) {
    if (!ShowActive(dialog)) {
        return "not active";
    }
    Screenshot(dialog, "dialog-215-long-sequence");
    // No wider than its row of buttons asks (or its own 460 pixels): the line does not widen it.
    const QMargins margins = dialog.layout()->contentsMargins();
    const int buttons = dialog.findChild<QDialogButtonBox*>()->sizeHint().width() + margins.left() +
                        margins.right();
    if (!Available().contains(dialog.frameGeometry()) || dialog.width() > std::max(460, buttons)) {
        return "the dialog at " + Geometry(dialog.frameGeometry());
    }
    auto* currently = dialog.findChild<ElidedLabel*>("2506");
    auto* list = dialog.findChild<QListWidget*>("2505");
    if (currently == nullptr || list == nullptr || list->count() != 300) {
        return "its controls";
    }
    if (!currently->text().startsWith("Currently  =  \"c0(step)  p1") || !currently->IsCut() ||
        currently->height() > 2 * currently->fontMetrics().height()) {
        return "the Currently line " + currently->text().left(40) + ", " +
               QString::number(currently->height()) + " high";
    }
    const int rows = list->viewport()->height() / list->sizeHintForRow(0);
    if (rows < 12) {
        return "the list shows " + QString::number(rows) + " rows";
    }
    // The tip holds the whole line, broken at its blanks.
    const QPoint at(10, currently->height() / 2);
    QHelpEvent help(QEvent::ToolTip, at, currently->mapToGlobal(at));
    QApplication::sendEvent(currently, &help);
    QString tip = QToolTip::text();
    QString whole = currently->text();
    if (!QToolTip::isVisible() || tip.remove('\n').remove(' ') != whole.remove(' ')) {
        return "the tip " + QToolTip::text().left(80);
    }
    QToolTip::hideText();
    return {};
}

} // namespace

class ScreenFitTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        StartWindowTest(m_Recorder);
        QVERIFY(LoadProgramBlock(q3vtest::PlayPath()));
    }
    void cleanup() {
        QToolTip::hideText();
        g_UIFeatures = nullptr;
        m_Model.reset();
        EndWindowTest();
        LoadProgramBlock(q3vtest::PlayPath());
    }

    // On the screen of 800x600 the main window opens inside it with the Diagnostics box in
    // view, and so does the sequence dialog of a 300-entry sequence: its "Currently" line is
    // one line cut with an ellipsis, its whole text the line's tip, and the list keeps its rows.
    void TheMainWindowAndALongSequenceFitTheScreen() {
        QVERIFY2(QGuiApplication::primaryScreen()->geometry().size() == QSize(800, 600),
                 "runs on the offscreen screen of screen-800x600.json, as ctest sets it");
        for (uint32_t i = 0; i < 300; ++i) {
            QVERIFY(g_ChipDef.SetSequenceEntry("lcdseq", i,
                                               i % 3 == 0 ? oxHCL_LCD_COMMAND : oxHCL_LCD_PARAM,
                                               i & 0xFF, i % 50 == 0 ? "step" : ""));
        }
        m_Model = MakeFeatureModel();
        MainWindow window;
        QVERIFY(ShowActive(window));
        QVERIFY2(Available().contains(window.frameGeometry()),
                 qPrintable(Geometry(window.frameGeometry())));
        QVERIFY(OnScreen(window.findChild<QWidget*>("1102")));
        QVERIFY(OnScreen(window.StatusBoxWidget()));
        Screenshot(window, "main-window-800x600");

        // Return on the sequence's row, as the user opens its dialog.
        auto* tree = window.findChild<QTreeWidget*>("1601");
        QTreeWidgetItem* sequence = nullptr;
        for (QTreeWidgetItemIterator it(tree); *it != nullptr && sequence == nullptr; ++it) {
            if ((*it)->text(0).startsWith("*LCD Initialization Sequence  =  c0(step)  p1")) {
                sequence = *it;
            }
        }
        QVERIFY(sequence != nullptr);
        for (QTreeWidgetItem* group = sequence->parent(); group != nullptr;
             group = group->parent()) {
            group->setExpanded(true);
        }
        tree->setCurrentItem(sequence);
        DialogRecorder dialogs;
        QString failed = "not shown";
        dialogs.OnDialog = [&failed](QDialog& dialog) {
            failed = CheckSequenceDialog(dialog);
            return 0;
        };
        QTest::keyClick(window.windowHandle(), Qt::Key_Return);
        QCOMPARE(dialogs.Shown, QStringList{"215"});
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }

    // The tips' font is fixed-pitch, so a register's bit diagram lines up.
    void RegisterTipsLineUpTheirBitDiagrams() {
        const QFontMetrics metrics(ToolTipFont());
        QCOMPARE(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('M'));
        QCOMPARE(ToolTipFont().pixelSize(), 12);
        QCOMPARE(ToolTipFont().weight(), QFont::Normal);

        MainWindow window;
        window.resize(675, 650);
        QVERIFY(ShowActive(window));
        auto* tabs = window.findChild<QTabWidget*>("1101");
        auto* list = window.findChild<QTreeWidget*>("1801");
        tabs->setCurrentIndex(1);
        QTreeWidgetItem* row = nullptr;
        for (int i = 0; i < list->topLevelItemCount() && row == nullptr; ++i) {
            if (list->topLevelItem(i)->text(0).startsWith("20h")) {
                row = list->topLevelItem(i);
            }
        }
        QVERIFY(row != nullptr);
        const QString tip = ItemToolTip(list, row);
        QWidget* label = ToolTipLabel();
        QVERIFY(label != nullptr);
        QCOMPARE(label->font().pixelSize(), 12);
        const QFontMetrics shown(label->font());
        QStringList diagram;
        for (const QString& line : tip.split('\n')) {
            if (line.startsWith('+') || line.startsWith('|')) {
                diagram << line;
            }
        }
        QVERIFY2(diagram.size() >= 7, qPrintable(tip));
        for (const QString& line : diagram) {
            QCOMPARE(shown.horizontalAdvance(line), shown.horizontalAdvance(diagram.front()));
        }
        QVERIFY(tip.contains(diagram.join('\n'))); // no diagram line was broken
        Screenshot(*label, "tooltip-register");
    }

    // A tip's line wider than the main window's width and one pixel breaks at blanks, each
    // piece within that width; a line without a blank stays whole.
    void LongTipLinesBreakAtTheWindowsWidth() {
        MainWindow window;
        window.resize(420, 500);
        QVERIFY(ShowActive(window));
        const int limit = window.frameGeometry().width() + 1;
        const QString sentence = "The configuration block was found at offset 1000h of the "
                                 "file and loaded; every register of its list is shown on the "
                                 "Registers page, in the order of initialization.";
        const QString word(70, 'W');
        const QString indented = "           modified to 0000003Ch.";
        window.SetStatusText(5, 0, (sentence + "\n" + word + "\n" + indented).toStdString());
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5),
                        window.StatusBoxWidget()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(window.StatusBoxWidget()->viewport(), &help);
        const QStringList lines = QToolTip::text().split('\n');
        const QFontMetrics metrics(ToolTipFont());
        QVERIFY2(metrics.horizontalAdvance(sentence) > limit, "the sentence must be too wide");
        QVERIFY2(lines.size() > 3, qPrintable(QToolTip::text()));
        QVERIFY(lines.contains(word));
        QVERIFY(lines.contains(indented));
        QStringList words;
        for (const QString& line : lines) {
            if (line != word) {
                QVERIFY2(metrics.horizontalAdvance(line) <= limit, qPrintable(line));
            }
            if (line != word && line != indented) {
                words << line;
            }
        }
        QCOMPARE(words.join(' '), sentence);
        Screenshot(*ToolTipLabel(), "tooltip-broken-lines");
    }

    // A report too large for the screen scrolls inside a box that fits, OK on the screen;
    // a short one keeps the plain box. The box's text is the report either way.
    void ALongReportScrollsWithinTheScreen() {
        MainWindow window;
        QVERIFY(ShowActive(window));
        QString report = "The import gave these warnings:\n\n";
        for (int i = 0; i < 590; ++i) {
            report += QString("REG[%1h]\t= %2h\tignored (not in the register list)\n")
                          .arg(QString::number(i % 252, 16).toUpper(), 2, QChar('0'))
                          .arg(QString::number(i * 7, 16).toUpper(), 4, QChar('0'));
        }
        const auto box = MakeMessageBox(&window, MessageKind::Warning, report.toStdString());
        QVERIFY(ShowActive(*box));
        QCOMPARE(box->text(), report);
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QPlainTextEdit* area = ReportArea(*box);
        QVERIFY(area != nullptr && area->isVisible());
        QVERIFY(area->isReadOnly());
        QCOMPARE(area->toPlainText(), report);
        QVERIFY(area->verticalScrollBar()->maximum() > 0);
        const QRect screen = window.screen()->availableGeometry();
        QVERIFY2(screen.contains(box->frameGeometry()), qPrintable(QString("%1,%2 %3x%4")
                                                                       .arg(box->x())
                                                                       .arg(box->y())
                                                                       .arg(box->width())
                                                                       .arg(box->height())));
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        QVERIFY(ok->isVisible());
        QVERIFY(screen.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size())));
        Screenshot(*box, "message-long-report");
        box->close();

        const auto plain = MakeMessageBox(&window, MessageKind::Information,
                                          "Summary of configured files:\n\n"
                                          "OK\t/tmp/a.exe\nOK\t/tmp/b.s19\n");
        QVERIFY(ShowActive(*plain));
        QVERIFY(ReportArea(*plain) == nullptr);
        QVERIFY(plain->findChild<QLabel*>("qt_msgbox_label")->isVisible());
    }

    // Each options dialog is wide enough for a title bar that holds its title in a bold font
    // beside the window's icon and its three buttons, each about as wide as the bar is high.
    // (Left to its controls, each dialog is narrower than that.)
    void TheOptionsDialogsHoldTheirTitles() {
        for (const int id : {214, 221}) {
            ExportOptionsDialog dialog(nullptr, id);
            QVERIFY(ShowActive(dialog));
            QFont bold = QApplication::font();
            bold.setBold(true);
            const int title = QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) +
                              4 * dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight);
            QVERIFY2(dialog.width() >= title, qPrintable(dialog.windowTitle()));
            QVERIFY(dialog.minimumWidth() >= title);
            Screenshot(dialog, QString("dialog-%1-title").arg(id));
        }
    }

    // The debug window opens right of the main window when the screen has room there, else
    // left of it, moved onto the screen when that place is off it; the main window's top and
    // size, its height clipped to the screen.
    void TheDebugWindowStaysOnTheScreen() {
        const QRect screen = Available();
        MainWindow window;
        window.resize(screen.width() * 9 / 20, screen.height() + 100);
        QVERIFY(ShowActive(window));
        const int width = window.frameGeometry().width();
        struct Case {
            const char* Name;
            int MainLeft;
            int DebugLeft;
        };
        const Case cases[] = {
            {"room right", screen.left(), screen.left() + width},
            {"room left", screen.right() + 1 - width, screen.right() + 1 - 2 * width},
            {"room on neither side", screen.left() + width / 2, screen.left()},
        };
        for (const Case& c : cases) {
            window.move(c.MainLeft, screen.top());
            QTRY_COMPARE(window.frameGeometry().left(), c.MainLeft);
            DebugPrintf("%s\n", c.Name);
            DebugWindow* debug = CurrentDebugWindow();
            QVERIFY(debug != nullptr);
            QTRY_VERIFY(debug->isVisible());
            const QRect place = debug->frameGeometry();
            QVERIFY2(screen.contains(place), c.Name);
            QCOMPARE(place.left(), c.DebugLeft);
            QCOMPARE(place.top(), window.frameGeometry().top());
            QCOMPARE(place.width(), width);
            QCOMPARE(place.bottom(), screen.bottom());
            if (&c == &cases[2]) {
                QTRY_VERIFY(debug->TextBox()->toPlainText().contains(c.Name));
                Screenshot(*debug, "debug-window-over-main");
            }
            debug->close();
            QTRY_VERIFY(CurrentDebugWindow() == nullptr);
        }
    }

private:
    ServiceRecorder m_Recorder;
    std::unique_ptr<UIFeatures> m_Model;
};

QObject* MakeScreenFitTest() {
    return new ScreenFitTest;
}

#include "ScreenFitTest.moc"

// The Registers tab's widgets over g_RegistersPage and the register list of g_ChipDef.
#include "setup/gui/RegistersTab.h"

#include "setup/core/RegistersPage.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/core/StatusBox.h"
#include "setup/gui/DialogRunner.h"
#include "setup/gui/HotToolTip.h"
#include "setup/gui/RegisterDialog.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kIdList = 1801;
constexpr int kIdNote = 1802;
constexpr int kIdWarning = 1803;
constexpr int kRegisterIndexRole = Qt::UserRole + 1;
constexpr int kHexColumn = 2;
constexpr int kBinColumn = 3;
constexpr int kDecColumn = 4;

// The widest of the characters in the font.
QChar WidestOf(const QFontMetrics& metrics, QStringView characters) {
    QChar widest = characters.front();
    for (const QChar c : characters) {
        if (metrics.horizontalAdvance(c) > metrics.horizontalAdvance(widest)) {
            widest = c;
        }
    }
    return widest;
}

QLabel* ColouredLabel(QWidget* parent, int id, const QString& text, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::number(id));
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

RegistersTab::RegistersTab(QWidget* parent) : QWidget(parent) {
    setObjectName("207");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ColouredLabel(this, kIdNote,
                                    "The following registers are in presented in order of "
                                    "initialization. The registers in this list will be used "
                                    "during chip initialization.",
                                    QColor(0, 0, 0xAF)));
    m_List = new QTreeWidget(this);
    m_List->setObjectName(QString::number(kIdList));
    m_List->setColumnCount(5);
    m_List->setHeaderLabels({"REG", "REGISTER NAME", "HEX", "BIN", "DEC"});
    m_List->headerItem()->setTextAlignment(kDecColumn, Qt::AlignRight | Qt::AlignVCenter);
    m_List->setRootIsDecorated(false);
    m_List->setUniformRowHeights(true);
    m_List->setSortingEnabled(false);
    m_List->setSelectionMode(QAbstractItemView::SingleSelection);
    m_List->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_List->header()->setSectionsClickable(false);
    m_List->header()->setSectionsMovable(true);
    m_List->header()->setStretchLastSection(false);
    // The selection stays as visible while the focus is elsewhere.
    QPalette palette = m_List->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    m_List->setPalette(palette);
    m_List->installEventFilter(this);
    m_List->viewport()->installEventFilter(this);
    m_List->viewport()->setMouseTracking(true);
    layout->addWidget(m_List, 1);
    layout->addWidget(ColouredLabel(this, kIdWarning, QString(), QColor(0xAF, 0, 0)));
    connect(m_List, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { OpenRow(m_List->indexOfTopLevelItem(item)); });
}

void RegistersTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Open();
}

void RegistersTab::hideEvent(QHideEvent* event) {
    SaveView();
    QWidget::hideEvent(event);
}

void RegistersTab::Reopen() {
    SaveView();
    Open();
}

void RegistersTab::Open() {
    g_RegistersPage.Track(g_ChipDef);
    Fill();
    ReportOverwritten();
    const int count = m_List->topLevelItemCount();
    if (count > 0 && g_RegistersPage.TopRow >= 0 && g_RegistersPage.TopRow < count) {
        // Through the last row first, so that the saved one lands at the top.
        m_List->scrollToItem(m_List->topLevelItem(count - 1));
        m_List->scrollToItem(m_List->topLevelItem(g_RegistersPage.TopRow),
                             QAbstractItemView::PositionAtTop);
    }
    if (g_RegistersPage.SelectedRow >= 0 && g_RegistersPage.SelectedRow < count) {
        m_List->setCurrentItem(m_List->topLevelItem(g_RegistersPage.SelectedRow));
    }
    m_List->setFocus();
}

void RegistersTab::SaveView() {
    if (m_List->topLevelItemCount() == 0) {
        return; // never filled: nothing to keep
    }
    g_RegistersPage.TopRow = m_List->indexOfTopLevelItem(m_List->itemAt(0, 0));
    const QList<QTreeWidgetItem*> selected = m_List->selectedItems();
    g_RegistersPage.SelectedRow =
        selected.isEmpty() ? -1 : m_List->indexOfTopLevelItem(selected.front());
}

void RegistersTab::Fill() {
    m_List->setUpdatesEnabled(false);
    m_List->clear();
    const uint32_t count = g_RegistersPage.Fill(g_ChipDef);
    for (uint32_t row = 0; row < count; ++row) {
        uint32_t index = 0;
        g_ChipDef.GetRegisterIndexByOrdinal(true, row, &index);
        auto* item = new QTreeWidgetItem(m_List);
        item->setData(0, kRegisterIndexRole, index);
        item->setTextAlignment(kDecColumn, Qt::AlignRight | Qt::AlignVCenter);
        ShowRow(static_cast<int>(row));
    }
    m_List->header()->resizeSections(QHeaderView::ResizeToContents);
    FitValueColumns();
    m_List->setUpdatesEnabled(true);
}

void RegistersTab::FitValueColumns() {
    const QFontMetrics metrics(m_List->font());
    const struct {
        int Column;
        QChar Digit; // the widest digit the column can show
    } columns[] = {{kHexColumn, WidestOf(metrics, u"0123456789ABCDEF")},
                   {kBinColumn, WidestOf(metrics, u"01")},
                   {kDecColumn, WidestOf(metrics, u"0123456789")}};
    for (const auto& column : columns) {
        int shown = 0;
        int possible = 0;
        for (int row = 0; row < m_List->topLevelItemCount(); ++row) {
            const QString text = m_List->topLevelItem(row)->text(column.Column);
            shown = std::max(shown, metrics.horizontalAdvance(text));
            // Every place of a row's number may come to hold the widest digit.
            possible =
                std::max(possible, metrics.horizontalAdvance(QString(text.size(), column.Digit)));
        }
        // The column was sized to what the rows show now, margins included.
        const int size = m_List->header()->sectionSize(column.Column);
        m_List->header()->resizeSection(column.Column, size + possible - shown);
    }
}

void RegistersTab::ShowRow(int row) {
    QTreeWidgetItem* item = m_List->topLevelItem(row);
    if (item == nullptr) {
        return;
    }
    const RegisterRowTexts texts = g_RegistersPage.RowTexts(g_ChipDef, static_cast<uint32_t>(row));
    int column = 0;
    for (const std::string* text : {&texts.Reg, &texts.Name, &texts.Hex, &texts.Bin, &texts.Dec}) {
        item->setText(column++, QString::fromStdString(*text));
    }
}

void RegistersTab::ReportOverwritten() {
    emit StatusText(kIdList, kStatusSticky | kStatusNoSticky,
                    QString::fromStdString(g_RegistersPage.OverwrittenNotice(g_ChipDef)));
}

void RegistersTab::OpenRow(int row) {
    if (row < 0 || row >= m_List->topLevelItemCount()) {
        return;
    }
    if (g_ChipDef.IsRegisterReadOnly(static_cast<uint32_t>(row), true)) {
        ShowMessage(MessageKind::Information, "This register is READONLY.");
        return;
    }
    RegisterDialog dialog(this, static_cast<uint32_t>(row));
    if (RunDialog(dialog) == QDialog::Accepted) {
        ShowRow(row);
        ReportOverwritten();
    }
}

bool RegistersTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_List && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QList<QTreeWidgetItem*> selected = m_List->selectedItems();
            if (!selected.isEmpty()) {
                OpenRow(m_List->indexOfTopLevelItem(selected.front()));
            }
            return true;
        }
    }
    if (watched == m_List->viewport()) {
        if (event->type() == QEvent::ToolTip) {
            const QPoint position = static_cast<QHelpEvent*>(event)->pos();
            const int row = m_List->indexOfTopLevelItem(m_List->itemAt(position));
            return ShowHotToolTip(
                m_List, position,
                row >= 0 ? g_RegistersPage.HotTip(g_ChipDef, static_cast<uint32_t>(row))
                         : std::string());
        }
        if (event->type() == QEvent::MouseMove) {
            // A new row under the mouse: the old row's tip goes so that the new one is asked for.
            const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
            const int row = m_List->indexOfTopLevelItem(m_List->itemAt(position));
            if (row != m_HotRow) {
                m_HotRow = row;
                QToolTip::hideText();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

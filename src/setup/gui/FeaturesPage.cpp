// The Features tab's widgets over the core's tree rows.
#include "setup/gui/FeaturesPage.h"

#include "setup/core/FeatureTree.h"
#include "setup/core/StatusBox.h"
#include "setup/core/UIFeatures.h"
#include "setup/gui/FeatureDialogs.h"
#include "setup/gui/HotToolTip.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kIdNote = 2501;
constexpr int kIdTree = 1601;
constexpr int kNodeRole = Qt::UserRole + 1;
} // namespace

FeaturesPage::FeaturesPage(QWidget* parent) : QWidget(parent) {
    setObjectName("202");
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel("Not all features are shown here (only commonly used features).  If "
                            "you need to change a feature not listed here, go to the Registers "
                            "tab.",
                            this);
    note->setObjectName(QString::number(kIdNote));
    note->setWordWrap(true);
    QPalette palette = note->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0xAF));
    note->setPalette(palette);
    m_Tree = new QTreeWidget(this);
    m_Tree->setObjectName(QString::number(kIdTree));
    m_Tree->setHeaderHidden(true);
    m_Tree->setColumnCount(1);
    m_Tree->installEventFilter(this);
    m_Tree->viewport()->installEventFilter(this);
    layout->addWidget(note);
    layout->addWidget(m_Tree, 1);
    connect(m_Tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        m_Tree->setCurrentItem(item);
        OpenSelected();
    });
    const auto record = [this](QTreeWidgetItem* item, bool expanded) {
        const TreeHandle node = NodeOf(item);
        if (m_Filling || node == nullptr || g_UIFeatures == nullptr) {
            return;
        }
        m_Tree->setCurrentItem(item);
        if (item->parent() != nullptr || !expanded) {
            g_UIFeatures->SetExpanded(node, expanded);
        }
    };
    connect(m_Tree, &QTreeWidget::itemExpanded, this,
            [record](QTreeWidgetItem* item) { record(item, true); });
    connect(m_Tree, &QTreeWidget::itemCollapsed, this,
            [record](QTreeWidgetItem* item) { record(item, false); });
    Fill();
}

TreeHandle FeaturesPage::NodeOf(const QTreeWidgetItem* item) {
    return item != nullptr
               ? reinterpret_cast<TreeHandle>(item->data(0, kNodeRole).value<quintptr>())
               : nullptr;
}

void FeaturesPage::SaveView() {
    m_FirstVisible = NodeOf(m_Tree->itemAt(0, 0));
    m_Selected = NodeOf(m_Tree->currentItem());
}

void FeaturesPage::Refresh() {
    SaveView();
    Fill();
    emit StatusText(kIdTree, kStatusSticky | kStatusNoSticky, QString());
}

void FeaturesPage::Reopen() {
    Refresh();
    m_Tree->setFocus();
}

void FeaturesPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window restored from an icon shows the page as it was: no rebuild, and a report in
    // the status box stays.
    if (!event->spontaneous()) {
        Reopen();
    }
}

void FeaturesPage::Fill() {
    m_Filling = true;
    m_Tree->setUpdatesEnabled(false);
    m_Tree->clear();
    QTreeWidgetItem* firstVisible = nullptr;
    QTreeWidgetItem* selected = nullptr;
    QTreeWidgetItem* firstChild = nullptr;
    std::vector<QTreeWidgetItem*> parents;
    std::vector<std::pair<QTreeWidgetItem*, bool>> expansions;
    if (g_UIFeatures != nullptr) {
        for (const FeatureTreeRow& row : BuildFeatureTreeRows(*g_UIFeatures)) {
            parents.resize(static_cast<size_t>(row.Depth));
            auto* item =
                parents.empty() ? new QTreeWidgetItem(m_Tree) : new QTreeWidgetItem(parents.back());
            item->setText(0, QString::fromStdString(row.Text));
            item->setData(0, kNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(row.Node)));
            if (row.Bold) {
                QFont font = item->font(0);
                font.setBold(true);
                item->setFont(0, font);
            }
            expansions.emplace_back(item, row.Expanded);
            parents.push_back(item);
            if (row.Node != nullptr && row.Node == m_FirstVisible) {
                firstVisible = item;
            }
            if (row.Node != nullptr && row.Node == m_Selected) {
                selected = item;
            }
            if (firstChild == nullptr && row.Depth > 0) {
                firstChild = item;
            }
        }
    }
    for (const auto& [item, expanded] : expansions) {
        item->setExpanded(expanded);
    }
    m_Tree->setCurrentItem(selected != nullptr ? selected : firstChild);
    if (firstVisible != nullptr) {
        m_Tree->scrollToItem(firstVisible, QAbstractItemView::PositionAtTop);
    }
    m_Tree->setUpdatesEnabled(true);
    m_Filling = false;
}

void FeaturesPage::OpenSelected() {
    const TreeHandle node = NodeOf(m_Tree->currentItem());
    if (node == nullptr || g_UIFeatures == nullptr) {
        return;
    }
    if (OpenFeatureDialog(this, *g_UIFeatures, node)) {
        Refresh();
    }
}

bool FeaturesPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_Tree && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenSelected();
            return true;
        }
    }
    if (watched == m_Tree->viewport() && event->type() == QEvent::ToolTip) {
        const QPoint position = static_cast<QHelpEvent*>(event)->pos();
        QTreeWidgetItem* item = m_Tree->itemAt(position);
        const TreeHandle node = NodeOf(item);
        // Made each time, so that the tip tells the feature's value as it is now; it goes away
        // when the cursor leaves the row.
        const std::string tip = node != nullptr && g_UIFeatures != nullptr
                                    ? FeatureTreeTip(*g_UIFeatures, node)
                                    : std::string();
        return ShowHotToolTip(m_Tree, position, tip,
                              item != nullptr ? m_Tree->visualItemRect(item) : QRect());
    }
    return QWidget::eventFilter(watched, event);
}

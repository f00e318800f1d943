#pragma once
// The Features tab: the note above the tree (2501) and the feature tree (1601), filled from the
// core's tree rows. Return or a double-click on an item opens its value dialog; after a dialog
// that may have changed something the tree is rebuilt at the same first visible item and
// selection. A row's tip is made when the mouse rests on it, from the feature's value then.
// Shown (the tab chosen, the window opened) or reopened after a file was opened or imported,
// the page rebuilds its tree and puts the focus on it; after every rebuild it sends the status
// box an empty message of its own, so that the box holds only the diagnostics. A window
// restored from an icon shows the page again without any of this.
#include "common/Tree.h"

#include <QWidget>
#include <cstdint>

class QTreeWidget;
class QTreeWidgetItem;

class FeaturesPage : public QWidget {
    Q_OBJECT
public:
    explicit FeaturesPage(QWidget* parent = nullptr);

    // Rebuilds the tree from the model, keeping the first visible item and the selection, and
    // empties the status box's message.
    void Refresh();
    // As when the page is shown: rebuilt, and the focus on the tree.
    void Reopen();
    QTreeWidget* TreeView() const { return m_Tree; }

signals:
    // A message for the status box from owner id with the status box's flag bits.
    void StatusText(std::uint32_t id, std::uint32_t flags, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SaveView();
    void Fill();
    void OpenSelected();
    static TreeHandle NodeOf(const QTreeWidgetItem* item);

    QTreeWidget* m_Tree = nullptr;
    TreeHandle m_FirstVisible = nullptr;
    TreeHandle m_Selected = nullptr;
    bool m_Filling = false;
};

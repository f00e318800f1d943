#pragma once
// The Features tab: the note above the tree (2501) and the feature tree (1601), filled from the
// core's tree rows. Return or a double-click on an item opens its value dialog; after a dialog
// that may have changed something the tree is rebuilt at the same first visible item and
// selection. A row's tip is made when the mouse rests on it, from the feature's value then.
#include "common/Tree.h"

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

class FeaturesPage : public QWidget {
    Q_OBJECT
public:
    explicit FeaturesPage(QWidget* parent = nullptr);

    // Rebuilds the tree from the model, keeping the first visible item and the selection.
    void Refresh();
    QTreeWidget* TreeView() const { return m_Tree; }

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

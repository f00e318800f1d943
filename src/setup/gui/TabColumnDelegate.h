#pragma once
// Draws list rows of the form "<text>\t\t[<name>]" in two columns: the text at the left and
// the part after the tabs at a column of its own, so that the names line up whatever the
// font. The row's text itself is left as it is.
//
//     auto* delegate = new TabColumnDelegate(list);
//     list->setItemDelegate(delegate);
//     delegate->SetColumn(delegate->WidestText(*list) + 24);
#include <QStyledItemDelegate>

class QListWidget;

class TabColumnDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TabColumnDelegate(QObject* parent);

    // Where the part after the tabs starts, in pixels from the row's left edge.
    void SetColumn(int column) { m_Column = column; }
    // The width of the widest part before the tabs among the list's rows.
    static int WidestText(const QListWidget& list);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_Column = 0;
};

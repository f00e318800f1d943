// Two-column drawing of rows split by tabs.
#include "setup/gui/TabColumnDelegate.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kMargin = 4;

// The part before the first tab and the part after the last one.
QString Before(const QString& text) {
    return text.section('\t', 0, 0);
}

QString After(const QString& text) {
    return text.contains('\t') ? text.section('\t', -1) : QString();
}

} // namespace

TabColumnDelegate::TabColumnDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

int TabColumnDelegate::WidestText(const QListWidget& list) {
    const QFontMetrics metrics(list.font());
    int widest = 0;
    for (int row = 0; row < list.count(); ++row) {
        widest = std::max(widest, metrics.horizontalAdvance(Before(list.item(row)->text())));
    }
    return widest;
}

void TabColumnDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->save();
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect rect = option.rect.adjusted(kMargin, 0, -kMargin, 0);
    const int flags = Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine;
    painter->drawText(rect, flags, Before(text));
    painter->drawText(rect.adjusted(m_Column, 0, 0, 0), flags, After(text));
    painter->restore();
}

QSize TabColumnDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QFontMetrics metrics(option.font);
    const QString text = index.data().toString();
    size.setWidth(2 * kMargin + m_Column + metrics.horizontalAdvance(After(text)));
    return size;
}

// The label's text drawn cut to its width, and the whole text as its tip.
#include "setup/gui/ElidedLabel.h"

#include "setup/core/SetupState.h"
#include "setup/gui/ToolTipText.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

namespace {
constexpr int kHintCharacters = 60;
} // namespace

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

bool ElidedLabel::IsCut() const {
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width() - 2 * margin();
}

QSize ElidedLabel::sizeHint() const {
    const int width = std::min(fontMetrics().horizontalAdvance(text()),
                               kHintCharacters * fontMetrics().averageCharWidth());
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right() + 2 * margin(), minimumSizeHint().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins margins = contentsMargins();
    return {fontMetrics().horizontalAdvance(QChar(0x2026)) + margins.left() + margins.right(),
            fontMetrics().height() + margins.top() + margins.bottom() + 2 * margin()};
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    style()->drawItemText(&painter, room, static_cast<int>(alignment()), palette(), isEnabled(),
                          shown, foregroundRole());
}

bool ElidedLabel::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QLabel::event(event);
    }
    if (!g_ToolTipsEnabled || !IsCut()) {
        QToolTip::hideText();
    } else {
        ShowSetupToolTip(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
    }
    return true;
}

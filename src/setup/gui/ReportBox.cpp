// Long reports in a scrolling area of the message box.
#include "setup/gui/ReportBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace {

constexpr const char kAreaName[] = "ReportArea";
constexpr int kTabStopCharacters = 8;

// The room a window frame takes: the owner's own frame when it has one, else a title bar.
QSize FrameRoom(const QWidget* owner) {
    if (owner != nullptr && owner->isVisible()) {
        const QSize frame = owner->frameGeometry().size() - owner->size();
        if (frame.height() > 0) {
            return frame;
        }
    }
    return {0, QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight)};
}

// The widest a message box makes itself on a screen with this available area.
int BoxWidthLimit(const QRect& available) {
    return available.width() <= 1024 ? available.width() : std::min(available.width() - 480, 1000);
}

// The box's size as the message box makes it when shown: one line per paragraph when that is
// narrow enough, else wrapped at a width of its own that grows up to a limit.
QSize PlainBoxSize(QLayout& layout, QLabel& label, const QRect& available) {
    const int softLimit = std::min(available.width() / 2, 500);
    const int hardLimit = BoxWidthLimit(available);
    label.setWordWrap(false);
    layout.activate();
    int width = layout.totalMinimumSize().width();
    if (width > softLimit) {
        label.setWordWrap(true);
        layout.invalidate();
        layout.activate();
        width = std::min(std::max(softLimit, layout.totalMinimumSize().width()), hardLimit);
    }
    const int height = layout.hasHeightForWidth() ? layout.totalHeightForWidth(width)
                                                  : layout.totalMinimumSize().height();
    return {width, height};
}

} // namespace

void FitReportToScreen(QMessageBox& box, const QWidget* owner) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QScreen* screen = owner != nullptr && owner->screen() != nullptr
                                ? owner->screen()
                                : QGuiApplication::primaryScreen();
    if (grid == nullptr || label == nullptr || screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QSize frame = FrameRoom(owner);
    const QSize room = available.size() - frame;
    const QSize plain = PlainBoxSize(*grid, *label, available);
    if (plain.width() <= room.width() && plain.height() <= room.height()) {
        return;
    }

    auto* area = new QPlainTextEdit(&box);
    area->setObjectName(kAreaName);
    area->setReadOnly(true);
    area->setFont(label->font());
    const QFontMetrics metrics(label->font());
    const int tabStop = metrics.averageCharWidth() * kTabStopCharacters;
    area->setTabStopDistance(tabStop);
    area->setPlainText(box.text());
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // The label keeps the text; the area shows it in the label's place.
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rowSpan, &columnSpan);
    label->hide();
    label->setWordWrap(false);
    area->setMinimumSize(1, 1);
    grid->addWidget(area, row, column, rowSpan, columnSpan);
    grid->invalidate();
    grid->activate();
    const QSize around = grid->totalMinimumSize() - QSize(1, 1);

    // As large as the text asks for, within the screen's room (and the message box's own limit
    // on its width) around the icon and the button.
    const int margins =
        2 * (area->frameWidth() + static_cast<int>(area->document()->documentMargin()));
    const int scrollBar = area->verticalScrollBar()->sizeHint().width();
    const QSize limit(std::min(room.width(), BoxWidthLimit(available)) - around.width(),
                      room.height() - around.height());
    const QRect natural = metrics.boundingRect(QRect(), Qt::TextExpandTabs, box.text(), tabStop);
    const int width = std::max(1, std::min(natural.width() + margins + scrollBar, limit.width()));
    // The area wraps lines wider than itself.
    const QRect wrapped =
        metrics.boundingRect(QRect(0, 0, std::max(1, width - margins - scrollBar), 1 << 24),
                             Qt::TextExpandTabs | Qt::TextWordWrap, box.text(), tabStop);
    area->setMinimumSize(width, std::max(1, std::min(wrapped.height() + margins, limit.height())));
}

QPlainTextEdit* ReportArea(const QMessageBox& box) {
    return box.findChild<QPlainTextEdit*>(kAreaName);
}

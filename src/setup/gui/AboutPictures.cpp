// The About box's pictures, painted with QPainter.
#include "setup/gui/AboutPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 104;

// Eight colour bars, as a panel test shows them.
void DrawColourBars(QPainter& painter, const QRect& area) {
    const QColor bars[] = {Qt::white,   Qt::yellow, Qt::cyan, Qt::green,
                           Qt::magenta, Qt::red,    Qt::blue, Qt::black};
    const int count = static_cast<int>(std::size(bars));
    for (int i = 0; i < count; ++i) {
        const int left = area.left() + area.width() * i / count;
        const int right = area.left() + area.width() * (i + 1) / count;
        painter.fillRect(QRect(left, area.top(), right - left, area.height()), bars[i]);
    }
}

// A flat panel on its stand with colour bars on the screen and a flex cable to the controller.
void DrawPanel(QPainter& painter) {
    painter.setPen(QPen(QColor(0x30, 0x30, 0x38), 2));
    painter.setBrush(QColor(0x50, 0x54, 0x60));
    painter.drawRoundedRect(QRectF(8, 6, 112, 74), 6, 6);
    const QRect screen(16, 13, 96, 60);
    DrawColourBars(painter, QRect(screen.left(), screen.top(), screen.width(), 40));
    QLinearGradient ramp(screen.left(), 0, screen.right(), 0);
    ramp.setColorAt(0, Qt::black);
    ramp.setColorAt(1, Qt::white);
    painter.fillRect(QRect(screen.left(), screen.top() + 40, screen.width(), 20), ramp);
    // A soft reflection across the glass.
    QPainterPath glare;
    glare.moveTo(screen.left(), screen.top());
    glare.lineTo(screen.left() + 40, screen.top());
    glare.lineTo(screen.left(), screen.top() + 30);
    glare.closeSubpath();
    painter.fillPath(glare, QColor(255, 255, 255, 60));
    // The stand.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x40, 0x44, 0x50));
    painter.drawRect(56, 80, 16, 10);
    painter.drawRoundedRect(QRectF(36, 90, 56, 8), 3, 3);
}

// A square chip package with pins on all four sides, a marker dot and a die window that
// shows a small colour grid.
void DrawController(QPainter& painter) {
    const QRect body(30, 18, 68, 68);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xB8, 0xB8, 0xC0));
    constexpr int kPins = 10;
    for (int i = 0; i < kPins; ++i) {
        const int offset = body.left() + 5 + i * (body.width() - 10) / kPins + 1;
        painter.drawRect(offset, body.top() - 8, 3, 8);
        painter.drawRect(offset, body.bottom() + 1, 3, 8);
        const int across = body.top() + 5 + i * (body.height() - 10) / kPins + 1;
        painter.drawRect(body.left() - 8, across, 8, 3);
        painter.drawRect(body.right() + 1, across, 8, 3);
    }
    painter.setBrush(QColor(0x22, 0x24, 0x2A));
    painter.drawRoundedRect(body, 3, 3);
    painter.setBrush(QColor(0x70, 0x74, 0x7C));
    painter.drawEllipse(QPoint(body.left() + 8, body.top() + 8), 3, 3);
    const QRect die(body.left() + 18, body.top() + 18, 32, 32);
    painter.fillRect(die.adjusted(-2, -2, 2, 2), QColor(0xC0, 0x9A, 0x40));
    constexpr int kCells = 4;
    for (int y = 0; y < kCells; ++y) {
        for (int x = 0; x < kCells; ++x) {
            const QColor cell = QColor::fromHsv((x * 90 + y * 30) % 360, 160, 220);
            painter.fillRect(die.left() + x * 8, die.top() + y * 8, 7, 7, cell);
        }
    }
}

} // namespace

QPixmap AboutPicture(int which) {
    QPixmap picture(kWidth, kHeight);
    picture.fill(QColor(0xE8, 0xEC, 0xF4));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    if (which == 1) {
        DrawController(painter);
    } else {
        DrawPanel(painter);
    }
    painter.end();
    return picture;
}

// The tooltips' font, line breaking and display.
#include "setup/gui/ToolTipText.h"

#include <QFontMetrics>
#include <QStringList>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

namespace {

constexpr int kToolTipPixelSize = 12;
constexpr int kToolTipShowMs = 30000;

bool IsBlank(QChar c) {
    return c == ' ';
}

// Where a line too wide for maxWidth breaks: the last blank before which it fits, else the
// first blank after its first word; -1 when it has no blank after a word.
qsizetype BreakPoint(const QString& line, const QFontMetrics& metrics, int maxWidth) {
    qsizetype found = -1;
    bool word = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (!IsBlank(line[i])) {
            word = true;
            continue;
        }
        if (!word) {
            continue; // the indent
        }
        if (metrics.horizontalAdvance(line.left(i)) > maxWidth) {
            return found >= 0 ? found : i;
        }
        found = i;
    }
    return found;
}

} // namespace

QFont ToolTipFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(kToolTipPixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

QString WrapToolTipText(const QString& text, const QFontMetrics& metrics, int maxWidth) {
    QStringList lines;
    for (QString rest : text.split('\n')) {
        while (metrics.horizontalAdvance(rest) > maxWidth) {
            const qsizetype cut = BreakPoint(rest, metrics, maxWidth);
            if (cut < 0) {
                break;
            }
            qsizetype end = cut;
            while (end > 0 && IsBlank(rest[end - 1])) {
                --end;
            }
            qsizetype next = cut;
            while (next < rest.size() && IsBlank(rest[next])) {
                ++next;
            }
            lines << rest.left(end);
            rest = rest.mid(next);
        }
        lines << rest;
    }
    return lines.join('\n');
}

void ShowSetupToolTip(const QPoint& globalPos, const QString& text, QWidget* widget,
                      const QRect& rect) {
    const QFont font = ToolTipFont();
    if (QToolTip::font() != font) {
        QToolTip::setFont(font);
    }
    const int maxWidth = widget->window()->frameGeometry().width() + 1;
    QString shown = WrapToolTipText(text, QFontMetrics(font), maxWidth);
    // A plain text that happens to look like markup keeps its characters and its lines.
    if (Qt::mightBeRichText(shown)) {
        shown = Qt::convertFromPlainText(shown, Qt::WhiteSpacePre);
    }
    QToolTip::showText(globalPos, shown, widget, rect, kToolTipShowMs);
}

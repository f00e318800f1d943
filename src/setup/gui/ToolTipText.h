#pragma once
// How Setup's tooltips look (tabs, status box, feature tree, register rows): a fixed-pitch font
// of 12 pixels in normal weight, so that the registers' bit diagrams and the indented notes
// line up, and lines no wider than the main window's width and one pixel: a wider line breaks
// at a blank, a shorter one (a bit diagram) never breaks. The tip stays up to 30 seconds.
//
//     ShowSetupToolTip(help->globalPos(), text, widget);
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

class QFontMetrics;
class QWidget;

// The tooltips' font.
QFont ToolTipFont();
// The text with every line wider than maxWidth (in metrics' font) broken at its blanks; a line
// without a blank to break at stays whole. The blanks at a break are dropped; a line's indent
// is kept.
QString WrapToolTipText(const QString& text, const QFontMetrics& metrics, int maxWidth);
// Shows text as widget's tip at the global position, in the tooltips' font and broken to the
// width of widget's window; rect (in widget) is where the tip stays while the cursor is in it.
void ShowSetupToolTip(const QPoint& globalPos, const QString& text, QWidget* widget,
                      const QRect& rect = QRect());

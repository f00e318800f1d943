#pragma once
// A one-line label for a text that may be far longer than the room it has (the "Currently"
// line of a long sequence): the text is drawn cut to the label's width with an ellipsis, and
// while it is cut the whole text is the label's tip, in the tooltips' style and only while
// tooltips are on. text() is always the whole text. The label never asks its window for more
// than a line of about 60 characters, so a long text neither widens the dialog nor takes the
// room of the controls below it.
//
//     auto* currently = new ElidedLabel(QString::fromStdString(value.CurrentlyText()), dialog);
#include <QLabel>

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

    // Whether the text is wider than the label, so that it is drawn cut.
    bool IsCut() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

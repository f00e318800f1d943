#pragma once
// The application style's tooltip delay follows the chosen ToolTip Delay menu item (100 ms to
// 5 seconds).
//
//     QApplication::setStyle(new ToolTipStyle);
#include <QProxyStyle>

class ToolTipStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
};

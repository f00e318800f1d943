#include "setup/gui/HotToolTip.h"

#include "setup/core/SetupState.h"
#include "setup/gui/ToolTipText.h"

#include <QAbstractScrollArea>
#include <QToolTip>

bool ShowHotToolTip(QAbstractScrollArea* list, const QPoint& position, const std::string& tip,
                    const QRect& rowArea) {
    if (!g_ToolTipsEnabled || tip.empty()) {
        QToolTip::hideText();
        return true;
    }
    QWidget* viewport = list->viewport();
    const QPoint at = g_ToolTipPositionLocked
                          ? list->mapToGlobal(QPoint(list->width() / 2, list->height()))
                          : viewport->mapToGlobal(position);
    ShowSetupToolTip(at, QString::fromStdString(tip), viewport, rowArea);
    return true;
}

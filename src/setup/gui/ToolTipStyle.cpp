// The tooltip delay taken from the shell's state.
#include "setup/gui/ToolTipStyle.h"

#include "setup/core/MenuState.h"
#include "setup/core/SetupState.h"

int ToolTipStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    if (hint == QStyle::SH_ToolTip_WakeUpDelay && g_ToolTipDelayIndex < std::size(kToolTipDelays)) {
        return static_cast<int>(kToolTipDelays[g_ToolTipDelayIndex]);
    }
    if (hint == QStyle::SH_ToolTip_FallAsleepDelay &&
        g_ToolTipDelayIndex < std::size(kToolTipDelays)) {
        return static_cast<int>(kToolTipDelays[g_ToolTipDelayIndex] / 5);
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

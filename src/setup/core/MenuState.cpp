// The menu items' states.
#include "setup/core/MenuState.h"

#include "setup/core/SetupState.h"

MenuState CurrentMenuState(bool haveToolTipWindow) {
    MenuState state;
    state.SaveEnabled = !g_OpenPath.empty();
    state.RunNowEnabled = g_EverOpened;
    state.ToolTipsChecked = g_ToolTipsEnabled && haveToolTipWindow;
    state.ToolTipsEnabled = haveToolTipWindow;
    state.LockChecked = g_ToolTipPositionLocked;
    state.DebuggingChecked = g_DebuggingEnabled;
    state.DelayIndex = g_ToolTipDelayIndex;
    return state;
}

#pragma once
// Which menu items are enabled and checked, from the shell's state: the window applies these
// whenever a menu opens and after every command.
//
//     MenuState state = CurrentMenuState(true);
//     saveAction->setEnabled(state.SaveEnabled);
#include <cstdint>

// The tooltip delays of menu items 40021 .. 40026, in milliseconds.
inline constexpr std::uint32_t kToolTipDelays[] = {100, 250, 500, 1000, 2000, 5000};

struct MenuState {
    bool SaveEnabled = false;   // 40002, 40003 and 40007: a file is open
    bool RunNowEnabled = false; // 40040 "Save/&Run!": a file has been opened
    bool ToolTipsChecked = false;
    bool ToolTipsEnabled = false; // greyed without a tooltip window
    bool LockChecked = false;
    bool DebuggingChecked = false;
    std::uint32_t DelayIndex = 2;
};

MenuState CurrentMenuState(bool haveToolTipWindow);

// The remembered states of the register commands and their start values.
#include "play/RegCommands.h"

#include "play/PlayChipDef.h"

uint32_t g_DefaultRegUnit = 2;
RegCmdState g_RegState = {0, 2, 0};
RegCmdState g_RegFillState = {0, 2, 1};
RegCmdState g_RegRereadState = {0, 2, 1};
RegCmdState g_BarState = {0, 2, 0};

void InitRegCmdStates() {
    // Two hexadecimal digits a byte; a width the chip does not give stays at 16 bits.
    const uint32_t unit = g_ChipDef.GetRegisterValueWidth(0, false) / 2;
    g_DefaultRegUnit = unit == 1 || unit == 2 || unit == 4 ? unit : 2;
    g_RegState = {0, g_DefaultRegUnit, 0};
    g_RegFillState = {0, g_DefaultRegUnit, 1};
    g_RegRereadState = {0, g_DefaultRegUnit, 1};
    g_BarState = {0, g_DefaultRegUnit, 0};
}

// Setup's program-wide state.
#include "setup/core/SetupState.h"

SetupChipDef g_ChipDef;
std::string g_OpenPath;
bool g_EverOpened = false;
std::string g_ProgramArguments;
bool g_DebuggingEnabled = false;
bool g_ToolTipsEnabled = true;
bool g_ToolTipPositionLocked = false;
std::uint32_t g_ToolTipDelayIndex = 2;

void ResetSetupState() {
    g_OpenPath.clear();
    g_EverOpened = false;
    g_ProgramArguments.clear();
    g_DebuggingEnabled = false;
    g_ToolTipsEnabled = true;
    g_ToolTipPositionLocked = false;
    g_ToolTipDelayIndex = 2;
}

// The remembered state of the memory commands.
#include "play/MemCommands.h"

MemCmdState g_DumpState = {1, 0, 0x100};
MemCmdState g_FillState = {2, 0, 0};
MemCmdState g_ReadState = {1, 0, 0};
MemCmdState g_SearchState = {1, 0, 0};
MemCmdState g_WriteState = {1, 0, 0};

void InitMemCmdStates() {
    g_DumpState = {1, 0, 0x100};
    g_FillState = {2, 0, 0};
    g_ReadState = {1, 0, 0};
    g_SearchState = {1, 0, 0};
    g_WriteState = {1, 0, 0};
}
